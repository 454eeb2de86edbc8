#!/usr/bin/env bash
# Runs a command inside a Wine session: a private 32-bit prefix under build/,
# a virtual display (Xvfb) unless --own-display is given and DISPLAY is set,
# a persistent wineserver and a warm-up boot. Everything it started is
# stopped again when the command ends.
#   with-wine.sh [--own-display] COMMAND [ARGS...]
# With SKINSETUP_WINE_ARCH=win64 the session is 64-bit Wine alone, in a
# prefix of its own, for machines that cannot run 32-bit programs.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
own_display=0
if [ "${1:-}" = "--own-display" ]; then own_display=1; shift; fi

arch=${SKINSETUP_WINE_ARCH:-win32}
case $arch in
  win32) default_prefix=wineprefix ;;
  win64) default_prefix=wineprefix64
    # Debian's wine, wineserver and wine-stable prefer the 32-bit loader when
    # it is installed, and it cannot start here: put the 64-bit ones first.
    bin=$(realpath -m "$here/../build/wine64-bin")
    mkdir -p "$bin"
    # Scripts, not links: the loader finds its preloader beside the name it
    # was started by.
    for name in wine wine-stable wineserver; do
      target=/usr/lib/wine/wine64
      [ $name = wineserver ] && target=/usr/lib/wine/wineserver64
      printf '#!/bin/sh\nexec %s "$@"\n' "$target" > "$bin/$name"
      chmod +x "$bin/$name"
    done
    export PATH="$bin:$PATH" WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 ;;
  *) echo "with-wine: SKINSETUP_WINE_ARCH must be win32 or win64" >&2; exit 2 ;;
esac
export WINEPREFIX=${WINEPREFIX:-$(realpath -m "$here/../build/$default_prefix")}
# No .NET or HTML engine to install, and no winemenubuilder: it would copy
# every shortcut a test makes in the Start menu to the host's desktop menus,
# and it holds the new shortcut files open for a moment, so that a test that
# removes its program folder right away fails to.
export WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

xvfb_pid=
export SKINSETUP_VIRTUAL_DISPLAY=
cleanup() {
  wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A wineserver left from an earlier session may know another display: end it
# and wait until it is gone, or the next wine process would still talk to it.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1

if [ $own_display -eq 0 ] || [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n" SKINSETUP_VIRTUAL_DISPLAY=1
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
fi

# A new prefix now and then comes out incomplete: check it and make it anew.
prefix_ok() { [ -f "$WINEPREFIX/system.reg" ] && [ "$(stat -c %s "$WINEPREFIX/system.reg")" -gt 100000 ] \
              && [ -d "$WINEPREFIX/drive_c/windows/system32" ]; }
for attempt in 1 2 3; do
  prefix_ok && break
  echo "with-wine: creating Wine prefix $WINEPREFIX (attempt $attempt)" >&2
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1
  wineserver -w
done
prefix_ok || { echo "with-wine: could not create a working Wine prefix" >&2; exit 1; }

# Without a window manager (Xvfb has none) Wine's X11 driver waits up to two
# seconds for one whenever a managed top-level window goes away. Unmanaged
# windows skip that wait; the demo and the tests need no window manager.
x11_unmanaged() { grep -A3 -F '[Software\\Wine\\X11 Driver]' "$WINEPREFIX/user.reg" 2>/dev/null \
                  | grep -qx '"Managed"="N"'; }

wineserver -p
wine wineboot >/dev/null 2>&1
if ! x11_unmanaged; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi

"$@"
