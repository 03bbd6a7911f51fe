#!/usr/bin/env bash
# The real program: a 法定工作日 alarm and a 每周 周一至周五 alarm, both at 07:30, made in the
# editor with real clicks. On Monday 5 October 2026 (国庆节) only the weekly one rings; on
# Saturday 10 October (an adjusted working day) only the workday one does. Each alarm starts a
# program that leaves a file behind, so the test sees which one rang.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"
"$ZORVEL_BUILD_DIR/zorvel-mkdb" "$work/bin/zorvel.db3" || fail "cannot make the database"

start_on_fake_clock "@2026-10-01 12:00:00"
pid=$started
clock=$(wait_window "$pid" '^Zorvel$') || fail "no clock"
sleep 0.5
open_main_window "$pid" "$clock"

# Makes one alarm at 07:30 in "添加闹钟": $1 the program it starts, $2 how many entries below
# 仅一次 its repeat rule is; $3 "preset" to press 周一至周五 as well.
add_alarm() {
  click_in "$main" 620 340  # "添加闹钟"
  local editor h
  editor=$(wait_window "$pid" '^添加闹钟$') || fail "the editor did not open"
  wait_focus "$editor" || fail "the editor has no focus"
  sleep 0.3
  # The ring runs a program (#运行程序, the fifth entry): open the list by its arrow.
  click_in "$editor" 366 136
  sleep 0.3
  xdotool key Down Down Down Down Return
  sleep 0.2
  click_in "$editor" 255 216  # the text, here the program
  xdotool type --delay 20 "$1"
  click_in "$editor" 280 57   # the hour
  xdotool key ctrl+a
  xdotool type --delay 20 07
  click_in "$editor" 380 57   # the minute
  xdotool key ctrl+a
  xdotool type --delay 20 30
  xdotool key Tab
  click_in "$editor" 73 57    # the repeat list
  sleep 0.3
  xdotool key $(printf 'Down %.0s' $(seq "$2")) Return
  sleep 0.3
  h=$(xwininfo -id "$editor" | awk '/Height/{print $2}')
  if [ "${3:-}" = preset ]; then
    # The day boxes' row appears under the time, "周一至周五" at its end.
    [ -n "${IT_SHOT:-}" ] && import -window root "$IT_SHOT"
    click_in "$editor" 470 90
    sleep 0.2
  fi
  click_in "$editor" 343 $((h - 24))  # "确定"
  wait_viewable "$editor" no 50 || fail "the editor did not close"
}

add_alarm "touch $work/rang-workdays" 2
add_alarm "touch $work/rang-weekly" 4 preset

rules=$(printf "PRAGMA key='%s';\nselect r.rule || ' ' || a.isEveryday || ' ' || a.alarmTime from alarmRule r join alarmClock a using(id) order by r.rule;\n" \
  '{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}' | sqlcipher "$work/bin/zorvel.db3" | grep -v '^ok$')
[ "$rules" = "weekly:1,2,3,4,5 1 2026-10-01 07:30:00
workdays 1 2026-10-01 07:30:00" ] || fail "stored rules: $rules"
kill -9 "$pid"
wait_exit "$pid" || true

# Runs the program from $1 (a fake moment, twice as fast) until file $2 appears (at most 30 s)
# and a few seconds more; fails if it does not, or if file $3 appears too.
run_at() {
  rm -f "$work"/rang-*
  start_on_fake_clock "@$1 x2"
  local p=$started
  wait_for 300 test -e "$2" || fail "nothing rang at $1: no $2"
  sleep 3
  [ ! -e "$3" ] || fail "$3 appeared at $1"
  kill -9 "$p" 2>/dev/null || true
  wait_exit "$p" || true
}

# Monday 5 October, 国庆节: the weekly alarm only.
run_at "2026-10-05 07:29:40" "$work/rang-weekly" "$work/rang-workdays"
# Saturday 10 October, worked in exchange: the workday alarm only.
run_at "2026-10-10 07:29:40" "$work/rang-workdays" "$work/rang-weekly"
echo "ok: 法定工作日 and 每周 周一至周五 each rang on its own day only"
