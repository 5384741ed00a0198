#!/usr/bin/env bash
# Builds a static, decode-only libjpeg-turbo for MinGW-w64 from Debian's source
# package. The result is cached under $VELMORAN_DEPS (default
# /var/cache/velmoran-deps) and reused when present.
set -euo pipefail

DEPS="${VELMORAN_DEPS:-/var/cache/velmoran-deps}"
# Bump the suffix whenever the build flags below change, so caches are rebuilt.
PREFIX="$DEPS/mingw-jpeg-2"
if [ -f "$PREFIX/lib/libjpeg.a" ] && [ -f "$PREFIX/include/jpeglib.h" ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

work=$(mktemp -d)
srclist=$(mktemp -d)
trap 'rm -rf "$work" "$srclist"' EXIT

# A private apt configuration whose source list mirrors the machine's own
# 'deb' entries as 'deb-src', so the system's apt setup is left untouched.
mkdir -p "$srclist/lists/partial" "$srclist/sources.list.d"
{
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && grep -E '^\s*deb\s' "$f" | sed -E 's/^\s*deb\s/deb-src /' || true
  done
} > "$srclist/sources.list"
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed -E 's/^Types:.*/Types: deb-src/' "$f" > "$srclist/sources.list.d/$(basename "$f")"
done
APT_OPTS=(-o "Dir::Etc::SourceList=$srclist/sources.list"
          -o "Dir::Etc::SourceParts=$srclist/sources.list.d"
          -o "Dir::State::Lists=$srclist/lists"
          -o "APT::Sandbox::User=root")
echo "build-mingw-jpeg: fetching libjpeg-turbo source"
$SUDO apt-get "${APT_OPTS[@]}" update -qq 2>/dev/null || $SUDO apt-get "${APT_OPTS[@]}" update -qq
(cd "$work" && apt-get "${APT_OPTS[@]}" source -qq libjpeg-turbo >/dev/null)
src=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
[ -n "$src" ] || { echo "build-mingw-jpeg: source not unpacked" >&2; exit 1; }

cat > "$work/toolchain.cmake" <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
TC
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
