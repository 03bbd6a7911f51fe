#!/usr/bin/env bash
# A rebuild after a change to the core (which relinks the template maker) never touches the
# live database next to the program in the build folder.
set -euo pipefail
: "${ZORVEL_BUILD_DIR:?set by ctest}"
db="$ZORVEL_BUILD_DIR/zorvel.db3"
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"

# The developer's own file is only compared, never written; without one, the test makes one
# with an alarm in it and removes it again at the end.
made=no
if [ ! -e "$db" ]; then
  made=yes
  trap 'rm -f "$db"' EXIT
  make_db_with_alarm "$db" '2030-01-01 08:30:00' 1 kept 0
fi
before=$(sha256sum "$db")

touch "$ZORVEL_BUILD_DIR/zorvel-mkdb"
cmake --build "$ZORVEL_BUILD_DIR" --target zorvel_db >/dev/null || fail "the rebuild failed"

[ -e "$db" ] || fail "the build removed $db"
[ "$(sha256sum "$db")" = "$before" ] || fail "the build rewrote $db"
[ -s "$ZORVEL_BUILD_DIR/template/zorvel.db3" ] || fail "no template database was made"
if [ "$made" = yes ]; then
  stored_alarm_texts "$db" | grep -qx kept || fail "the stored alarm is gone"
fi
echo "ok: the rebuild kept the database"
