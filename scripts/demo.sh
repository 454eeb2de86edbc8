#!/usr/bin/env bash
# Builds the authoring tool (native) and setup.exe with the demo application
# (Windows), makes the demo setup from examples/demo with
# `skinsetup build`, checks it with `skinsetup verify`, and starts it under
# Wine: on your display when DISPLAY is set (you click through it), otherwise
# on a virtual display, where it is driven through every page to the end, each
# page photographed to build/demo-N-PAGE.png, what it installed shown and then
# removed again. Another project folder may be given as the first argument.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
project=${1:-examples/demo}
jobs=$(nproc)

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
sudo_if_needed bash scripts/install-packages.sh
bash scripts/build-cross-deps.sh build/deps-v3

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs" --target skinsetup
cmake -S . -B build/cross -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DSKINSETUP_CROSS_PREFIX="$root/build/deps-v3" -DCMAKE_PREFIX_PATH="$root/build/deps-v3" -DSKINSETUP_TESTS=ON >/dev/null
cmake --build build/cross -j "$jobs" --target setup Uninstall DemoApp demo_walk

# The project as committed, plus the demo application built just now.
staging=$root/build/demo-project
rm -rf "$staging"
cp -r "$project" "$staging"
cp build/cross/tools/DemoApp.exe "$staging/"

tool=build/native/tools/skinsetup
out=build/DemoSetup.exe
"$tool" build "$staging" -o "$out" --stub build/cross/setup/setup.exe --uninstaller build/cross/uninstall/Uninstall.exe
"$tool" verify "$out"

exec scripts/with-wine.sh --own-display bash scripts/demo-run.sh "$root/$out"
