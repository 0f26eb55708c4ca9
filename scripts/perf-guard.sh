#!/usr/bin/env bash
# The performance guard: instruction counts of small workloads of build/zuva (10,000-rule
# load, forward and backward runs, one check; one session-API consultation by
# build/examples/consult_sample) under callgrind, against bench/baseline/.
# Fails when one grows by more than 10 %.
#   scripts/perf-guard.sh            compare with the baseline
#   scripts/perf-guard.sh --update   record the counts as the new baseline (commit it, saying why)
# Build build/ first as scripts/test.sh does (RelWithDebInfo, default compiler).
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 scripts/perf_guard.py "$@"
