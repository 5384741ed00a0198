#!/usr/bin/env bash
# Starts or stops the virtual display the Windows-side GUI tests run on:
#   xvfb.sh start FIRST_NUMBER STATE_FOLDER   prints the display number it took
#   xvfb.sh stop STATE_FOLDER
# Each run has a display of its own: one taken by another run (a second build
# tree's suite, the demo, a benchmark) is never shared, since whoever stops it
# would take it from under the other. Starting from FIRST_NUMBER, the first
# free number is taken; it is kept in STATE_FOLDER/xvfb-display.
set -euo pipefail
action="$1"
case "$action" in
  start) first="$2" state="$3" ;;
  stop) state="$2" ;;
  *) echo "usage: xvfb.sh start FIRST_NUMBER STATE_FOLDER | stop STATE_FOLDER" >&2; exit 2 ;;
esac
pidfile="$state/xvfb.pid" numberfile="$state/xvfb-display"
mkdir -p "$state"

# True when display $1 is served by the Xvfb of process $2.
serves() { [ -e "/tmp/.X11-unix/X$1" ] && grep -qw "$2" "/tmp/.X$1-lock" 2>/dev/null; }

case "$action" in
  start)
    if [ -f "$pidfile" ] && [ -f "$numberfile" ] && serves "$(cat "$numberfile")" "$(cat "$pidfile")"; then
      cat "$numberfile"
      exit 0
    fi
    for number in $(seq "$first" $((first + 40))); do
      [ -e "/tmp/.X$number-lock" ] && continue
      Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      pid=$!
      for _ in $(seq 50); do
        # Another run may have taken the number a moment before: its lock stands, ours ends.
        kill -0 "$pid" 2>/dev/null || break
        if serves "$number" "$pid"; then
          echo "$pid" > "$pidfile"
          echo "$number" > "$numberfile"
          echo "$number"
          exit 0
        fi
        sleep 0.1
      done
      kill "$pid" 2>/dev/null || true
    done
    echo "xvfb: no display from :$first to :$((first + 40)) could be started" >&2
    exit 1
    ;;
  stop)
    if [ -f "$pidfile" ]; then kill "$(cat "$pidfile")" 2>/dev/null || true; fi
    rm -f "$pidfile" "$numberfile"
    ;;
esac
