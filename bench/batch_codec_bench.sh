#!/usr/bin/env bash
# Times `tavelune-cli batch` (default film, quality 90, both cores) over 40 six-megapixel JPEGs
# against the decode+encode floor of the same files: `djpeg | cjpeg -quality 90` of each file,
# run two files at a time (xargs -P 2). The commands take turns within each round, so that the
# load of a shared machine falls on all of them alike; medians of RUNS rounds of the wall time
# and of the CPU time (user + system, children included: on a loaded machine the wall time
# also measures how many threads a command keeps runnable, the CPU time only its work), the
# load average at the start and the end, then the peak memory of each.
# BASE=path/to/an/older/tavelune-cli adds that binary's batch beside ours and checks that both
# wrote the same bytes. KIND=smooth uses pictures without grain (see make_batch_photos.sh).
# Needs: imagemagick (to make the pictures once), libjpeg-turbo-progs, python3, GNU time.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${CLI:-build/tavelune-cli}
base=${BASE:-}
kind=${KIND:-grain}
suffix=
[ "$kind" = smooth ] && suffix=-smooth
work=${WORK:-/tmp/tavelune-batch-bench$suffix}
runs=${RUNS:-5}
KIND=$kind bash bench/make_batch_photos.sh "$work" 40
mkdir -p "$work/floor" "$work/out" "$work/base"
declare -A command=(
  [floor]="ls $work/in/*.jpg | xargs -P 2 -I{} sh -c 'djpeg {} | cjpeg -quality 90 > $work/floor/\$(basename {})'"
  [batch]="$cli batch --quality 90 --overwrite -o $work/out $work/in/*.jpg"
)
names=(floor batch)
if [ -n "$base" ]; then
  command[base]="$base batch --quality 90 --overwrite -o $work/base $work/in/*.jpg"
  names+=(base)
fi
declare -A times cpu
TIMEFORMAT='%R %U %S'
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for name in "${names[@]}"; do sh -c "${command[$name]}" >/dev/null 2>&1; done  # warm-up
for _ in $(seq "$runs"); do
  for name in "${names[@]}"; do
    read -r real user system < <({ time sh -c "${command[$name]}" >/dev/null 2>&1; } 2>&1)
    times[$name]+="$real "
    cpu[$name]+="$(awk -v u="$user" -v s="$system" 'BEGIN {print u + s}') "
  done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
if [ -n "$base" ]; then
  diff -rq "$work/out" "$work/base" >/dev/null || { echo "batch and base wrote different bytes" >&2; exit 1; }
fi
floor_memory=$(/usr/bin/time -f %M sh -c "djpeg $work/in/p01.jpg | cjpeg -quality 90 >/dev/null" 2>&1 | tail -1)
# shellcheck disable=SC2086
batch_memory=$(/usr/bin/time -f %M ${command[batch]} 2>&1 >/dev/null | tail -1)
echo "40 x 6 MP ($kind, $(du -sh "$work/in" | cut -f1)), $runs rounds; load average $load_before at the start, $load_after at the end"
python3 - "$floor_memory" "$batch_memory" "${names[@]}" <<PY
import statistics, sys
series = {$(for name in "${names[@]}"; do printf '"%s": [%s], ' "$name" "$(echo "${times[$name]}" | tr ' ' ',')"; done)}
cpu = {$(for name in "${names[@]}"; do printf '"%s": [%s], ' "$name" "$(echo "${cpu[$name]}" | tr ' ' ',')"; done)}
floor = statistics.median(series["floor"])
floor_cpu = statistics.median(cpu["floor"])
for name in sys.argv[3:]:
    median = statistics.median(series[name])
    work = statistics.median(cpu[name])
    print(f"median {name:6} wall {median:6.3f} s {median / floor:5.2f}x   CPU {work:6.3f} s {work / floor_cpu:5.2f}x"
          f"   of the floor   (wall runs: {', '.join(f'{t:.2f}' for t in series[name])})")
print(f"peak memory: floor (one djpeg|cjpeg pair, largest process) {int(sys.argv[1]) / 1024:.1f} MiB, "
      f"batch {int(sys.argv[2]) / 1024:.1f} MiB")
PY
