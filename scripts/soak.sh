#!/usr/bin/env bash
# Soak test of batch conversion (not run in CI: it takes long). Makes COUNT pictures of MP
# megapixels, a twentieth of them broken in different ways, then runs `batch --skip-existing`
# over them, kills it with SIGKILL at KILLS random moments and restarts it each time. At the
# end every good picture must have an output that decodes completely, no broken one an
# output, and no temporary file may be left; a last uninterrupted run (into a second folder)
# must hold its resident memory at its end within 10 % of that after file COUNT/10.
# Usage: scripts/soak.sh [COUNT (1000)] [KILLS (30)] [MP (6)]; WORK=folder (a fresh temporary
# one), CLI=path of tavelune-cli (build/tavelune-cli), JOBS=files at once (2).
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-1000}
kills=${2:-30}
megapixels=${3:-6}
cli=$(realpath "${CLI:-build/tavelune-cli}")
jobs=${JOBS:-2}
work=${WORK:-$(mktemp -d /tmp/tavelune-soak.XXXXXX)}
mkdir -p "$work/in" "$work/out" "$work/again"
say() { printf 'soak: %s\n' "$*" >&2; }
command -v convert >/dev/null || { say "needs ImageMagick's convert"; exit 2; }

# Ten different pictures, copied round: each file is read and written on its own.
width=$(python3 -c "import math; print(int(math.sqrt($megapixels * 1e6 * 1.5)))")
height=$((width * 2 / 3))
for k in $(seq 0 9); do
  [ -f "$work/base$k.jpg" ] || convert -size "${width}x${height}" -seed "$k" plasma:fractal \
    -quality 90 "$work/base$k.jpg"
done
good=()
broken=()
for i in $(seq 1 "$count"); do
  name=$(printf 'p%05d.jpg' "$i")
  file="$work/in/$name"
  if [ $((i % 20)) -eq 7 ]; then
    case $(((i / 20) % 6)) in
      0) head -c 200000 "$work/base$((i % 10)).jpg" >"$file" ;;   # cut short
      1) : >"$file" ;;                                              # empty
      2) head -c 50000 /dev/urandom >"$file" ;;                     # noise
      3) python3 - "$work/base0.jpg" "$file" <<'PY'                  # header claims 2^30 pixels
import sys
data = bytearray(open(sys.argv[1], "rb").read()[:4096])
at = next(i for i in range(2, len(data) - 9) if data[i] == 0xFF and data[i + 1] in (0xC0, 0xC2))
data[at + 5:at + 9] = bytes([0x80, 0, 0x80, 0])
open(sys.argv[2], "wb").write(data)
PY
         ;;
      4) convert -size 64x64 xc:red "png:$file" ;;                  # a PNG named .jpg
      5) mkdir -p "$file" ;;                                        # a folder named .jpg
    esac
    broken+=("$name")
  else
    cp "$work/base$((i % 10)).jpg" "$file"
    good+=("$name")
  fi
done
find "$work/in" -maxdepth 1 -name 'p*.jpg' | sort >"$work/list"
say "$count pictures of ${width}x${height} (${#broken[@]} broken) in $work"

batch() { "$cli" batch --jobs "$jobs" --skip-existing --files-from "$work/list" "$@"; }
# In a background job or coprocess: the program replaces the shell, so that SIGKILL and the
# memory readings reach the program itself.
batchInPlace() { exec "$cli" batch --jobs "$jobs" --skip-existing --files-from "$work/list" "$@"; }

for k in $(seq 1 "$kills"); do
  batchInPlace -o "$work/out" >/dev/null 2>&1 &
  pid=$!
  sleep "$(python3 -c "import random; print(round(random.uniform(0.2, 4.0), 2))")"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  say "kill $k of $kills: $(find "$work/out" -name 'QX_*' | wc -l) outputs so far"
done
status=0
batch -o "$work/out" >/dev/null 2>"$work/final.err" || status=$?
[ "$status" -le 1 ] || { say "the last run ended with $status"; cat "$work/final.err" >&2; exit 1; }

problems=0
for name in "${good[@]}"; do
  output="$work/out/QX_$name"
  if [ ! -s "$output" ] || ! djpeg -fast "$output" >/dev/null 2>"$work/djpeg.err"; then
    say "no complete output for $name: $(head -c 200 "$work/djpeg.err" 2>/dev/null)"
    problems=$((problems + 1))
  fi
done
for name in "${broken[@]}"; do
  if [ -e "$work/out/QX_$name" ]; then
    say "a broken picture has an output: $name"
    problems=$((problems + 1))
  fi
done
left=$(find "$work/out" -name '.*' -type f | wc -l)
if [ "$left" -ne 0 ]; then
  say "$left temporary files left:"; find "$work/out" -name '.*' -type f | head >&2
  problems=$((problems + 1))
fi
outputs=$(find "$work/out" -type f | wc -l)
say "after $kills kills: $outputs outputs for ${#good[@]} good pictures, $left temporaries"

# Memory: one uninterrupted run, resident size read when file COUNT/10 finishes and when the
# last JOBS files are all that is left (after the last one the process is gone).
early=$((count / 10))
late=$((count - jobs))
rss() { sed -n "s/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p" "/proc/$1/status" 2>/dev/null; }
coproc RUN { batchInPlace -o "$work/again" --json 2>/dev/null; }
pid=$RUN_PID
exec {lines}<&"${RUN[0]}"  # bash forgets RUN when the coprocess ends
finished=0
rssEarly=0
rssLate=0
while IFS= read -r line <&"$lines"; do
  finished=$((finished + 1))
  [ "$finished" -eq "$early" ] && rssEarly=$(rss "$pid")
  [ "$finished" -eq "$late" ] && rssLate=$(rss "$pid")
done
wait "$pid" || true
say "resident memory after file $early: ${rssEarly} kB, after file $late: ${rssLate} kB"
if [ "${rssEarly:-0}" -le 0 ] || [ "${rssLate:-0}" -le 0 ] ||
   [ $((rssLate * 100)) -gt $((rssEarly * 110)) ]; then
  say "memory grew by more than 10 % (or could not be read)"
  problems=$((problems + 1))
fi
[ "$problems" -eq 0 ] && say "passed" || say "$problems problems"
[ "$problems" -eq 0 ]
