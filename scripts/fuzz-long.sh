#!/usr/bin/env bash
# A long run of one libFuzzer target, its corpus kept in build/fuzz-corpus/NAME
# so that the next run starts where this one ended. Findings go to
# build/fuzz-findings. Runs under nice: it is meant to go on while you work.
#   scripts/fuzz-long.sh TARGET [EXECUTIONS]   (default 10000000), e.g.
#   scripts/fuzz-long.sh picture_fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz-long.sh TARGET [EXECUTIONS]}
runs=${2:-10000000}
findings=$PWD/build/fuzz-findings
renice -n 19 $$ >/dev/null  # this shell and all it starts
source scripts/fuzz-build.sh

# The harnesses' scratch folders go to memory when possible.
[ -d /dev/shm ] && export TMPDIR=/dev/shm

log=build/fuzz-$target.log
echo "== $target: $runs executions, log in $log"
if run_fuzz_target "$target" "build/fuzz-corpus/$target" "$log" -runs="$runs"; then
  grep -E 'stat::' "$log"
else
  report_fuzz_failure "$target" "$log"
  exit 1
fi
