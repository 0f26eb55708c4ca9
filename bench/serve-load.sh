#!/usr/bin/env bash
# The load test of zuva serve on loopback (bench/bench_serve_load.cpp), bounded to 120 s a run:
# 200 simulated users each run a whole consultation of the sample base at once, first
# answering at once (the server saturated), then pausing about a second to read each question
# as a person does (the latency a user meets).
# KEPT: where the consultations are kept besides the process ("state": a state folder,
# "signed": a signed cookie; none by default).
#   bench/serve-load.sh [BUILD-DIR] [USERS] [THINK-MS] [KEPT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
users=${2:-200}
think=${3:-1000}
kept=${4:-}
cmake --build "$build" -j2 --target zuva bench_serve_load >/dev/null
ulimit -n 8192 2>/dev/null || true
echo "== users answering at once"
"$build/bench/bench_serve_load" "$build/zuva" . "$users" 120 0 $kept
echo "== users reading each question first"
"$build/bench/bench_serve_load" "$build/zuva" . "$users" 120 "$think" $kept
