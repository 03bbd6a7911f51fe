#!/usr/bin/env bash
# One running copy per user, with the real program under its own X server:
#  - the clock appears at the top-left, 268 × 268, with constant alpha 254;
#  - a second start shows "闹钟程序已在运行中!" in a message box titled "Zorvel" and ends when
#    it is closed, while the first copy runs on;
#  - "退出(&X)" on the clock's menu ends the program, and a new start then runs;
#  - a copy that crashed leaves no lock behind.
# The program runs from a copy in a temporary folder, so it keeps its database there.
source "$(dirname "$0")/../support/whole_program.sh"

# The first copy: the clock at the top-left.
start first
first=$started
clock=$(wait_window "$first" '^Zorvel$') || fail "the clock did not appear"
geometry=$(xwininfo -id "$clock")
grep -q 'Absolute upper-left X:  0$' <<<"$geometry" || fail "clock not at x 0: $geometry"
grep -q 'Absolute upper-left Y:  0$' <<<"$geometry" || fail "clock not at y 0: $geometry"
grep -q 'Width: 268$' <<<"$geometry" || fail "clock not 268 wide: $geometry"
grep -q 'Height: 268$' <<<"$geometry" || fail "clock not 268 high: $geometry"
# Constant alpha 254 of 255, as the window system's opacity (0xffffffff is opaque).
xprop -id "$clock" _NET_WM_WINDOW_OPACITY | grep -q '= 4278124286$' ||
  fail "opacity: $(xprop -id "$clock" _NET_WM_WINDOW_OPACITY)"

# A second copy says the program runs and ends; the first is untouched.
start second
second=$started
box=$(wait_window "$second" '^zorvel$') || fail "the second copy showed no message box"
xprop -id "$box" WM_NAME | grep -q '= "Zorvel"$' || fail "box title: $(xprop -id "$box" WM_NAME)"
grep -q '闹钟程序已在运行中!' "$work/second.err" || fail "message text: $(cat "$work/second.err")"
[ "$(xdotool search --all --onlyvisible --pid "$second" --name . | wc -l)" -eq 1 ] ||
  fail "the second copy showed more than its message"
xdotool windowfocus --sync "$box" key --clearmodifiers Return
wait_exit "$second" || fail "the second copy did not end after its message"
[ "$ended_with" -eq 0 ] || fail "the second copy ended with $ended_with"
kill -0 "$first" 2>/dev/null || fail "the first copy ended too"
[ "$(wait_window "$first" '^Zorvel$')" = "$clock" ] || fail "the first copy lost its clock"

# "退出(&X)" from the clock's menu ends the first copy.
open_menu "$first" "$clock" || fail "no menu on the clock"
xdotool key x
wait_exit "$first" || fail "退出(&X) did not end the program"
[ "$ended_with" -eq 0 ] || fail "the program ended with $ended_with after 退出(&X)"

# After it, a new start runs; after a crash, too.
start third
third=$started
wait_window "$third" '^Zorvel$' >/dev/null || fail "no clock after the first copy ended"
kill -9 "$third"
wait_exit "$third" || fail "a killed copy did not end"
start fourth
fourth=$started
wait_window "$fourth" '^Zorvel$' >/dev/null || fail "no clock after a crashed copy"
[ ! -s "$work/fourth.err" ] || ! grep -q '运行中' "$work/fourth.err" || fail "stale lock"
kill "$fourth"
wait_exit "$fourth" || true
echo "single instance: ok"
