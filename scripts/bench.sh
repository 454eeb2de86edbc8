#!/usr/bin/env bash
# Builds the archive benchmarks (native Release) and runs them all: each of our
# operations beside its baseline on the same generated data, then the ratios.
#   scripts/bench.sh [zlb_bench options, e.g. --scale=0.5 --huge-mib=256]
# The data lives in memory (/dev/shm) when it can, so that the figures are
# those of the code and not of the disk; set TMPDIR to measure elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BENCH_BUILD_DIR:-build/bench}

command -v bsdtar >/dev/null || echo "bsdtar is missing: the zip comparison will fail" >&2
command -v zip >/dev/null || echo "zip is missing: the zip comparison will be skipped" >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSKINSETUP_BENCH=ON -DSKINSETUP_TESTS=OFF >/dev/null
cmake --build "$build" --target zlb_bench

if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ]; then export TMPDIR=/dev/shm; fi
echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)"
exec "$build/bench/zlb_bench" --benchmark_color=false "$@"
