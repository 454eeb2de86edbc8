#!/usr/bin/env bash
# A short run of every libFuzzer target, all side by side (the CI check).
# Fails on the first crash, leak, timeout or sanitizer report; findings are
# kept in build/fuzz-findings. Long runs: scripts/fuzz-long.sh.
#   scripts/fuzz-smoke.sh [SECONDS_PER_TARGET]   (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
findings=$PWD/build/fuzz-findings
source scripts/fuzz-build.sh

# Inputs the targets write go to a scratch folder of their own, in memory when possible.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/fuzz-smoke.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
[ -d /dev/shm ] && export TMPDIR=/dev/shm

declare -A pids
for target in $targets; do
  echo "== $target: $seconds s"
  run_fuzz_target "$target" "$scratch/corpus-$target" "$scratch/$target.log" -max_total_time="$seconds" &
  pids[$target]=$!
done
status=0
for target in $targets; do
  if wait "${pids[$target]}"; then
    echo "$target: $(grep -E 'stat::number_of_executed_units' "$scratch/$target.log" | tr -s ' ')"
  else
    report_fuzz_failure "$target" "$scratch/$target.log"
    status=1
  fi
done
[ $status -eq 0 ] && echo "fuzz smoke: no crashes" || echo "fuzz smoke: crashes kept in $findings"
exit $status
