#!/usr/bin/env bash
# A destination outside the program files folder, made by a silent setup:
# the outermost level it makes gets the program files folder's rights.
# Wine keeps no access lists on a Unix file system but maps a descriptor
# given at creation onto the folder's mode, so the level must give other
# users no access, while the folder above it, which was there, keeps its
# own. The installed uninstaller then removes the installation (the levels
# above the destination are not recorded and stay, empty).
#   destination_rights_e2e.sh SETUP_EXE
set -uo pipefail
. "$(dirname "$0")/e2e_lib.sh"
setup_exe=$1

base=$(mktemp -d /tmp/zubrightsXXXXXX)
trap 'rm -rf "$base"' EXIT
chmod 755 "$base"
dest="$base/Apps/Vendor/App"
"$run" "$setup_exe" /S "/D=$(winepath -w "$dest")"
code=$?
[ "$code" = 0 ] || fail "the setup ended with exit code $code"
[ -f "$dest/Uninstall.exe" ] || fail "nothing was installed in $dest"

mode=$(stat -c %a "$base/Apps")
[ $((8#$mode & 7)) = 0 ] || fail "the destination's outermost new level is open to every user (mode $mode)"
[ "$(stat -c %a "$base")" = 755 ] || fail "the folder that was there had its rights changed"

"$run" "$dest/Uninstall.exe" /S
gone() { [ ! -e "$dest" ]; }
wait_until 20 gone || fail "the uninstaller left $(find "$dest" | head -5)"
echo "ok: $base/Apps was made with mode $mode; the uninstaller removed $dest"
