#!/usr/bin/env bash
# The real program: an alarm that comes due while a desktop note's "编辑便笺" is open rings in
# its own window, which snoozes on the first click; the editor stays open.
IT_SCREEN=1280x800x24
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"
db="$work/bin/zorvel.db3"
make_db_with_alarm "$db" '2030-01-01 08:30:00' 0 meeting 0
printf "PRAGMA key='%s';\ninsert into note values('%s', 'note', 1, '%s', 1, '%s');\n" \
  '{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}' '{11111111-0000-4000-8000-000000000001}' \
  '2030-01-01 08:00:00' '2030-01-01 08:00:00' | sqlcipher "$db" >/dev/null ||
  fail "cannot store the note"

start_on_fake_clock "@2030-01-01 08:29:20 x4"
pid=$started
wait_window "$pid" '^便笺$' >/dev/null || fail "the note is not on the desktop"
# "编辑" is the first entry of the note's menu; the note stands at x = 1130.
open_menu_at "$pid" 1205 140 || fail "the note showed no menu"
xdotool key Down Return
editor=$(wait_window "$pid" '^编辑便笺$') || fail "the note's editor did not open"

ring=$(wait_window "$pid" '^设定时间到了$') || fail "the alarm did not ring"
sleep 0.5
# "延迟再响" sits at the bottom right of the ring window.
x=$(xwininfo -id "$ring" | awk '/Absolute upper-left X/{print $4}')
y=$(xwininfo -id "$ring" | awk '/Absolute upper-left Y/{print $4}')
w=$(xwininfo -id "$ring" | awk '/Width/{print $2}')
h=$(xwininfo -id "$ring" | awk '/Height/{print $2}')
xdotool mousemove $((x + w - 57)) $((y + h - 30)) click 1
wait_viewable "$ring" no 30 || fail "the first click on 延迟再响 did not snooze"
viewable "$editor" || fail "the editor went away"
echo "ok: the alarm was answered while a note's editor was open"
