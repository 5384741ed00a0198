#!/usr/bin/env bash
# Builds a static libdeflate for MinGW-w64 (the Windows builder's compressor)
# from Debian's source package, cached under $VELMORAN_DEPS (default
# /var/cache/velmoran-deps) and reused when present.
set -euo pipefail

. "$(dirname "$0")/debian-source.sh"
# Bump the suffix whenever the build flags below change, so caches are rebuilt.
PREFIX="$DEPS/mingw-deflate-1"
skip_if_cached "$PREFIX" lib/libdeflate.a include/libdeflate.h

prepare_source libdeflate
echo "build-mingw-deflate: building (static)"
make -C "$src" -j "$(nproc)" CC=x86_64-w64-mingw32-gcc-posix AR=x86_64-w64-mingw32-ar \
  CFLAGS="-O2" libdeflatestatic.lib >/dev/null
mkdir -p "$PREFIX/lib" "$PREFIX/include"
cp "$src/libdeflatestatic.lib" "$PREFIX/lib/libdeflate.a"
cp "$src/libdeflate.h" "$PREFIX/include/"
echo "build-mingw-deflate: installed to $PREFIX"
