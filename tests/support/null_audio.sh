# Sourced by whole-program tests after whole_program.sh: a private PulseAudio server whose only
# output is a null sink, so the program sees one audio output device and its songs play into
# nothing. The server listens on a socket in $work and ends with the test.
mkdir -p "$work/pulse"
# A client that cannot reach our server must fail, not start a server of its own.
printf 'autospawn = no\n' >"$work/pulse/client.conf"
export PULSE_SERVER="unix:$work/pulse/native" PULSE_CLIENTCONFIG="$work/pulse/client.conf"

# -n: no default.pa, so only the two modules below (no real devices, no X11 or D-Bus modules).
# Root gets a warning only. With no session bus the server would launch one on $DISPLAY and leave
# it behind, hence the disabled bus address.
DBUS_SESSION_BUS_ADDRESS=disabled: pulseaudio -n --daemonize=no --use-pid-file=no \
  --exit-idle-time=-1 --disallow-exit --disallow-module-loading --realtime=no \
  --high-priority=no --log-target=stderr \
  -L "module-null-sink sink_name=zorvel_null" \
  -L "module-native-protocol-unix socket=$work/pulse/native auth-anonymous=1" \
  >"$work/pulseaudio.log" 2>&1 &
pids+=($!)

for _ in $(seq 100); do
  pactl list short sinks 2>/dev/null | grep -q zorvel_null && break
  kill -0 "${pids[-1]}" 2>/dev/null || fail "PulseAudio ended: $(cat "$work/pulseaudio.log")"
  sleep 0.1
done
pactl list short sinks 2>/dev/null | grep -q zorvel_null || fail "no null sink on the test's PulseAudio"
