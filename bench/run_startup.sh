#!/usr/bin/env bash
# Start-up time and peak memory of zandor next to a minimal Qt Widgets window, under Xvfb
# with a session bus, as on a desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release > /dev/null
cmake --build --preset release > /dev/null
source scripts/xvfb.sh
work=$(mktemp -d)
trap 'kill ${ZANDOR_XVFB_PID:-} 2> /dev/null; rm -rf "$work"' EXIT
zandor_start_xvfb "$work"
export LC_ALL=C
dbus-run-session -- /usr/bin/python3 bench/startup.py "${RUNS:-20}" \
    build/release/src/app/zandor build/release/bench/minimal_window
