#!/usr/bin/env bash
# A browser that is killed takes nothing else along: with a browser window open, the browser
# program is killed; the clock runs on, its page processes end too, the next press of a web
# button opens a window in a new browser, and a stored alarm rings after the kill. A clock that
# is killed in turn leaves no browser behind.
# Every address but loopback goes to a proxy that is not there.
IT_SCREEN=1280x1024x24
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --proxy-server=127.0.0.1:9"
export LIBGL_ALWAYS_SOFTWARE=1
source "$(dirname "$0")/../support/whole_program.sh"
source "$(dirname "$0")/../support/stored_alarm.sh"

# On the real clock (a fake one would reach the browser's page processes too): the alarm
# rings at the first whole minute at least 40 s away.
due=$(( ($(date +%s) + 40 + 59) / 60 * 60 ))
make_db_with_alarm "$work/bin/zorvel.db3" "$(date -d "@$due" '+%F %T')" 1 "touch $work/rang" 4

start killed
zorvel=$started
clock=$(wait_window "$zorvel" '^Zorvel$') || fail "the clock did not appear"
open_page_from_menu "$zorvel" "$clock" 6
sleep 0.5

# "生辰八字": second column, first row of "趣味工具".
press_web_button() {
  xdotool windowraise "$main"
  sleep 0.3
  xdotool mousemove --window "$main" 478 86 click 1
}
press_web_button
web=$(wait_browser "$zorvel") || fail "生辰八字 started no browser"
wait_window "$web" '^浏览器$' >/dev/null || fail "生辰八字 opened no browser window"
sleep 1
process_tree "$web" >"$work/web-processes"
[ "$(wc -l <"$work/web-processes")" -gt 1 ] || fail "the browser has no page processes"
[ -e "$work/rang" ] && fail "the alarm rang before the browser was killed: too slow a start"
kill -9 "$web"
wait_for 100 all_gone "$work/web-processes" ||
  fail "the killed browser left: $(ps -o pid,comm -p "$(paste -sd, "$work/web-processes")")"
sleep 1
kill -0 "$zorvel" 2>/dev/null || fail "the program ended with its browser"
viewable "$clock" || fail "the clock is gone"

press_web_button
again=$(wait_browser "$zorvel") || fail "after the kill, 生辰八字 started no browser"
[ "$again" != "$web" ] || fail "the killed browser is still listed"
wait_window "$again" '^浏览器$' >/dev/null || fail "after the kill, 生辰八字 opened no window"

ring=
while [ -z "$ring" ] && [ "$(date +%s)" -le $((due + 20)) ]; do
  ring=$(xdotool search --all --onlyvisible --pid "$zorvel" --name '设定时间到了' 2>/dev/null |
    head -n1 || true)
  sleep 0.5
done
[ -n "$ring" ] || fail "the alarm did not ring after the kill"
for _ in $(seq 50); do [ -e "$work/rang" ] && break; sleep 0.1; done
[ -e "$work/rang" ] || fail "the alarm did not start its program"
rang=$(( $(date +%s) - due ))

process_tree "$again" >"$work/web-processes"
kill -9 "$zorvel"
wait_for 100 all_gone "$work/web-processes" ||
  fail "the killed clock left: $(ps -o pid,comm -p "$(paste -sd, "$work/web-processes")")"
echo "killed browser: ok, the alarm rang $rang s after it was due"
