#!/usr/bin/env bash
# Makes a fresh, throw-away wine prefix: wine-prefix.sh PREFIX
# Xvfb has no window manager, so the X11 driver is told not to wait for one.
# Nothing done in the prefix may reach the user's home: Wine's menu builder
# (which turns shortcuts into desktop entries and menu items there) is off, and
# the profile's Desktop, Documents and the like are folders of the prefix, not
# links to the home folder.
set -euo pipefail
prefix="$1"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
/usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$prefix"
mkdir -p "$prefix"
# Without address-space randomisation, as wine-run.sh explains.
wine64() { setarch "$(uname -m)" -R /usr/lib/wine/wine64 "$@"; }
wine64 wineboot -i >/dev/null 2>&1
wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine64 reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d '' /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
for entry in "$prefix"/drive_c/users/*/*; do
  if [ -L "$entry" ]; then rm "$entry" && mkdir "$entry"; fi
done
test -f "$prefix/system.reg" || { echo "wine-prefix: wineboot made no registry in $prefix" >&2; exit 1; }
echo "wine-prefix: ready at $prefix"
