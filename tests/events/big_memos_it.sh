#!/usr/bin/env bash
# The real program with two hostile memos stored: a million blank paragraphs (4 MB of RTF)
# and five megabytes of pasted text on one line. Clicks, arrow keys and hovering over the
# list answer at once, the million-paragraph memo opens (for reading only) while the desktop
# clock keeps its seconds, and so does the five-megabyte memo (cut); closing them leaves both
# memos as they were. With BIG_MEMOS_SHOTS set to a folder, screenshots are kept there.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
key='{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}'
db="$work/bin/zorvel.db3"

stored() { printf "PRAGMA key='%s';\n%s\n" "$key" "$1" | sqlcipher "$db"; }

"$ZORVEL_BUILD_DIR/zorvel-mkdb" "$db" || fail "cannot make the database"
stored "
insert into event values('{11111111-2222-4333-8444-000000000001}',
  '{\\rtf1\\ansi ' || replace(printf('%.*c', 1000000, 'x'), 'x', '\\par') || '}',
  replace(printf('%.*c', 999999, 'x'), 'x', char(13, 10)), '2030-01-01 08:00:00', '');
insert into event values('{11111111-2222-4333-8444-000000000002}',
  '{\\rtf1\\ansi ' || substr(replace(printf('%.*c', 625000, 'x'), 'x', 'pasted. '), 1, 5000000)
    || '\\par}',
  substr(replace(printf('%.*c', 625000, 'x'), 'x', 'pasted. '), 1, 5000000),
  '2030-01-01 08:01:00', '');" >/dev/null || fail "cannot store the memos"
before=$(stored "select length(content), length(content1), lastUpdateTime from event order by id;")

# The clock's picture, once every half second for $1 half-seconds, into clock.N.
watch_clock() {
  local i
  for i in $(seq "$1"); do
    import -window "$clock" rgb:- 2>/dev/null | md5sum | cut -c1-32 >"$work/clock.$i"
    sleep 0.5
  done
}
# Fails when the clock's picture stayed the same for 2 s or more of what watch_clock saw:
# its second hand stood still, so the window thread was held.
clock_kept_its_seconds() {
  local i same=0 last=
  for i in $(seq "$1"); do
    if [ "$(cat "$work/clock.$i")" = "$last" ]; then same=$((same + 1)); else same=0; fi
    last=$(cat "$work/clock.$i")
    [ "$same" -lt 4 ] || fail "the clock stood still during $2"
  done
}

start main
pid=$started
clock=$(wait_window "$pid" '^Zorvel$') || fail "no clock"
sleep 0.5
open_main_window "$pid" "$clock"
click_in "$main" 379 23   # the tab "我的记事"
sleep 1

# The five-megabyte row: clicks, arrow keys and hovering, while the clock is watched.
watch_clock 10 &
watcher=$!
for _ in 1 2 3; do
  click_in "$main" 300 118
  xdotool key Up Down
  click_in "$main" 300 84
  xdotool mousemove_relative 0 34 mousemove_relative 0 -34
  sleep 0.4
done
wait "$watcher"
clock_kept_its_seconds 10 "clicks on the list"
shot() { [ -z "${BIG_MEMOS_SHOTS:-}" ] || import -window root "$BIG_MEMOS_SHOTS/$1.png"; }
shot list

# Each memo opens, for reading only, while the clock runs; Escape closes it at once.
for memo in "84 08:00:00 blank" "118 08:01:00 cut"; do
  set -- $memo
  watch_clock 12 &
  watcher=$!
  click_in "$main" 300 "$1" 1
  xdotool click --repeat 2 --delay 80 1
  edit=$(wait_window "$pid" "^编辑事件   事件添加时间：2030-01-01 $2") ||
    fail "the memo of $2 did not open"
  wait "$watcher"
  clock_kept_its_seconds 12 "the opening of the memo of $2"
  shot "$3"
  xdotool key Escape
  wait_viewable "$edit" no 50 || fail "Escape did not close the memo shown for reading only"
done
kill -0 "$pid" || fail "the program ended"
[ "$(stored "select length(content), length(content1), lastUpdateTime from event order by id;")" = \
  "$before" ] || fail "a memo changed"
echo "ok: the list answers and the memo opens with the clock running"
