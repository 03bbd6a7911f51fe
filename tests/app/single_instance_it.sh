#!/usr/bin/env bash
# One running copy per user, with the real program under its own X server:
#  - the clock appears at the top-left, 268 × 268, with constant alpha 254;
#  - a second start shows "闹钟程序已在运行中!" in a message box titled "zorvel" and ends when
#    it is closed, while the first copy runs on;
#  - "退出(&X)" on the clock's menu ends the program, and a new start then runs;
#  - a copy that crashed leaves no lock behind.
# The program runs from a copy in a temporary folder, so it keeps its database there.
set -euo pipefail

: "${ZORVEL_BUILD_DIR:?}"
source "$(dirname "$0")/../support/xvfb.sh"
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/bin" "$work/home" "$work/data" "$work/config"
mkdir -m 700 "$work/run"
cp "$ZORVEL_BUILD_DIR/zorvel" "$work/bin/"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" \
  XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

fail() {
  echo "FAIL: $*" >&2
  tail -n +1 "$work"/*.err >&2 2>/dev/null || true
  exit 1
}

start_xvfb 800x600x24 || fail "no X server"

# Prints the id of the first visible window of process $1 whose name matches $2 (xdotool matches
# without regard to case), waiting up to 20 s for it.
wait_window() {
  local pid=$1 name=$2 id
  for _ in $(seq 200); do
    id=$(xdotool search --all --onlyvisible --pid "$pid" --name "$name" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Waits up to 20 s for process $1 to end; its exit code is left in $ended_with.
wait_exit() {
  local pid=$1
  for _ in $(seq 200); do
    if ! kill -0 "$pid" 2>/dev/null; then
      ended_with=0
      wait "$pid" || ended_with=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

start() {
  "$work/bin/zorvel" >"$work/$1.out" 2>"$work/$1.err" &
  started=$!
  pids+=("$started")
}

# The first copy: the clock at the top-left.
start first
first=$started
clock=$(wait_window "$first" '^Zorvel$') || fail "the clock did not appear"
geometry=$(xwininfo -id "$clock")
grep -q 'Absolute upper-left X:  0$' <<<"$geometry" || fail "clock not at x 0: $geometry"
grep -q 'Absolute upper-left Y:  0$' <<<"$geometry" || fail "clock not at y 0: $geometry"
grep -q 'Width: 268$' <<<"$geometry" || fail "clock not 268 wide: $geometry"
grep -q 'Height: 268$' <<<"$geometry" || fail "clock not 268 high: $geometry"
# Constant alpha 254 of 255, as the window system's opacity (0xffffffff is opaque).
xprop -id "$clock" _NET_WM_WINDOW_OPACITY | grep -q '= 4278124286$' ||
  fail "opacity: $(xprop -id "$clock" _NET_WM_WINDOW_OPACITY)"

# A second copy says the program runs and ends; the first is untouched.
start second
second=$started
box=$(wait_window "$second" '^zorvel$') || fail "the second copy showed no message box"
xprop -id "$box" WM_NAME | grep -q '= "zorvel"$' || fail "box title: $(xprop -id "$box" WM_NAME)"
grep -q '闹钟程序已在运行中!' "$work/second.err" || fail "message text: $(cat "$work/second.err")"
[ "$(xdotool search --all --onlyvisible --pid "$second" --name . | wc -l)" -eq 1 ] ||
  fail "the second copy showed more than its message"
xdotool windowfocus --sync "$box" key --clearmodifiers Return
wait_exit "$second" || fail "the second copy did not end after its message"
[ "$ended_with" -eq 0 ] || fail "the second copy ended with $ended_with"
kill -0 "$first" 2>/dev/null || fail "the first copy ended too"
[ "$(wait_window "$first" '^Zorvel$')" = "$clock" ] || fail "the first copy lost its clock"

# "退出(&X)" from the clock's menu ends the first copy.
xdotool mousemove --sync 140 90 click 3
for _ in $(seq 100); do
  xdotool search --all --onlyvisible --pid "$first" --name '' 2>/dev/null |
    grep -qv "^$clock$" && break
  sleep 0.1
done
xdotool key x
wait_exit "$first" || fail "退出(&X) did not end the program"
[ "$ended_with" -eq 0 ] || fail "the program ended with $ended_with after 退出(&X)"

# After it, a new start runs; after a crash, too.
start third
third=$started
wait_window "$third" '^Zorvel$' >/dev/null || fail "no clock after the first copy ended"
kill -9 "$third"
{ wait "$third"; } 2>/dev/null || true
start fourth
fourth=$started
wait_window "$fourth" '^Zorvel$' >/dev/null || fail "no clock after a crashed copy"
[ ! -s "$work/fourth.err" ] || ! grep -q '运行中' "$work/fourth.err" || fail "stale lock"
kill "$fourth"
{ wait "$fourth"; } 2>/dev/null || true
echo "single instance: ok"
