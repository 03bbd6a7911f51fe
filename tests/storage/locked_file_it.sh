#!/usr/bin/env bash
# Another process holds a write lock on the database file: saving a memo shows the storage
# message within a few seconds and leaves the editor open with what was typed, the clock keeps
# running and a stored alarm still rings; once the lock is gone, the same memo saves and the
# program goes on writing.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"
key='{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}'
db="$work/bin/zorvel.db3"
sql() { printf "PRAGMA key='%s';\n%s\n" "$key" "$1" | sqlcipher "$db"; }
make_db_with_alarm "$db" '2030-01-01 08:30:00' 0 'rings while locked' 0

# Each run-up window of the program named "Zorvel" (clock, main window, message boxes).
zorvel_windows() { xdotool search --all --onlyvisible --pid "$1" --name '^Zorvel$' 2>/dev/null | sort; }

start_on_fake_clock "@2030-01-01 08:29:20 x2"
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
xdotool type --delay 20 "typed while locked"

# The lock: an exclusive transaction in the sqlcipher shell, kept open until told to commit.
mkfifo "$work/holder.in"
sqlcipher "$db" <"$work/holder.in" >"$work/holder.out" 2>&1 &
pids+=($!)
holder=$!
exec 3>"$work/holder.in"
printf "PRAGMA key='%s';\nBEGIN EXCLUSIVE;\nselect 'held';\n" "$key" >&3
for _ in $(seq 50); do grep -q held "$work/holder.out" && break; sleep 0.1; done
grep -q held "$work/holder.out" || fail "could not lock the file: $(cat "$work/holder.out")"

before=$(zorvel_windows "$pid")
click_in "$editor" 562 462  # "确定"
box=""
for _ in $(seq 60); do
  box=$(comm -13 <(echo "$before") <(zorvel_windows "$pid") | head -n1)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || fail "no storage message within six seconds"
kill -0 "$pid" 2>/dev/null || fail "the program ended on the locked file"
xdotool windowfocus --sync "$box" key --clearmodifiers Return 2>/dev/null || true
wait_viewable "$box" no 30 || fail "the storage message did not close"
viewable "$editor" || fail "the editor closed although nothing was stored"

# Still locked: the alarm rings on time all the same.
ring=$(wait_window "$pid" '设定时间到了') || fail "the alarm did not ring while the file was locked"
kill -0 "$holder" 2>/dev/null || fail "the lock holder ended early"

# The lock goes; the same memo saves, and the next write (the snooze) needs no lock either.
printf "COMMIT;\n.quit\n" >&3
exec 3>&-
wait "$holder" 2>/dev/null || true
sleep 0.5
click_in "$editor" 562 462  # "确定" again
wait_viewable "$editor" no 50 || fail "the editor did not close once the lock was gone"
[ "$(sql "select content1 from event;")" = "typed while locked" ] ||
  fail "the memo was not stored: $(sql "select content1 from event;")"
[ "$(sql 'PRAGMA integrity_check;')" = ok ] || fail "the file is damaged"
kill -0 "$pid" 2>/dev/null || fail "the program ended"
echo "ok: the lock was reported, the alarm rang, and the memo was saved afterwards"
