#!/usr/bin/env bash
# Builds a static liblzma for MinGW-w64 from Debian's xz-utils source package,
# cached under $VELMORAN_DEPS (default /var/cache/velmoran-deps) and reused when
# present. The builder links its LZMA2 encoder; the installer only calls the
# raw decoder, and the linker's section collection leaves the encoder out.
set -euo pipefail

. "$(dirname "$0")/debian-source.sh"
# Bump the suffix whenever the build flags below change, so caches are rebuilt.
PREFIX="$DEPS/mingw-lzma-1"
skip_if_cached "$PREFIX" lib/liblzma.a include/lzma.h

prepare_source xz-utils
echo "build-mingw-xz: building (static, LZMA2 only)"
# LZMA2 alone, no threads (the builder runs its own), no integrity checks
# beyond CRC32 (the payload's stream is raw LZMA2), no tools, no translations.
# intrin.h declares the bit-scan intrinsic the match finder uses on a Windows target.
mkdir -p "$work/build"
(cd "$work/build" && "$src/configure" --prefix="$PREFIX" --host=x86_64-w64-mingw32 \
  CC=x86_64-w64-mingw32-gcc-posix CFLAGS="-O2 -ffunction-sections -fdata-sections -include intrin.h" \
  --disable-shared --enable-static --disable-threads --enable-checks=crc32 \
  --enable-encoders=lzma1,lzma2 --enable-decoders=lzma1,lzma2 \
  --disable-xz --disable-xzdec --disable-lzmadec --disable-lzmainfo --disable-lzma-links \
  --disable-scripts --disable-doc --disable-nls --disable-microlzma --disable-lzip-decoder \
  >"$work/configure.log" 2>&1) || { cat "$work/configure.log" >&2; exit 1; }
make -C "$work/build/src/liblzma" -j "$(nproc)" >"$work/make.log" 2>&1 || { cat "$work/make.log" >&2; exit 1; }
make -C "$work/build/src/liblzma" install >/dev/null 2>&1
echo "build-mingw-xz: installed to $PREFIX"
