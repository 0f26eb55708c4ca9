#!/bin/sh
# Whole-process figures of the terminal program against its peers, side by side in one run,
# each process measured with /usr/bin/time -v (CPU seconds = user + system, peak resident
# memory), median of three:
#   - zuva --answers: load, load plus a forward run (display flag 0: every resultant still has
#     its explanation block in the transcript) and load plus a backward test of the chain's
#     end, over a chain of N rules; `zuva check` of the chain, and of a base of N rules with
#     N / 10 exact constraints and N / 100 models (gen_bases.py constrained);
#   - SWI-Prolog consulting the same N rules as Prolog facts (Debian's swi-prolog-nox);
#   - CLIPS loading the chain as rules and running it once, (run) timed inside CLIPS (Debian's
#     clips; building its network for a long chain takes minutes).
# Prints the figures and the ratios. Run by hand from the repository root; never by CI.
#   bench/peers/whole_process.sh [N]   (default 100000)
set -eu
N=${1:-100000}
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD="$ROOT/build"
for tool in swipl clips; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        if [ "$(id -u)" -eq 0 ]; then SUDO=; else SUDO=sudo; fi
        $SUDO apt-get update
        $SUDO apt-get install -y swi-prolog-nox clips
    fi
done
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 1; }
[ -x "$BUILD/zuva" ] || cmake --build "$BUILD" -j2 --target zuva

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
python3 "$ROOT/bench/gen_bases.py" chain "$N" "$WORK"
python3 "$ROOT/bench/gen_bases.py" constrained "$N" "$WORK"
# Backward: low detail, no labels, the chain's end as a hypothesis in the narrow sense.
printf '%s\n' 10064 RECHAIN.BEN Nie Nie 10165 1 NIE 1 1 NIE Nie >"$WORK/backward.txt"

# measure NAME COMMAND...: median CPU seconds and peak MB of three runs into NAME_cpu, NAME_mb
measure() {
    name=$1
    shift
    : >"$WORK/cpus.txt"
    : >"$WORK/mbs.txt"
    for i in 1 2 3; do
        ( cd "$WORK" && /usr/bin/time -v "$@" >/dev/null 2>"$WORK/time.txt" ) || true
        u=$(sed -n 's/.*User time (seconds): //p' "$WORK/time.txt")
        s=$(sed -n 's/.*System time (seconds): //p' "$WORK/time.txt")
        kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$WORK/time.txt")
        echo "$u + $s" | bc -l >>"$WORK/cpus.txt"
        echo "$kb / 1024" | bc -l >>"$WORK/mbs.txt"
    done
    eval "${name}_cpu=$(sort -g "$WORK/cpus.txt" | sed -n 2p)"
    eval "${name}_mb=$(sort -g "$WORK/mbs.txt" | sed -n 2p)"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
measure load "$BUILD/zuva" --answers load.txt
measure forward "$BUILD/zuva" --answers forward.txt
measure backward "$BUILD/zuva" --answers backward.txt
measure check "$BUILD/zuva" check RECHAIN.BEN
measure checkc "$BUILD/zuva" check REKONST.BEN
measure swipl swipl -q -g "consult('chain.pl'),halt" -t "halt(1)"
# CLIPS builds its network rule by rule, which takes minutes for a long chain: one run,
# whose (run) is timed inside CLIPS.
( cd "$WORK" && /usr/bin/time -v clips -f2 chain.clp </dev/null >"$WORK/clips.txt" 2>"$WORK/time.txt" ) || true
clips_cpu=$(echo "$(sed -n 's/.*User time (seconds): //p' "$WORK/time.txt") + $(sed -n 's/.*System time (seconds): //p' "$WORK/time.txt")" | bc -l)
clips_mb=$(echo "$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$WORK/time.txt") / 1024" | bc -l)
CLIPS_RUN=$(sed -n 's/.*clips-run-seconds \([0-9.eE+-]*\).*/\1/p' "$WORK/clips.txt" | tail -n 1)
RUN_ONLY=$(echo "$forward_cpu - $load_cpu" | bc -l)

printf 'rules:                                   %s\n' "$N"
printf 'zuva load (CPU s, peak MB):              %.3f  %.0f\n' "$load_cpu" "$load_mb"
printf 'zuva load + forward (CPU s, peak MB):    %.3f  %.0f\n' "$forward_cpu" "$forward_mb"
printf 'zuva forward run alone (CPU s):          %.3f\n' "$RUN_ONLY"
printf 'zuva load + backward (CPU s, peak MB):   %.3f  %.0f\n' "$backward_cpu" "$backward_mb"
printf 'zuva check of the chain (CPU s, peak MB): %.3f  %.0f\n' "$check_cpu" "$check_mb"
printf 'zuva check, constraints and models:      %.3f  %.0f\n' "$checkc_cpu" "$checkc_mb"
printf 'SWI-Prolog consult (CPU s, peak MB):     %.3f  %.0f\n' "$swipl_cpu" "$swipl_mb"
printf 'CLIPS load + run (CPU s, peak MB):       %.3f  %.0f\n' "$clips_cpu" "$clips_mb"
printf 'CLIPS (run) alone (s):                   %s\n' "$CLIPS_RUN"
printf 'ratio zuva load / SWI-Prolog consult:    %.2f   (target below 0.25)\n' "$(echo "$load_cpu / $swipl_cpu" | bc -l)"
printf 'ratio zuva forward run / CLIPS (run):    %.2f   (target at most 1)\n' "$(echo "$RUN_ONLY / $CLIPS_RUN" | bc -l)"
printf 'load + forward within 0.20 s, 50 MB:     %s\n' \
    "$( [ "$(echo "$forward_cpu <= 0.20 && $forward_mb <= 50" | bc -l)" -eq 1 ] && echo yes || echo no)"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
