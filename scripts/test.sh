#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows configuration,
# and runs every test: native unit tests (also under ASan/UBSan), a short run
# of every fuzz target, then the Win32 and end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
sudo_if_needed bash scripts/install-packages.sh
bash scripts/build-cross-deps.sh build/deps-v3

status=0
run() { echo "== $*"; "$@" || status=1; }

# Native: the portable core, its unit tests and tools.
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs"
run ctest --test-dir build/native --output-on-failure -j "$jobs"

# Native again with AddressSanitizer and UBSan.
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSKINSETUP_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
run ctest --test-dir build/asan --output-on-failure -j "$jobs"

# Fuzz smoke: every libFuzzer target for a bounded time (clang, ASan + UBSan).
run bash scripts/fuzz-smoke.sh

# Windows: setup.exe and the tests that run under Wine.
cmake -S . -B build/cross -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DSKINSETUP_CROSS_PREFIX="$root/build/deps-v3" -DCMAKE_PREFIX_PATH="$root/build/deps-v3" -DSKINSETUP_TESTS=ON \
  -DSKINSETUP_NATIVE_TOOL="$root/build/native/tools/skinsetup" >/dev/null
cmake --build build/cross -j "$jobs"
run scripts/with-wine.sh ctest --test-dir build/cross --output-on-failure

exit $status
