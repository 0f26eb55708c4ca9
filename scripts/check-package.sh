#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB), installs it with apt-get, runs the installed
# programs on a copy of the installed sample knowledge base, removes the package and checks
# that nothing of it is left under /usr, and runs lintian (its errors fail, warnings do not).
# Needs root (or sudo) for apt-get. usage: scripts/check-package.sh [BUILD-DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
# Files and folders of the package get the permissions Debian expects.
umask 022


step() { printf '\n== %s\n' "$*"; }
fail() { printf 'check-package: %s\n' "$*" >&2; exit 1; }

step "build and package in $build"
# Only what the package installs is built: cpack's install then builds nothing more.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" -j2 --target zuva zuva-gui zuva_packaging_files
rm -f "$build"/zuva_*.deb
(cd "$build" && cpack -G DEB) || fail "cpack failed"
debs=("$build"/zuva_*.deb)
[ -f "${debs[0]}" ] || fail "no package was made"
deb=${debs[0]}
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

step "install"
(cd "$build" && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "./$(basename "$deb")")
dpkg -L zuva >"$build/package-files.txt"
trap 'DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y zuva >/dev/null 2>&1 || true' EXIT

step "installed programs"
[ "$(command -v zuva)" = /usr/bin/zuva ] || fail "zuva is not /usr/bin/zuva"
zuva --version
zuva-gui --version
# zuva serve runs the server program installed beside zuva.
[ -x /usr/bin/zuva-serve ] || fail "zuva-serve is not /usr/bin/zuva-serve"
zuva serve --help | grep -q '^Użycie: zuva serve KATALOG' || fail "zuva serve --help: $(zuva serve --help 2>&1 | head -3)"
work=$(mktemp -d)
cp -r /usr/share/zuva/examples "$work/auto"
cd "$work/auto/BAZY"
# Load the sample's rule base (no diagnoses), then its model base, and end.
printf '10064\nREAUTO.BEN\nNie\nNie\n' >odp.txt
zuva --answers odp.txt >out.txt 2>err.txt || fail "zuva --answers: $(cat err.txt)"
grep -q '^\[title\] zuva_EN wnioskuje dla bazy wiedzy' out.txt || fail "the sample did not load: $(head -40 out.txt)"
zuva check REAUTO.BEN >check.txt || fail "zuva check found errors: $(cat check.txt)"
echo "zuva check: $(wc -l <check.txt) findings, no errors"
man -w zuva
man -w zuva-gui
man -w zuva-serve
cd /
rm -rf "$work"

step "remove"
trap - EXIT
DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y zuva
left=()
while read -r f; do
    case "$f" in /usr/*) ;; *) continue ;; esac
    # Folders the package shares with other packages stay; its files must go.
    [ -d "$f" ] && [ ! -L "$f" ] && continue
    if [ -e "$f" ] || [ -L "$f" ]; then left+=("$f"); fi
done <"$build/package-files.txt"
for d in /usr/share/zuva /usr/share/doc/zuva; do
    [ -e "$d" ] && left+=("$d")
done
[ ${#left[@]} -eq 0 ] || fail "left under /usr after removal: ${left[*]}"
echo "nothing of the package is left under /usr"

step "lintian"
command -v lintian >/dev/null || fail "lintian is not installed (scripts/install-deps.sh)"
lintian --fail-on error "$deb"
echo "check-package: ok"
