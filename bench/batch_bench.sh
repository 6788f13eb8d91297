#!/usr/bin/env bash
# Times the batch dialog's run (bench program batch_dialog_run, offscreen) against
# `tavelune-cli batch` over the same 40 six-megapixel JPEGs, with one and two jobs, interleaved
# in one run so that both see the same machine load. Whole processes are timed for both, wall
# clock and CPU time (the steadier measure on a shared machine).
# Needs: imagemagick (to make the pictures once); a build with -DTAVELUNE_BENCH=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
work=${WORK:-/tmp/tavelune-batch-bench}
runs=${RUNS:-3}
count=${COUNT:-40}
bash bench/make_batch_photos.sh "$work" "$count"
identify -format "%f %wx%h\n" "$work/in/p01.jpg"
python3 - "$build" "$work" "$runs" <<'PY'
import glob, resource, shutil, statistics, subprocess, sys, time, os
build, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
files = sorted(glob.glob(os.path.join(work, "in", "*.jpg")))
env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
def command(kind, jobs, out):
    if kind == "cli":
        return [os.path.join(build, "tavelune-cli"), "batch", "--jobs", str(jobs), "-o", out] + files
    return [os.path.join(build, "bench", "batch_dialog_run"), "--jobs", str(jobs), "-o", out] + files
times = {}
cpus = {}
for run in range(runs):
    for jobs in (1, 2):
        for kind in ("cli", "dialog"):
            out = os.path.join(work, "out")
            shutil.rmtree(out, ignore_errors=True)
            before = resource.getrusage(resource.RUSAGE_CHILDREN)
            start = time.monotonic()
            subprocess.run(command(kind, jobs, out), env=env, check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            elapsed = time.monotonic() - start
            after = resource.getrusage(resource.RUSAGE_CHILDREN)
            cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
            written = len(os.listdir(out))
            assert written == len(files), f"{kind} wrote {written} files"
            times.setdefault((kind, jobs), []).append(elapsed)
            cpus.setdefault((kind, jobs), []).append(cpu)
            print(f"run {run + 1} {kind:6} jobs {jobs}: {elapsed:7.2f} s wall, {cpu:7.2f} s cpu",
                  flush=True)
print(f"\nmedians over {runs} runs, {len(files)} pictures:")
for jobs in (1, 2):
    cli = statistics.median(times[("cli", jobs)])
    dialog = statistics.median(times[("dialog", jobs)])
    ccpu = statistics.median(cpus[("cli", jobs)])
    dcpu = statistics.median(cpus[("dialog", jobs)])
    print(f"jobs {jobs}: wall cli {cli:7.2f} s  dialog {dialog:7.2f} s  dialog/cli {dialog / cli:.3f}"
          f"   cpu cli {ccpu:7.2f} s  dialog {dcpu:7.2f} s  dialog/cli {dcpu / ccpu:.3f}")
for kind in ("cli", "dialog"):
    one = statistics.median(times[(kind, 1)])
    two = statistics.median(times[(kind, 2)])
    print(f"{kind}: 1 job / 2 jobs = {one / two:.2f}x")
PY
