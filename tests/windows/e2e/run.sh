#!/usr/bin/env bash
# Runs one end-to-end scenario: prepares an installer from the bundled sample,
# then lets the GUI driver play SCENARIO.gui against it under wine64 on the
# virtual display. Screenshots land in SHOTS as SCENARIO-NAME.png.
#   run.sh SCENARIO BIN SOURCE SHOTS PREFIX
set -euo pipefail
scenario="$1" bin="$2" source="$3" shots="$4" prefix="$5"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/velmoran-e2e-$scenario.XXXXXX")"
restore=()
cleanup() {
  for command in "${restore[@]}"; do eval "$command" || true; done
  rm -rf "$work"
}
trap cleanup EXIT

wine_run() { (cd "$work" && "$source/scripts/wine-run.sh" "$prefix" "$@"); }
drive_c="$prefix/drive_c"
shell_folders='HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'

cp -r "$source/sample" "$work/sample"
cp "$bin/marker_writer.exe" "$work/sample/app/Kestrel.exe"
cp "$bin/velmoran.exe" "$bin/velmoran-stub.exe" "$bin/gui_driver.exe" "$work/"
build() { wine_run velmoran.exe build sample/kestrel.ini -o KestrelSetup.exe --stub velmoran-stub.exe "$@"; }

case "$scenario" in
  damaged-marker)
    cp "$work/velmoran-stub.exe" "$work/KestrelSetup.exe" ;;
  damaged-header)
    build
    head -c "$(( $(stat -c %s "$work/velmoran-stub.exe") + 120 ))" "$work/KestrelSetup.exe" > "$work/cut.exe"
    mv "$work/cut.exe" "$work/KestrelSetup.exe" ;;
  damaged-checksum)
    build --scramble
    size=$(stat -c %s "$work/KestrelSetup.exe")
    last=$(tail -c 1 "$work/KestrelSetup.exe" | od -An -tu1 | tr -d ' ')
    printf "$(printf '\\%03o' $(( last ^ 1 )))" | dd of="$work/KestrelSetup.exe" bs=1 seek=$((size - 1)) conv=notrunc status=none ;;
  damaged-general)
    build
    # A shell-folder value of the wrong type makes start-up fail as a whole.
    original=$(wine_run reg query "$shell_folders" /v "Common Programs" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
    wine_run reg add "$shell_folders" /v "Common Programs" /t REG_DWORD /d 7 /f >/dev/null
    if [ -n "$original" ]; then
      restore+=("wine_run reg add '$shell_folders' /v 'Common Programs' /t REG_SZ /d '$original' /f >/dev/null")
    else
      restore+=("wine_run reg delete '$shell_folders' /v 'Common Programs' /f >/dev/null")
    fi ;;
  uninstall-mode)
    build
    printf 'C:\\nowhere\\a.txt\r\n' > "$work/Kestrel Notes.ilg" ;;
  planted-dll)
    # Fakes of DLLs the window loads after start-up, told to win over Wine's own.
    # The installer sits apart from the driver, which guards nothing.
    build
    mkdir "$work/downloads"
    mv "$work/KestrelSetup.exe" "$work/downloads/"
    cp "$bin/planted.dll" "$work/downloads/uxtheme.dll"
    cp "$bin/planted.dll" "$work/downloads/comctl32.dll"
    export WINEDLLOVERRIDES="uxtheme,comctl32=n,b;mscoree,mshtml=" ;;
  no-pictures)
    sed -i '/^Splash=/d; /^Icon=/d' "$work/sample/kestrel.ini"
    build ;;
  *)
    build ;;
esac

cp "$here/$scenario.gui" "$work/"
status=0
wine_run gui_driver.exe "$scenario.gui" || status=$?
if [ -e "$work/downloads/planted-dll-loaded.txt" ]; then
  echo "FAILED: the installer loaded a DLL planted beside it" >&2
  status=1
fi
mkdir -p "$shots"
for picture in "$work"/*.bmp; do
  [ -e "$picture" ] || continue
  convert "$picture" "$shots/$scenario-$(basename "$picture" .bmp).png"
done
# Whatever a scenario installed goes, so the next one starts from a clean prefix.
rm -rf "$drive_c/Program Files/Kestrel Notes" "$drive_c/Kestrel Notes" "$drive_c/Vendor"
exit $status
