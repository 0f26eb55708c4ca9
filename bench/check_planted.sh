#!/bin/sh
# `zuva check --no-diagnoses` on a generated knowledge base of N rules (with model,
# constraint and advice bases beside it) in which 100 completeness anomalies of mixed kinds
# are planted: prints the findings expected and found and the whole process's CPU time.
# Run by hand from the repository root.   bench/check_planted.sh [N]   (default 100000)
set -eu
N=${1:-100000}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
EXPECTED=$(python3 "$ROOT/bench/gen_bases.py" planted "$N" "$WORK/BAZY")
cd "$WORK/BAZY"
/usr/bin/time -v "$ROOT/build/zuva" check --no-diagnoses REPLANT.BEN >out.txt 2>time.txt || true
FOUND=$(grep -c ': warning: ' out.txt || true)
ERRORS=$(grep -c ': error: ' out.txt || true)
U=$(sed -n 's/.*User time (seconds): //p' time.txt)
S=$(sed -n 's/.*System time (seconds): //p' time.txt)
KB=$(sed -n 's/.*Maximum resident set size (kbytes): //p' time.txt)
printf 'rules:                 %s\n' "$N"
printf 'anomalies planted:     %s\n' "$EXPECTED"
printf 'warnings found:        %s\n' "$FOUND"
printf 'errors found:          %s\n' "$ERRORS"
printf 'CPU seconds:           %.3f\n' "$(echo "$U + $S" | bc -l)"
printf 'peak MB:               %.0f\n' "$(echo "$KB / 1024" | bc -l)"
if [ "$FOUND" != "$EXPECTED" ] || [ "$ERRORS" != 0 ]; then
    grep -v ': warning: ' out.txt | head -n 20
    exit 1
fi
