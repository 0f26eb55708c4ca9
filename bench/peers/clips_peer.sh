#!/bin/sh
# Runs the forward benchmark's generated base (chains in and against table order, fans
# out of one fact and into one conclusion) in zuva and, as CLIPS rules, in Debian's
# `clips`, and prints both times and their ratio. Installs clips with apt-get when it
# is missing. Run by hand from the repository root; never by CI.
#   bench/peers/clips_peer.sh [RULES]   (default 100000)
set -eu
RULES=${1:-100000}
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD="$ROOT/build"

if ! command -v clips >/dev/null 2>&1; then
    if [ "$(id -u)" -eq 0 ]; then SUDO=; else SUDO=sudo; fi
    $SUDO apt-get update
    $SUDO apt-get install -y clips
fi
if [ ! -x "$BUILD/bench/bench_forward" ]; then
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$BUILD" -j2 --target bench_forward
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
"$BUILD/bench/bench_forward" --clips "$RULES" > "$WORK/base.clp"

ZUVA=$("$BUILD/bench/bench_forward" --seconds "$RULES")

# Best of three CLIPS runs of (run); the load of the rules is timed separately.
CLIPS_RUN=
CLIPS_TOTAL=
for i in 1 2 3; do
    START=$(date +%s.%N)
    OUT=$(clips -f2 "$WORK/base.clp" 2>&1 < /dev/null || true)
    END=$(date +%s.%N)
    RUN=$(printf '%s\n' "$OUT" | sed -n 's/.*clips-run-seconds \([0-9.eE+-]*\).*/\1/p' | tail -n 1)
    TOTAL=$(echo "$END - $START" | bc -l)
    if [ -z "$RUN" ]; then
        printf '%s\n' "$OUT" | tail -n 20
        echo "clips did not report its run time" >&2
        exit 1
    fi
    if [ -z "$CLIPS_RUN" ] || [ "$(echo "$RUN < $CLIPS_RUN" | bc -l)" -eq 1 ]; then CLIPS_RUN=$RUN; fi
    if [ -z "$CLIPS_TOTAL" ] || [ "$(echo "$TOTAL < $CLIPS_TOTAL" | bc -l)" -eq 1 ]; then CLIPS_TOTAL=$TOTAL; fi
done

printf 'rules:                         %s\n' "$RULES"
printf 'zuva forward command (s):      %s\n' "$ZUVA"
printf 'clips (run) only (s):          %s\n' "$CLIPS_RUN"
printf 'clips load and run (s):        %s\n' "$CLIPS_TOTAL"
printf 'ratio clips run / zuva:        %.2f\n' "$(echo "$CLIPS_RUN / $ZUVA" | bc -l)"
printf 'ratio clips total / zuva:      %.2f\n' "$(echo "$CLIPS_TOTAL / $ZUVA" | bc -l)"
