# Sourced by whole-program tests and benchmarks: starts a private Xvfb and exports DISPLAY.
# The server picks a free display number itself (-displayfd), so runs started at the same time
# (other tests, other developers on the machine) never race for a number as `xvfb-run -a` can.
# Usage: start_xvfb [WxHxD]; stop_xvfb (also safe to call when nothing was started).

start_xvfb() {
  local screen="${1:-800x600x24}" fifo dir number
  dir="$(mktemp -d)"
  fifo="$dir/displayfd"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$fifo" >"$dir/log" 2>&1 &
  XVFB_PID=$!
  # The server writes its display number once it accepts clients.
  if ! read -r -t 20 number <"$fifo" || [ -z "$number" ]; then
    echo "Xvfb did not start: $(cat "$dir/log")" >&2
    kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$dir"
    return 1
  fi
  rm -rf "$dir"
  export DISPLAY=":$number"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
