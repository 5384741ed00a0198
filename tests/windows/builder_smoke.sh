#!/usr/bin/env bash
# The Windows build of the builder under wine64: build, list, verify, extract
# the sample application, and compare the extracted files.
# builder_smoke.sh WINE_RUNNER PREFIX VELMORAN_EXE SAMPLE_DIR
set -euo pipefail
trap 'echo "FAILED: line $LINENO: \"$BASH_COMMAND\" ended with $?" >&2' ERR
runner="$1" prefix="$2" tool="$3" sample="$4"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$sample" "$scratch/sample"
printf 'MZ stand-in for the sample program' > "$scratch/sample/app/Kestrel.exe"
cp "$(dirname "$tool")/velmoran-stub.exe" "$scratch/stub.exe"
cd "$scratch"
run() { "$runner" "$prefix" "$tool" "$@"; }
run build sample/kestrel.ini -o setup.exe --stub stub.exe --scramble -j 2
run list setup.exe | grep -q 'AppName=Kestrel Notes'
run verify setup.exe
run extract setup.exe out
diff -r sample/app out
if run build sample/kestrel.ini -o bad.exe --stub missing.exe 2>err.txt; then
  echo "a missing stub was accepted" >&2; exit 1
fi
grep -q 'missing.exe' err.txt
test ! -e bad.exe
echo "builder smoke test passed"
