#!/usr/bin/env bash
# The built-in browser gives its memory back: three browser windows opened from "趣味工具" and
# closed again leave no browser program and no page process behind, and the clock's own
# resident memory within 5 % of what it was before the first window.
# Every address but loopback goes to a proxy that is not there, so the tools' own addresses
# never leave the machine.
IT_SCREEN=1280x1024x24
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --proxy-server=127.0.0.1:9"
export LIBGL_ALWAYS_SOFTWARE=1
source "$(dirname "$0")/../support/whole_program.sh"

start memory
zorvel=$started
clock=$(wait_window "$zorvel" '^Zorvel$') || fail "the clock did not appear"
# "趣味工具" is the sixth entry of the clock's menu.
open_page_from_menu "$zorvel" "$clock" 6
sleep 2
before=$(rss_kb "$zorvel")

browser_windows() { xdotool search --all --onlyvisible --pid "$web" --name '^浏览器$' | wc -l; }
at_least_windows() { [ "$(browser_windows)" -ge "$1" ]; }

# "生辰八字": second column, first row; the main window is raised over the browser windows
# before each click.
for n in 1 2 3; do
  xdotool windowraise "$main"
  sleep 0.3
  xdotool mousemove --window "$main" 478 86 click 1
  [ "$n" = 1 ] && { web=$(wait_browser "$zorvel") || fail "生辰八字 started no browser"; }
  wait_for 200 at_least_windows "$n" || true
  count=$(browser_windows)
  [ "$count" -eq "$n" ] || fail "after $n presses of 生辰八字: $count browser windows"
done
[ "$(pgrep -P "$zorvel" -x zorvel-browser | wc -l)" -eq 1 ] || fail "more than one browser"
sleep 2
open=$(rss_kb "$zorvel")
process_tree "$web" >"$work/web-processes"
web_kb=0
for p in $(cat "$work/web-processes"); do web_kb=$((web_kb + $(rss_kb "$p" 2>/dev/null || echo 0))); done

for id in $(xdotool search --all --onlyvisible --pid "$web" --name '^浏览器$'); do
  xdotool windowraise "$id"
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  wait_focus "$id" || fail "a browser window did not get the keyboard"
  xdotool key Escape
  wait_viewable "$id" no 50 || fail "Escape did not close a browser window"
done
wait_for 100 all_gone "$work/web-processes" ||
  fail "closed windows left: $(ps -o pid,comm -p "$(paste -sd, "$work/web-processes")")"
sleep 2
kill -0 "$zorvel" || fail "the program ended"
after=$(rss_kb "$zorvel")
echo "zorvel RSS: ${before} kB before, ${open} kB with three windows (browser and pages:" \
  "${web_kb} kB), ${after} kB after closing them"
((after * 100 <= before * 105)) || fail "the clock kept its memory: $before kB -> $after kB"
echo "browser memory: ok"
