#!/usr/bin/env bash
# The real program: a memo written with real keys and clicks (a heading in bold red 16 pt, a
# second line), saved from "添加事件", is stored as RTF with its plain text, shows in the list
# and reopens in "编辑事件", which Escape closes at once while nothing was changed.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
key='{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}'

stored() { printf "PRAGMA key='%s';\n%s\n" "$key" "$1" | sqlcipher "$work/bin/zorvel.db3"; }

start main
pid=$started
clock=$(wait_window "$pid" '^Zorvel$') || fail "no clock"
sleep 0.5
open_main_window "$pid" "$clock"
click_in "$main" 379 23   # the tab "我的记事"
sleep 0.5
click_in "$main" 619 341  # "添加事件"
editor=$(wait_window "$pid" '^添加事件$') || fail "the memo editor did not open"
wait_focus "$editor" || fail "the memo editor did not get the keyboard"

click_in "$editor" 300 200
xdotool type --delay 20 "Heading"
xdotool key Return
xdotool type --delay 20 "second line"
xdotool key ctrl+Home shift+End ctrl+b
click_in "$editor" 192 17   # the size list: Enter applies it and leaves the editor open
xdotool key ctrl+a
xdotool type 16
xdotool key Return
sleep 0.3
viewable "$editor" || fail "Enter in the size list closed the editor"
click_in "$editor" 273 17   # the colour picker, then its red
sleep 0.5
click_in "$editor" 247 115
sleep 0.3
click_in "$editor" 562 462  # "确定"
wait_viewable "$editor" no 50 || fail "the editor did not close on 确定"

content1=$(stored "select hex(content1) from event;")
[ "$content1" = "$(printf 'Heading\r\nsecond line' | od -An -tx1 | tr -d ' \n' | tr a-f A-F)" ] ||
  fail "plain text stored as $content1"
rtf=$(stored "select content from event;")
for part in '\fs32\b\cf1 Heading' '\red255\green0\blue0;' '\pard second line\par'; do
  [[ "$rtf" == *"$part"* ]] || fail "the RTF lacks $part: $rtf"
done

# The row shows the memo; a double click on it opens the editor with the memo's caption.
sleep 0.5
click_in "$main" 300 84 1
xdotool click --repeat 2 --delay 80 1
edit=$(wait_window "$pid" '^编辑事件   事件添加时间：') || fail "the memo did not reopen"
wait_focus "$edit" || fail "the reopened memo did not get the keyboard"
xdotool key Escape
wait_viewable "$edit" no 30 || fail "Escape did not close the unchanged memo"
echo "ok: written, stored, listed and reopened"
