# Sourced by whole-program tests after whole_program.sh: a private D-Bus session bus that ends
# with the test, its address exported, so no test ever talks to a desktop's own bus.
start_session_bus() {
  local out="$work/session-bus"
  dbus-daemon --session --fork --nosyslog --print-address=3 --print-pid=4 \
    3>"$out.address" 4>"$out.pid" || fail "no session bus"
  pids+=("$(cat "$out.pid")")
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$out.address")
  export DBUS_SESSION_BUS_ADDRESS
}
