#!/bin/sh
# `zuva check --no-diagnoses` on a generated knowledge base of N rules (with model,
# constraint and advice bases beside it) in which 100 completeness anomalies of mixed kinds
# are planted: compares the findings (file, line, level) with those planted and prints
# their numbers and the whole process's CPU time and peak memory. Fails when the findings
# differ from those planted or the CPU time is 1 s or more.
# Run by hand from the repository root.   bench/check_planted.sh [N]   (default 100000)
set -eu
N=${1:-100000}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
set -- $(python3 "$ROOT/bench/gen_bases.py" planted "$N" "$WORK/BAZY")
WARNINGS_PLANTED=$1
ERRORS_PLANTED=$2
cd "$WORK/BAZY"
/usr/bin/time -v "$ROOT/build/zuva" check --no-diagnoses REPLANT.BEN >out.txt 2>time.txt || true
FOUND=$(grep -c ': warning: ' out.txt || true)
ERRORS=$(grep -c ': error: ' out.txt || true)
sed -n 's/^\([^:]*:[0-9]*\):[0-9]*: \(warning\|error\): .*/\1: \2/p' out.txt | LC_ALL=C sort >found.txt
LC_ALL=C sort expected.txt >expected.sorted
U=$(sed -n 's/.*User time (seconds): //p' time.txt)
S=$(sed -n 's/.*System time (seconds): //p' time.txt)
KB=$(sed -n 's/.*Maximum resident set size (kbytes): //p' time.txt)
CPU=$(echo "$U + $S" | bc -l)
printf 'rules:                 %s\n' "$N"
printf 'warnings planted:      %s\n' "$WARNINGS_PLANTED"
printf 'warnings found:        %s\n' "$FOUND"
printf 'errors planted:        %s\n' "$ERRORS_PLANTED"
printf 'errors found:          %s\n' "$ERRORS"
printf 'CPU seconds:           %.3f\n' "$CPU"
printf 'peak MB:               %.0f\n' "$(echo "$KB / 1024" | bc -l)"
STATUS=0
if ! cmp -s found.txt expected.sorted; then
    echo "findings differ from those planted (< planted, > found):"
    diff expected.sorted found.txt | head -n 20 || true
    STATUS=1
fi
if [ "$(echo "$CPU >= 1" | bc -l)" = 1 ]; then
    echo "CPU time is not under 1 s"
    STATUS=1
fi
exit $STATUS
