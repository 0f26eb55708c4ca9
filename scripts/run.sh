#!/usr/bin/env bash
# Installs what is missing, builds and starts the terminal program on the sample base.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target zuva
cd examples/BAZY && exec ../../build/zuva "$@"
