#!/usr/bin/env bash
# The part of the demo that runs inside the Wine session (see demo.sh). On a
# display the setup is started for you to click through. On a virtual display
# demo_walk drives it through every page to the end, takes a picture of each
# page (build/demo-N-PAGE.png), shows what was installed (files, shortcuts,
# setup.log, the uninstall entry) and removes it again with its uninstaller.
set -euo pipefail
trap 'echo "demo: failed (line $LINENO): $BASH_COMMAND" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
setup=$1
bin=${SKINSETUP_CROSS_BUILD:-$root/build/cross}
run=$root/scripts/wine-run.sh

if [ -z "${SKINSETUP_VIRTUAL_DISPLAY:-}" ]; then
  echo "demo: the setup runs on $DISPLAY; click through it, or close it with Alt+F4"
  exec "$run" "$setup"
fi

temp=$("$run" cmd /c echo %TEMP% | tr -d '\r')
temp_unix=$(winepath -u "$temp")
rm -f "$root"/build/demo-*.bmp "$root"/build/demo-*.png
status=0
"$run" "$bin/tests/e2e/demo_walk.exe" "$setup" "$root/build" || status=$?
for bmp in "$root"/build/demo-*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls "$root"/build/demo-*.png 2>/dev/null | sed 's/^/demo: picture /' || true
if ls -d "$temp_unix"/ZCTemp* >/dev/null 2>&1; then
  echo "demo: a work folder is still there" >&2
  status=1
else
  echo "demo: the setup's work folder is gone"
fi
exit $status
