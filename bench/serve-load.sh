#!/usr/bin/env bash
# The load test of zuva serve on loopback: 200 simulated users each run a whole consultation
# of the sample base at once (bench/bench_serve_load.cpp), bounded to 120 s.
#   bench/serve-load.sh [BUILD-DIR] [USERS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
users=${2:-200}
cmake --build "$build" -j2 --target zuva bench_serve_load >/dev/null
ulimit -n 8192 2>/dev/null || true
exec "$build/bench/bench_serve_load" "$build/zuva" . "$users" 120
