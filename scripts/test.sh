#!/usr/bin/env bash
# Installs what is missing, checks the formatting and the documentation's links, then builds
# and runs every test: the fuzz target (seed corpus and 30 s of fresh inputs), the whole suite
# under AddressSanitizer and UndefinedBehaviorSanitizer, the whole suite in the release build
# with zandor-check under GNU parallel, and the Windows build under Wine, last. A failing step
# does not hide the later ones: every suite runs, and the last line counts the steps that
# passed and failed.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
zandor_install_missing "${ZANDOR_BUILD_PACKAGES[@]}" "${ZANDOR_TEST_PACKAGES[@]}" \
    "${ZANDOR_WINDOWS_PACKAGES[@]}" || exit 1

passed=0
failed=()
step() { # step NAME COMMAND...: runs one step and counts it
    local name=$1
    shift
    echo "== $name"
    if "$@"; then
        passed=$((passed + 1))
    else
        failed+=("$name")
    fi
}

# clang-format 14 (Debian 12) and 19 (Debian 13) agree on this tree.
step formatting bash -c "git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror"
step links python3 scripts/check_links.py

suite() { # suite PRESET: configure, build and test one preset
    cmake --preset "$1" > /dev/null && cmake --build --preset "$1" && ctest --preset "$1"
}
for preset in fuzz asan release; do
    step "$preset" suite "$preset"
done
# GNU parallel's recipe from the README gives the answers of one process.
step parallel bash scripts/parallel_check.sh build/release/tools/zandor-check

wine_work=
trap '[ -z "$wine_work" ] || { wineserver -k; kill "${ZANDOR_XVFB_PID:-}"; rm -rf "$wine_work"; } > /dev/null 2>&1' EXIT
windows_suite() {
    cmake --preset windows > /dev/null && cmake --build --preset windows || return 1
    source scripts/wine.sh
    wine_work=$(mktemp -d)
    zandor_start_wine "$PWD/build/windows" "$wine_work" && ctest --preset windows
}
step windows windows_suite

[ ${#failed[@]} -eq 0 ] || echo "== failed: ${failed[*]}"
echo "steps: $passed passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
