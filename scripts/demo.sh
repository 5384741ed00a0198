#!/usr/bin/env bash
# The demo: packs the bundled sample application into an installer with the
# builder, then lists and verifies it. Until the real stub exists, a plain file
# stands in for it.
set -euo pipefail
cd "$(dirname "$0")/.."
demo=build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp -r sample "$demo/sample"
printf 'MZ stand-in for Kestrel.exe\r\n' > "$demo/sample/app/Kestrel.exe"
printf 'MZ stand-in for the installer stub\r\n' > "$demo/stub.exe"
tool=build/native/tools/velmoran
"$tool" build "$demo/sample/kestrel.ini" -o "$demo/KestrelSetup.exe" --stub "$demo/stub.exe"
"$tool" list "$demo/KestrelSetup.exe"
"$tool" verify "$demo/KestrelSetup.exe"
echo "demo: installer written to $demo/KestrelSetup.exe"
