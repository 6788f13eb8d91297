#!/usr/bin/env bash
# Times the camera raw and HEIF roads side by side with their reference tools, in turns so that
# every command sees the same machine load; prints medians and ratios:
#   - a 24 MP DNG to a film JPEG with `convert` against dcraw_emu (the same LibRaw, camera white
#     balance, sRGB) piped into cjpeg;
#   - a 12 MP HEIC to a film JPEG with `convert` against heif-convert to JPEG;
#   - an index sheet of 40 raws (with camera-sized JPEG previews) against one of 40 JPEGs of the
#     same pixel size;
# then the desktop program's open of the DNG (median wall time of gui_stall_probe's rounds) and
# the mean difference of its half-size working copy from the full development at 800 pixels.
# Needs: libraw-bin, libjpeg-turbo-progs, libheif-examples, python3; a build with
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
# The commands take turns within each round, so that the load of a shared machine falls on
# a reference and ours alike (one command's runs in a row would meet whatever load that
# stretch had); medians of the wall time and of the CPU time (user + system, children
# included), and the load average at the start and the end.
TIMEFORMAT='%R %U %S'
timings="$work/timings.txt"
: > "$timings"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for entry in "${commands[@]}"; do sh -c "${entry#*|}" >/dev/null 2>&1; done  # warm-up
for _ in $(seq "$runs"); do
  for entry in "${commands[@]}"; do
    read -r real user system < <({ time sh -c "${entry#*|}" >/dev/null 2>&1; } 2>&1)
    echo "${entry%%|*}|$real|$user|$system" >> "$timings"
  done
done
echo "$runs rounds; load average $load_before at the start, $(cut -d' ' -f1-3 /proc/loadavg) at the end"

python3 - "$timings" <<'PY'
import statistics, sys
wall, cpu = {}, {}
for line in open(sys.argv[1]):
    name, real, user, system = line.strip().split("|")
    wall.setdefault(name, []).append(float(real))
    cpu.setdefault(name, []).append(float(user) + float(system))
limits = {"dng": 1.3, "heic": 1.3, "index": 2.0}
print(f"{'road':8} {'reference s':>12} {'ours s':>8} {'ratio':>7} {'limit':>6} {'CPU ratio':>10}")
for road, limit in limits.items():
    ref, ours = (statistics.median(wall[f"{road} {k}"]) for k in ("reference", "convert"))
    ref_cpu, ours_cpu = (statistics.median(cpu[f"{road} {k}"]) for k in ("reference", "convert"))
    print(f"{road:8} {ref:12.3f} {ours:8.3f} {ours / ref:7.2f} {limit:6.1f} {ours_cpu / ref_cpu:10.2f}")
PY
if [ -x "$build/bench/gui_stall_probe" ]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/gui_stall_probe" "$dng" "$runs" 2>/dev/null | grep -E "rounds|wall"
fi
"$build/bench/raw_working_check" "$dng"
