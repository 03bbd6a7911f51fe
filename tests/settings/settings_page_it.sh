#!/usr/bin/env bash
# The settings page of the real program:
#  - "开机自动运行软件" writes the autostart entry (starting this very program) and removes it,
#    and the stored flag follows each time;
#  - "语音半点报时" is in the database at once.
source "$(dirname "$0")/../support/whole_program.sh"

db="$work/bin/zorvel.db3"
stored() {
  printf "PRAGMA key='%s';\nselect %s from softSetting;\n" \
    '{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}' "$1" | sqlcipher "$db" | tail -n1
}
# Waits up to 5 s for setting $1 to read $2.
wait_stored() {
  for _ in $(seq 50); do
    [ "$(stored "$1")" = "$2" ] && return 0
    sleep 0.1
  done
  return 1
}

start settings
zorvel=$started
clock=$(wait_window "$zorvel" '^Zorvel$') || fail "the clock did not appear"

# "软件设置" is the fifth entry of the clock's menu.
open_page_from_menu "$zorvel" "$clock" 5
sleep 0.5
[ "$(stored BDBS)" = 0 ] || fail "the shipped row should not chime on the half hour"

entry="$XDG_CONFIG_HOME/autostart/zorvel.desktop"
[ ! -e "$entry" ] || fail "an autostart entry before any click"
# The boxes of the page, in window coordinates.
xdotool mousemove --window "$main" 232 66 click 1
wait_stored isAutoRun 1 || fail "isAutoRun was not stored"
grep -qx "Exec=$work/bin/zorvel" "$entry" || fail "autostart entry: $(cat "$entry" 2>&1)"
xdotool mousemove --window "$main" 232 66 click 1
wait_stored isAutoRun 0 || fail "isAutoRun was not cleared"
[ ! -e "$entry" ] || fail "the autostart entry is still there"

xdotool mousemove --window "$main" 232 146 click 1
wait_stored BDBS 1 || fail "语音半点报时 was not stored"
kill -0 "$zorvel" || fail "the program ended"
echo "settings page: ok"
