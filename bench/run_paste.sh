#!/usr/bin/env bash
# Pastes entries of 4, 16 and 64 MiB into the real window under Xvfb and openbox, with the
# accessibility bus on, and prints how the window copes (bench/paste.py).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release > /dev/null
cmake --build --preset release > /dev/null
source scripts/xvfb.sh
work=$(mktemp -d)
trap 'kill ${ZANDOR_XVFB_PID:-} ${openbox:-} 2> /dev/null; rm -rf "$work"' EXIT
zandor_start_xvfb "$work"
openbox > /dev/null 2>&1 &
openbox=$!
sleep 1
export LC_ALL=C XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# shellcheck disable=SC2016
dbus-run-session -- bash -c '
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true > /dev/null
    exec /usr/bin/python3 bench/paste.py "$0" ${SIZES:-4 16 64}' build/release/src/app/zandor
