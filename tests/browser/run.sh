#!/usr/bin/env bash
# The page of `zuva serve` in a real browser: Debian's chromium driven by playwright-core
# (installed from npm into BUILD/browser-test by install-playwright.sh) clicks through a
# forward and a backward consultation of the sample base and keeps screenshots in
# BUILD/screenshots/; then a consultation across a restart of the server, whose state folder
# keeps it: the browser stands at the same question and finishes it.
# Exits 77 (skipped) when chromium, node or the npm registry is not at hand.
#   tests/browser/run.sh ZUVA BUILD-DIR
set -euo pipefail
zuva=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
chromium=${CHROMIUM:-/usr/bin/chromium}
if [ ! -x "$chromium" ] || ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "browser test: chromium, node or npm missing: skipped"
  exit 77
fi
modules="$build/browser-test"
if ! bash "$here/install-playwright.sh" "$build"; then
  echo "browser test: playwright-core cannot be installed from npm: skipped"
  exit 77
fi
work=$(mktemp -d)
server_pid=
cleanup() {
  if [ -n "$server_pid" ]; then kill -TERM "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
cp -r "$source_dir/examples" "$work/bazy"
# A base written by someone else: its condition is a script, its description markup.
mkdir -p "$work/bazy/ZLE/BAZY" "$work/bazy/ZLE/OPISY"
printf 'regu\xb3a(1,"wynik",["<script>alert(1)</script>"],1,"0.9")\n' > "$work/bazy/ZLE/BAZY/REZLE.BEN"
printf 'Opis <img src=x onerror=alert(2)>\n' > "$work/bazy/ZLE/OPISY/ZLE.OPI"
# A base of long names, as people write them (65-75 characters), and one of 5,000.
mkdir -p "$work/bazy/DLUGIE/BAZY"
python3 - "$work/bazy/DLUGIE/BAZY/REDLUGIE.BEN" <<'PY'
import sys
wniosek = "nalezy_wymienic_akumulator_i_sprawdzic_alternator_przed_najblizszym_mrozem"
warunek = "silnik_kreci_bardzo_wolno_przy_pierwszej_probie_rozruchu_w_chlodny_ranek"
olbrzym = "bardzo_dlugi_warunek_" * 238 + "koniec"
with open(sys.argv[1], "w", encoding="cp1250") as f:
    f.write(f'reguła(1,"{wniosek}",["{warunek}","{olbrzym}"],1,"0.9")\n')
PY
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
mkdir -p "$work/stan"
serve() {
  SDL_AUDIODRIVER=dummy "$zuva" serve "$work/bazy" --listen "127.0.0.1:$port" --state-dir "$work/stan" \
    >> "$work/serve.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
  done
}
serve
mkdir -p "$build/screenshots"
consult() {
  NODE_PATH="$modules/node_modules" node "$here/consult.js" "http://127.0.0.1:$port" "$chromium" \
    "$build/screenshots" "$build/browser-test/downloads" "$@"
}
consult
consult before-restart "$work/restart.json"
kill -TERM "$server_pid"
wait "$server_pid" || true
serve
consult after-restart "$work/restart.json"
