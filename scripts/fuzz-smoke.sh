#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build/fuzz, makes their
# seed corpora from files our own writers produce, and runs each target for a
# bounded time. Fails on the first crash, leak, timeout or sanitizer report.
#   scripts/fuzz-smoke.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
build=${FUZZ_BUILD_DIR:-build/fuzz}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSKINSETUP_FUZZ=ON -DSKINSETUP_TESTS=OFF >/dev/null
# Every fuzz target the configuration has (the PE one joins with its reader).
targets=$(ninja -C "$build" -t targets all | grep -v '^cmake_' | sed -n 's/^\([a-z_]*_fuzz\): phony$/\1/p' | sort)
cmake --build "$build" --target make_seeds $targets

seeds="$build/seeds"
rm -rf "$seeds"
"$build/tests/fuzz/make_seeds" "$root" "$seeds"

# Inputs the targets write go to a scratch folder of their own, in memory when possible.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/fuzz-smoke.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
[ -d /dev/shm ] && export TMPDIR=/dev/shm

status=0
for target in $targets; do
  name=${target%_fuzz}
  corpus="$scratch/corpus-$name"
  mkdir -p "$corpus" "$scratch/artifacts"
  echo "== $target: $seconds s"
  if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$scratch/artifacts/$name-" \
      "$corpus" "$seeds/$name" >"$scratch/$name.log" 2>&1; then
    echo "FAILED: $target"
    grep -E "ERROR|SUMMARY|Test unit written" "$scratch/$name.log" || tail -20 "$scratch/$name.log"
    mkdir -p build/fuzz-findings && cp "$scratch/artifacts/$name-"* build/fuzz-findings/ 2>/dev/null || true
    status=1
  else
    grep -E "stat::number_of_executed_units" "$scratch/$name.log" || true
  fi
done
[ $status -eq 0 ] && echo "fuzz smoke: no crashes" || echo "fuzz smoke: crashes kept in build/fuzz-findings"
exit $status
