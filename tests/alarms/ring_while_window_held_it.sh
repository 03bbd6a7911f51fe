#!/usr/bin/env bash
# The real program: an alarm's song starts on time while the window thread is stopped (as when a
# dialog or a slow disk keeps it busy), the ring window follows once that thread runs again, and
# the program notes how long its window thread stalled. The clock is fake but runs at real speed,
# so the hold is measured in true seconds.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/stored_alarm.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/null_audio.sh"
here="$(dirname "${BASH_SOURCE[0]}")"
cp -r "$ZORVEL_BUILD_DIR/mp3" "$work/bin/"
make_db_with_alarm "$work/bin/zorvel.db3" '2030-01-01 08:30:00' 1 song 0

# The fake clock starts with the process: launch + N s is 08:29:45 + N. Only the wall clock is
# faked: on a faked monotonic clock GStreamer's pipeline never starts playing, and at real speed
# the true one agrees with the fake wall clock anyway.
libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$libfaketime" ] || fail "libfaketime is missing"
launched=$EPOCHREALTIME
LD_PRELOAD="$libfaketime" FAKETIME="@2030-01-01 08:29:45" FAKETIME_DONT_FAKE_MONOTONIC=1 \
  "$work/bin/zorvel" >"$work/zorvel.out" 2>"$work/zorvel.err" &
pid=$!
pids+=("$pid")
wait_window "$pid" '^Zorvel$' >/dev/null || fail "no clock"

# Seconds from now until launch + $1 (negative once past).
until_launch_plus() { awk -v l="$launched" -v n="$EPOCHREALTIME" -v s="$1" 'BEGIN{print l + s - n}'; }
# Hold the window thread (its id is the pid) from 08:29:57 to 08:30:09.
wait_s=$(until_launch_plus 12)
awk -v w="$wait_s" 'BEGIN{exit !(w > -1.5)}' || fail "the clock came up too late to hold before the alarm"
awk -v w="$wait_s" 'BEGIN{exit !(w > 0)}' && sleep "$wait_s"
python3 "$here/../support/hold_thread.py" "$pid" 12 >"$work/hold.out" 2>"$work/hold.err" &
holder=$!
pids+=("$holder")
for _ in $(seq 50); do grep -q '^held' "$work/hold.out" && break; sleep 0.1; done
grep -q '^held' "$work/hold.out" || fail "could not hold the window thread"

# While still held: the song has started and plays into the null sink (its stream may take a
# moment after the log line).
song_line='zorvel\.alarms: song started at 2030-01-01 [0-9:.]+ \(alarm \{11111111-2222-4333-8444-555555555555\} of 2030-01-01 08:30:00\)'
playing() {
  pactl list sink-inputs | awk -v p="\"$pid\"" '/^Sink Input #/ {c = ""} $1 == "Corked:" {c = $2}
    $1 == "application.process.id" && $3 == p && c == "no" {f = 1} END {exit !f}'
}
while awk -v w="$(until_launch_plus 23)" 'BEGIN{exit !(w > 0)}'; do
  grep -qE "$song_line" "$work/zorvel.err" && playing && break
  sleep 0.2
done
grep -qE "$song_line" "$work/zorvel.err" || fail "no song started while the window thread was held"
playing || fail "no sound of the program on the null sink while the window thread was held"
wait "$holder" || fail "the hold did not end cleanly: $(cat "$work/hold.err")"

wait_window "$pid" '^设定时间到了$' >/dev/null || fail "no ring window once the window thread ran again"

at=$(grep -oE "$song_line" "$work/zorvel.err" | head -n1 | awk '{print $6}')
[[ $at =~ ^08:30:00\.[0-9]{3}$ ]] || fail "the song started at $at, not within 1 s after 08:30:00"

stall_line='zorvel\.alarms: window thread stalled for [0-9]+\.[0-9] s'
for _ in $(seq 100); do grep -qE "$stall_line" "$work/zorvel.err" && break; sleep 0.1; done
longest=$(grep -oE "$stall_line" "$work/zorvel.err" | awk '{print $(NF-1)}' | sort -n | tail -n1)
[ -n "$longest" ] || fail "the stall of the window thread was not noted"
awk -v s="$longest" 'BEGIN{exit !(s >= 8)}' || fail "the window thread stalled for only ${longest} s"
echo "ok: the song started at $at while the window thread was held; it stalled for ${longest} s"
