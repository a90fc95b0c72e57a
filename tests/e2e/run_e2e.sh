#!/usr/bin/env bash
# Starts a private X display (Xvfb) with a window manager (openbox) and a session bus with
# the accessibility bus switched on, as a screen reader would, then runs the end-to-end
# test of the real program in it. Usage: run_e2e.sh PROGRAM ARTEFACT_DIR
set -euo pipefail
program=$1
artefacts=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$artefacts"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

wait_for() {  # wait_for SECONDS COMMAND...: polls every 50 ms
    local deadline=$((SECONDS + $1))
    shift
    until "$@" > /dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.05
    done
}

# A window that cannot start says why in one line, with status 1.
for setting in "DISPLAY=:77" "QT_QPA_PLATFORM=nosuch"; do
    status=0
    said=$(env "$setting" "$program" 2>&1) || status=$?
    [ "$status" -eq 1 ] && [ "$(printf '%s\n' "$said" | wc -l)" -eq 1 ] &&
        [[ "$said" == *"${setting#*=}"* ]] || { echo "FAIL: start-up error for $setting: $said"; exit 1; }
done

source "$here/../../scripts/xvfb.sh"
zandor_start_xvfb "$work"
pids+=("$ZANDOR_XVFB_PID")

openbox > "$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    { echo "openbox did not start"; exit 1; }

export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$HOME"
export LC_ALL=C
# After the end-to-end test, Orca itself: what it says after each check. Its debug file is
# written in blocks, so the last check only pushes out what the others made it say.
# shellcheck disable=SC2016
dbus-run-session -- bash -c '
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true > /dev/null
    /usr/bin/python3 "$0" "$1" "$2" || exit 1
    orca --debug-file="$2/orca.log" > /dev/null 2>&1 &
    orca=$!
    sleep 4
    "$1" &
    zandor=$!
    sleep 3
    # Orca moving by words from the end of the entry froze a line edit (Qt 6.4 looped for
    # ever on the word query); the checks below find the window still answering.
    xdotool type --delay 100 4123
    xdotool key ctrl+Left && sleep 2 && xdotool key ctrl+Left ctrl+a BackSpace
    for entry in 4111111111111111 5555555555554443 6011111111111117; do
        xdotool type --delay 100 "$entry"
        xdotool key Return
        sleep 4
    done
    kill "$zandor" "$orca"
    for said in "notification Visa  True" "notification MC  False"; do
        grep -q "SPEECH OUTPUT: .$said" "$2/orca.log" || { echo "FAIL: Orca did not say $said"; exit 1; }
    done
    echo "Orca: says each result"' "$here/zandor_e2e.py" "$program" "$artefacts"
