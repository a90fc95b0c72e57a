#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then builds and runs every test: the
# fuzz target (seed corpus and 30 s of fresh inputs), the whole suite under AddressSanitizer
# and UndefinedBehaviorSanitizer, and the whole suite in the release build, last.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
zandor_install_missing "${ZANDOR_BUILD_PACKAGES[@]}" "${ZANDOR_TEST_PACKAGES[@]}"

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

for preset in fuzz asan release; do
    echo "== $preset"
    cmake --preset "$preset" > /dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
