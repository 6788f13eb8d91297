#!/usr/bin/env bash
# Times `tavelune-cli exif` against `exiv2 -pa` listing the EXIF data of the same 1000 JPEG files
# in the same run, and prints the medians and their ratio.
# Usage: bench/exif_list_bench.sh [BUILD_DIR] [JPEG] [RUNS]
#   BUILD_DIR  holds tavelune-cli (default: build); JPEG is copied 1000 times
#   (default: samples/coffee-exif.jpg); RUNS per command (default: 10).
# Needs exiv2; uses hyperfine when it is installed, else its own timing loop.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source_jpeg=${2:-samples/coffee-exif.jpg}
runs=${3:-10}
cli="$build/tavelune-cli"
[ -x "$cli" ] || { echo "no $cli: build the tavelune-cli target first" >&2; exit 1; }
command -v exiv2 >/dev/null || { echo "exiv2 is not installed (apt-get install exiv2)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in $(seq -w 1 1000); do cp "$source_jpeg" "$work/photo$i.jpg"; done
ours="$cli exif --lang en_US $work/*.jpg > /dev/null"
peer="exiv2 -pa $work/*.jpg > /dev/null"
# Both must succeed on these files, or the timing compares failures.
bash -c "$ours" && bash -c "$peer"

median() { sort -g | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

if command -v hyperfine >/dev/null; then
  hyperfine --style basic --warmup 1 --runs "$runs" --export-json "$work/times.json" \
    -n tavelune-cli "$ours" -n "exiv2 -pa" "$peer" >&2
  ours_median=$(python3 -c "import json,sys; print(json.load(open(sys.argv[1]))['results'][0]['median'])" "$work/times.json")
  peer_median=$(python3 -c "import json,sys; print(json.load(open(sys.argv[1]))['results'][1]['median'])" "$work/times.json")
else
  time_runs() {
    local i start end
    bash -c "$1"  # warm-up
    for i in $(seq "$runs"); do
      start=$(date +%s%N); bash -c "$1"; end=$(date +%s%N)
      awk -v s="$start" -v e="$end" 'BEGIN {printf "%.6f\n", (e - s) / 1e9}'
    done
  }
  ours_median=$(time_runs "$ours" | median)
  peer_median=$(time_runs "$peer" | median)
fi
echo "files: 1000 copies of $source_jpeg ($(stat -c %s "$source_jpeg") bytes), runs: $runs"
printf 'tavelune-cli exif  median %.4f s\n' "$ours_median"
printf 'exiv2 -pa          median %.4f s\n' "$peer_median"
awk -v p="$peer_median" -v o="$ours_median" 'BEGIN {printf "ratio exiv2 / tavelune-cli: %.2f\n", p / o}'
