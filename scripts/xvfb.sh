# Sourced: zandor_start_xvfb WORKDIR starts a private Xvfb display, waits until it is ready
# and exports DISPLAY; its process id is left in ZANDOR_XVFB_PID for the caller to stop.
zandor_start_xvfb() {
    local work=$1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3> "$work/display" \
        2> "$work/xvfb.log" &
    ZANDOR_XVFB_PID=$!
    local tries
    for tries in $(seq 200); do
        [ -s "$work/display" ] && break
        sleep 0.05
    done
    [ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; return 1; }
    export DISPLAY=":$(head -n 1 "$work/display")"
}
