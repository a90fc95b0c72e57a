# Sourced: zandor_start_wine BUILD_DIR WORKDIR makes the build's private Wine prefix once,
# starts a private X display for it, a persistent wineserver, and warms Wine up, so that each
# test starts at once. The caller stops the display (ZANDOR_XVFB_PID) and runs
# `wineserver -k` when done. zandor_wine_dpi DPI then sets the display's pixel density.
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

zandor_start_wine() {
    local build=$1 work=$2
    export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    zandor_start_xvfb "$work" || return 1
    if [ ! -f "$WINEPREFIX/.zandor-ready-2" ]; then
        rm -rf "$WINEPREFIX"
        wineboot -i > /dev/null 2>&1
        # No crash dialog (a crashing test would hang), and a virtual desktop, which draws
        # title bars and destroys windows promptly.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f
        # The window's own font, MS Sans Serif, as a bitmap font from fonts-wine: without it
        # Wine draws the window in a TrueType stand-in.
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/sserife.fon "$WINEPREFIX/drive_c/windows/Fonts/"
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
            /v 'MS Sans Serif 8,10,12,14,18,24' /d sserife.fon /f
        wineserver -w
        touch "$WINEPREFIX/.zandor-ready-2"
    fi > /dev/null 2>&1
    # A server left from an earlier run may hold another display.
    wineserver -k > /dev/null 2>&1 || true
    wineserver -w
    wineserver -p > /dev/null 2>&1
    wine cmd /c exit > /dev/null 2>&1 || true
}

# Wine reads the pixel density when its server starts. The old server is waited for, so that
# the new one starts here, with no output of any later test held open by it or by the
# services it starts. The value is read back after the restart, and set again if a busy
# machine lost it on the way.
zandor_wine_dpi() {
    local want
    want=$(printf '0x%x' "$1")
    for _ in 1 2 3; do
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f > /dev/null 2>&1
        wineserver -k > /dev/null 2>&1
        wineserver -w > /dev/null 2>&1
        wineserver -p > /dev/null 2>&1
        wine cmd /c exit > /dev/null 2>&1
        wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2> /dev/null |
            tr -d '\r' | grep -qw -- "$want" && return 0
    done
    echo "could not set Wine's pixel density to $1" >&2
    return 1
}
