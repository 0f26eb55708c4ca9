#!/usr/bin/env bash
# Draws the picture of the introductory window (a small network leading from facts and
# arguments through a rule and a model to a conclusion) with ImageMagick; its output is
# committed as src/gui/resources/wstep.png.
set -euo pipefail
cd "$(dirname "$0")/.."
out=src/gui/resources/wstep.png
args=(-size 800x500 gradient:'#f1faee'-'#a8dadc' -font DejaVu-Sans)
edge() {  # x1 y1 x2 y2
  args+=(-stroke '#457b9d' -strokewidth 3 -draw "line $1,$2 $3,$4" -stroke none -fill '#457b9d'
         -draw "circle $3,$4 $(($3 + 6)),$4")
}
node() {  # x y text colour
  args+=(-fill "$4" -stroke '#1d3557' -strokewidth 2
         -draw "roundrectangle $(($1 - 80)),$(($2 - 24)) $(($1 + 80)),$(($2 + 24)) 12,12"
         -stroke none -fill '#1d3557' -pointsize 18 -annotate "+$(($1 - 68))+$(($2 + 7))" "$3")
}
edge 200 170 320 230; edge 200 290 320 230; edge 200 400 320 340
edge 480 230 520 285; edge 480 340 520 285
node 120 170 'fakt: 1.0' '#ffffff'; node 120 290 'warunek: 0.8' '#ffffff'; node 120 400 'argument: 12' '#ffffff'
node 400 230 'reguła 1' '#fff3b0'; node 400 340 'model 2' '#fff3b0'; node 620 285 'wniosek: 0.72' '#ffd6a5'
args+=(-fill '#1d3557' -font DejaVu-Sans-Bold -pointsize 60 -annotate +40+90 'zuva_EN')
args+=(-font DejaVu-Sans -pointsize 20 -annotate +40+460 'Regułowo-modelowy skorupowy system ekspertowy')
args+=(-pointsize 15 -fill '#457b9d' -annotate +40+488 'Zamknij to okno, aby rozpocząć pracę.')
convert "${args[@]}" -strip "$out"
echo "$out"
