#!/usr/bin/env bash
# Zorvel from a script: the command line works on the file while the program is not running,
# refuses hostile input without changing anything, and goes to the running program over D-Bus,
# whose alarm then rings.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/session_bus.sh"
start_session_bus
zorvel="$work/bin/zorvel"

# Exit status $1 expected from the command that follows.
expect() {
  local want=$1 got=0
  shift
  "$@" >"$work/cmd.out" 2>"$work/cmd.err" || got=$?
  [ "$got" = "$want" ] || fail "\"$*\" ended with $got, not $want: $(cat "$work/cmd.err")"
}

# Without the program: on the file itself.
expect 0 "$zorvel" alarm add --at "2030-01-01 09:00" --text 早会 --repeat workdays --ring shake
first=$(cat "$work/cmd.out")
[ -n "$first" ] || fail "alarm add printed no id"
expect 0 "$zorvel" note add "买牛奶"
expect 0 "$zorvel" alarm list --json
python3 - "$work/cmd.out" "$first" <<'PY' || fail "alarm list --json: $(cat "$work/cmd.out")"
import json, sys
alarms = json.load(open(sys.argv[1]))
assert [a["id"] for a in alarms] == [sys.argv[2]], alarms
a = alarms[0]
assert (a["text"], a["rule"], a["ring"], a["time"]) == ("早会", "workdays", "shake", "2030-01-01T09:00:00"), a
PY
cp "$work/cmd.out" "$work/before.json"

# Hostile input: a clear message, exit 1 (2 for usage), and nothing changes.
long=$(head -c 10000 /dev/zero | tr '\0' 'x')
printf 'not a database' >"$work/junk.db3"
expect 1 "$zorvel" alarm add --at "2030-02-30 07:00" --text x
expect 1 "$zorvel" alarm add --at "tomorrow" --text x
expect 1 "$zorvel" alarm add --at "2001-01-01 07:00" --text x
expect 1 "$zorvel" alarm add --at "2030-01-01 07:00" --text x --repeat monthly
expect 1 "$zorvel" alarm add --at "2030-01-01 07:00" --text x --repeat weekly:0,8
expect 1 "$zorvel" alarm add --at "2030-01-01 07:00" --text "$long"
expect 1 "$zorvel" alarm add --at "2030-01-01 07:00" --text x --ring /bin/sh
expect 1 "$zorvel" note add "$long"
expect 1 "$zorvel" alarm delete "no-such-id"
expect 1 "$zorvel" restore "$work/junk.db3"
grep -q '不是 Zorvel 的数据文件' "$work/cmd.err" || fail "restore said: $(cat "$work/cmd.err")"
expect 2 "$zorvel" alarm
expect 2 "$zorvel" alarm add --text "no time"
expect 2 "$zorvel" note list --at 07:00
expect 0 "$zorvel" alarm list --json
cmp -s "$work/cmd.out" "$work/before.json" || fail "hostile input changed the alarms"
expect 0 "$zorvel" backup "$work/backup.db3"
expect 0 "$zorvel" today --json
/usr/bin/python3 -c 'import json,sys; t=json.load(open(sys.argv[1])); assert t["workday"] in ("班","休") and t["status"].startswith("今天："), t' \
  "$work/cmd.out" || fail "today --json: $(cat "$work/cmd.out")"

# iCalendar: a file other programs read, and importing it again adds nothing.
expect 0 "$zorvel" export --ics "$work/zorvel.ics"
/usr/bin/python3 - "$work/zorvel.ics" <<'PY' || fail "python3-icalendar cannot read the export"
import sys, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], "rb").read())
events = [c for c in cal.walk("VEVENT")]
assert len(events) == 1 and str(events[0]["SUMMARY"]) == "早会", events
assert events[0]["RRULE"]["BYDAY"] == ["MO", "TU", "WE", "TH", "FR"], events[0]["RRULE"]
assert len(list(cal.walk("VJOURNAL"))) == 1
PY
expect 0 "$zorvel" import --ics "$work/zorvel.ics"
grep -q '2 项已存在' "$work/cmd.out" || fail "a second import said: $(cat "$work/cmd.out")"
expect 1 "$zorvel" import --ics "$work/junk.db3"
expect 2 "$zorvel" export

# A password (as an older release stored it) guards changes to existing alarms.
printf "PRAGMA key='%s';\nupdate softSetting set isPwdReq=1, delPwd='abc';\n" \
  '{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}' | sqlcipher "$work/bin/zorvel.db3" >/dev/null
expect 1 "$zorvel" alarm delete "$first" --password-stdin <<<wrong
grep -q '密码不正确' "$work/cmd.err" || fail "a wrong password said: $(cat "$work/cmd.err")"
expect 1 "$zorvel" alarm skip "$first" </dev/null

# With the program running on a fake clock: the command goes to it.
start_on_fake_clock "@2030-01-01 08:29:40 x6"
pid=$started
wait_window "$pid" '^Zorvel$' >/dev/null || fail "the clock did not appear"
wait_for 100 dbus-send --session --dest=org.zorvel.Zorvel --print-reply /org/zorvel/Zorvel \
  org.freedesktop.DBus.Peer.Ping >/dev/null 2>&1 || fail "the program did not take its bus name"
expect 0 "$zorvel" show alarms
wait_for 50 test -s "$work/bin/backups/zorvel-2030-01-01.db3" || fail "no daily backup at start"
# The installed interface file says what the program really exports.
dbus-send --session --dest=org.zorvel.Zorvel --print-reply=literal /org/zorvel/Zorvel \
  org.freedesktop.DBus.Introspectable.Introspect >"$work/live.xml" || fail "no introspection"
python3 - "$work/live.xml" "$ZORVEL_SOURCE_DIR/res/org.zorvel.Zorvel1.xml" <<'PY' ||
import sys, xml.etree.ElementTree as ET
def members(path):
    root = ET.fromstring(open(path).read().strip())
    iface = [i for i in root.iter("interface") if i.get("name") == "org.zorvel.Zorvel1"][0]
    def arg(m, a):
        return (a.get("type"), a.get("direction", "in") if m.tag == "method" else "")
    return {(m.tag, m.get("name"), tuple(sorted(arg(m, a) for a in m.iter("arg"))))
            for m in iface if m.tag in ("method", "signal")}
live, shipped = members(sys.argv[1]), members(sys.argv[2])
assert live == shipped, (live ^ shipped)
PY
  fail "res/org.zorvel.Zorvel1.xml differs from what the program exports"
expect 0 "$zorvel" alarm add --at "2030-01-01 08:31" --text 脚本闹钟 --ring silent
second=$(cat "$work/cmd.out")
expect 0 "$zorvel" alarm list --json
python3 -c 'import json,sys; ids=[a["id"] for a in json.load(open(sys.argv[1]))]; assert sys.argv[2] in ids and sys.argv[3] in ids, ids' \
  "$work/cmd.out" "$first" "$second" || fail "the running program does not list both alarms"
expect 1 "$zorvel" show nowhere
expect 1 "$zorvel" restore "$work/backup.db3"
dbus-monitor --session "type='signal',interface='org.zorvel.Zorvel1'" >"$work/signals" 2>&1 &
pids+=($!)
ring=$(wait_window "$pid" '设定时间到了') || fail "the alarm added by the script did not ring"
grep -q "AlarmRinging" "$work/signals" || fail "no AlarmRinging signal: $(cat "$work/signals")"
bus_call() {
  dbus-send --session --print-reply --dest=org.zorvel.Zorvel /org/zorvel/Zorvel \
    "org.zorvel.Zorvel1.$1" string:"$2"
}
bus_call Snooze "no-such-alarm" >/dev/null 2>&1 && fail "Snooze of an alarm that is not ringing"
bus_call Snooze "$second" >/dev/null || fail "Snooze over D-Bus failed"
wait_viewable "$ring" no || fail "Snooze over D-Bus did not close the ring window"
again=$(wait_window "$pid" '设定时间到了') || fail "the snoozed alarm did not ring again"
bus_call Dismiss "$second" >/dev/null || fail "Dismiss over D-Bus failed"
wait_viewable "$again" no || fail "Dismiss over D-Bus did not close the ring window"
expect 1 "$zorvel" alarm delete "$second" --password-stdin <<<wrong
grep -q '密码不正确' "$work/cmd.err" || fail "a wrong password said: $(cat "$work/cmd.err")"
expect 0 "$zorvel" alarm skip "$first" --password-stdin <<<abc
expect 0 "$zorvel" alarm delete "$second" --password-stdin <<<abc
expect 0 "$zorvel" alarm list --json
python3 -c 'import json,sys; a=json.load(open(sys.argv[1])); assert [x["id"] for x in a]==[sys.argv[2]] and a[0]["skipDate"], a' \
  "$work/cmd.out" "$first" || fail "delete and skip over D-Bus: $(cat "$work/cmd.out")"
kill -0 "$pid" || fail "the program ended"
echo "ok: commands on the file, refusals, and through the running program"
