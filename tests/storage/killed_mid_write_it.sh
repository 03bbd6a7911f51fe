#!/usr/bin/env bash
# Killed with SIGKILL in the middle of a burst of writes, again and again, the database file
# stays whole, keeps every write that was reported done, and the program starts again on it.
# The writes come from a small writer over the program's own store (which says when each write
# returned) and from the real program deleting a few thousand expired alarms, each with its
# log line.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
key='{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}'
db="$work/bin/zorvel.db3"
writer="$ZORVEL_BUILD_DIR/tests/zorvel-store-writer"
[ -x "$writer" ] || fail "no $writer"

# The writer has a file of its own: how much it writes depends on the machine's speed, and the
# program's rounds below should not depend on that.
sql() { printf "PRAGMA key='%s';\n%s\n" "$key" "$1" | sqlcipher "${2:-$db}"; }
check_whole() {
  local verdict
  verdict=$(sql 'PRAGMA integrity_check;' "${2:-$db}" 2>&1)
  [ "$verdict" = ok ] || fail "the file is damaged after $1: $verdict"
}

written="$work/writer.db3"
"$ZORVEL_BUILD_DIR/zorvel-mkdb" "$written" || fail "cannot make the writer's database"
"$ZORVEL_BUILD_DIR/zorvel-mkdb" "$db" || fail "cannot make the database"

# The writer, killed at random moments of its burst.
: >"$work/reported"
for round in $(seq 20); do
  "$writer" "$written" $((round * 100000)) >"$work/writes" 2>"$work/writer.err" &
  w=$!
  sleep "0.$((RANDOM % 5 + 1))"
  kill -9 "$w"
  wait "$w" 2>/dev/null || true
  check_whole "writer round $round" "$written"
  cat "$work/writes" >>"$work/reported"
  sql "select 'alarm ' || content from alarmClock; select 'note ' || content from note;
       select 'log ' || content from log;" "$written" | sort >"$work/stored"
  lost=$(sort "$work/reported" | comm -23 - "$work/stored" | head -n 3)
  [ -z "$lost" ] || fail "reported done but not stored after round $round: $lost"
done
reported=$(wc -l <"$work/reported")
[ "$reported" -gt 20 ] || fail "only $reported writes in 20 rounds"

# The real program, deleting expired alarms with a log line each (one transaction apiece), on a
# clock running sixty times as fast, so its minute job comes a second after start-up.
# Enough that a fast machine is still deleting when the program is killed.
expired=20000
sql "update softSetting set isAutoDelAlarmClock = 1;
     with recursive n(i) as (select 1 union all select i + 1 from n where i < $expired)
     insert into alarmClock select printf('{%08d-0000-4000-8000-000000000000}', i),
       '2020-02-02 08:00:00', 0, 0, 'expired', '', 0, '2020-01-01 08:00:00' from n;" ||
  fail "cannot store the expired alarms"
counts() {
  sql "select count(*) from alarmClock where content = 'expired';
       select count(*) from log where content like '%2020-02-02 08:00:00';" | tr '\n' ' '
}
deleted_before=0
mid_burst=0
for round in $(seq 8); do
  start_on_fake_clock "@2030-01-01 08:00:00 x60"
  pid=$started
  sleep "$((RANDOM % 2 + 1)).$((RANDOM % 10))"
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true
  check_whole "program round $round"
  read -r left logged <<<"$(counts)"
  # An alarm is gone exactly when its line is written: never one without the other.
  [ $((left + logged)) -eq "$expired" ] ||
    fail "round $round: $left alarms left but $logged deletions logged"
  [ "$logged" -gt "$deleted_before" ] && [ "$left" -gt 0 ] && mid_burst=$((mid_burst + 1))
  deleted_before=$logged
done
[ "$deleted_before" -gt 0 ] || fail "the program deleted nothing before it was killed"
[ "$mid_burst" -gt 0 ] || fail "the program was never killed in the middle of its deletions"

# It starts again on the file, and still knows what the writer stored.
start main
pid=$started
wait_window "$pid" '^Zorvel$' >/dev/null || fail "the program did not start again"
kill -0 "$pid" 2>/dev/null || fail "the program ended after starting"
stored_notes=$(sql "select count(*) from note;" "$written")
[ "$stored_notes" -gt 0 ] || fail "the notes are gone"
echo "ok: $reported writes reported in 20 kills, all kept; $deleted_before of $expired" \
  "deletions done in 8 kills of the program ($mid_burst in the middle of the burst), each with its line; the file stayed whole"
