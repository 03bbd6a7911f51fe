#!/usr/bin/env bash
# The real program: an alarm that comes due while "添加闹钟" is open rings in its own window,
# which snoozes on the first click; the editor stays open, and the snoozed alarm rings again.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"

key='{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}'
db="$work/bin/zorvel.db3"
"$ZORVEL_BUILD_DIR/zorvel-mkdb" "$db" || fail "cannot make the database"
sqlcipher "$db" >/dev/null <<SQL || fail "cannot store the alarm"
PRAGMA key='$key';
insert into alarmClock values('{11111111-2222-4333-8444-555555555555}', '2030-01-01 08:30:00',
  0, 0, 'meeting', '', 0, '2030-01-01 08:00:00');
SQL

# Clicks at ($2, $3) inside window $1.
click_in() {
  local x y
  x=$(xwininfo -id "$1" | awk '/Absolute upper-left X/{print $4}')
  y=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/{print $4}')
  xdotool mousemove $((x + $2)) $((y + $3)) click 1
}

libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$libfaketime" ] || fail "libfaketime is missing"
LD_PRELOAD="$libfaketime" FAKETIME="@2030-01-01 08:29:20 x4" FAKETIME_DONT_FAKE_MONOTONIC=0 \
  "$work/bin/zorvel" >"$work/zorvel.out" 2>"$work/zorvel.err" &
pid=$!
pids+=("$pid")

clock=$(wait_window "$pid" '^Zorvel$') || fail "no clock"
sleep 0.5
xdotool mousemove 140 90 click --repeat 2 --delay 80 1
main=""
for _ in $(seq 100); do
  main=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Zorvel$' | grep -v "^$clock\$" |
    head -n1 || true)
  [ -n "$main" ] && break
  sleep 0.1
done
[ -n "$main" ] || fail "the main window did not open"
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
