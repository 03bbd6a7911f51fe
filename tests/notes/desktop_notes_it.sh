#!/usr/bin/env bash
# The real program with a compositor: notes stored beforehand stand along the top right at
# start, a drag moves a note (its text with it), and "删除" on a note's menu takes it off the
# desktop and out of the file.
IT_SCREEN=1280x800x24
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"

key='{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}'
db="$work/bin/zorvel.db3"
"$ZORVEL_BUILD_DIR/zorvel-mkdb" "$db" || fail "cannot make the database"
# Stored text is GB18030.
iconv -f UTF-8 -t GB18030 <<SQL | sqlcipher "$db" >/dev/null || fail "cannot store the notes"
PRAGMA key='$key';
insert into note values('{11111111-0000-4000-8000-000000000001}', '买菜', 1, '2030-01-01 08:00:00', 1, '2030-01-01 08:00:00');
insert into note values('{11111111-0000-4000-8000-000000000002}', '开会', 1, '2030-01-01 08:00:00', 0, '2030-01-01 08:00:00');
insert into note values('{11111111-0000-4000-8000-000000000003}', '回电话', 1, '2030-01-01 08:00:00', 1, '2030-01-01 08:00:00');
SQL

stored_notes() { printf "PRAGMA key='%s';\nselect count(*) from note;\n" "$key" | sqlcipher "$db"; }

helper xcompmgr
start zorvel
pid=$started
wait_window "$pid" '^Zorvel$' >/dev/null || fail "no clock"

# Prints "x y" of every visible note of the program, one a line, sorted by x.
note_places() {
  local id
  for id in $(xdotool search --all --onlyvisible --pid "$pid" --name '^便笺$' 2>/dev/null); do
    xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
      END{print x, y}'
  done | sort -n
}
wait_notes() {
  for _ in $(seq 100); do
    [ "$(note_places | wc -l)" -eq "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

wait_notes 3 || fail "expected 3 notes, found: $(note_places | tr '\n' ';')"
[ "$(note_places | tr '\n' ';')" = "830 0;980 0;1130 0;" ] ||
  fail "notes not in a row along the top right: $(note_places | tr '\n' ';')"

# Drag the rightmost note by its lower part down and to the left.
xdotool mousemove 1205 140 mousedown 1
sleep 0.2
for step in 1 2 3 4 5 6 7 8 9 10; do
  xdotool mousemove $((1205 - step * 30)) $((140 + step * 25))
  sleep 0.05
done
xdotool mouseup 1
sleep 0.5
[ "$(note_places | tr '\n' ';')" = "830 0;830 250;980 0;" ] ||
  fail "the drag did not move the note with the pointer: $(note_places | tr '\n' ';')"

# "删除" on the menu of the note at x = 980: the second entry.
open_menu_at "$pid" 1055 140 || fail "the note showed no menu"
xdotool key Down Down Return
wait_notes 2 || fail "the deleted note is still on the desktop"
[ "$(stored_notes)" = 2 ] || fail "the note was not deleted from the file: $(stored_notes)"
[ "$(note_places | tr '\n' ';')" = "830 0;830 250;" ] || fail "wrong notes left: $(note_places)"
echo "ok: row at start, drag, delete from the desktop"
