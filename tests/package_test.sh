#!/usr/bin/env bash
# Installs the build into a scratch prefix and makes its .deb and debug-symbols .ddeb, then
# checks them as a distribution would: lintian, AppStream and desktop entry validation, man
# pages, no build-tree RUNPATH, Debian's hardening, --version, and a start without a display.
# Usage: package_test.sh BUILD_DIR
set -uo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$work/usr" > /dev/null || fail "cmake --install"
cpack --config "$build/CPackConfig.cmake" -B "$work/deb" > /dev/null || fail "cpack"
# On a Wayland desktop the window runs natively only with Qt's Wayland platform.
dpkg-deb -f "$work"/deb/*.deb Recommends | grep -qw qt6-wayland || fail "qt6-wayland not recommended"
lintian --allow-root --fail-on error,warning "$work"/deb/*.deb "$work"/deb/*.ddeb > "$work/lintian.txt" 2>&1 ||
    fail "lintian: $(cat "$work/lintian.txt")"
appstreamcli validate --no-net "$work"/usr/share/metainfo/*.metainfo.xml > /dev/null ||
    fail "AppStream metadata"
desktop-file-validate "$work/usr/share/applications/zandor.desktop" || fail "desktop entry"
[ -f "$work/usr/share/icons/hicolor/scalable/apps/zandor.svg" ] || fail "icon"
# Our code is built with control-flow protection, but the C library's start files carry no
# such property on Debian 12 or 13, so no program linked there has it; branch protection is
# an arm64 feature that Debian 13's hardening-check asks of every architecture.
hardening=(--quiet)
readelf -n "$(gcc -print-file-name=Scrt1.o)" | grep -q 'IBT, SHSTK' || hardening+=(--nocfprotection)
[ "$(dpkg --print-architecture)" = arm64 ] ||
    ! grep -q nobranchprotection "$(command -v hardening-check)" || hardening+=(--nobranchprotection)
for program in zandor zandor-check; do
    man -l "$work/usr/share/man/man1/$program.1.gz" 2>&1 | grep -q "$program" || fail "man $program"
    readelf -d "$work/usr/bin/$program" | grep -qE 'RUNPATH|RPATH' && fail "$program has a RUNPATH"
    hardening-check "${hardening[@]}" "$work/usr/bin/$program" > "$work/hardening.txt" 2>&1 ||
        fail "hardening: $(cat "$work/hardening.txt")"
    [ "$("$work/usr/bin/$program" --version)" = "$program 1.0.0" ] || fail "$program --version"
done
# The installed tool finds the module that reads the locale's separators.
[ "$(printf '4.111.111.111.111.111\n' | LC_ALL=de_DE.UTF-8 "$work/usr/bin/zandor-check")" = "Visa  True" ] ||
    fail "zandor-check without the locale's separators"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/usr/bin/zandor" 2>&1)
status=$?
[ "$status" -eq 1 ] && [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] ||
    fail "without a display: status $status, $out"

[ "$failures" -eq 0 ] && echo "package: all checks passed"
exit $((failures > 0))
