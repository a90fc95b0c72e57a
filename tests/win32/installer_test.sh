#!/usr/bin/env bash
# Makes the NSIS installer, installs it silently under Wine, runs what it installed and
# uninstalls it, which must leave nothing behind. Usage: installer_test.sh BUILD_DIR DRIVER
set -uo pipefail
build=$1
driver=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cpack -G NSIS -B "$work" --config "$build/CPackConfig.cmake" > /dev/null || { echo "FAIL: cpack"; exit 1; }
programs="$WINEPREFIX/drive_c/Program Files/ZANDOR"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ZANDOR"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZANDOR'

wine "$work"/zandor-*.exe /S || fail "installer status"
[ -f "$programs/zandor.exe" ] && [ -f "$programs/zandor-check.exe" ] || fail "programs not installed"
[ -f "$menu/ZANDOR.lnk" ] || fail "no Start-menu shortcut"
wine reg query "$key" > /dev/null 2>&1 || fail "not registered for uninstalling"

# The installed programs run; the window driver works beside the window and goes again.
cp "$driver" "$programs/"
(cd "$programs" && LC_ALL=C.UTF-8 wine window_driver.exe 96 C > "$work/driver.log") ||
    { cat "$work/driver.log"; fail "installed window"; }
rm -f "$programs/window_driver.exe"
[ "$(printf '4111111111111111\n' | wine "$programs/zandor-check.exe" | tr -d '\r')" = "Visa  True" ] ||
    fail "installed zandor-check"

# The uninstaller runs from a copy of itself: wait until it is done.
wine "$programs/Uninstall.exe" /S
for _ in $(seq 300); do
    [ -e "$programs" ] || [ -e "$menu" ] || break
    sleep 0.1
done
[ ! -e "$programs" ] && [ ! -e "$menu" ] || fail "files left behind"
wine reg query "$key" > /dev/null 2>&1 && fail "uninstall entry left behind"
[ "$failures" -eq 0 ] && echo "installer: installs, runs and uninstalls cleanly"
exit $((failures > 0))
