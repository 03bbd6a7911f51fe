# Sourced by whole-program tests: a private X server, a copy of the program in a temporary
# folder with its own HOME and XDG folders (so it keeps its database there, never in build/),
# and helpers to start copies and wait for their windows.
set -euo pipefail
: "${ZORVEL_BUILD_DIR:?set by ctest}"
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

work="$(mktemp -d)"
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

# Waits stretch by ZORVEL_TEST_TIME_SCALE (1 to 100), as the window tests' waits do.
time_scale=${ZORVEL_TEST_TIME_SCALE:-1}
case $time_scale in '' | *[!0-9]*) time_scale=1 ;; esac
((time_scale >= 1 && time_scale <= 100)) || time_scale=1

# Runs "$2..." every tenth of a second until it succeeds, for up to $1 tenths of a second
# (scaled); fails when it never did.
wait_for() {
  local tenths=$(($1 * time_scale))
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}

fail() {
  echo "FAIL: $*" >&2
  tail -n +1 "$work"/*.err >&2 2>/dev/null || true
  exit 1
}

mkdir -p "$work/bin" "$work/home" "$work/data" "$work/config" "$work/state"
mkdir -m 700 "$work/run"
cp "$ZORVEL_BUILD_DIR/zorvel" "$work/bin/"
# The browser program is looked for next to the program.
cp "$ZORVEL_BUILD_DIR/zorvel-browser" "$work/bin/" 2>/dev/null || true
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" \
  XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# No bus of the machine's own: no notice on the developer's desktop, no wake-up timer in their
# systemd, no lock on their logind. A test that wants a bus starts a private one.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/run/no-session-bus"
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/run/no-system-bus"

start_xvfb "${IT_SCREEN:-800x600x24}" || fail "no X server"

# Runs "background" helpers (compositor, tray host) that end with the test.
helper() {
  "$@" >/dev/null 2>&1 &
  pids+=($!)
}

# Starts a copy of the program, its output in $work/$1.out and .err; its pid in $started.
start() {
  "$work/bin/zorvel" >"$work/$1.out" 2>"$work/$1.err" &
  started=$!
  pids+=("$started")
}

# Starts a copy of the program on a fake clock (a FAKETIME value such as "@2030-01-01 08:29:52 x6"),
# its output in $work/zorvel.out and .err; its pid in $started.
start_on_fake_clock() {
  local libfaketime
  libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
  [ -n "$libfaketime" ] || fail "libfaketime is missing"
  LD_PRELOAD="$libfaketime" FAKETIME="$1" FAKETIME_DONT_FAKE_MONOTONIC=0 \
    "$work/bin/zorvel" >"$work/zorvel.out" 2>"$work/zorvel.err" &
  started=$!
  pids+=("$started")
}

# Clicks at ($2, $3) inside window $1, with mouse button $4 (default the left one).
click_in() {
  local x y
  x=$(xwininfo -id "$1" | awk '/Absolute upper-left X/{print $4}')
  y=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/{print $4}')
  xdotool mousemove $((x + $2)) $((y + $3)) click "${4:-1}"
}

# Double-clicks the clock (window $2) of process $1, as the user opens the main window, and
# leaves the main window's id in $main.
open_main_window() {
  local pid=$1 clock=$2
  xdotool mousemove 140 90 click --repeat 2 --delay 80 1
  main=""
  for _ in $(seq 100); do
    main=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Zorvel$' |
      grep -v "^$clock\$" | head -n1 || true)
    [ -n "$main" ] && return 0
    sleep 0.1
  done
  fail "the main window did not open"
}

# Opens the clock's menu (window $2 of process $1), moves $3 entries down and chooses that
# entry, which shows a page of the main window; leaves the main window's id in $main.
open_page_from_menu() {
  local pid=$1 clock=$2 id
  open_menu "$pid" "$clock" || fail "no menu on the clock"
  xdotool key $(printf 'Down %.0s' $(seq "$3")) Return
  main=
  for _ in $(seq 100); do
    for id in $(xdotool search --all --onlyvisible --pid "$pid" --name '^Zorvel$' 2>/dev/null); do
      [ "$id" != "$clock" ] && main=$id
    done
    [ -n "$main" ] && return 0
    sleep 0.1
  done
  fail "the menu's entry $3 did not show the main window"
}

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
      wait "$pid" 2>/dev/null || ended_with=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Whether window $1 is mapped and viewable.
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# Waits until `viewable $1` is $2 (yes or no), for up to $3 tenths of a second (default 100).
wait_viewable() {
  local id=$1 want=$2
  for _ in $(seq "${3:-100}"); do
    if viewable "$id"; then [ "$want" = yes ] && return 0; else [ "$want" = no ] && return 0; fi
    sleep 0.1
  done
  return 1
}

# Whether window $1 has the keyboard focus.
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# Waits up to 5 s (scaled) until window $1 is on the screen and has the keyboard focus, so
# that the keys and clicks that follow reach it.
wait_focus() {
  wait_for 50 viewable "$1" && wait_for 50 has_focus "$1"
}

# The number of visible windows of process $1.
window_count() { xdotool search --all --onlyvisible --pid "$1" --name '' 2>/dev/null | wc -l; }

# Right-clicks at ($2, $3) on the screen and waits until a menu of process $1 is up, so that the
# keys that follow choose in it.
open_menu_at() {
  local pid=$1 before
  before=$(window_count "$pid")
  xdotool mousemove "$2" "$3" click 3
  wait_for 50 test_more_windows "$pid" "$before"
}
test_more_windows() { [ "$(window_count "$1")" -gt "$2" ]; }

# Opens the clock's menu (window $2 of process $1) with a right click and waits for it.
open_menu() {
  local pid=$1 clock=$2 before
  before=$(xdotool search --all --onlyvisible --pid "$pid" --name '' 2>/dev/null | wc -l)
  xdotool mousemove 140 90 click 3
  for _ in $(seq 100); do
    [ "$(xdotool search --all --onlyvisible --pid "$pid" --name '' 2>/dev/null | wc -l)" -gt \
      "$before" ] && return 0
    sleep 0.1
  done
  return 1
}

# Process $1 and every process below it, one pid a line.
process_tree() {
  local child
  echo "$1"
  for child in $(pgrep -P "$1" 2>/dev/null || true); do process_tree "$child"; done
}

# Whether process $1 has ended (a zombie waiting for its parent counts as ended).
process_gone() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 0
  [ -z "$state" ] || [ "$state" = Z ] || [ "$state" = X ]
}

# Whether every process listed (one pid a line) in file $1 has ended.
all_gone() {
  local p
  for p in $(cat "$1"); do process_gone "$p" || return 1; done
}

# Prints the pid of the browser program that process $1 started, waiting up to 20 s for it.
wait_browser() {
  local p
  for _ in $(seq 200); do
    p=$(pgrep -P "$1" -x zorvel-browser 2>/dev/null | head -n1 || true)
    if [ -n "$p" ]; then echo "$p"; return 0; fi
    sleep 0.1
  done
  return 1
}

# Resident memory of process $1 in kB.
rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$1/status"; }
