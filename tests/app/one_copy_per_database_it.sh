#!/usr/bin/env bash
# Two copies never use one database, whatever their environment: a second copy started with
# another runtime directory (so the per-user lock lies elsewhere) says the program runs and
# ends, and the first keeps running.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"

start first
first=$started
clock=$(wait_window "$first" '^Zorvel$') || fail "the first copy showed no clock"

mkdir -m 700 "$work/run2"
XDG_RUNTIME_DIR="$work/run2" "$work/bin/zorvel" >"$work/second.out" 2>"$work/second.err" &
second=$!
pids+=("$second")
box=$(wait_window "$second" '^zorvel$') || fail "the second copy showed no message box"
grep -q '闹钟程序已在运行中!' "$work/second.err" || fail "message text: $(cat "$work/second.err")"
[ "$(xdotool search --all --onlyvisible --pid "$second" --name . | wc -l)" -eq 1 ] ||
  fail "the second copy showed more than its message"
xdotool windowfocus --sync "$box" key --clearmodifiers Return
wait_exit "$second" || fail "the second copy did not end after its message"
kill -0 "$first" 2>/dev/null || fail "the first copy ended too"
[ "$(wait_window "$first" '^Zorvel$')" = "$clock" ] || fail "the first copy lost its clock"
echo "ok: one copy per database"
