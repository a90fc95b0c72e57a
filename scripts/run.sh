#!/usr/bin/env bash
# Installs what is missing, builds the release preset and opens the ZANDOR window.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
zandor_install_missing "${ZANDOR_BUILD_PACKAGES[@]}"
cmake --preset release > /dev/null
cmake --build --preset release
program=build/release/src/app/zandor
if [ ! -x "$program" ]; then
    echo "Built everything; the window program is not part of this build yet."
    exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "zandor: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
exec "$program"
