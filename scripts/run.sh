#!/usr/bin/env bash
# Installs what is missing, builds the programs (the "app" preset) and opens the ZANDOR window.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
zandor_install_missing "${ZANDOR_BUILD_PACKAGES[@]}"
cmake --preset app > /dev/null
cmake --build --preset app
exec build/app/src/app/zandor
