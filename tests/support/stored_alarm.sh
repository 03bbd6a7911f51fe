# Sourced by whole-program tests: makes a database file of the program's own with one alarm.
# Usage: make_db_with_alarm FILE TIME IS_RING CONTENT RING_TYPE   (fails the test on error)
make_db_with_alarm() {
  local db=$1 time=$2 isRing=$3 content=$4 ringType=$5
  local key='{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}'
  "$ZORVEL_BUILD_DIR/zorvel-mkdb" "$db" || fail "cannot make the database"
  sqlcipher "$db" >/dev/null <<SQL || fail "cannot store the alarm"
PRAGMA key='$key';
insert into alarmClock values('{11111111-2222-4333-8444-555555555555}', '$time',
  0, $isRing, '$content', '', $ringType, '2030-01-01 08:00:00');
SQL
}

# Prints the text of every stored alarm of FILE, one a line.
stored_alarm_texts() {
  printf "PRAGMA key='%s';\nselect content from alarmClock;\n" \
    '{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}' | sqlcipher "$1"
}
