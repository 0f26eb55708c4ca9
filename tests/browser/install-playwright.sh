#!/usr/bin/env bash
# Installs playwright-core from npm into BUILD/browser-test (not globally), unless it is there.
# The folder appears whole or not at all: npm installs into a folder of its own that is then
# renamed, so the browser test never finds a half-written install, even while the test command
# fetches it in the background. Exits 1 when node, npm or the npm registry is not at hand.
#   tests/browser/install-playwright.sh BUILD-DIR
set -euo pipefail
modules="$1/browser-test"
[ -d "$modules/node_modules/playwright-core" ] && exit 0
command -v node >/dev/null && command -v npm >/dev/null || exit 1
mkdir -p "$1"
staging=$(mktemp -d "$1/browser-test.XXXXXX")
trap 'rm -rf "$staging"' EXIT
(cd "$staging" && timeout 300 npm install --no-audit --no-fund --no-save --loglevel=error \
  playwright-core@1 >/dev/null) || exit 1
# Another install may have finished first; either one serves. A folder left without the
# package (an install cut off by an older version of this script) is replaced.
[ -d "$modules/node_modules/playwright-core" ] && exit 0
rm -rf "$modules"
mv -T "$staging" "$modules" 2>/dev/null || true
[ -d "$modules/node_modules/playwright-core" ]
