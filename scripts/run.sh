#!/usr/bin/env bash
# Installs what is missing, builds the programs (the "app" preset) and opens the ZANDOR window.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
zandor_install_missing "${ZANDOR_BUILD_PACKAGES[@]}"
cmake --preset app > /dev/null
cmake --build --preset app
program=build/app/src/app/zandor
if [ -n "${DISPLAY:-}" ]; then
    timeout 5 xdpyinfo > /dev/null 2>&1 ||
        { echo "zandor: cannot open the display '$DISPLAY'." >&2; exit 1; }
elif [ -n "${WAYLAND_DISPLAY:-}" ]; then
    [ -S "${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/$WAYLAND_DISPLAY" ] ||
        { echo "zandor: cannot open the Wayland display '$WAYLAND_DISPLAY'." >&2; exit 1; }
else
    echo "zandor: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
exec "$program"
