#!/usr/bin/env bash
# Times `tavelune-cli index` making the 8 x 5 - 4R sheet of 40 six-megapixel JPEGs at 300 dpi
# against ImageMagick montage making the same grid with its shrink-on-load hint, in one run; then
# the peak memory of each. (montage decoding all 40 pictures in full exceeds the resource policy
# of Debian's ImageMagick 6 and fails, so it is not timed here.)
# Needs: imagemagick, hyperfine.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${CLI:-build/tavelune-cli}
work=${WORK:-/tmp/tavelune-index-bench}
runs=${RUNS:-5}
mkdir -p "$work/photos"
if [ ! -f "$work/photos/p40.jpg" ]; then
  # Five upscaled samples with grain, eight copies each: 40 different files of 3000 x 2000.
  i=0
  for sample in astronaut chelsea coffee rocket chelsea-rotated; do
    convert "samples/$sample.jpg" -filter Lanczos -resize 3000x2000\! \
      -attenuate 0.35 +noise Gaussian -quality 90 "$work/base.jpg"
    for copy in 1 2 3 4 5 6 7 8; do
      i=$((i + 1))
      cp "$work/base.jpg" "$work/photos/p$i.jpg"
    done
  done
  rm -f "$work/base.jpg"
fi
photos=$(ls "$work"/photos/p*.jpg | sort -V | tr '\n' ' ')
# Cells of 213 x 142 with 10-pixel gaps on an 1800 x 1200 page, as the sheet lays them out.
tile="-tile 8x5 -geometry 213x142^+5+5 -gravity center -extent 213x142 -background black"
hyperfine --warmup 1 --runs "$runs" --export-json "$work/index.json" \
  -n montage-hint "montage -define jpeg:size=426x284 $photos $tile -quality 75 $work/montage-hint.jpg" \
  -n index "$cli index --dpi 300 $photos -o $work/index.jpg"
python3 - "$work/index.json" <<'PY'
import json, statistics, sys
results = {r["command"]: statistics.median(r["times"]) for r in json.load(open(sys.argv[1]))["results"]}
for name, median in results.items():
    print(f"median {name}: {median:.3f} s ({median / results['index']:.2f}x of index)")
PY
/usr/bin/time -f "peak memory of index: %M KiB" "$cli" index --dpi 300 $photos -o "$work/index.jpg" 2>&1 | tail -1
/usr/bin/time -f "peak memory of montage-hint: %M KiB" montage -define jpeg:size=426x284 $photos $tile "$work/montage-hint.jpg" 2>&1 | tail -1
