#!/usr/bin/env bash
# Pictures of every wizard page of the two demo projects, in English and
# German, for docs/: builds a setup from examples/demo and examples/demo-de
# with the native skinsetup and the cross-built setup.exe, walks each with the
# wizard_screens driver under Wine (Xvfb) and writes PNG files to docs/wizard.
# Expects both builds to exist (build/native, build/cross).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/docs/wizard
stage=$root/build/screens
rm -rf "$stage"
mkdir -p "$stage" "$out"
for project in demo demo-de; do
  cp -r "examples/$project" "$stage/$project"
  cp build/cross/tools/DemoApp.exe "$stage/$project/"
  build/native/tools/skinsetup build "$stage/$project" -o "$stage/$project.exe" --stub build/cross/setup/setup.exe \
    --uninstaller build/cross/uninstall/Uninstall.exe
done
scripts/with-wine.sh bash -c '
  set -euo pipefail
  for project in demo demo-de; do
    scripts/wine-run.sh build/cross/tests/e2e/wizard_screens.exe "$0/$project.exe" "$0" "$project"
  done' "$stage"
rm -f "$out"/*.png
for bmp in "$stage"/*.bmp; do
  name=$(basename "$bmp" .bmp)
  convert "$bmp" -strip "$out/$name.png"  # no time stamps: the same picture gives the same file
done
ls -l "$out"
