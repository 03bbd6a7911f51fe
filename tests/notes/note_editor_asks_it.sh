#!/usr/bin/env bash
# The real program: Escape in "添加便笺" with typed text asks "是否放弃修改？"; an alarm that comes
# due meanwhile rings and snoozes on the first click; 否 keeps the editor with its text, which
# 确定 then stores.
IT_SCREEN=1280x800x24
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"
db="$work/bin/zorvel.db3"
make_db_with_alarm "$db" '2030-01-01 08:30:00' 0 meeting 0

start_on_fake_clock "@2030-01-01 08:29:40"
pid=$started
clock=$(wait_window "$pid" '^Zorvel$') || fail "no clock"
open_page_from_menu "$pid" "$clock" 2  # "我的便笺"
wait_viewable "$main" yes || fail "the notes page is not shown"
click_in "$main" 620 341  # "添加便笺"
editor=$(wait_window "$pid" '^添加便笺$') || fail "添加便笺 did not open"
xdotool windowfocus --sync "$editor" type --delay 20 "milk"
xdotool key Escape

# The question is a window of its own, captioned like the clock and the main window.
question=
for _ in $(seq 100); do
  for id in $(xdotool search --all --onlyvisible --pid "$pid" --name '^Zorvel$' 2>/dev/null); do
    [ "$id" != "$clock" ] && [ "$id" != "$main" ] && question=$id
  done
  [ -n "$question" ] && break
  sleep 0.1
done
[ -n "$question" ] || fail "Escape with typed text did not ask"
viewable "$editor" || fail "the editor closed while asking"

ring=$(wait_window "$pid" '^设定时间到了$') || fail "the alarm did not ring"
# "延迟再响" sits at the bottom right of the ring window.
x=$(xwininfo -id "$ring" | awk '/Absolute upper-left X/{print $4}')
y=$(xwininfo -id "$ring" | awk '/Absolute upper-left Y/{print $4}')
w=$(xwininfo -id "$ring" | awk '/Width/{print $2}')
h=$(xwininfo -id "$ring" | awk '/Height/{print $2}')
for _ in $(seq 20); do
  viewable "$ring" || break
  xdotool mousemove $((x + w - 57)) $((y + h - 30)) click 1
  wait_viewable "$ring" no 5 && break
done
viewable "$ring" && fail "the ring window could not be answered while the question was open"
viewable "$question" || fail "the question went away with the ring window"

# 否 is the answer to Escape: the editor stays, with the text.
xdotool windowfocus --sync "$question" key Escape
wait_viewable "$question" no || fail "否 did not close the question"
viewable "$editor" || fail "否 closed the editor"
xdotool windowfocus --sync "$editor" key Tab space  # "确定"
wait_viewable "$editor" no || fail "确定 did not close the editor"
stored=$(printf "PRAGMA key='%s';\nselect content from note;\n" \
  '{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}' | sqlcipher "$db" | grep -v '^ok$' || true)
[ "$stored" = milk ] || fail "the note stored is '$stored'"
echo "ok: typed text is dropped only after asking, and the alarm rang meanwhile"
