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

status=0
run() { echo "== $*"; "$@" || status=1; }

# Native: the portable core, its unit tests and tools (the tests switched on
# again: a benchmark run may have reused the folder without them).
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKINSETUP_TESTS=ON >/dev/null
cmake --build build/native -j "$jobs"
run ctest --test-dir build/native --output-on-failure -j "$jobs"

# Native again with AddressSanitizer and UBSan.
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSKINSETUP_SANITIZE=ON -DSKINSETUP_TESTS=ON >/dev/null
cmake --build build/asan -j "$jobs"
run ctest --test-dir build/asan --output-on-failure -j "$jobs"

# Fuzz smoke: every libFuzzer target for a bounded time (clang, ASan + UBSan).
run bash scripts/fuzz-smoke.sh

# Windows: setup.exe and the tests that run under Wine. Configures and builds
# the cross build in folder $1 for target $2 against the libraries in $3.
cross_build() {
  bash scripts/build-cross-deps.sh "$3" "$2"
  cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$2.cmake" \
    -DSKINSETUP_CROSS_PREFIX="$root/$3" -DCMAKE_PREFIX_PATH="$root/$3" -DSKINSETUP_TESTS=ON \
    -DSKINSETUP_NATIVE_TOOL="$root/build/native/tools/skinsetup" >/dev/null
  cmake --build "$1" -j "$jobs"
}
cross_build build/cross i686 build/deps-v3

. scripts/wine-target.sh
if [ "$wine_target" = i686 ]; then
  run scripts/with-wine.sh ctest --test-dir build/cross --output-on-failure
else
  # The shipped i686 build is still checked file by file.
  run ctest --test-dir build/cross --output-on-failure -L binary
  sudo_if_needed bash scripts/install-packages.sh --x86_64
  cross_build build/cross-x86_64 x86_64 build/deps-v3-x86_64
  run scripts/with-wine.sh ctest --test-dir build/cross-x86_64 --output-on-failure -LE binary
fi

exit $status
