# Sourced by the scripts that run Windows programs, after the packages are
# installed: sets wine_target to the Windows build that Wine runs here.
# 32-bit Wine needs a kernel that runs 32-bit programs. Where it cannot, the
# programs run as an x86_64 build of the same tree under 64-bit Wine
# (SKINSETUP_WINE_ARCH=win64 takes that way on any machine).
if [ -z "${SKINSETUP_WINE_ARCH:-}" ] && /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
  wine_target=i686
else
  wine_target=x86_64
  export SKINSETUP_WINE_ARCH=win64
  echo "== this machine cannot run 32-bit programs: Wine runs an x86_64 build, under 64-bit Wine"
fi
