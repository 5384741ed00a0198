#!/usr/bin/env bash
# Starts or stops the virtual display the Windows-side GUI tests run on:
#   xvfb.sh start|stop DISPLAY_NUMBER STATE_FOLDER
set -euo pipefail
action="$1" number="$2" state="$3"
pidfile="$state/xvfb-$number.pid"
mkdir -p "$state"
case "$action" in
  start)
    if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then exit 0; fi
    if [ -e "/tmp/.X$number-lock" ]; then
      # A display of that number is up already (another run's); use it.
      exit 0
    fi
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    echo $! > "$pidfile"
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$number" ] && exit 0
      sleep 0.1
    done
    echo "xvfb: display :$number did not come up" >&2
    exit 1
    ;;
  stop)
    if [ -f "$pidfile" ]; then kill "$(cat "$pidfile")" 2>/dev/null || true; rm -f "$pidfile"; fi
    ;;
esac
