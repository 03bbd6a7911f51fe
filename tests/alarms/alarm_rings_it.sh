#!/usr/bin/env bash
# The real program rings a stored alarm on time, starts its program, snoozes and rings again.
# The program runs on a fake clock that starts half a minute before the alarm and goes six times
# as fast: five seconds for start-up, however slow the machine is today.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"
make_db_with_alarm "$work/bin/zorvel.db3" '2030-01-01 08:30:00' 1 "touch $work/rang" 4

start_on_fake_clock "@2030-01-01 08:29:30 x6"
pid=$started

ring=$(wait_window "$pid" '设定时间到了') || fail "the alarm did not ring"
for _ in $(seq 50); do [ -e "$work/rang" ] && break; sleep 0.1; done
[ -e "$work/rang" ] || fail "the alarm's program was not started"
xdotool search --all --onlyvisible --pid "$pid" --name '设定时间到了' | wc -l | grep -qx 1 ||
  fail "more than one ring window"

# Snooze with the default delay (0 hours, 1 minute): Return presses "延迟再响".
xdotool windowfocus --sync "$ring" 2>/dev/null || true
xdotool key Return
wait_viewable "$ring" no || fail "the snooze did not close the ring window"
rm -f "$work/rang"

# One fake minute later it rings again.
again=$(wait_window "$pid" '设定时间到了') || fail "the snoozed alarm did not ring again"
for _ in $(seq 50); do [ -e "$work/rang" ] && break; sleep 0.1; done
[ -e "$work/rang" ] || fail "the snoozed alarm did not start its program"
echo "ok: rang, snoozed and rang again"
