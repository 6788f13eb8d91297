#!/usr/bin/env bash
# Runs every fuzz target that was built, one after another, for SECONDS each (or, with --runs,
# for N inputs each), starting from its seeds in fuzz/corpus/NAME (fuzz_NAME's) and from the
# random seed FUZZ_SEED (1), so that a finding can be found again. New inputs go to a scratch
# copy, so the checked-in seeds stay as the script made them; a crash, leak or timeout is kept
# in ARTIFACTS.
# Prints one line per target: executions, seconds, corpus size, findings; exits 1 on a finding.
# Usage: fuzz/run-all.sh SECONDS|--runs N [BUILD_DIR (build-fuzz)] [ARTIFACTS (build-fuzz/findings)]
set -uo pipefail
cd "$(dirname "$0")/.."
usage='usage: fuzz/run-all.sh SECONDS|--runs N [BUILD_DIR] [ARTIFACTS]'
if [ "${1:-}" = --runs ]; then
  runs_wanted=${2:?$usage}
  limit=(-runs="$runs_wanted")
  seconds=-
  shift 2
else
  seconds=${1:?$usage}
  limit=(-max_total_time="$seconds")
  shift
fi
set -- "$seconds" "$@"
build=${2:-build-fuzz}
artifacts=${3:-$build/findings}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$artifacts"
targets=$(find "$build/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x | sort)
[ -n "$targets" ] || { echo "run-all: no fuzz targets in $build/fuzz (cmake --preset fuzz)" >&2; exit 2; }
failed=0
# Undefined behaviour stops the run as a crash would, so that it counts as a finding.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
printf '%-22s %12s %8s %14s %s\n' target executions seconds corpus findings
for target in $targets; do
  name=$(basename "$target")
  corpus="$scratch/$name"
  mkdir -p "$corpus"
  [ -d "fuzz/corpus/${name#fuzz_}" ] && cp "fuzz/corpus/${name#fuzz_}"/* "$corpus"/ 2>/dev/null
  log="$scratch/$name.log"
  "$target" "${limit[@]}" -seed="${FUZZ_SEED:-1}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$name-" "$corpus" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  files=$(find "$corpus" -type f | wc -l)
  bytes=$(du -sb "$corpus" | cut -f1)
  found=$(find "$artifacts" -name "$name-*" -type f | wc -l)
  printf '%-22s %12s %8s %7s/%-6s %s\n' "$name" "${runs:-?}" "${took:-?}" "$files" \
    "$bytes" "$found"
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    grep -m3 -E 'ERROR|SUMMARY|Assertion|runtime error' "$log" | sed 's/^/    /'
  fi
done
exit "$failed"
