# Sourced: zandor_start_desktop WORKDIR starts what a desktop session gives a program and a
# screen reader, all private to WORKDIR: an X display (xvfb.sh) with a window manager (openbox,
# without which no window gets the keyboard focus), runtime and home folders, and a sound
# server with a null sink (without one speech-dispatcher blocks every utterance, and Orca with
# it). Every process started from then on carries a mark in its environment, so that
# zandor_end_desktop ends them all, the daemons Orca starts included. Defines wait_for.
here_desktop=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here_desktop/xvfb.sh"

wait_for() { # wait_for SECONDS COMMAND...: polls every 50 ms
    local deadline=$((SECONDS + $1))
    shift
    until "$@" > /dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.05
    done
}

zandor_start_desktop() {
    local work=$1
    export ZANDOR_DESKTOP_MARK=$work
    zandor_start_xvfb "$work" || return 1
    openbox > "$work/openbox.log" 2>&1 &
    wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        { echo "openbox did not start"; return 1; }
    export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    mkdir "$HOME"
    pulseaudio -n --daemonize=no --exit-idle-time=-1 -L module-null-sink \
        -L "module-native-protocol-unix socket=$work/pulse auth-anonymous=1" \
        > "$work/pulse.log" 2>&1 &
    export PULSE_SERVER=unix:$work/pulse
    wait_for 10 test -S "$work/pulse" || { echo "PulseAudio did not start"; return 1; }
}

zandor_end_desktop() {
    local signal pids
    [ -n "${ZANDOR_DESKTOP_MARK:-}" ] || return 0
    for signal in TERM KILL; do
        pids=$(grep -lzs "^ZANDOR_DESKTOP_MARK=$ZANDOR_DESKTOP_MARK$" /proc/[0-9]*/environ |
            cut -d/ -f3 | grep -vx "$$" | tr "\n" " ")
        [ -n "$pids" ] || break
        # shellcheck disable=SC2086
        kill -"$signal" $pids 2> /dev/null
        wait_for 10 sh -c "for pid in $pids; do ! kill -0 \$pid 2> /dev/null || exit 1; done"
    done
    kill "${ZANDOR_XVFB_PID:-}" 2> /dev/null
    return 0
}

# Starts Orca (in the session bus of the caller) with its debug log at LOG, written line by
# line so that each utterance can be waited for, and waits until it has started. Its process
# id is left in ZANDOR_ORCA_PID.
zandor_start_orca() {
    local log=$1
    rm -f "$log"
    /usr/bin/python3 - --debug-file="$log" > /dev/null 2>&1 << 'EOF' &
import builtins, runpy, sys
opened = builtins.open
def line_buffered(file, mode="r", buffering=-1, *args, **kwargs):
    return opened(file, mode, 1 if buffering == -1 and mode == "w" else buffering, *args, **kwargs)
builtins.open = line_buffered
sys.argv[0] = "/usr/bin/orca"
runpy.run_path(sys.argv[0], run_name="__main__")
EOF
    ZANDOR_ORCA_PID=$!
    wait_for 60 grep -qE "Startup complete|Starting Atspi main event loop" "$log"
}
