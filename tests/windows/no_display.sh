#!/usr/bin/env bash
# The stub started where there is no display at all (as in a service session):
# it must end with exit code 1, not crash. no_display.sh PREFIX STUB
set -uo pipefail
prefix="$1" stub="$2"
# Wine's desktop belongs to the session that first made it: this run gets a
# session of its own, without a display, and leaves none behind for the tests
# that need one.
end_session() { WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null; WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w; }
end_session
trap end_session EXIT
output=$(env -u DISPLAY -u VELMORAN_XVFB_DISPLAY -u VELMORAN_XVFB_DISPLAY_FILE WINEPREFIX="$prefix" WINEDEBUG=-all \
  WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=" timeout 60 setarch "$(uname -m)" -R /usr/lib/wine/wine64 "$stub" 2>&1)
status=$?
if [ "$status" -ne 1 ] || grep -q "Unhandled" <<<"$output"; then
  echo "expected exit code 1 without a display, got $status: $output" >&2
  exit 1
fi
echo "no display: exit code 1"
