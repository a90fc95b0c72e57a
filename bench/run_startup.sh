#!/usr/bin/env bash
# Start-up time and peak memory of zandor next to a minimal Qt Widgets window, under Xvfb
# with a session bus, as on a desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release > /dev/null
cmake --build --preset release > /dev/null
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3> "$work/display" 2> /dev/null &
xvfb=$!
trap 'kill $xvfb; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n 1 "$work/display")"
export LC_ALL=C
dbus-run-session -- /usr/bin/python3 bench/startup.py "${RUNS:-20}" \
    build/release/src/app/zandor build/release/bench/minimal_window
