#!/usr/bin/env bash
# The work folder is made private: Wine keeps no access lists on a Unix
# file system but maps the descriptor given at creation onto the folder's
# mode, so other users have no access to it.
# A link planted in the work folder while the setup's wizard is open: closing
# the setup removes the work folder's own files and leaves the files of the
# folder the link points at alone. The link is planted from the host with
# symlink(2), which Wine shows as a reparse point; Wine cannot delete such a
# link through Win32, so here the link itself stays (on Windows it goes too).
#   planted_link_e2e.sh SETUP_EXE POST_CLOSE_EXE
set -uo pipefail
. "$(dirname "$0")/e2e_lib.sh"
setup_exe=$1
post_close=$2

temp=$(winepath -u "$("$run" cmd /c echo %TEMP% | tr -d '\r')" 2>/dev/null)
[ -d "$temp" ] || fail "no temporary folder ($temp)"
outside=$(mktemp -d /tmp/zublinkXXXXXX)
trap 'rm -rf "$outside"' EXIT
mkdir -p "$outside/sub"
echo keep > "$outside/keep.txt"
echo keep > "$outside/sub/keep.txt"

before=$(ls -d "$temp"/ZCTemp* 2>/dev/null | sort)
"$run" "$setup_exe" &
setup_pid=$!

# The new work folder, once the payload is unpacked into it.
work=
unpacked() {
  for folder in "$temp"/ZCTemp*; do
    [ -f "$folder/Setup.ini" ] || continue
    grep -qxF "$folder" <<<"$before" || work=$folder
  done
  [ -n "$work" ]
}
wait_until 60 unpacked || { kill "$setup_pid"; fail "no work folder appeared"; }
mode=$(stat -c %a "$work")
[ $((8#$mode & 7)) = 0 ] || { kill "$setup_pid"; fail "the work folder is open to every user (mode $mode)"; }
ln -s "$outside" "$work/planted" || fail "cannot plant the link"

# Asked to close as soon as its window is there, and again while it runs
# (a request that comes while the window is still being set up is lost).
ended() { ! kill -0 "$setup_pid" 2>/dev/null; }
asked_to_close() { ended || { "$run" "$post_close" TSetupForm >/dev/null 2>&1; wait_until 2 ended; }; }
wait_until 240 asked_to_close ||
  { [ -n "${SHOT:-}" ] && import -window root "$SHOT"; kill "$setup_pid"; fail "the setup did not end"; }
wait "$setup_pid"

[ -f "$outside/keep.txt" ] && [ -f "$outside/sub/keep.txt" ] || fail "the setup deleted files the link points at"
left=$(ls -A "$work" 2>/dev/null)
rm -f "$work/planted"
rmdir "$work" 2>/dev/null
[ -z "$left" ] || [ "$left" = planted ] || fail "the work folder kept more than the link: $left"
echo "ok: the work folder had mode $mode; the linked folder's files stayed; the work folder held only: ${left:-nothing}"
