#!/usr/bin/env bash
# The web tools of the real program, used with real clicks:
#  - "十二时辰表" on "趣味工具" shows the twelve double hours and "确定" closes it;
#  - the picture on "访问主页" ripples.
source "$(dirname "$0")/../support/whole_program.sh"

start tools
zorvel=$started
clock=$(wait_window "$zorvel" '^Zorvel$') || fail "the clock did not appear"

# "趣味工具" is the sixth entry of the clock's menu.
open_menu "$zorvel" "$clock" || fail "no menu on the clock"
xdotool key Down Down Down Down Down Down Return
main=
for _ in $(seq 100); do
  for id in $(xdotool search --all --onlyvisible --pid "$zorvel" --name '^Zorvel$' 2>/dev/null); do
    [ "$id" != "$clock" ] && main=$id
  done
  [ -n "$main" ] && break
  sleep 0.1
done
[ -n "$main" ] || fail "趣味工具 did not show the main window"
sleep 0.5

# "十二时辰表": third column, second row of the grid.
xdotool mousemove --window "$main" 653 130 click 1
table=$(wait_window "$zorvel" '^十二时辰$') || fail "十二时辰表 showed no table"
wait_viewable "$table" yes || fail "the table is not on the screen"
# "确定", bottom right of the table.
geometry=$(xdotool getwindowgeometry "$table" | awk '/Geometry/{print $2}')
w=${geometry%x*}
h=${geometry#*x}
xdotool mousemove --window "$table" $((w - 150)) $((h - 24)) click 1
wait_viewable "$table" no 50 || fail "确定 did not close the table"

# "访问主页", the tab right of "趣味工具".
xdotool mousemove --window "$main" 668 24 click 1
sleep 0.5
picture() { import -window "$main" -crop 480x270+240+48 "$work/$1.png"; }
changed() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true)" != 0 ]; }
picture a
sleep 0.6
picture b
changed a b || fail "the home page picture does not ripple"
kill -0 "$zorvel" || fail "the program ended"
echo "web tools: ok"
