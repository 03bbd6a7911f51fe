#!/usr/bin/env bash
# The real program: a snoozed alarm rings again after the program was ended and started again,
# and one whose snooze ran out while the program was not running is reported as missed instead.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"

# From a fresh database and state: rings the silent alarm of 08:30, snoozes it for the default
# 1 minute (Return presses "延迟再响") and ends the program. Leaves its log in $work/$1.err.
ring_snooze_and_end() {
  rm -rf "$work/bin"/zorvel.db3* "$XDG_STATE_HOME"
  make_db_with_alarm "$work/bin/zorvel.db3" '2030-01-01 08:30:00' 1 wake 3
  start_on_fake_clock "@2030-01-01 08:29:55 x6"
  local pid=$started ring
  ring=$(wait_window "$pid" '^设定时间到了$') || fail "the alarm did not ring"
  xdotool windowfocus --sync "$ring" 2>/dev/null || true
  xdotool key Return
  wait_viewable "$ring" no || fail "Return did not snooze"
  kill -TERM "$pid"
  wait_exit "$pid" || fail "the program did not end on SIGTERM"
  mv "$work/zorvel.err" "$work/$1.err"
}

snoozed_state() { find "$XDG_STATE_HOME" -type f -exec head -v {} + 2>/dev/null || true; }

# Started again before the snooze is up, it rings at 08:31.
ring_snooze_and_end first
start_on_fake_clock "@2030-01-01 08:30:45 x6"
wait_window "$started" '^设定时间到了$' >/dev/null ||
  fail "the snoozed alarm did not ring after a restart; state kept: $(snoozed_state)"
kill -TERM "$started"
wait_exit "$started" || fail "the program did not end on SIGTERM"
mv "$work/zorvel.err" "$work/second.err"

# Started again only after the snooze was up, it reports the alarm as missed and does not ring.
ring_snooze_and_end third
start_on_fake_clock "@2030-01-01 08:35:00"
wait_window "$started" '^错过的闹钟$' >/dev/null ||
  fail "a snooze that ran out while the program was not running was not reported as missed;" \
    "state kept: $(snoozed_state)"
sleep 3
[ -z "$(xdotool search --all --onlyvisible --pid "$started" --name '^设定时间到了$' 2>/dev/null)" ] ||
  fail "the missed snooze rang as if it were due"
echo "ok: a snooze rang after a restart, and one that ran out meanwhile was reported as missed"
