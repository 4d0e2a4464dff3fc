#!/usr/bin/env bash
# Soak test of run mode: the real program on the shipped catalogue, with the
# map moving and every chosen name blinking once a second, under a virtual X
# server of its own for a given time. It samples the program's CPU time and
# resident memory after it has settled (5 s) and at the end, ends it with a
# key as a user does, and fails when the program died, did not end on the
# key, or its memory grew by more than a small margin.
#
#   scripts/soak.sh [PROGRAM] [SECONDS]       (defaults: build/zandreth 600)
#   make soak SOAK_SECONDS=60
#
# The margin is the larger of SOAK_RSS_MARGIN_PERCENT (default 5) per cent of
# the first sample and SOAK_RSS_MARGIN_KB (default 3072) kB.
set -euo pipefail

cd "$(dirname "$0")/.."
. scripts/virtual_display.sh
program=${1:-build/zandreth}
seconds=${2:-600}
settle=5
margin_percent=${SOAK_RSS_MARGIN_PERCENT:-5}
margin_kb=${SOAK_RSS_MARGIN_KB:-3072}

fail() {
  echo "soak: FAILED: $*" >&2
  exit 1
}

for needed in Xvfb xdotool; do
  command -v "$needed" >/dev/null || fail "needs $needed (scripts/install-deps.sh installs it)"
done
[ -x "$program" ] || fail "no program at $program: build it first (make build)"
[ "$seconds" -gt "$settle" ] 2>/dev/null || fail "the soak must last more than $settle seconds"

folder=$(mktemp -d "${TMPDIR:-/tmp}/zandreth-soak-XXXXXX")
server_pid=""
program_pid=""
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill -KILL "$program_pid" 2>/dev/null || true
  fi
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$folder"
}
trap cleanup EXIT

# The program reads zandreth.ini from its own folder: a copy of it in a
# fresh folder with the shipped catalogue, relocation and blinking every
# second and every row blinking, so every timer works as hard as it can.
cp "$program" "$folder/zandreth"
sed -e 's/^RND_INTERVAL=[^\r]*/RND_INTERVAL=1/' \
    -e 's/^MARK_INTERVAL=[^\r]*/MARK_INTERVAL=1/' \
    -e 's/^\(City_MarkNo[0-9]\)=[^\r]*/\1=1/' \
    assets/zandreth.ini >"$folder/zandreth.ini"
grep -q '^RND_INTERVAL=1' "$folder/zandreth.ini" || fail "the shipped zandreth.ini has no RND_INTERVAL to set"
settings_before=$(sha256sum <"$folder/zandreth.ini")

start_virtual_display 1280x1024 "$folder/xvfb.log" || fail "Xvfb did not start"

# CPU time (user + system, in clock ticks) and resident memory (kB) of a
# process. The name in /proc/PID/stat is in parentheses and may hold
# blanks, so the fields are counted after the last ')'.
ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat") || return 1
  stat=${stat##*) }
  # Fields 14 and 15 of the whole line are 12 and 13 after the name.
  awk '{ print $12 + $13 }' <<<"$stat"
}
rss_kb() {
  awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"
}
alive() {
  kill -0 "$program_pid" 2>/dev/null && [ "$(awk '{ print $3 }' "/proc/$program_pid/stat" 2>/dev/null)" != "Z" ]
}

"$folder/zandreth" /S >"$folder/program.log" 2>&1 &
program_pid=$!
sleep "$settle"
alive || fail "the program ended within ${settle} s of its start: $(cat "$folder/program.log")"
start_cpu=$(cpu_ticks "$program_pid")
start_rss=$(rss_kb "$program_pid")
start_time=$(date +%s.%N)
echo "soak: $program in run mode on $DISPLAY for $seconds s (relocation and blinking every second)"
echo "soak: after ${settle} s: RSS ${start_rss} kB, CPU $(awk -v t="$start_cpu" -v h="$ticks_per_second" 'BEGIN { printf "%.2f", t / h }') s"

# A sample a minute (or ten over a shorter run) shows the trend.
remaining=$((seconds - settle))
step=$((remaining < 600 ? (remaining + 9) / 10 : 60))
while [ "$remaining" -gt 0 ]; do
  pause=$((remaining < step ? remaining : step))
  sleep "$pause"
  remaining=$((remaining - pause))
  alive || fail "the program died after $((seconds - remaining)) s: $(cat "$folder/program.log")"
  echo "soak:   at $((seconds - remaining)) s: RSS $(rss_kb "$program_pid") kB"
done

end_cpu=$(cpu_ticks "$program_pid")
end_rss=$(rss_kb "$program_pid")
end_time=$(date +%s.%N)

# A program whose timers stopped would keep its memory too: its screen must
# still change (the map moves every second) and it must still use CPU time.
[ "$end_cpu" -gt "$start_cpu" ] || fail "the program used no CPU time while it ran: its timers stopped"
if command -v import >/dev/null; then
  import -window root -depth 8 "rgb:$folder/first.rgb" 2>/dev/null
  sleep 2.5
  import -window root -depth 8 "rgb:$folder/second.rgb" 2>/dev/null
  cmp -s "$folder/first.rgb" "$folder/second.rgb" && fail "the screen did not change in 2.5 s: the map no longer moves"
fi

# End it as a user does. There is no window manager: focus the window, then
# type; under load the focus can arrive late, so try a few times.
ended=""
for _ in 1 2 3 4 5; do
  timeout 3 xdotool search --onlyvisible --name '^Form1$' windowfocus --sync >/dev/null 2>&1 || true
  xdotool key space >/dev/null 2>&1 || true
  for _ in $(seq 40); do
    if ! kill -0 "$program_pid" 2>/dev/null; then
      ended=yes
      break 2
    fi
    sleep 0.05
  done
done
[ -n "$ended" ] || fail "the program did not end on a key press"
status=0
wait "$program_pid" || status=$?
program_pid=""

awk -v sc="$start_cpu" -v ec="$end_cpu" -v h="$ticks_per_second" -v st="$start_time" -v et="$end_time" \
    -v sr="$start_rss" -v er="$end_rss" 'BEGIN {
  cpu = (ec - sc) / h; wall = et - st
  printf "soak: CPU time %.2f s in %.0f s of running (%.2f %% of one core)\n", cpu, wall, 100 * cpu / wall
  printf "soak: RSS %d kB at the start, %d kB at the end (%+d kB, %+.2f %%)\n", sr, er, er - sr, 100 * (er - sr) / sr
}'

[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat "$folder/program.log")"
[ "$(sha256sum <"$folder/zandreth.ini")" = "$settings_before" ] || fail "run mode changed zandreth.ini"
allowed=$((start_rss * margin_percent / 100))
[ "$allowed" -ge "$margin_kb" ] || allowed=$margin_kb
growth=$((end_rss - start_rss))
[ "$growth" -le "$allowed" ] || fail "RSS grew by $growth kB, more than the $allowed kB allowed"
echo "soak: passed (RSS growth $growth kB, allowed $allowed kB)"
