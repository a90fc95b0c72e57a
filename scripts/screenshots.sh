#!/usr/bin/env bash
# Refreshes the README's pictures of the window (docs/images/) from the screenshots the tests
# take: the end-to-end test's on Linux, after a check, and the Windows window test's at 96 dpi
# in the C locale, under Wine. Each is cut to the window and its frame, and written without
# time stamps, so that an unchanged window gives unchanged files. Run scripts/test.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
linux=build/release/artefacts/zandor-x11-screen.png
windows=build/windows/artefacts/zandor-wine-96-dpi-C.png
for shot in "$linux" "$windows"; do
    [ -f "$shot" ] || { echo "screenshots: no $shot; run scripts/test.sh first" >&2; exit 1; }
done
png=(-strip -define png:exclude-chunks=date,time)
# Linux: the window on Xvfb's black screen. Windows: the window on Wine's virtual desktop,
# which lies on the black screen.
convert "$linux" -trim +repage "${png[@]}" docs/images/zandor-linux.png
convert "$windows" -bordercolor black -border 1 -trim +repage -trim +repage "${png[@]}" \
    docs/images/zandor-windows.png
echo "screenshots: docs/images/zandor-linux.png, docs/images/zandor-windows.png"
