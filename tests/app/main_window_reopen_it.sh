#!/usr/bin/env bash
# The main window opened from the clock and closed is destroyed (its X window goes away) and
# built again on the next double click, on the page it showed; meanwhile a stored alarm still
# rings on time. The program runs on a fake clock three times as fast.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"
make_db_with_alarm "$work/bin/zorvel.db3" '2030-01-01 08:30:00' 1 "touch $work/rang" 4

helper xcompmgr
start_on_fake_clock "@2030-01-01 08:29:10 x3"
pid=$started
clock=$(wait_window "$pid" '^Zorvel$') || fail "the clock did not show"

# Whether window $1 still exists (shown or hidden).
exists() { xdotool search --all --pid "$pid" --name '' 2>/dev/null | grep -qx "$1"; }
gone() { ! exists "$1"; }

for round in 1 2; do
  open_main_window "$pid" "$clock"
  wait_focus "$main" || fail "round $round: the main window has no focus"
  if [ $round = 1 ]; then
    # The log page, to see that the next window opens on it.
    xdotool key ctrl+Tab ctrl+Tab ctrl+Tab
  fi
  xdotool key Escape
  wait_for 50 gone "$main" || fail "round $round: the closed main window was not destroyed"
done
open_main_window "$pid" "$clock"
wait_focus "$main" || fail "the main window did not come back"
import -window "$main" "${SHOT:-$work/main.png}" 2>/dev/null || true
xdotool key Escape
wait_for 50 gone "$main" || fail "the main window was not destroyed the third time"

ring=$(wait_window "$pid" '设定时间到了') || fail "the alarm did not ring after the main window came and went"
for _ in $(seq 50); do [ -e "$work/rang" ] && break; sleep 0.1; done
[ -e "$work/rang" ] || fail "the alarm's program was not started"
kill -0 "$pid" || fail "the program ended"
echo "ok: the main window went and came back twice, and the alarm rang"
