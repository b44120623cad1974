# Shared by scripts/run and scripts/bench: a private Xvfb, stopped by its pid.
# start_xvfb WIDTHxHEIGHT  -> sets XVFB_PID and XVFB_DISPLAY
start_xvfb() {
  local geometry=$1 fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${geometry}x24" -noreset -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number
  read -r -t 20 number <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "could not start Xvfb" >&2
    kill "$XVFB_PID" 2>/dev/null
    return 1
  fi
  XVFB_DISPLAY=":$number"
}

stop_pid() {
  [ -n "${1:-}" ] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
