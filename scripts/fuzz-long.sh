#!/usr/bin/env bash
# A long run of one libFuzzer target, its corpus kept in build/fuzz-corpus/NAME
# so that the next run starts where this one ended. Findings go to
# build/fuzz-findings. Runs under nice: it is meant to go on while you work.
#   scripts/fuzz-long.sh TARGET [EXECUTIONS [PROCESSES]]   (default 10000000, 1), e.g.
#   scripts/fuzz-long.sh picture_fuzz 10000000 2
# With several processes each makes its share of the executions; they share
# the corpus folder and write their logs to build/fuzz-N.log.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz-long.sh TARGET [EXECUTIONS]}
runs=${2:-10000000}
processes=${3:-1}
findings=$PWD/build/fuzz-findings
renice -n 19 $$ >/dev/null  # this shell and all it starts
source scripts/fuzz-build.sh

# The harnesses' scratch folders go to memory when possible.
[ -d /dev/shm ] && export TMPDIR=/dev/shm

log=$PWD/build/fuzz-$target.log
corpus=$PWD/build/fuzz-corpus/$target
echo "== $target: $runs executions in $processes process(es), log in $log"
parallel=()
[ "$processes" -gt 1 ] && parallel=(-jobs="$processes" -workers="$processes")
cd build  # where libFuzzer writes the logs of its processes
if run_fuzz_target "$target" "$corpus" "$log" -runs=$((runs / processes)) "${parallel[@]}"; then
  grep -hE 'stat::' "$log" fuzz-[0-9]*.log 2>/dev/null || true
else
  report_fuzz_failure "$target" "$log"
  exit 1
fi
