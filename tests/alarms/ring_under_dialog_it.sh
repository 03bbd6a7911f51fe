#!/usr/bin/env bash
# The real program: an alarm that comes due while "添加闹钟" is open rings in its own window,
# which snoozes on the first click; the editor stays open, and the snoozed alarm rings again.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"
make_db_with_alarm "$work/bin/zorvel.db3" '2030-01-01 08:30:00' 0 meeting 0

start_on_fake_clock "@2030-01-01 08:29:20 x4"
pid=$started

clock=$(wait_window "$pid" '^Zorvel$') || fail "no clock"
sleep 0.5
open_main_window "$pid" "$clock"
# "添加闹钟" sits at the bottom right of the alarm page, left of "删除".
click_in "$main" 620 340
editor=$(wait_window "$pid" '^添加闹钟$') || fail "the editor did not open"

ring=$(wait_window "$pid" '^设定时间到了$') || fail "the alarm did not ring under the editor"
sleep 0.5
# "延迟再响" sits at the bottom right of the ring window.
w=$(xwininfo -id "$ring" | awk '/Width/{print $2}')
h=$(xwininfo -id "$ring" | awk '/Height/{print $2}')
click_in "$ring" $((w - 57)) $((h - 30))
wait_viewable "$ring" no 30 || fail "the first click on 延迟再响 did not snooze"
viewable "$editor" || fail "the editor went away"

# One fake minute later it rings again, the editor still open.
wait_window "$pid" '^设定时间到了$' >/dev/null || fail "the snoozed alarm did not ring again"
echo "ok: answered under an open editor, and rang again"
