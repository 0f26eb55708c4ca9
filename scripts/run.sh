#!/usr/bin/env bash
# Installs what is missing, builds and starts the program on the sample base: the desktop
# program when a display is available (and Qt 6 is there), else the terminal program.
# `--terminal` starts the terminal program in any case; other arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
terminal=0
args=()
for a in "$@"; do
  if [ "$a" = "--terminal" ]; then terminal=1; else args+=("$a"); fi
done
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ "$terminal" = 0 ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  if cmake --build build -j2 --target zuva-gui; then
    cd examples/BAZY && exec ../../build/zuva-gui "${args[@]}"
  fi
  echo "run.sh: the desktop program could not be built; starting the terminal program." >&2
fi
cmake --build build -j2 --target zuva
cd examples/BAZY && exec ../../build/zuva "${args[@]}"
