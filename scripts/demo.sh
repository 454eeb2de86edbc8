#!/usr/bin/env bash
# Builds setup.exe, makes a setup from the test project and starts it under
# Wine: on your display when DISPLAY is set (close it with Alt+F4), otherwise
# on a virtual display, where it is photographed to build/demo.png and closed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
project=${1:-examples/testpayload}

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
sudo_if_needed bash scripts/install-packages.sh
bash scripts/build-cross-deps.sh build/deps
cmake -S . -B build/cross -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DSKINSETUP_CROSS_PREFIX="$root/build/deps" -DCMAKE_PREFIX_PATH="$root/build/deps" -DSKINSETUP_TESTS=ON >/dev/null
cmake --build build/cross --target setup make_test_setup post_close

exec scripts/with-wine.sh --own-display bash scripts/demo-run.sh "$root/$project"
