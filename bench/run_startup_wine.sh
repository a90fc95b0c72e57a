#!/usr/bin/env bash
# Start-up of zandor.exe under Wine next to a minimal Win32 window built in the same tree:
# from CreateProcess to the window shown, paired runs, and the sizes of the programs.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows > /dev/null
cmake --build --preset windows > /dev/null
source scripts/wine.sh
work=$(mktemp -d)
trap 'wineserver -k > /dev/null 2>&1; kill "${ZANDOR_XVFB_PID:-}" 2> /dev/null; rm -rf "$work"' EXIT
zandor_start_wine "$PWD/build/windows" "$work"
bin=build/windows/bin
for floor in minimal_window minimal_window_manifest; do
    echo "against $floor:"
    wine "$bin/startup_probe.exe" "${RUNS:-20}" zandor.exe ZANDOR "$floor.exe" minimal \
        < /dev/null 2>&1 | tr -d '\r'
done
(cd "$bin" && ls -l zandor.exe zandor-check.exe | awk '{printf "%s: %d bytes\n", $9, $5}')
