#!/usr/bin/env bash
# Runs a Windows program under the project's Wine prefix; ctest's emulator.
# The Wine session (Xvfb, wineserver) is started by scripts/wine-session.sh.
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$here/../build/wineprefix}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
exec wine "$@"
