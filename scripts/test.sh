#!/usr/bin/env bash
# Installs what is missing, checks formatting and the layers, builds and runs every test twice:
# once normally (then the performance guard, the screenshots and the package check, while the
# second build compiles) and once under AddressSanitizer and UndefinedBehaviorSanitizer, then
# fuzzes for about a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

unformatted=$(find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run 2>&1 | grep -c 'warning:' || true)
if [ "$unformatted" != "0" ]; then
  find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run 2>&1 | grep 'warning:' | cut -d: -f1 | sort -u
  echo "Files above are not formatted by .clang-format (run: clang-format -i on them)."
  exit 1
fi

python3 scripts/check-layers.py
python3 scripts/check-file-size.py

# New build trees use Ninja: it starts a target's compilations while the libraries it links
# are still being built, so both cores stay busy where make's per-target order leaves one
# idle (about 7 % of a whole build here). A tree that exists keeps the generator it was made
# with (CMake reads this variable only for a new tree), and a generator chosen by the caller
# stands.
if [ -z "${CMAKE_GENERATOR:-}" ] && command -v ninja >/dev/null 2>&1; then
  export CMAKE_GENERATOR=Ninja
fi

# The browser test's playwright-core comes from npm, a wait on the network of most of a minute
# on a fresh machine: it is fetched for both build trees while the first one compiles. The
# tests fetch it themselves when this did not.
(bash tests/browser/install-playwright.sh build && bash tests/browser/install-playwright.sh build-san) \
  >/dev/null 2>&1 &
browser_modules=$!

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUVA_LINE_TABLES=ON >/dev/null
cmake --build build -j2
wait "$browser_modules" || true
(cd build && ctest --output-on-failure -j2)

# The sanitizer build (below) compiles while the steps up to the package check run: those
# mostly wait (on Xvfb, apt-get, lintian) or count instructions, which the load does not change,
# so the two cores stay busy. Its output goes to build-san.log, printed when it fails; it runs
# in a session of its own, so that a step that fails stops it too.
setsid bash scripts/sanitize-build.sh >build-san.log 2>&1 &
san_build=$!
trap 'kill -- -"$san_build" 2>/dev/null || true' EXIT
# Instruction counts of small workloads against bench/baseline/ (fails on a growth over 10 %).
bash scripts/perf-guard.sh
# The desktop program under Xvfb: a short consultation through the real window; the
# screenshots stay under build/screenshots/ as artefacts. The Qt Test suite above is the
# check of the window; a screenshot run that fails or stalls is reported, not fatal.
if [ -x build/zuva-gui ]; then
  timeout 300 bash scripts/gui-screenshots.sh || echo "gui-screenshots: no screenshots (status $?)" >&2
fi
# The Debian package: built from build/, installed with apt-get, the installed programs run
# on a copy of the installed sample, removed (nothing left under /usr); lintian errors fail.
bash scripts/check-package.sh build

# One build under AddressSanitizer and UndefinedBehaviorSanitizer (build-san/, started above)
# serves both the sanitizer run of every test and the libFuzzer harnesses: clang, the core
# instrumented for the fuzzers, -O1 (see scripts/sanitize-build.sh). Without clang it is a gcc
# build and the fuzzing is skipped.
if ! wait "$san_build"; then
  tail -n 100 build-san.log
  echo "The sanitizer build failed (whole output: build-san.log)." >&2
  exit 1
fi
(cd build-san && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$PWD/../scripts/lsan-suppressions.txt" UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2 -E '^(ImportOdbc\..*|gui)$')
# The SQLite ODBC driver loses memory inside SQLConnect (in its own settings reading), which
# is not ours to free, and Qt keeps its font and platform caches to the end of the process:
# the tests through them run under ASan and UBSan without the leak check.
(cd build-san && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2 -R '^(ImportOdbc\..*|gui)$')

# Fuzzing under the sanitizers, about a minute in all, with the harnesses of build-san/.
bash scripts/fuzz.sh 60
