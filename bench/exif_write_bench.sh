#!/usr/bin/env bash
# Times writing one tag (Artist) into each of 200 JPEG files: tavelune-cli exif set against
# exiftool -overwrite_original and exiv2 -M, on fresh copies of the same files, in the same run.
# Every tool runs once per file (as tavelune-cli must); the peers' one-process form over all
# 200 files is timed as well. Prints the median of RUNS runs of each.
# SOURCE is one JPEG, copied 200 times, or a folder whose JPEG files are copied in turn until
# there are 200 (tests/fixtures/camera-exif: camera files with maker notes and thumbnails).
# BASELINE_CLI=path/to/an/older/tavelune-cli adds that build to the comparison.
# Usage: bench/exif_write_bench.sh [BUILD_DIR] [SOURCE] [RUNS]
#   defaults: build, samples/coffee-exif.jpg, 5
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source_jpeg=${2:-samples/coffee-exif.jpg}
runs=${3:-5}
cli="$(pwd)/$build/tavelune-cli"
[ -x "$cli" ] || { echo "no $cli: build the tavelune-cli target first" >&2; exit 1; }
for tool in exiftool exiv2; do
  command -v $tool >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ -d "$source_jpeg" ]; then
  mapfile -t sources < <(ls "$source_jpeg"/*.jpg)
else
  sources=("$source_jpeg")
fi
[ ${#sources[@]} -gt 0 ] || { echo "no JPEG files in $source_jpeg" >&2; exit 1; }
source_bytes=$(cat "${sources[@]}" | wc -c)
fresh() {
  rm -rf "$work/files"; mkdir "$work/files"
  local i=0
  for n in $(seq -w 1 200); do
    cp "${sources[$((i % ${#sources[@]}))]}" "$work/files/p$n.jpg"; chmod u+w "$work/files/p$n.jpg"
    i=$((i + 1))
  done
}
ours='for f in files/*.jpg; do "$cli" exif set "$f" Artist=Bench >/dev/null; done'
baseline='for f in files/*.jpg; do "$BASELINE_CLI" exif set "$f" Artist=Bench >/dev/null; done'
tool_each='for f in files/*.jpg; do exiftool -q -overwrite_original -Artist=Bench "$f"; done'
exiv2_each='for f in files/*.jpg; do exiv2 -M"set Exif.Image.Artist Bench" "$f"; done'
tool_all='exiftool -q -overwrite_original -Artist=Bench files/*.jpg'
exiv2_all='exiv2 -M"set Exif.Image.Artist Bench" files/*.jpg'

median() { sort -g | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
time_once() {
  fresh
  local start end
  start=$(date +%s%N)
  (cd "$work" && cli="$cli" BASELINE_CLI="${BASELINE_CLI:-}" bash -c "$1")
  end=$(date +%s%N)
  awk -v s="$start" -v e="$end" 'BEGIN {printf "%.4f\n", (e - s) / 1e9}'
}
# Each tool must really write the tag, or the timing compares failures.
names=(ours tool_each exiv2_each tool_all exiv2_all)
[ -n "${BASELINE_CLI:-}" ] && names+=(baseline)
for name in "${names[@]}"; do
  command=${!name}
  fresh
  (cd "$work" && cli="$cli" BASELINE_CLI="${BASELINE_CLI:-}" bash -c "$command")
  [ "$(exiftool -s3 -Artist "$work/files/p200.jpg")" = Bench ] || { echo "no Artist after: $command" >&2; exit 1; }
done

declare -A results
for run in $(seq "$runs"); do  # interleaved, so that load on the machine hits all alike
  for name in "${names[@]}"; do results[$name]+="$(time_once "${!name}") "; done
done
med() { echo "${results[$1]}" | tr ' ' '\n' | grep . | median; }
echo "200 copies of $source_jpeg (${#sources[@]} file(s), $source_bytes bytes), $runs runs each, median seconds"
printf 'tavelune-cli exif set, one process per file    %8.3f\n' "$(med ours)"
printf 'exiftool -overwrite_original, one per file     %8.3f   ratio %.2f\n' "$(med tool_each)" "$(awk -v a="$(med tool_each)" -v b="$(med ours)" 'BEGIN{print a/b}')"
printf 'exiv2 -M, one per file                         %8.3f   ratio %.2f\n' "$(med exiv2_each)" "$(awk -v a="$(med exiv2_each)" -v b="$(med ours)" 'BEGIN{print a/b}')"
printf 'exiftool -overwrite_original, all 200 at once  %8.3f   ratio %.2f\n' "$(med tool_all)" "$(awk -v a="$(med tool_all)" -v b="$(med ours)" 'BEGIN{print a/b}')"
printf 'exiv2 -M, all 200 at once                      %8.3f   ratio %.2f\n' "$(med exiv2_all)" "$(awk -v a="$(med exiv2_all)" -v b="$(med ours)" 'BEGIN{print a/b}')"
if [ -n "${BASELINE_CLI:-}" ]; then
  printf 'baseline tavelune-cli, one process per file   %8.3f   ratio %.2f\n' "$(med baseline)" "$(awk -v a="$(med baseline)" -v b="$(med ours)" 'BEGIN{print a/b}')"
fi
echo "(ratio = peer time / tavelune-cli time; above 1 means tavelune-cli is faster)"
