#!/usr/bin/env bash
# Times the camera raw and HEIF roads side by side with their reference tools, in one hyperfine
# run so that every command sees the same machine load; prints medians and ratios:
#   - a 24 MP DNG to a film JPEG with `convert` against dcraw_emu (the same LibRaw, camera white
#     balance, sRGB) piped into cjpeg;
#   - a 12 MP HEIC to a film JPEG with `convert` against heif-convert to JPEG;
#   - an index sheet of 40 raws (with camera-sized JPEG previews) against one of 40 JPEGs of the
#     same pixel size;
# then the desktop program's open of the DNG (median wall time of gui_stall_probe's rounds) and
# the mean difference of its half-size working copy from the full development at 800 pixels.
# Needs: libraw-bin, libjpeg-turbo-progs, libheif-examples, hyperfine, python3; a build with
# TAVELUNE_TESTS and TAVELUNE_BENCH (make_codec_files, raw_working_check, gui_stall_probe).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
cli=${CLI:-$build/tavelune-cli}
work=${WORK:-/tmp/tavelune-codec-bench}
runs=${RUNS:-5}
# The bench tools run from build/bench, where no raw developer sits beside them.
export TAVELUNE_RAW_DEVELOPER=${TAVELUNE_RAW_DEVELOPER:-$(realpath "$build/tavelune-raw")}
mkdir -p "$work"
make="$build/bench/make_codec_files"
dng="$work/big-24mp.dng"
heic="$work/phone-12mp.heic"
jpeg="$work/big-24mp.jpg"
[ -f "$dng" ] || "$make" samples/rocket.jpg "$dng" 6000x4000 --preview 1616x1080
[ -f "$heic" ] || "$make" samples/rocket.jpg "$heic" 4032x3024
[ -f "$jpeg" ] || "$cli" convert --no-film --quality 90 "$dng" "$jpeg"
mkdir -p "$work/raws" "$work/jpegs"
for i in $(seq -w 1 40); do
  # Links: every sheet reads its one file forty times from the page cache alike.
  ln -f "$dng" "$work/raws/raw-$i.dng"
  ln -f "$jpeg" "$work/jpegs/jpeg-$i.jpg"
done

commands=(
  "dng reference|dcraw_emu -w -o 1 -q 3 -H 0 -W -g 2.4 12.92 -Z - $dng | cjpeg -quality 75 > $work/ref-dng.jpg"
  "dng convert|$cli convert $dng $work/out-dng.jpg"
  "heic reference|heif-convert -q 75 $heic $work/ref-heic.jpg"
  "heic convert|$cli convert $heic $work/out-heic.jpg"
  "index reference|$cli index -o $work/sheet-jpegs.jpg $work/jpegs/*.jpg"
  "index convert|$cli index -o $work/sheet-raws.jpg $work/raws/*.dng"
)
args=()
for entry in "${commands[@]}"; do
  args+=(-n "${entry%%|*}" "${entry#*|}")
done
hyperfine --warmup 1 --runs "$runs" --export-json "$work/codecs.json" "${args[@]}" >/dev/null

python3 - "$work/codecs.json" <<'PY'
import json, statistics, sys
results = {r["command"]: statistics.median(r["times"]) for r in json.load(open(sys.argv[1]))["results"]}
limits = {"dng": 1.3, "heic": 1.3, "index": 2.0}
print(f"{'road':8} {'reference s':>12} {'ours s':>8} {'ratio':>7} {'limit':>6}")
for road, limit in limits.items():
    ref, ours = results[f"{road} reference"], results[f"{road} convert"]
    print(f"{road:8} {ref:12.3f} {ours:8.3f} {ours / ref:7.2f} {limit:6.1f}")
PY
if [ -x "$build/bench/gui_stall_probe" ]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/gui_stall_probe" "$dng" "$runs" 2>/dev/null | grep -E "rounds|wall"
fi
"$build/bench/raw_working_check" "$dng"
