#!/usr/bin/env bash
# A ringing alarm posts a critical desktop notice; its "延迟再响" closes the ring window and the
# alarm rings again a minute later. The notification server is python-dbusmock's on a private
# session bus; the program runs on a fake clock six times as fast.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"
make_db_with_alarm "$work/bin/zorvel.db3" '2030-01-01 08:30:00' 0 'meeting' 3

python=
for p in python3 /usr/bin/python3; do
  "$p" -c 'import dbusmock' 2>/dev/null && { python=$p; break; }
done
[ -n "$python" ] || fail "python3-dbusmock is missing"
dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>"$work/bus.err" &
pids+=($!)
wait_for 50 test -s "$work/bus" || fail "no private bus"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
"$python" -m dbusmock --session -t notification_daemon -p '{"capabilities": "body actions"}' \
  >"$work/mock.out" 2>"$work/mock.err" &
pids+=($!)

# Asks the mock server: `calls` prints one line per Notify call (id and arguments); `invoke ID
# ACTION` sends ActionInvoked.
server() {
  "$python" - "$@" <<'PY'
import sys, dbus
bus = dbus.SessionBus()
mock = dbus.Interface(bus.get_object('org.freedesktop.Notifications',
                                     '/org/freedesktop/Notifications'), 'org.freedesktop.DBus.Mock')
if sys.argv[1] == 'calls':
    for _, args in mock.GetMethodCalls('Notify'):
        hints = args[6]
        print(int(args[1]), args[3], args[4], '|'.join(args[5]), int(hints.get('urgency', -1)),
              hints.get('category', ''), hints.get('desktop-entry', ''))
else:
    mock.EmitSignal('org.freedesktop.Notifications', 'ActionInvoked', 'us',
                    [dbus.UInt32(int(sys.argv[2])), sys.argv[3]])
PY
}
has_name() { server calls >/dev/null 2>&1; }
wait_for 100 has_name || fail "the mock notification server did not start"

start_on_fake_clock "@2030-01-01 08:29:30 x6"
pid=$started
ring=$(wait_window "$pid" '设定时间到了') || fail "the alarm did not ring"
posted() { [ "$(server calls | wc -l)" -ge "$1" ]; }
wait_for 50 posted 1 || fail "no notice was posted"
line=$(server calls | head -n1)
echo "notice: $line"
[ "$line" = "0 2030-01-01 08:30:00 meeting snooze|延迟再响|close|关闭 2 x-zorvel.alarm org.zorvel.Zorvel" ] ||
  fail "unexpected notice: $line"

# The server gave the notice id 1; the user chooses "延迟再响" on it.
server invoke 1 snooze
wait_viewable "$ring" no || fail "the notice's snooze did not close the ring window"

# One fake minute later (ten seconds) it rings again, with a notice of its own.
again=$(wait_window "$pid" '设定时间到了') || fail "the snoozed alarm did not ring again"
wait_for 50 posted 2 || fail "the second ring posted no notice"
echo "ok: the notice snoozed the alarm and it rang again"
