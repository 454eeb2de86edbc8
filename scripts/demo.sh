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
. scripts/wine-target.sh
xbuild=build/cross deps=build/deps-v3
if [ "$wine_target" = x86_64 ]; then
  sudo_if_needed bash scripts/install-packages.sh --x86_64
  xbuild=build/cross-x86_64 deps=build/deps-v3-x86_64
fi
bash scripts/build-cross-deps.sh "$deps" "$wine_target"

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs" --target skinsetup
cmake -S . -B "$xbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$wine_target.cmake" \
  -DSKINSETUP_CROSS_PREFIX="$root/$deps" -DCMAKE_PREFIX_PATH="$root/$deps" -DSKINSETUP_TESTS=ON >/dev/null
cmake --build "$xbuild" -j "$jobs" --target setup Uninstall DemoApp demo_walk

# The project as committed, plus the demo application built just now.
staging=$root/build/demo-project
rm -rf "$staging"
cp -r "$project" "$staging"
cp "$xbuild/tools/DemoApp.exe" "$staging/"

tool=build/native/tools/skinsetup
out=build/DemoSetup.exe
"$tool" build "$staging" -o "$out" --stub "$xbuild/setup/setup.exe" --uninstaller "$xbuild/uninstall/Uninstall.exe"
"$tool" verify "$out"

export SKINSETUP_CROSS_BUILD=$root/$xbuild
exec scripts/with-wine.sh --own-display bash scripts/demo-run.sh "$root/$out"
