#!/usr/bin/env bash
# Installs the Debian packages that building and testing zuva need, when any is missing.
set -euo pipefail
pkgs=(g++ cmake make ninja-build ccache libgtest-dev clang-format unixodbc-dev libsqliteodbc libsqlite3-dev clang libclang-rt-dev python3 pkg-config libstb-dev libchafa-dev libsdl2-dev)
# The performance guard counts instructions under callgrind.
pkgs+=(valgrind)
# Line editing of the terminal program's prompts.
pkgs+=(libreadline-dev)
# The language server (`zuva lsp`): JSON; Neovim drives it in the editor test.
pkgs+=(nlohmann-json3-dev neovim)
# The Debian package and its check (scripts/check-package.sh): dpkg-shlibdeps, the manual
# page lookup, lintian.
pkgs+=(dpkg-dev file man-db lintian)
# The Python module (pybind11) and its tests.
pkgs+=(pybind11-dev python3-dev python3-pytest)
# The Python package: its wheel (setuptools driving CMake), a fresh virtual environment for the
# wheel's test, and mypy over its type stubs.
pkgs+=(python3-setuptools python3-wheel python3-build python3-pip python3-venv mypy)
# The desktop program (Qt 6 Widgets and Multimedia, with Qt's own Polish dialog texts) and
# the Xvfb screenshot script of its end-to-end check.
pkgs+=(qt6-base-dev qt6-multimedia-dev libgl-dev qt6-translations-l10n xvfb xdotool imagemagick)
# zuva serve (cpp-httplib) and its tests: nginx in front of two servers, Debian's chromium
# driven by playwright-core, which the browser test installs from npm with node.
pkgs+=(libcpp-httplib-dev nginx chromium)
# zuva serve --secret-file: consultations signed with HMAC-SHA256 in a compressed cookie.
pkgs+=(libssl-dev zlib1g-dev)
# Pictures of the network of a base and of the HOW tree: Graphviz's library (the terminal
# program, zuva serve), Qt SVG for the desktop window.
pkgs+=(libgraphviz-dev graphviz qt6-svg-dev)
# The English catalog of the program's texts: xgettext and msgfmt (libintl is in glibc).
pkgs+=(gettext)
missing=()
for p in "${pkgs[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# Node.js and npm: a machine may have them from elsewhere than Debian (whose packages then
# conflict with them); Debian's only where there are none.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi
