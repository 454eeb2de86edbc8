#!/usr/bin/env bash
# The part of the demo that runs inside the Wine session (see demo.sh):
# starts the setup given as the first argument.
set -euo pipefail
trap 'echo "demo: failed (line $LINENO): $BASH_COMMAND" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
setup=$1
bin=${SKINSETUP_CROSS_BUILD:-$root/build/cross}
run=$root/scripts/wine-run.sh

temp=$("$run" cmd /c echo %TEMP% | tr -d '\r')
temp_unix=$(winepath -u "$temp")

if [ -z "${SKINSETUP_VIRTUAL_DISPLAY:-}" ]; then
  echo "demo: the setup runs on $DISPLAY; close it with Alt+F4"
  exec "$run" "$setup"
fi

"$run" "$setup" &
setup_pid=$!
for _ in $(seq 300); do
  xwininfo -root -tree 2>/dev/null | grep -q '"SetupForm"' && break
  kill -0 $setup_pid 2>/dev/null || break
  sleep 0.1
done
if ! xwininfo -root -tree 2>/dev/null | grep -q '"SetupForm"'; then
  echo "demo: the setup window did not appear" >&2
  wait $setup_pid || true
  exit 1
fi
work=$(ls -d "$temp_unix"/ZCTemp* 2>/dev/null | tail -n 1)
echo "demo: the setup is running; its work folder $work holds:"
(cd "$work" && find . -type f | sort | sed 's/^/  /')
sleep 0.5  # let it paint before the picture is taken
import -window root "$root/build/demo.png"
echo "demo: screenshot in build/demo.png"
"$run" "$bin/tests/e2e/post_close.exe" TSetupForm
status=0
wait $setup_pid || status=$?
echo "demo: the setup ended with exit code $status"
if [ -e "$work" ]; then echo "demo: its work folder is still there" >&2; exit 1; fi
echo "demo: its work folder is gone"
exit $status
