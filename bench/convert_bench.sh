#!/usr/bin/env bash
# Times `tavelune-cli convert` (default film, quality 90) at 24 MP, 6 MP and 800 x 533 against
# the decode+encode floor of the same JPEG library (djpeg | cjpeg -quality 90) of the same files,
# plus convert with sharpening and with a frame at 24 MP, and of a 24 MP photograph carrying
# camera EXIF, a wide-gamut colour profile and 10 KB of XMP (kept, and with --to-srgb), all in
# one hyperfine run so that every command sees the same machine load; then the peak memory of
# each.
# BASE=path/to/an/older/tavelune-cli adds that binary's convert beside ours (and checks that it
# writes the same bytes).
# Needs: imagemagick and exiftool (to make the pictures once), libjpeg-turbo-progs, hyperfine,
# python3, and the build's bench/make_colour_files (COLOUR_TOOL).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${CLI:-build/tavelune-cli}
base=${BASE:-}
work=${WORK:-/tmp/tavelune-bench}
runs=${RUNS:-7}
mkdir -p "$work"
big="$work/big-24mp.jpg"
if [ ! -f "$big" ]; then
  # An upscaled sample with fine grain, so the encoder sees photographic detail.
  convert samples/rocket.jpg -filter Lanczos -resize 6000x4000\! \
    -attenuate 0.28 +noise Gaussian -quality 90 "$big"
fi
[ -f "$work/mid-6mp.jpg" ] || convert "$big" -resize 3000x2000\! -quality 90 "$work/mid-6mp.jpg"
[ -f "$work/small.jpg" ] || convert "$big" -resize 800x533\! -quality 90 "$work/small.jpg"
meta="$work/meta-24mp.jpg"
if [ ! -f "$meta" ]; then
  "${COLOUR_TOOL:-build/bench/make_colour_files}" profile "$work/wide.icc"
  description=$(python3 -c 'print(("A long caption written by a photo manager. " * 240)[:10240])')
  cp "$big" "$work/meta-making.jpg"
  exiftool -q -overwrite_original -TagsFromFile tests/fixtures/camera-exif/canon-eos-20d.jpg \
    -exif:all "$work/meta-making.jpg"
  exiftool -q -overwrite_original "-icc_profile<=$work/wide.icc" \
    "-xmp-dc:description=$description" "$work/meta-making.jpg"
  mv "$work/meta-making.jpg" "$meta"
fi

sizes=(24mp:big-24mp 6mp:mid-6mp 800x533:small)
# name|command; the name's first word is the group the ratios are taken in.
commands=()
for entry in "${sizes[@]}"; do
  label=${entry%%:*}
  file="$work/${entry#*:}.jpg"
  commands+=("$label floor|djpeg $file | cjpeg -quality 90 > $work/floor-$label.jpg")
  commands+=("$label convert|$cli convert --quality 90 $file $work/out-$label.jpg")
  [ -n "$base" ] && commands+=("$label base|$base convert --quality 90 $file $work/base-$label.jpg")
done
commands+=("24mp-sharpened convert|$cli convert --quality 90 --sharpness 0 $big $work/out-sharp.jpg")
[ -n "$base" ] && commands+=("24mp-sharpened base|$base convert --quality 90 --sharpness 0 $big $work/base-sharp.jpg")
commands+=("24mp-framed convert|$cli convert --quality 90 --border-preset white-black $big $work/out-framed.jpg")
[ -n "$base" ] && commands+=("24mp-framed base|$base convert --quality 90 --border-preset white-black $big $work/base-framed.jpg")
commands+=("24mp-metadata convert|$cli convert --quality 90 $meta $work/out-meta.jpg")
commands+=("24mp-to-srgb convert|$cli convert --quality 90 --to-srgb $meta $work/out-srgb.jpg")

args=()
for entry in "${commands[@]}"; do
  args+=(-n "${entry%%|*}" "${entry#*|}")
done
hyperfine --warmup 1 --runs "$runs" --export-json "$work/convert.json" "${args[@]}" >/dev/null

# Peak memory: for the floor, the larger of its two processes.
: >"$work/memory.txt"
for entry in "${commands[@]}"; do
  name=${entry%%|*}
  command=${entry#*|}
  if [[ $name == *floor ]]; then
    file=${command#djpeg }
    file=${file%% |*}
    d=$(/usr/bin/time -f %M djpeg "$file" 2>&1 >"$work/floor.ppm" | tail -1)
    c=$(/usr/bin/time -f %M cjpeg -quality 90 "$work/floor.ppm" 2>&1 >/dev/null | tail -1)
    echo "$name|$((d > c ? d : c))" >>"$work/memory.txt"
  else
    # shellcheck disable=SC2086
    m=$(/usr/bin/time -f %M $command 2>&1 >/dev/null | tail -1)
    echo "$name|$m" >>"$work/memory.txt"
  fi
done
rm -f "$work/floor.ppm"

if [ -n "$base" ]; then
  for label in 24mp 6mp 800x533; do
    cmp "$work/out-$label.jpg" "$work/base-$label.jpg" && echo "$label: identical to BASE"
  done
  cmp "$work/out-sharp.jpg" "$work/base-sharp.jpg" && echo "24mp-sharpened: identical to BASE"
  cmp "$work/out-framed.jpg" "$work/base-framed.jpg" && echo "24mp-framed: identical to BASE"
fi

python3 - "$work/convert.json" "$work/memory.txt" <<'PY'
import json, statistics, sys
results = {r["command"]: statistics.median(r["times"]) for r in json.load(open(sys.argv[1]))["results"]}
memory = dict(line.strip().split("|") for line in open(sys.argv[2]) if line.strip())
print(f"{'command':28} {'median':>9} {'vs floor':>9} {'vs base':>8} {'peak MiB':>9}")
for name, median in results.items():
    group = name.split()[0].split("-")[0]
    floor = results.get(f"{group} floor")
    base = results.get(name.replace("convert", "base")) if name.endswith("convert") else None
    vs_floor = f"{median / floor:8.2f}x" if floor and not name.endswith("floor") else ""
    plain = results.get("24mp-metadata convert") if name.startswith("24mp-to-srgb") else None
    vs_base = f"{median / base:7.2f}x" if base else ""
    print(f"{name:28} {median * 1000:7.1f} ms {vs_floor:>9} {vs_base:>8} "
          f"{int(memory.get(name, 0)) / 1024:8.1f}"
          + (f"   {median / plain:.2f}x the kept-metadata convert" if plain else ""))
PY
