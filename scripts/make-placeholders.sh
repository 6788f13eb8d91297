#!/bin/sh
# Draws the two placeholder pictures the photo page shows before a picture is opened
# (resources/data/l_l.qxj: "open a picture", l_r.qxj: "the result appears here"). Needs ImageMagick.
set -eu
out=${1:-"$(dirname "$0")/../resources/data"}
mkdir -p "$out"
w=800 h=533

# A strip of film across the frame: dark base, perforations along both edges.
strip() {
    holes=""
    x=18
    while [ $x -lt $w ]; do
        holes="$holes roundrectangle $x,14 $((x + 22)),30 3,3 roundrectangle $x,$((h - 31)) $((x + 22)),$((h - 15)) 3,3"
        x=$((x + 44))
    done
    echo "fill #1b1b1b stroke none rectangle 0,0 $((w - 1)),44 rectangle 0,$((h - 45)) $((w - 1)),$((h - 1))
          fill #2c2c2c $holes
          fill none stroke #262626 stroke-width 2 rectangle 24,60 $((w - 25)),$((h - 61))"
}

# A photograph as a pictogram: frame, hills and sun, centred on (cx, cy).
photo() {
    cx=$1 cy=$2 colour=$3
    echo "fill none stroke $colour stroke-width 6 stroke-linejoin round
          rectangle $((cx - 90)),$((cy - 62)) $((cx + 90)),$((cy + 62))
          polyline $((cx - 90)),$((cy + 40)) $((cx - 30)),$((cy - 14)) $((cx + 10)),$((cy + 24)) $((cx + 40)),$((cy - 2)) $((cx + 90)),$((cy + 44))
          fill $colour stroke none circle $((cx + 44)),$((cy - 30)) $((cx + 56)),$((cy - 30))"
}

# Left: a folder with a photograph coming out of it.
convert -size ${w}x${h} xc:#0c0c0c -draw "$(strip)" \
    -draw "$(photo 400 238 '#5c5c5c')" \
    -draw "fill #0c0c0c stroke #5c5c5c stroke-width 6 stroke-linejoin round
           polygon 290,300 350,300 366,280 510,280 510,390 290,390" \
    -draw "fill none stroke #5c5c5c stroke-width 6 line 290,318 510,318" \
    -type TrueColor -units PixelsPerInch -density 72 -quality 85 -sampling-factor 2x2 -strip "$out/l_l.jpg"

# Right: "=>" leading into a mounted slide.
convert -size ${w}x${h} xc:#0c0c0c -draw "$(strip)" \
    -draw "fill none stroke #7a5522 stroke-width 8 stroke-linecap round stroke-linejoin round
           line 236,246 296,246 line 236,286 296,286 polyline 284,226 324,266 284,306" \
    -draw "fill none stroke #5c5c5c stroke-width 6 roundrectangle 360,156 576,376 14,14" \
    -draw "$(photo 468 266 '#5c5c5c')" \
    -type TrueColor -units PixelsPerInch -density 72 -quality 85 -sampling-factor 2x2 -strip "$out/l_r.jpg"

mv "$out/l_l.jpg" "$out/l_l.qxj"
mv "$out/l_r.jpg" "$out/l_r.qxj"
