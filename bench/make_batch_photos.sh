#!/usr/bin/env bash
# Makes COUNT (default 40) different six-megapixel JPEGs in DIR/in once, for the batch benches.
# KIND=smooth makes them without the grain: little work for the codec (about 0.7 MB each),
# so the film weighs most.
# Usage: [KIND=smooth] make_batch_photos.sh DIR [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
work=$1
count=${2:-40}
kind=${KIND:-grain}
mkdir -p "$work/in"
if [ "$(ls "$work/in" | wc -l)" -ne "$count" ] || [ "$(cat "$work/kind" 2>/dev/null)" != "$kind" ]; then
  rm -f "$work"/in/*
  if [ "$kind" = smooth ]; then
    convert samples/rocket.jpg -filter Lanczos -resize 3000x2000\! -blur 0x1.5 -quality 90 \
      "$work/seed.jpg"
  else
    convert samples/rocket.jpg -filter Lanczos -resize 3000x2000\! \
      -attenuate 0.28 +noise Gaussian -quality 90 "$work/seed.jpg"
  fi
  for i in $(seq -w 1 "$count"); do
    # Each picture differs a little, so no run can profit from an identical input.
    convert "$work/seed.jpg" -modulate 100,$((90 + 10#$i % 20)) -quality 90 "$work/in/p$i.jpg"
  done
  echo "$kind" > "$work/kind"
fi
