#!/usr/bin/env bash
# The README's picture of the map with day and night (docs/day-night.png):
# run mode on the shipped zandreth.ini with DAY_NIGHT=1, on a virtual X
# server whose screen is just larger than the map and its UTC line, at the
# current time.
#
#   scripts/day-night-screenshot.sh [PROGRAM]   (default: build/zandreth)
#
# Build the program first (make build).
set -euo pipefail

cd "$(dirname "$0")/.."
. scripts/virtual_display.sh
program=${1:-build/zandreth}

fail() {
  echo "day-night-screenshot: FAILED: $*" >&2
  exit 1
}

for needed in Xvfb xdotool import; do
  command -v "$needed" >/dev/null || fail "needs $needed (scripts/install-deps.sh installs it)"
done
[ -x "$program" ] || fail "no program at $program: build it first (make build)"

folder=$(mktemp -d "${TMPDIR:-/tmp}/zandreth-screenshot-XXXXXX")
server_pid=""
run_pid=""
cleanup() {
  if [ -n "$run_pid" ]; then
    kill "$run_pid" 2>/dev/null || true
    wait "$run_pid" 2>/dev/null || true
  fi
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$folder"
}
trap cleanup EXIT

# A copy of the program beside the shipped catalogue, its first choice of
# cities and day and night on.
cp "$program" "$folder/zandreth"
sed 's/^\[PROC_INFO\]\r$/[PROC_INFO]\r\nDAY_NIGHT=1\r/' assets/zandreth.ini >"$folder/zandreth.ini"
grep -q '^DAY_NIGHT=1' "$folder/zandreth.ini" || fail "no [PROC_INFO] section in assets/zandreth.ini"

start_virtual_display 744x392 "$folder/xvfb.log" || fail "Xvfb did not start"

mkdir -p docs
HOME=$folder/home "$folder/zandreth" /S &
run_pid=$!
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^Form1$' >/dev/null 2>&1 && break
  sleep 0.1
done
# The labels and the UTC line come with the first clock tick, 900 ms after
# the start; a few seconds leave time for a busy machine.
sleep 4
timeout 60 import -window root docs/day-night.png
echo "docs/day-night.png"
