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

# The uninstall entry as Windows expects it, one of it, whether installed once or upgraded.
check_entry() {
    local entry value
    entry=$(wine reg query "$key" 2> /dev/null | tr -d '\r')
    for value in DisplayName DisplayVersion Publisher DisplayIcon InstallLocation \
        UninstallString QuietUninstallString; do
        grep -Eq "^ +$value +REG_SZ +[^ ]" <<< "$entry" || fail "$1: no $value"
    done
    grep -Eq '^ +QuietUninstallString +REG_SZ +".*Uninstall.exe" /S$' <<< "$entry" ||
        fail "$1: QuietUninstallString"
    grep -Eq '^ +EstimatedSize +REG_DWORD +0x[0-9a-f]*[1-9a-f]' <<< "$entry" || fail "$1: EstimatedSize"
    for value in NoModify NoRepair; do
        grep -Eq "^ +$value +REG_DWORD +0x1$" <<< "$entry" || fail "$1: $value"
    done
    [ "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2> /dev/null |
        tr -d '\r' | grep -Ec '^ +DisplayName +REG_SZ +ZANDOR$')" -eq 1 ] || fail "$1: not one entry"
    [ -f "$menu/ZANDOR.lnk" ] || fail "$1: no Start-menu shortcut"
    [ "$(ls "$menu")" = ZANDOR.lnk ] || fail "$1: other shortcuts: $(ls "$menu")"
}
for step in install upgrade; do
    wine "$work"/zandor-*.exe /S || fail "$step: installer status"
    [ -f "$programs/zandor.exe" ] && [ -f "$programs/zandor-check.exe" ] || fail "$step: programs"
    check_entry "$step"
done

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
wine reg query 'HKLM\Software\ZANDOR' > /dev/null 2>&1 && fail "HKLM\Software\ZANDOR left behind"
[ "$failures" -eq 0 ] && echo "installer: installs, runs and uninstalls cleanly"
exit $((failures > 0))
