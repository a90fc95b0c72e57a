#!/usr/bin/env bash
# Runs the window driver under Wine (already set up by the test command): every check at
# 96 dpi in C and de_DE, the layout at 144 and 192 dpi, with a screenshot of each run.
# Usage: wine_window_runs.sh DRIVER ARTEFACT_DIR
set -uo pipefail
driver=$1
artefacts=$2
mkdir -p "$artefacts"
source "$(dirname "$0")/wine.sh"
trap 'zandor_wine_dpi 96' EXIT
status=0
for run in "96 C" "96 de_DE" "144 C" "192 C"; do
    read -r dpi locale <<< "$run"
    [ "$dpi" = 96 ] || zandor_wine_dpi "$dpi"
    marker="$artefacts/ready-$dpi-$locale"
    rm -f "$marker"
    LC_ALL=$locale.UTF-8 wine "$driver" "$dpi" "$locale" "Z:${marker//\//\\}" &
    pid=$!
    for _ in $(seq 600); do
        [ -e "$marker" ] || ! kill -0 "$pid" 2> /dev/null && break
        sleep 0.05
    done
    if [ -e "$marker" ]; then
        import -window root "$artefacts/zandor-wine-$dpi-dpi-$locale.png"
        rm -f "$marker"
    fi
    wait "$pid" || status=1
done
exit $status
