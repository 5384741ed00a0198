#!/usr/bin/env bash
# Installs everything the build and the tests need; safe to run again.
# Debian packages come through apt-get; libjpeg-turbo, liblzma and libdeflate
# for MinGW are built from Debian's own source packages and cached outside the tree.
set -euo pipefail

PACKAGES=(
  build-essential cmake make ninja-build pkg-config
  zlib1g-dev libjpeg-dev libdeflate-dev liblzma-dev libgtest-dev googletest
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine64 xvfb xauth dpkg-dev file imagemagick bc gzip unzip
  osslsigncode openssl icoutils
)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The posix-threads variant of MinGW is the one the presets name.
for tool in gcc g++; do
  if [ -x "/usr/bin/x86_64-w64-mingw32-$tool-posix" ]; then :; else
    echo "install-deps: x86_64-w64-mingw32-$tool-posix missing" >&2; exit 1
  fi
done

"$(dirname "$0")/build-mingw-jpeg.sh"
"$(dirname "$0")/build-mingw-xz.sh"
"$(dirname "$0")/build-mingw-deflate.sh"
