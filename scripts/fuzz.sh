#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-fuzz/) and runs each for a bounded time over a seed
# corpus made from tests/data/ and examples/. Every input runs under a time limit, so a
# hang fails like a crash. A finding is left in build-fuzz/findings/ and fails the run:
# turn it into a regular test.   scripts/fuzz.sh [SECONDS-IN-ALL]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
TOTAL=${1:-60}
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is missing; the fuzzing harnesses are skipped"
  exit 0
fi
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DZUVA_SANITIZE=ON -DZUVA_FUZZ=ON >/dev/null
harnesses=(fuzz_base_reader fuzz_text_files fuzz_answer_script)
cmake --build build-fuzz -j2 --target "${harnesses[@]}"
rm -rf build-fuzz/corpus build-fuzz/findings
python3 fuzz/make_corpus.py build-fuzz/corpus
mkdir -p build-fuzz/findings
# The answer scripts run the whole program and get half of the time.
share=$((TOTAL / 4))
status=0
for h in "${harnesses[@]}"; do
  t=$share
  [ "$h" = fuzz_answer_script ] && t=$((TOTAL - 2 * share))
  work=$(mktemp -d)
  cp -r "build-fuzz/corpus/$h/." "$work/"
  echo "fuzz: $h for ${t}s over $(ls "$work" | wc -l) seeds"
  if ! (cd build-fuzz/findings && ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "../fuzz/$h" -max_total_time="$t" -timeout=10 -rss_limit_mb=2048 -max_len=8192 -seed=1 \
        -print_final_stats=1 "$work" > "$h.log" 2>&1); then
    tail -n 60 "build-fuzz/findings/$h.log"
    echo "fuzz: $h found an input that fails (build-fuzz/findings)"
    status=1
  fi
  rm -rf "$work"
done
exit $status
