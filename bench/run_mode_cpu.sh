#!/usr/bin/env bash
# CPU time of run mode at three sizes, measured together over the same
# minute: a hosted 300 x 200 copy (a preview), a hosted 1920 x 1080 copy
# (a full-size screen-saver window) and "/S" covering a 1920 x 1080 screen
# of its own. Each copy runs the shipped catalogue and first-run choice
# (relocation every 60 s, two names blinking every second) under a virtual
# X server; after a few seconds to settle, the user + system CPU time of
# each process is read from /proc at the start and the end of the
# measurement, and printed in seconds per minute with the ratio of the
# preview to the full-size copy.
#
#   bench/run_mode_cpu.sh [BUILD FOLDER] [SECONDS]   (defaults: build 60)
#
# It needs the program and the tests' host-window client
# (tests/program/x_window), both built by `make build`.
set -euo pipefail

cd "$(dirname "$0")/.."
. scripts/virtual_display.sh
build=${1:-build}
seconds=${2:-60}
settle=5
program="$build/zandreth"
host_client="$build/tests/program/x_window"

fail() {
  echo "run_mode_cpu: $*" >&2
  exit 1
}
for needed in Xvfb; do
  command -v "$needed" >/dev/null || fail "needs $needed (scripts/install-deps.sh installs it)"
done
[ -x "$program" ] || fail "no program at $program: build it first (make build)"
[ -x "$host_client" ] || fail "no host-window client at $host_client: build it first (make build)"

folder=$(mktemp -d "${TMPDIR:-/tmp}/zandreth-cpu-XXXXXX")
servers=()
children=()
cleanup() {
  for pid in "${children[@]}" "${servers[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${children[@]}" "${servers[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$folder"
}
trap cleanup EXIT

# The program reads zandreth.ini from its own folder.
cp "$program" "$folder/zandreth"
cp assets/zandreth.ini "$folder/zandreth.ini"

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat") || return 1
  stat=${stat##*) }
  awk '{ print $12 + $13 }' <<<"$stat"
}

# One server for the two hosted copies, one for "/S" (which covers its
# screen and keeps itself on top).
start_virtual_display 1920x1080 "$folder/xvfb-hosted.log" || fail "Xvfb did not start"
servers+=("$server_pid")
hosted_display=$DISPLAY
start_virtual_display 1920x1080 "$folder/xvfb-full.log" || fail "Xvfb did not start"
servers+=("$server_pid")
full_display=$DISPLAY

host_window() { # WIDTH HEIGHT NAME: maps a host window, its id in NAME.id
  DISPLAY=$hosted_display "$host_client" create "$1" "$2" 0 0 "$folder/$3.id" >/dev/null 2>&1 &
  children+=("$!")
  for _ in $(seq 100); do
    [ -s "$folder/$3.id" ] && return
    sleep 0.1
  done
  fail "the host window $3 was not made"
}

host_window 300 200 preview
host_window 1920 1080 full
preview_id=$(cat "$folder/preview.id")
full_id=$(cat "$folder/full.id")

DISPLAY=$hosted_display "$folder/zandreth" --window-id "$preview_id" >"$folder/preview.log" 2>&1 &
preview_pid=$!
children+=("$preview_pid")
DISPLAY=$hosted_display "$folder/zandreth" --window-id "$full_id" >"$folder/hosted.log" 2>&1 &
hosted_pid=$!
children+=("$hosted_pid")
DISPLAY=$full_display "$folder/zandreth" /S >"$folder/run.log" 2>&1 &
run_pid=$!
children+=("$run_pid")

sleep "$settle"
names=(preview hosted run)
pids=("$preview_pid" "$hosted_pid" "$run_pid")
start=()
for i in 0 1 2; do
  start+=("$(cpu_ticks "${pids[$i]}")") ||
    fail "the ${names[$i]} copy ended within $settle s of its start: $(cat "$folder/${names[$i]}.log")"
done
sleep "$seconds"
labels=("hosted 300 x 200  " "hosted 1920 x 1080" "/S at 1920 x 1080 ")
per_minute=()
for i in 0 1 2; do
  end=$(cpu_ticks "${pids[$i]}") || fail "the ${names[$i]} copy ended during the measurement"
  per_minute+=("$(awk -v s="${start[$i]}" -v e="$end" -v h="$ticks_per_second" -v w="$seconds" \
    'BEGIN { printf "%.3f", (e - s) / h * 60 / w }')")
  echo "run_mode_cpu: ${labels[$i]}: ${per_minute[$i]} s of CPU per minute"
done
awk -v p="${per_minute[0]}" -v f="${per_minute[1]}" \
  'BEGIN { if (f > 0) printf "run_mode_cpu: the preview costs %.2f times the full-size hosted copy\n", p / f }'
