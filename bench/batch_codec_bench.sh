#!/usr/bin/env bash
# Times `tavelune-cli batch` (default film, quality 90, both cores) over 40 six-megapixel JPEGs
# against the decode+encode floor of the same files: `djpeg | cjpeg -quality 90` of each file,
# run two files at a time (xargs -P 2), in one hyperfine run; then the peak memory of each.
# BASE=path/to/an/older/tavelune-cli adds that binary's batch beside ours.
# Needs: imagemagick (to make the pictures once), libjpeg-turbo-progs, hyperfine, python3.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${CLI:-build/tavelune-cli}
base=${BASE:-}
work=${WORK:-/tmp/tavelune-batch-bench}
runs=${RUNS:-5}
bash bench/make_batch_photos.sh "$work" 40
mkdir -p "$work/floor" "$work/out" "$work/base"
floor="ls $work/in/*.jpg | xargs -P 2 -I{} sh -c 'djpeg {} | cjpeg -quality 90 > $work/floor/\$(basename {})'"
batch="$cli batch --quality 90 --overwrite -o $work/out $work/in/*.jpg"
args=(-n floor "$floor" -n batch "$batch")
[ -n "$base" ] && args+=(-n base "$base batch --quality 90 --overwrite -o $work/base $work/in/*.jpg")
hyperfine --warmup 1 --runs "$runs" --export-json "$work/batch.json" "${args[@]}" >/dev/null
floor_memory=$(/usr/bin/time -f %M sh -c "djpeg $work/in/p01.jpg | cjpeg -quality 90 >/dev/null" 2>&1 | tail -1)
# shellcheck disable=SC2086
batch_memory=$(/usr/bin/time -f %M $batch 2>&1 >/dev/null | tail -1)
python3 - "$work/batch.json" "$floor_memory" "$batch_memory" <<'PY'
import json, statistics, sys
results = {r["command"]: statistics.median(r["times"]) for r in json.load(open(sys.argv[1]))["results"]}
floor = results["floor"]
for name, median in results.items():
    print(f"median {name:6} {median:6.3f} s  {median / floor:5.2f}x of the floor")
print(f"peak memory: floor (one djpeg|cjpeg pair, largest process) {int(sys.argv[2]) / 1024:.1f} MiB, "
      f"batch {int(sys.argv[3]) / 1024:.1f} MiB")
PY
