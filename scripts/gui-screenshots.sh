#!/usr/bin/env bash
# Starts the desktop program under Xvfb on a copy of the sample knowledge base, drives a
# short consultation through the real window with xdotool (keys only, as a user would)
# and writes screenshots under build/screenshots/. Needs Xvfb, xdotool and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=${ZUVA_GUI:-$root/build/zuva-gui}
out=$root/build/screenshots
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "gui-screenshots: $tool is not installed" >&2; exit 1; }
done
[ -x "$bin" ] || { echo "gui-screenshots: $bin is not built" >&2; exit 1; }
mkdir -p "$out"
work=$(mktemp -d)
cp -r examples/. "$work"
# Xvfb picks a free display itself and writes its number once it takes connections: a fixed
# number could be another server's, and on a loaded machine (the test command compiles beside
# this) the server may need seconds to start; the program started before it aborts.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/.display" >/dev/null 2>&1 &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 300); do [ -s "$work/.display" ] && break; sleep 0.1; done
[ -s "$work/.display" ] || { echo "gui-screenshots: Xvfb did not start within 30 s" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/.display")"

# Without a window manager the keyboard focus stays where the last window left it: every
# key goes to the newest visible window (the open dialog, else the task window).
top() { xdotool search --onlyvisible --name . 2>/dev/null | tail -1; }
step() { sleep "${2:-0.6}"; xdotool windowfocus "$(top)" 2>/dev/null || true; xdotool key --clearmodifiers "$1"; }
typed() { sleep 0.5; xdotool windowfocus "$(top)" 2>/dev/null || true; xdotool type --delay 20 -- "$1"; }
shot() { sleep 0.8; import -window root "$out/$1.png"; echo "$out/$1.png"; }

(cd "$work/BAZY" && exec "$bin") &
app=$!
for _ in $(seq 300); do xdotool search --name 'zuva_EN' >/dev/null 2>&1 && break; sleep 0.1; done
xdotool search --name 'zuva_EN' >/dev/null || { echo "gui-screenshots: the task window did not appear" >&2; exit 1; }
shot 01-okno-wstepne
sleep 0.5; xdotool mousemove 800 500 click 1   # closes the introductory window
step ctrl+r                 # Ładowanie bazy reguł
typed REAUTO.BEN
shot 02-wybor-pliku
step Return
step Return                 # Wynik ładowania bazy reguł
step alt+n; step alt+n; step alt+n   # no diagnoses
step Return                 # Zalecenie
shot 03-okno-zadan
step alt+b; step Down; step Right; step Return   # Baza reguł / Przegląd / Selektywny wybór reguł
shot 04-okno-regul
step alt+b; step Down; step Down; step Return    # Baza reguł / Edycja bazy reguł
typed REAUTO.BEN; step Return
step Return                 # Zawiń/rozwiń
shot 05-edytor
step F5                     # Wnioskowanie w przód
step Return                 # the description of the base
step Return                 # level of detail
step alt+n                  # no labels
step Return                 # the loaded bases
step Return                 # facts from the menu
step Return                 # the facts
shot 06-pytanie-cf
typed 0.8; step Return
shot 07-wyjasnienie
step Return
typed 0.5; step Return
shot 08-okno-pomocnicze

# A second start at 1280 pixels: the whole menu bar with the status bar, the help window
# (F1) and picture windows opened from the graphics base.
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
rm -rf "$work" && work=$(mktemp -d) && cp -r examples/. "$work"
(cd "$work/BAZY" && exec "$bin") &
app=$!
for _ in $(seq 300); do xdotool search --name 'zuva_EN' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.5; xdotool mousemove 800 500 click 1
main=$(xdotool search --onlyvisible --name 'zuva_EN' | head -1)
xdotool windowmove "$main" 0 0
xdotool windowsize "$main" 1280 800
step ctrl+r
typed REAUTO.BEN
step Return
step Return                 # Wynik ładowania bazy reguł
step alt+n; step alt+n; step alt+n   # no diagnoses
step Return                 # Zalecenie
shot 09-pasek-menu-1280
step F1                     # Pomoc: the user guide in the help window
shot 10-okno-pomocy
step alt+g; step Return     # Baza grafiki / Ładowanie bazy grafiki
typed GRAUTO.BEN
step Return
step Return                 # the load's note
step alt+g; step Down; step Right; step Down; step Return   # Przegląd grafiki / Obejrzenie pliku graficznego
step Return                 # the first picture
step Down; step Return      # the second one, cascaded
step Escape
shot 11-okno-grafiki
step alt+a; step Up; step Return   # Analiza bazy wiedzy / Graf bazy wiedzy (the last item)
shot 12-graf-bazy-wiedzy
# The README's copies: the task window's 1280 x 800 pixels, halved.
for s in 09-pasek-menu-1280:zuva-gui-menu-1280 10-okno-pomocy:zuva-gui-pomoc 11-okno-grafiki:zuva-gui-grafika; do
  convert "$out/${s%%:*}.png" -crop 1280x800+0+0 +repage -resize 50% "$out/${s##*:}.png"
done
# The graph at its size: halved, its labels could not be read.
convert "$out/12-graf-bazy-wiedzy.png" -crop 1280x800+0+0 +repage "$out/zuva-gui-graf.png"
