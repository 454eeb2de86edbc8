#!/usr/bin/env bash
# Builds the static Windows libraries the cross build links: zlib, giflib and
# libjpeg-turbo from Debian's source packages, GoogleTest from /usr/src.
# Usage: build-cross-deps.sh PREFIX [i686|x86_64]
#   (i686, what ships, by default; nothing is done when PREFIX is complete)
set -euo pipefail

prefix=$(realpath -m "${1:?usage: build-cross-deps.sh PREFIX [i686|x86_64]}")
arch=${2:-i686}
case $arch in i686|x86_64) ;; *) echo "build-cross-deps.sh: unknown target $arch" >&2; exit 2 ;; esac
stamp="$prefix/.complete-v3"
[ -f "$stamp" ] && exit 0

here=$(cd "$(dirname "$0")" && pwd)
work="$prefix.src"
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix/include" "$prefix/lib"
cd "$work"
apt-get source -q --download-only zlib giflib libjpeg-turbo >/dev/null 2>&1 || apt-get source -q --download-only zlib giflib libjpeg-turbo
for dsc in zlib_*.dsc giflib_*.dsc libjpeg-turbo_*.dsc; do dpkg-source -q -x "$dsc" >/dev/null; done

cc=$arch-w64-mingw32-gcc-posix
ar=$arch-w64-mingw32-ar
toolchain="$here/../cmake/mingw-$arch.cmake"
jobs=$(nproc)
# One section per function and object, so that the stub's linker drops what
# it never calls; and no unwind tables: no exception passes through C code
# (the decoders' callbacks return, libjpeg's fatal errors leave by longjmp).
sections="-ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -fno-unwind-tables"

# zlib: the library's C files. Built for speed: unpacking is inflate.
(
  cd zlib-*/
  objs=()
  for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees \
           uncompr zutil; do
    $cc -O2 $sections -c "$f.c" -o "$f.o"
    objs+=("$f.o")
  done
  $ar rcs "$prefix/lib/libz.a" "${objs[@]}"
  cp zlib.h zconf.h "$prefix/include/"
)

# giflib: a plain Makefile project; the library is eight C files. The
# decoders are built small: skin pictures are small.
(
  cd giflib-*/
  objs=()
  for f in dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_font.c gif_hash.c openbsd-reallocarray.c quantize.c; do
    $cc -Os $sections -c "$f" -o "${f%.c}.o"
    objs+=("${f%.c}.o")
  done
  $ar rcs "$prefix/lib/libgif.a" "${objs[@]}"
  cp gif_lib.h "$prefix/include/"
)

# libjpeg-turbo: CMake, static only, without its SIMD code: its dispatch
# table pulls in the encoder's assembly too (a third of the stub), and skin
# pictures are small. Without getenv: reading JPEGMEM would pull in sscanf.
# The decoder keeps every kind of file it reads; what goes is output the
# setup never asks for: scaled decoding (it decodes at full size), colour
# quantisation (it asks for RGB) and merged upsampling (used only without
# fancy upsampling, which it keeps on). The pictures decode the same.
(
  cd libjpeg-turbo-*/
  sed -i -e 's|^#define IDCT_SCALING_SUPPORTED|#undef IDCT_SCALING_SUPPORTED|' \
    -e 's|^#define UPSAMPLE_MERGING_SUPPORTED|#undef UPSAMPLE_MERGING_SUPPORTED|' \
    -e 's|^#define QUANT_1PASS_SUPPORTED|#undef QUANT_1PASS_SUPPORTED|' \
    -e 's|^#define QUANT_2PASS_SUPPORTED|#undef QUANT_2PASS_SUPPORTED|' jmorecfg.h
  cmake -S . -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_JPEG8=ON -DWITH_SIMD=OFF -DCMAKE_C_FLAGS="$sections -DNO_GETENV" -DCMAKE_C_FLAGS_RELEASE="-Os -DNDEBUG" >/dev/null
  cmake --build build -j "$jobs" --target jpeg-static >/dev/null
  cp build/libjpeg.a "$prefix/lib/libjpeg.a"
  cp jpeglib.h jmorecfg.h jerror.h build/jconfig.h "$prefix/include/"
)

# GoogleTest for the Win32 tests run under Wine.
cmake -S /usr/src/googletest -B gtest -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -Dgtest_disable_pthreads=OFF >/dev/null
cmake --build gtest -j "$jobs" >/dev/null
cmake --install gtest >/dev/null

rm -rf "$work"
touch "$stamp"
