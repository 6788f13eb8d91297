#!/usr/bin/env bash
# Times `tavelune-cli index` making the 8 x 5 - 4R sheet of 40 six-megapixel JPEGs at 300 dpi
# against ImageMagick montage with its shrink-on-load hint and, when vips is installed, a libvips
# pipeline (vipsthumbnail in two processes, then arrayjoin and embed onto the page); with
# BASE=<an older tavelune-cli> that binary too. All are run interleaved, round after round, so
# they see the same machine load; medians of wall and CPU time and the peak memory of each are
# printed side by side. (montage decoding all 40 pictures in full exceeds the resource policy of
# Debian's ImageMagick 6 and fails, so it is not timed here.)
# Peak memory is the largest resident size of any stage; the two vipsthumbnail processes run
# side by side, so their peaks are added.
# Needs: imagemagick; libvips-tools for the vips row.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${CLI:-build/tavelune-cli}
base=${BASE:-}
work=${WORK:-/tmp/tavelune-index-bench}
runs=${RUNS:-5}
mkdir -p "$work/photos"
if [ ! -f "$work/photos/p40.jpg" ]; then
  # Five upscaled samples with grain, eight copies each: 40 different files of 3000 x 2000.
  i=0
  for sample in astronaut chelsea coffee rocket chelsea-rotated; do
    convert "samples/$sample.jpg" -filter Lanczos -resize 3000x2000\! \
      -attenuate 0.35 +noise Gaussian -quality 90 "$work/base.jpg"
    for copy in 1 2 3 4 5 6 7 8; do
      i=$((i + 1))
      cp "$work/base.jpg" "$work/photos/p$i.jpg"
    done
  done
  rm -f "$work/base.jpg"
fi
if [ -n "$base" ] && [ ! -x "$base" ]; then
  echo "BASE=$base is not an executable" >&2
  exit 1
fi
vips_found=$(command -v vipsthumbnail >/dev/null && command -v vips >/dev/null && echo 1 || echo 0)
uptime
python3 - "$cli" "$base" "$work" "$runs" "$vips_found" <<'PY'
import glob, os, shutil, statistics, subprocess, sys, time

cli, base, work, runs, vips_found = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), sys.argv[5] == "1"
photos = sorted(glob.glob(os.path.join(work, "photos", "p*.jpg")),
                key=lambda p: int(os.path.basename(p)[1:-4]))
out = os.path.join(work, "out")

def index(binary):
    return [[[binary, "index", "--dpi", "300", *photos, "-o", os.path.join(out, "index.jpg")]]]

# Cells of 213 x 142 with 10-pixel gaps on an 1800 x 1200 page, as the sheet lays them out.
tile = ["-tile", "8x5", "-geometry", "213x142^+5+5", "-gravity", "center", "-extent", "213x142",
        "-background", "black"]
montage = [[["montage", "-define", "jpeg:size=426x284", *photos, *tile, "-quality", "75",
             os.path.join(out, "montage-hint.jpg")]]]
thumbs = os.path.join(out, "vips")
half = len(photos) // 2
vips = [
    # Shrink-on-load and crop to fill the cell, half of the pictures in each process.
    [["vipsthumbnail", "-s", "213x142", "-m", "centre", "-o", os.path.join(thumbs, "%s.v"), *part]
     for part in (photos[:half], photos[half:])],
    [["vips", "arrayjoin",
      " ".join(os.path.join(thumbs, os.path.basename(p)[:-4] + ".v") for p in photos),
      os.path.join(out, "grid.v"), "--across", "8", "--shim", "10"]],
    [["vips", "embed", os.path.join(out, "grid.v"), os.path.join(out, "vips.jpg") + "[Q=75]",
      "13", "10", "1800", "1200"]],
]

pipelines = {"index": index(cli)}
if base:
    pipelines["index-base"] = index(base)
pipelines["montage-hint"] = montage
if vips_found:
    pipelines["vips"] = vips

def run(stages):
    """Wall seconds, CPU seconds and peak KiB of one run of a pipeline."""
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(thumbs)
    cpu, peak = 0.0, 0
    start = time.monotonic()
    for stage in stages:
        procs = [subprocess.Popen(c, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                 for c in stage]
        stage_peak = 0
        for p in procs:
            _, status, usage = os.wait4(p.pid, 0)
            p.returncode = os.waitstatus_to_exitcode(status)
            if p.returncode != 0:
                sys.exit(f"failed ({p.returncode}): {' '.join(p.args[:3])} ...")
            cpu += usage.ru_utime + usage.ru_stime
            stage_peak += usage.ru_maxrss
        peak = max(peak, stage_peak)
    return time.monotonic() - start, cpu, peak

names = list(pipelines)
for name in names:  # warm-up: file cache, and the outputs checked once
    run(pipelines[name])
walls = {n: [] for n in names}
cpus = {n: [] for n in names}
peaks = {n: 0 for n in names}
for r in range(runs):
    order = names[r % len(names):] + names[:r % len(names)]
    for name in order:
        wall, cpu, peak = run(pipelines[name])
        walls[name].append(wall)
        cpus[name].append(cpu)
        peaks[name] = max(peaks[name], peak)
        print(f"run {r + 1} {name:14}{wall:8.3f} s wall{cpu:8.3f} s cpu", flush=True)
print(f"\n{len(photos)} pictures, {runs} interleaved runs; medians (ratio = that / index)")
ref_wall = statistics.median(walls["index"])
ref_cpu = statistics.median(cpus["index"])
print(f"{'':14}{'wall s':>8}{'ratio':>8}{'cpu s':>8}{'ratio':>8}{'peak MiB':>10}")
for name in names:
    wall, cpu = statistics.median(walls[name]), statistics.median(cpus[name])
    print(f"{name:14}{wall:8.3f}{wall / ref_wall:8.2f}{cpu:8.3f}{cpu / ref_cpu:8.2f}"
          f"{peaks[name] / 1024:10.1f}")
PY
uptime
