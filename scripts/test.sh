#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then builds and runs every test: the
# fuzz target (seed corpus and 30 s of fresh inputs), the whole suite under AddressSanitizer
# and UndefinedBehaviorSanitizer, the whole suite in the release build, and the Windows build
# under Wine, last.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
zandor_install_missing "${ZANDOR_BUILD_PACKAGES[@]}" "${ZANDOR_TEST_PACKAGES[@]}" \
    "${ZANDOR_WINDOWS_PACKAGES[@]}"

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

for preset in fuzz asan release; do
    echo "== $preset"
    cmake --preset "$preset" > /dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

echo "== windows"
cmake --preset windows > /dev/null
cmake --build --preset windows
source scripts/wine.sh
wine_work=$(mktemp -d)
trap 'wineserver -k > /dev/null 2>&1; kill "${ZANDOR_XVFB_PID:-}" 2> /dev/null; rm -rf "$wine_work"' EXIT
zandor_start_wine "$PWD/build/windows" "$wine_work"
ctest --preset windows
