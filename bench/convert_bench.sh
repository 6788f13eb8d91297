#!/usr/bin/env bash
# Times `tavelune-cli convert` of a 24-megapixel photograph (default film, quality 90) against
# the decode+encode floor of the same JPEG library (djpeg | cjpeg -quality 90), in one run.
# Needs: imagemagick (to make the test picture once), libjpeg-turbo-progs, hyperfine.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${CLI:-build/tavelune-cli}
work=${WORK:-/tmp/tavelune-bench}
runs=${RUNS:-7}
mkdir -p "$work"
big="$work/big-24mp.jpg"
if [ ! -f "$big" ]; then
  # An upscaled sample with fine grain, so the encoder sees photographic detail.
  convert samples/rocket.jpg -filter Lanczos -resize 6000x4000\! \
    -attenuate 0.28 +noise Gaussian -quality 90 "$big"
fi
ls -l "$big"
hyperfine --warmup 1 --runs "$runs" --export-json "$work/convert.json" \
  -n floor "djpeg $big | cjpeg -quality 90 > $work/floor.jpg" \
  -n convert "$cli convert --quality 90 $big $work/out.jpg"
python3 - "$work/convert.json" <<'PY'
import json, statistics, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
floor = statistics.median(results["floor"]["times"])
conv = statistics.median(results["convert"]["times"])
print(f"median floor {floor:.3f} s, convert {conv:.3f} s, ratio {conv / floor:.2f}x")
PY
/usr/bin/time -f "peak memory of convert: %M KiB" "$cli" convert --quality 90 "$big" "$work/out.jpg" >/dev/null
