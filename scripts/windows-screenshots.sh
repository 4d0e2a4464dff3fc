#!/usr/bin/env bash
# The README's two pictures of the Windows program, taken under Wine on a
# virtual X server of their own: run mode on a 1024 x 768 screen
# (docs/windows-run-mode.png) and the settings dialog's client area
# (docs/windows-dialog.png), both on the shipped zandreth.ini.
#
#   scripts/windows-screenshots.sh [PROGRAM]   (default: build-windows/zandreth.scr)
#
# Build the program first (make windows). Wine runs in the Windows build's
# own prefix, build-windows/wine-prefix, whose server ends with the script.
set -euo pipefail

cd "$(dirname "$0")/.."
. scripts/virtual_display.sh
program=${1:-build-windows/zandreth.scr}

fail() {
  echo "windows-screenshots: FAILED: $*" >&2
  exit 1
}

for needed in Xvfb xdotool import; do
  command -v "$needed" >/dev/null || fail "needs $needed (scripts/install-deps.sh installs it)"
done
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
[ -x "$wine" ] || fail "needs Wine (scripts/install-deps.sh installs it)"
[ -f "$program" ] || fail "no program at $program: build it first (make windows)"

export WINEPREFIX=$PWD/build-windows/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY

folder=$(mktemp -d "${TMPDIR:-/tmp}/zandreth-screenshots-XXXXXX")
server_pid=""
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  timeout 60 "$wineserver" -w 2>/dev/null || true
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$folder"
}
trap cleanup EXIT

# A copy of the program beside the shipped catalogue and first choice of
# cities: a whole installation.
cp "$program" "$folder/zandreth.scr"
cp assets/zandreth.ini "$folder/zandreth.ini"

start_virtual_display 1024x768 "$folder/xvfb.log" || fail "Xvfb did not start"

# The X window of the visible window named NAME (a regular expression), once
# it is there: Wine can take many seconds to start.
window_named() {
  local name=$1 found=""
  for _ in $(seq 450); do
    found=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1) || true
    [ -n "$found" ] && break
    sleep 0.2
  done
  [ -n "$found" ] || fail "no window named $name"
  echo "$found"
}

# Waits for the program started in the background to end, pressing KEY on
# the window named NAME until it does.
end_with_key() {
  local name=$1 key=$2 pid=$3
  for _ in $(seq 15); do
    timeout 5 xdotool search --onlyvisible --name "$name" windowfocus --sync >/dev/null 2>&1 || true
    xdotool key "$key" >/dev/null 2>&1 || true
    for _ in $(seq 20); do
      kill -0 "$pid" 2>/dev/null || return 0
      sleep 0.1
    done
  done
  fail "the program did not end on $key"
}

mkdir -p docs

# Run mode: the map, the labels and the UTC line come with the first clock
# tick, 900 ms after the start; a few seconds leave time for a busy machine.
"$wine" "$folder/zandreth.scr" /s &
run_pid=$!
window_named '^Form1$' >/dev/null
sleep 5
timeout 60 import -window root docs/windows-run-mode.png
end_with_key '^Form1$' space "$run_pid"

# The settings dialog: Wine's X window of a window is its client area.
"$wine" "$folder/zandreth.scr" /c &
dialog_pid=$!
dialog=$(window_named '^Zandreth$')
sleep 2
timeout 60 import -window "$dialog" docs/windows-dialog.png
end_with_key '^Zandreth$' Escape "$dialog_pid"

echo "docs/windows-run-mode.png and docs/windows-dialog.png"
