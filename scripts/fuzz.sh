#!/usr/bin/env bash
# Runs the libFuzzer harnesses of the sanitizer build (build-san/, made by
# scripts/sanitize-build.sh with clang, AddressSanitizer and UndefinedBehaviorSanitizer; built
# here when missing) each for a bounded time over a seed corpus made from tests/data/ and
# examples/ and the small corpus kept in fuzz/corpus/HARNESS/. Every input runs under a time
# limit, so a hang fails like a crash. A finding is left in build-san/findings/ and fails the
# run: turn it into a regular test. Each run explores from a seed of its own, printed so that
# a finding can be replayed: ZUVA_FUZZ_SEED=N scripts/fuzz.sh runs with seed N.
#   scripts/fuzz.sh [SECONDS-IN-ALL]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
TOTAL=${1:-60}
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is missing; the fuzzing harnesses are skipped"
  exit 0
fi
harnesses=(fuzz_base_reader fuzz_text_files fuzz_answer_script fuzz_lsp_reader fuzz_web_requests fuzz_http_server
  fuzz_test_cases)
seed=${ZUVA_FUZZ_SEED:-$(( (RANDOM << 15 | RANDOM) + 1 ))}
echo "fuzz: seed $seed (ZUVA_FUZZ_SEED=$seed scripts/fuzz.sh runs the same inputs again)"
bash scripts/sanitize-build.sh "${harnesses[@]}"
rm -rf build-san/corpus build-san/findings
python3 fuzz/make_corpus.py build-san/corpus
mkdir -p build-san/findings
# The answer scripts run the whole program and get two shares of the time, the others one.
# Two harnesses run at a time (each fuzzer is one process on one core).
share=$((TOTAL / (${#harnesses[@]} + 1)))
fuzz_one() {
  local h=$1 t=$2 work
  work=$(mktemp -d)
  if [ -d "build-san/corpus/$h" ]; then cp -r "build-san/corpus/$h/." "$work/"; fi
  if [ -d "fuzz/corpus/$h" ]; then cp -r "fuzz/corpus/$h/." "$work/"; fi
  echo "fuzz: $h for ${t}s over $(ls "$work" | wc -l) seeds"
  if ! (cd build-san/findings && ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
        LSAN_OPTIONS=suppressions="$PWD/../../scripts/lsan-suppressions.txt" UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "../fuzz/$h" -max_total_time="$t" -timeout=10 -rss_limit_mb=2048 -max_len=8192 -seed="$seed" \
        -print_final_stats=1 "$work" > "$h.log" 2>&1); then
    touch "build-san/findings/$h.failed"
  fi
  rm -rf "$work"
}
for h in "${harnesses[@]}"; do
  t=$share
  [ "$h" = fuzz_answer_script ] && t=$((TOTAL - (${#harnesses[@]} - 1) * share))
  while [ "$(jobs -rp | wc -l)" -ge 2 ]; do sleep 0.2; done
  fuzz_one "$h" "$t" &
done
wait
status=0
for h in "${harnesses[@]}"; do
  if [ -e "build-san/findings/$h.failed" ]; then
    rm -f "build-san/findings/$h.failed"
    tail -n 60 "build-san/findings/$h.log"
    echo "fuzz: $h found an input that fails (build-san/findings)"
    status=1
  fi
done
exit $status
