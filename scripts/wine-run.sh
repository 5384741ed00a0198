#!/usr/bin/env bash
# Runs a Windows program under wine64 in the given prefix: wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is made by wine-prefix.sh (the test fixture); this only runs.
set -euo pipefail
prefix="$1"; shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-winemenubuilder.exe=d;mscoree,mshtml=}"
# Tests name their virtual display, or the file xvfb.sh keeps its number in;
# by hand, the current display is used.
if [ -z "${VELMORAN_XVFB_DISPLAY:-}" ] && [ -n "${VELMORAN_XVFB_DISPLAY_FILE:-}" ]; then
  VELMORAN_XVFB_DISPLAY=$(cat "$VELMORAN_XVFB_DISPLAY_FILE")
fi
if [ -n "${VELMORAN_XVFB_DISPLAY:-}" ]; then export DISPLAY=":$VELMORAN_XVFB_DISPLAY"; fi
[ -n "${DISPLAY:-}" ] || export DISPLAY=":97"
# Debian's wine64 has no preloader to reserve the addresses Windows programs
# expect (the shared user data at 0x7ffe0000 among them) before Linux maps the
# loader's libraries: with address-space randomisation, one start in a few
# hundred fails ("failed to map the shared user data"). Without randomisation
# the layout is the same every time, and nothing lies there; the programs and
# the server Wine starts from this one inherit the setting.
exec setarch "$(uname -m)" -R /usr/lib/wine/wine64 "$@"
