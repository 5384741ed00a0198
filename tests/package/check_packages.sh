#!/usr/bin/env bash
# Builds the packages and tries them as a user would: the .deb's control fields
# and files, the .zip's entries; then the sample's installer is built with no
# --stub from the unpacked .deb, from a `cmake --install` tree and, under Wine,
# from the unpacked .zip.
#   check_packages.sh SOURCE NATIVE_BUILD WIN64_BUILD WINEPREFIX
set -euo pipefail
source="$1" native="$2" win64="$3" prefix="$4"
work="$(mktemp -d "${TMPDIR:-/tmp}/velmoran-packages.XXXXXX")"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
unset VELMORAN_STUB
version=$(sed -n 's/^project(velmoran VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")

(cd "$native" && cpack -B "$work/deb" >/dev/null) || fail "cpack made no .deb"
(cd "$win64" && cpack -B "$work/zip" >/dev/null) || fail "cpack made no .zip"
deb=$(ls "$work"/deb/*.deb) zip=$(ls "$work"/zip/*.zip)

[ "$(dpkg-deb -f "$deb" Package)" = velmoran ] || fail "the .deb's package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the .deb's version is not $version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "the .deb's architecture"
# It depends on what the tool links, and on nothing else.
for dependency in $(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/ *(.*//; s/^ *//'); do
  case "$dependency" in libc6|libgcc-s1|libstdc++6|zlib1g|libdeflate0|liblzma5) ;; *) fail "the .deb depends on $dependency" ;; esac
done
for library in zlib1g libdeflate0 liblzma5; do
  dpkg-deb -f "$deb" Depends | grep -q "$library" || fail "the .deb does not depend on $library"
done
files=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for file in ./usr/bin/velmoran ./usr/share/velmoran/velmoran-stub.exe \
            ./usr/share/velmoran/zlib-LICENSE.txt ./usr/share/velmoran/libjpeg-turbo-LICENSE.txt \
            ./usr/share/velmoran/liblzma-LICENSE.txt; do
  grep -qx "$file" <<<"$files" || fail "the .deb has no $file"
done
entries=$(unzip -Z1 "$zip")
top="velmoran-$version-windows-x64"
for entry in velmoran.exe velmoran-stub.exe zlib-LICENSE.txt libjpeg-turbo-LICENSE.txt liblzma-LICENSE.txt \
             libdeflate-LICENSE.txt; do
  grep -qx "$top/$entry" <<<"$entries" || fail "the .zip has no $top/$entry"
done

# The sample with a stand-in program, as a user's project.
cp -r "$source/sample" "$work/sample"
cp "$win64/bin/Kestrel.exe" "$work/sample/app/Kestrel.exe"
build_sample() {  # TOOL OUT: builds and verifies with no --stub
  "$1" build "$work/sample/kestrel.ini" -o "$2" && "$1" verify "$2" >/dev/null
}
dpkg-deb -x "$deb" "$work/deb-root"
build_sample "$work/deb-root/usr/bin/velmoran" "$work/from-deb.exe" || fail "the .deb's tool cannot build the sample"
cmake --install "$native" --prefix "$work/installed" >/dev/null
build_sample "$work/installed/bin/velmoran" "$work/from-install.exe" || fail "an installed tree cannot build the sample"
cmp -s "$work/from-deb.exe" "$work/from-install.exe" || fail "the .deb and the installed tree build different installers"

unzip -q "$zip" -d "$work/windows"
(cd "$work" && "$source/scripts/wine-run.sh" "$prefix" "windows/$top/velmoran.exe" build sample/kestrel.ini -o from-zip.exe) ||
  fail "the .zip's tool cannot build the sample under Wine"
cmp -s "$work/from-deb.exe" "$work/from-zip.exe" || fail "the .zip's tool builds a different installer"
echo "packages: $(basename "$deb") and $(basename "$zip") build the sample with no --stub"
