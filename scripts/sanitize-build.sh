#!/usr/bin/env bash
# Configures and builds build-san/: everything under AddressSanitizer and
# UndefinedBehaviorSanitizer, with assertions. With clang (the usual case) the core is also
# instrumented for libFuzzer and the fuzzing harnesses are built, so this one build serves
# the sanitizer test run and scripts/fuzz.sh. -O1, as fuzzing builds usually take: the tests
# and the fuzzers run faster than at -O0, and it compiles faster than -O2. The benchmark
# programs are left out.
#   scripts/sanitize-build.sh [TARGET...]   (default: everything and the harnesses)
set -euo pipefail
cd "$(dirname "$0")/.."
# Line tables are all the sanitizers' reports need, and much cheaper to make than full debug
# information.
if command -v clang++ >/dev/null 2>&1; then
  args=(-DCMAKE_CXX_COMPILER=clang++ -DZUVA_FUZZ=ON -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only")
else
  args=(-DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1")
fi
args+=(-DCMAKE_BUILD_TYPE=Debug -DZUVA_SANITIZE=ON -DZUVA_BENCH=OFF)
# A new tree uses Ninja, as scripts/test.sh explains; an existing one keeps its generator.
if [ -z "${CMAKE_GENERATOR:-}" ] && command -v ninja >/dev/null 2>&1; then
  export CMAKE_GENERATOR=Ninja
fi
cmake -S . -B build-san "${args[@]}" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build build-san -j2 --target "$@"
else
  cmake --build build-san -j2
  if command -v clang++ >/dev/null 2>&1; then
    cmake --build build-san -j2 --target fuzz_base_reader fuzz_text_files fuzz_answer_script fuzz_lsp_reader fuzz_web_requests fuzz_http_server fuzz_test_cases
  fi
fi
