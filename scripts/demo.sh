#!/usr/bin/env bash
# The demo: packs the bundled sample application with the builder and the real
# stub, then runs the installer under Wine. On a display it opens the wizard for
# a person; without one it drives the whole life cycle on a virtual display,
# saves a screenshot of every page and prints a summary.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
demo=build/demo
bin=build/win64/bin
rm -rf "$demo/sample" "$demo/screenshots" "$demo"/*.exe "$demo"/*.gui "$demo"/*.bmp
mkdir -p "$demo/screenshots"
cp -r sample "$demo/sample"
cp "$bin/Kestrel.exe" "$demo/sample/app/Kestrel.exe"
# Some bulk, so the progress gauge has something to show.
mkdir -p "$demo/sample/app/data"
for part in $(seq -w 1 40); do head -c 2000000 /dev/urandom | base64 > "$demo/sample/app/data/part$part.dat"; done

tool=build/native/tools/velmoran
"$tool" build "$demo/sample/kestrel.ini" -o "$demo/KestrelSetup.exe" --stub "$bin/velmoran-stub.exe"
"$tool" verify "$demo/KestrelSetup.exe"
summary=$("$tool" list "$demo/KestrelSetup.exe" | sed -n 's/^Files: \(.*\)/\1/p')

prefix="$root/$demo/wineprefix"
[ -f "$prefix/system.reg" ] || { echo "demo: preparing a Wine prefix"; scripts/wine-prefix.sh "$prefix" >/dev/null; }
wine() { (cd "$demo" && "$root/scripts/wine-run.sh" "$prefix" "$@"); }

if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
  echo "demo: opening the installer on $DISPLAY"
  wine KestrelSetup.exe
  exit 0
fi

display=$(scripts/xvfb.sh start 98 "$root/$demo")
trap 'scripts/xvfb.sh stop "$root/$demo"' EXIT
export VELMORAN_XVFB_DISPLAY=$display VELMORAN_HEADLESS=1
cp "$bin/gui_driver.exe" scripts/demo.gui "$demo/"
app_dir="$prefix/drive_c/Program Files/Kestrel Notes"
rm -rf "$app_dir"  # left by an interrupted demo
start=$(date +%s.%N)
wine gui_driver.exe demo.gui > "$demo/driver.log" || { cat "$demo/driver.log"; exit 1; }
seconds=$(echo "$(date +%s.%N) - $start" | bc -l)
for picture in "$demo"/*.bmp; do convert "$picture" "$demo/screenshots/$(basename "$picture" .bmp).png"; rm "$picture"; done

sleep 2
left=$( (find "$app_dir" "$prefix/drive_c/uninstall_rd.bat" 2>/dev/null || true) | wc -l)
key=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrel Notes' 2>/dev/null | grep -c DisplayName || true)
echo "demo: installed $summary into C:\\Program Files\\Kestrel Notes, started Kestrel.exe, then uninstalled it;"
printf 'demo: the whole life cycle took %.1f s under Wine\n' "$seconds"
if [ "$left" -eq 0 ] && [ "$key" -eq 0 ]; then
  echo "demo: removed every file, the shortcuts, the program group, the registry entry, the uninstaller and its folder"
else
  echo "demo: something was left behind ($left paths, $key registry entries)" >&2
  exit 1
fi
echo "demo: screenshots of every page in $demo/screenshots"
