#!/usr/bin/env bash
# The built-in browser costs the running clock nothing: Qt WebEngine and the GL drivers it
# draws through live in the browser program alone, never in the idle clock.
source "$(dirname "$0")/../support/whole_program.sh"

[ -x "$work/bin/zorvel-browser" ] || fail "the browser program is not next to the program"
start idle
idle=$started
wait_window "$idle" '^Zorvel$' >/dev/null || fail "the clock did not appear"
sleep 1
# A program that has ended has no maps to read, and an empty list would pass for a clean one.
kill -0 "$idle" 2>/dev/null || fail "the program ended"
all=$(cat "/proc/$idle/maps" 2>/dev/null) || fail "cannot read the program's maps"
grep -q 'zorvel' <<<"$all" || fail "the maps read are not the program's"
kill -0 "$idle" 2>/dev/null || fail "the program ended while its maps were read"
maps=$(grep -Ei 'webengine|zorvel-browser|_dri\.so|libGLX_mesa' <<<"$all" | awk '{print $6}' |
  sort -u) || true
[ -z "$maps" ] || fail "the idle clock has loaded: $maps"
ldd "$ZORVEL_BUILD_DIR/zorvel" | grep -qi webengine && fail "the program links Qt WebEngine"
echo "idle memory: $(grep VmRSS "/proc/$idle/status")"
exit 0
