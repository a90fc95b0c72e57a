# Sourced: zandor_start_wayland WORKDIR starts a private Wayland session in WORKDIR, as the
# X11 one (desktop_session.sh) does: sway, headless and drawn in software, with runtime and
# home folders, and a keyboard held on its seat for the whole session (wtype makes a keyboard
# of its own for each call, and a seat without one takes the focus from every window).
# WAYLAND_DISPLAY (a full path, so that any user reaches it) and SWAYSOCK are exported,
# DISPLAY removed. sway refuses to run as root; root runs it as nobody. zandor_end_desktop
# ends it all.
source "$(dirname "${BASH_SOURCE[0]}")/desktop_session.sh"

zandor_start_wayland() {
    local work=$1 as=()
    export ZANDOR_DESKTOP_MARK=$work
    export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
    mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME" "$work/compositor"
    printf 'output HEADLESS-1 resolution 1024x768\nxwayland disable\n' > "$work/sway.conf"
    if [ "$(id -u)" -eq 0 ]; then
        chmod 711 "$work"
        chown nobody: "$work/compositor"
        as=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
    fi
    "${as[@]}" env XDG_RUNTIME_DIR="$work/compositor" HOME="$work/compositor" \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$work/sway.conf" > "$work/sway.log" 2>&1 &
    wait_for 20 sh -c "ls '$work'/compositor/wayland-? '$work'/compositor/sway-ipc.*" ||
        { echo "sway did not start"; cat "$work/sway.log"; return 1; }
    unset DISPLAY
    WAYLAND_DISPLAY=$(ls "$work"/compositor/wayland-?)
    SWAYSOCK=$(ls "$work"/compositor/sway-ipc.*)
    export WAYLAND_DISPLAY SWAYSOCK
    wtype -s 86400000 > /dev/null 2>&1 &
    wait_for 10 sh -c 'swaymsg -t get_seats | grep -q keyboard' ||
        { echo "no keyboard on the seat"; return 1; }
}
