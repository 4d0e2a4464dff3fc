# Sourced by the scripts that run the program on a virtual X server of its
# own.

# start_virtual_display SIZE LOG: starts Xvfb with a screen of SIZE
# (WIDTHxHEIGHT) on a display number the server picks itself (so two runs
# never race for one), its output in LOG; once the server accepts clients,
# sets server_pid and exports DISPLAY. Fails when the server does not start.
start_virtual_display() {
  local size=$1 log=$2 number_file tries=0
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$number_file" >"$log" 2>&1 &
  server_pid=$!
  # The server writes its display number once it accepts clients.
  while [ ! -s "$number_file" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 300 ] || ! kill -0 "$server_pid" 2>/dev/null; then
      rm -f "$number_file"
      return 1
    fi
    sleep 0.1
  done
  DISPLAY=:$(tr -d '\n' <"$number_file")
  export DISPLAY
  rm -f "$number_file"
}
