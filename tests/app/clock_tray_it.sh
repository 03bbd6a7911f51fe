#!/usr/bin/env bash
# The clock with a compositor and a tray host, as on a desktop:
#  - its tray icon is embedded in the tray;
#  - a left click on the tray icon brings a clock that is not active forward, hides an active
#    one, and shows a hidden one again;
#  - "隐藏闹钟" from the menu hides the clock, and the tray icon brings it back;
#  - a page command ("软件设置") shows the main window.
source "$(dirname "$0")/../support/whole_program.sh"

helper xcompmgr
helper trayer --edge bottom --align right --widthtype pixel --width 60 --heighttype pixel \
  --height 24
# The tray must be there before the program looks for it.
for _ in $(seq 100); do
  xdotool search --all --onlyvisible --class trayer >/dev/null 2>&1 && break
  sleep 0.1
done

start clock
zorvel=$started
clock=$(wait_window "$zorvel" '^Zorvel$') || fail "the clock did not appear"

# The tray icon: a small window of ours inside the tray.
icon=
for _ in $(seq 100); do
  for id in $(xdotool search --all --onlyvisible --pid "$zorvel" --name '' 2>/dev/null); do
    [ "$id" = "$clock" ] && continue
    if xwininfo -id "$id" | grep -q 'Width: 2[0-9]$'; then icon=$id; fi
  done
  [ -n "$icon" ] && break
  sleep 0.1
done
[ -n "$icon" ] || fail "no tray icon"
ix=$(xwininfo -id "$icon" | awk '/Absolute upper-left X/{print $4}')
iy=$(xwininfo -id "$icon" | awk '/Absolute upper-left Y/{print $4}')
# Clicks apart by more than a double-click interval, as a person clicks now and then.
click_tray() {
  sleep 0.6
  xdotool mousemove $((ix + 8)) $((iy + 8)) click 1
}

# Not active yet: the first click may only bring it forward; the next one hides it.
hidden=no
for _ in 1 2 3; do
  click_tray
  if wait_viewable "$clock" no 20; then hidden=yes; break; fi
done
[ "$hidden" = yes ] || fail "tray clicks did not hide the clock"
click_tray
wait_viewable "$clock" yes || fail "a tray click did not show the hidden clock"

# "隐藏闹钟" is the eighth menu entry; the tray icon brings the clock back.
open_menu "$zorvel" "$clock" || fail "no menu on the clock"
xdotool key Down Down Down Down Down Down Down Down Return
wait_viewable "$clock" no || fail "隐藏闹钟 did not hide the clock"
click_tray
wait_viewable "$clock" yes || fail "the tray icon did not bring the clock back"

# "软件设置" (fifth entry) shows the main window.
open_page_from_menu "$zorvel" "$clock" 5
kill -0 "$zorvel" || fail "the program ended"
echo "clock and tray: ok"
