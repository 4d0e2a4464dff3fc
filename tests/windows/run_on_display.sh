#!/bin/sh
# run_on_display.sh WINEPREFIX WINE WINESERVER PROGRAM [ARGUMENT...]
#
# Runs a Windows test program under Wine on an X display of its own: Wine
# makes no window without a display. A fresh Xvfb server (on the first free
# display number) and a Wine prefix that only these runs use (its desktop
# must know the display) are started for the run and ended after it, so no
# server outlives the test. The program's exit status is the script's.
set -u
prefix=$1 wine=$2 wineserver=$3
shift 3

displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
xvfb=$!
finish() {
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    rm -f "$displayfile"
}
trap finish EXIT
# The server writes its display number once it accepts clients.
tries=0
while [ ! -s "$displayfile" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 300 ] || ! kill -0 "$xvfb" 2>/dev/null; then
        echo "Xvfb did not start" >&2
        exit 1
    fi
    sleep 0.1
done

DISPLAY=:$(cat "$displayfile") WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    "$wine" "$@"
