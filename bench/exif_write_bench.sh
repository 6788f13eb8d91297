#!/usr/bin/env bash
# Times writing one tag (Artist) into each of 200 JPEG files: tavelune-cli exif set against
# exiftool -overwrite_original and exiv2 -M, on fresh copies of the same files, in the same run.
# Every tool runs once per file and once over all 200 files in one process. Prints the medians
# of RUNS runs of each: wall-clock seconds, and CPU seconds (user + system, which a loaded
# machine disturbs less).
# SOURCE is one JPEG, copied 200 times, or a folder whose JPEG files are copied in turn until
# there are 200 (tests/fixtures/camera-exif: camera files with maker notes and thumbnails).
# BASELINE_CLI=path/to/an/older/tavelune-cli adds that build to the comparison (one process
# per file, the form every build has). EACH=0 leaves out the one-process-per-file forms.
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
ours_all='"$cli" exif set Artist=Bench -- files/*.jpg >/dev/null'
baseline='for f in files/*.jpg; do "$BASELINE_CLI" exif set "$f" Artist=Bench >/dev/null; done'
tool_each='for f in files/*.jpg; do exiftool -q -overwrite_original -Artist=Bench "$f"; done'
exiv2_each='for f in files/*.jpg; do exiv2 -M"set Exif.Image.Artist Bench" "$f"; done'
tool_all='exiftool -q -overwrite_original -Artist=Bench files/*.jpg'
exiv2_all='exiv2 -M"set Exif.Image.Artist Bench" files/*.jpg'

median() { sort -g | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
# "wall cpu" of one run, in seconds.
time_once() {
  fresh
  local TIMEFORMAT='%R %U %S'
  { time (cd "$work" && cli="$cli" BASELINE_CLI="${BASELINE_CLI:-}" bash -c "$1" >/dev/null 2>&1); } 2>&1 |
    awk '{printf "%.4f %.4f\n", $1, $2 + $3}'
}
# Each tool must really write the tag, or the timing compares failures.
names=(ours_all exiv2_all tool_all)
[ "${EACH:-1}" = 1 ] && names+=(ours exiv2_each tool_each)
[ -n "${BASELINE_CLI:-}" ] && [ "${EACH:-1}" = 1 ] && names+=(baseline)
for name in "${names[@]}"; do
  command=${!name}
  fresh
  (cd "$work" && cli="$cli" BASELINE_CLI="${BASELINE_CLI:-}" bash -c "$command")
  [ "$(exiftool -s3 -Artist "$work/files/p200.jpg")" = Bench ] || { echo "no Artist after: $command" >&2; exit 1; }
done

declare -A wall cpu
for run in $(seq "$runs"); do  # interleaved, so that load on the machine hits all alike
  for name in "${names[@]}"; do
    read -r w c < <(time_once "${!name}")
    wall[$name]+="$w "; cpu[$name]+="$c "
  done
done
med() { local -n series=$1; echo "${series[$2]}" | tr ' ' '\n' | grep . | median; }
declare -A label=(
  [ours_all]="tavelune-cli exif set, all 200 at once"
  [exiv2_all]="exiv2 -M, all 200 at once"
  [tool_all]="exiftool -overwrite_original, all 200 at once"
  [ours]="tavelune-cli exif set, one process per file"
  [exiv2_each]="exiv2 -M, one per file"
  [tool_each]="exiftool -overwrite_original, one per file"
  [baseline]="baseline tavelune-cli, one process per file")
echo "200 copies of $source_jpeg (${#sources[@]} file(s), $source_bytes bytes), $runs runs each, medians"
echo "load: $(uptime | sed 's/.*load average/load average/')"
printf '%-48s %9s %9s %12s\n' "" "wall s" "CPU s" "wall vs ours"
for name in "${names[@]}"; do
  base=ours_all
  [ "$name" = ours ] || [ "$name" = exiv2_each ] || [ "$name" = tool_each ] || [ "$name" = baseline ] && base=ours
  printf '%-48s %9.3f %9.3f %11.2fx\n' "${label[$name]}" "$(med wall "$name")" "$(med cpu "$name")" \
    "$(awk -v a="$(med wall "$name")" -v b="$(med wall "$base")" 'BEGIN{print a/b}')"
done
echo "(wall vs ours = that tool's wall time / tavelune-cli's in the same form; above 1: ours is faster)"
