#!/usr/bin/env bash
# An installation whose setup.log was tampered with and into whose
# destination a link was planted: the uninstaller removes what the setup
# installed and nothing else. The log is made to name a file and a folder
# outside the installation, a LINK entry that is no shortcut, the Windows
# folder, and a file reached through the planted link (planted from the host
# with symlink(2), which Wine shows as a reparse point). The silent run says
# so by its exit code, the clicked run in its final message; both leave the
# refused entries in setup.log and the linked folder's files alone.
#   tampered_log_e2e.sh SETUP_EXE ANSWER_BOXES_EXE
set -uo pipefail
. "$(dirname "$0")/e2e_lib.sh"
setup_exe=$1
answer_boxes=$2

base=$(mktemp -d /tmp/zubtamperXXXXXX)
outside=$(mktemp -d /tmp/zubvictimXXXXXX)
trap 'rm -f "$base/App/Additional/planted"; rm -rf "$base" "$outside"' EXIT
mkdir -p "$outside/linked/sub"
for file in victim.txt notes.txt linked/keep.txt linked/sub/keep.txt; do echo keep > "$outside/$file"; done
dest="$base/App"
"$run" "$setup_exe" /S "/D=$(winepath -w "$dest")"
code=$?
[ "$code" = 0 ] || fail "the setup ended with exit code $code"
log="$dest/setup.log"
[ -f "$log" ] || fail "the setup wrote no setup.log in $dest"
ln -s "$outside/linked" "$dest/Additional/planted" || fail "cannot plant the link"

w() { winepath -w "$1" 2>/dev/null; }
refused=(
  "COPYFILE=$(w "$outside/victim.txt")"
  "DIRECTORY=$(w "$outside")"
  "LINK=$(w "$outside/notes.txt")"
  "DIRECTORY=C:\\windows"
  "COPYFILE=$(w "$dest")\\Additional\\planted\\keep.txt"
)
reasons=(
  "not removed: outside what the setup installs"
  "not removed: outside what the setup installs"
  "not removed: not a shortcut"
  "a folder of the system"
  "not removed: reached through a link"
)
# Below the header lines, as if the setup had written them.
{ head -n 3 "$log"; printf '%s\r\n' "${refused[@]}"; tail -n +4 "$log"; } > "$log.new" && mv "$log.new" "$log"

expect_untouched() {
  for file in victim.txt notes.txt linked/keep.txt linked/sub/keep.txt; do
    [ -f "$outside/$file" ] || fail "$1: the uninstaller deleted $outside/$file"
  done
  [ -d "$WINEPREFIX/drive_c/windows/system32" ] || fail "$1: the Windows folder is damaged"
  for entry in "${refused[@]}"; do
    grep -qxF "$entry"$'\r' "$log" || fail "$1: setup.log no longer names $entry"
  done
}

"$run" "$dest/Uninstall.exe" /S
code=$?
[ "$code" = 3 ] || fail "the silent uninstaller ended with exit code $code, not 3 (something stayed)"
expect_untouched "silent run"
# What the setup installed is gone; the uninstaller and its log stay for the
# refused entries, and the folders that hold them and the link.
left=$(cd "$dest" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./Additional ./Additional/planted ./Uninstall.exe ./setup.log " ] \
  || fail "the silent run left in the destination: $left"

"$run" "$answer_boxes" "$(w "$dest/Uninstall.exe")" > "$base/message.txt"
code=$?
message=$(tr -d '\r' < "$base/message.txt")
[ "$code" = 3 ] || fail "the clicked uninstaller ended with exit code $code, not 3; its message: $message"
for i in "${!refused[@]}"; do
  line="${refused[$i]#*=} (${reasons[$i]})"
  grep -qxF "$line" <<<"$message" || fail "the final message does not name: $line; it says: $message"
done
expect_untouched "clicked run"
echo "ok: both runs refused ${#refused[@]} entries, said so and kept them in setup.log; the linked folder's files stayed"
