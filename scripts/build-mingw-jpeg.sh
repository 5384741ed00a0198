#!/usr/bin/env bash
# Builds a static, decode-only libjpeg-turbo for MinGW-w64 from Debian's source
# package. The result is cached under $VELMORAN_DEPS (default
# /var/cache/velmoran-deps) and reused when present.
set -euo pipefail

. "$(dirname "$0")/debian-source.sh"
# Bump the suffix whenever the build flags below change, so caches are rebuilt.
PREFIX="$DEPS/mingw-jpeg-2"
skip_if_cached "$PREFIX" lib/libjpeg.a include/jpeglib.h

prepare_source libjpeg-turbo
write_mingw_toolchain "$work/toolchain.cmake"
echo "build-mingw-jpeg: building (static, decoder only)"
# The stub only decodes two small pictures: no encoder, no SIMD, no TurboJPEG.
# msvcrt's own printf and scanf serve libjpeg's messages, rather than MinGW's
# large static ones, and it never reads the JPEGMEM environment variable.
cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF \
  -DWITH_ARITH_ENC=OFF -DWITH_ARITH_DEC=OFF -DWITH_JAVA=OFF \
  -DCMAKE_C_FLAGS="-Os -ffunction-sections -fdata-sections -D__USE_MINGW_ANSI_STDIO=0 -DNO_GETENV" >/dev/null
cmake --build "$work/build" --target jpeg-static -j "$(nproc)" >/dev/null
mkdir -p "$PREFIX/lib" "$PREFIX/include"
cp "$work/build/libjpeg.a" "$PREFIX/lib/libjpeg.a"
cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$work/build/jconfig.h" "$PREFIX/include/"
echo "build-mingw-jpeg: installed to $PREFIX"
