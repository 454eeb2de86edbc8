#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: when
# everything is present it only checks and returns within a second.
#   install-packages.sh [--x86_64]
# --x86_64 adds 64-bit Wine and the x86_64 cross compiler, for the Wine tests
# on a machine that cannot run 32-bit programs.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev nasm
  clang llvm libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libgif-dev libjpeg-dev libzopfli-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  mingw-w64-i686-dev libz-mingw-w64-dev
  wine wine32:i386
  xvfb xauth x11-utils imagemagick
  libarchive-tools zip strace
  osslsigncode openssl
)
if [ "${1:-}" = "--x86_64" ]; then
  packages+=(wine64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
             mingw-w64-x86-64-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done

# The cross-built libraries come from Debian's source packages.
src_list=/etc/apt/sources.list.d/skinsetup-src.sources
need_src=0
[ -f "$src_list" ] || need_src=1

if [ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
if [ $need_src -eq 1 ]; then
  cat > "$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
fi
apt-get update -q || apt-get update -q
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
