#!/usr/bin/env bash
# `zorvel --reset-password` from a shell without a display: it refuses without a terminal to
# ask on (unless --yes), stops while Zorvel uses the database, and otherwise clears a damaged
# password and logs it, in the file the program itself uses.
source "$(dirname "${BASH_SOURCE[0]}")/../support/whole_program.sh"

key='{5B2E91C4-7A3F-4D68-9E10-C2B7F04A6D35}'
db="$work/bin/zorvel.db3"  # a copy run where it was unpacked keeps its file beside it
sql() { printf "PRAGMA key='%s';\n%s\n" "$key" "$1" | sqlcipher "$db" | grep -av '^ok$' || true; }
"$ZORVEL_BUILD_DIR/zorvel-mkdb" "$db" || fail "cannot make the database"
sql "update softSetting set delPwd='pbkdf2-sha256\$abc\$\$', isPwdReq=1;" >/dev/null
locked='pbkdf2-sha256$abc$$|1'
settings() { sql 'select delPwd, isPwdReq from softSetting;'; }
[ "$(settings)" = "$locked" ] || fail "the damaged password was not stored: $(settings)"

# The command needs no display.
reset() { env -u DISPLAY "$work/bin/zorvel" "$@" </dev/null >"$work/reset.out" 2>"$work/reset.err"; }

reset --help || fail "--help failed"
grep -q -- '--reset-password' "$work/reset.out" || fail "help: $(cat "$work/reset.out")"
code=0; reset --yes || code=$?
[ "$code" = 2 ] || fail "--yes alone ended with $code"

code=0; reset --reset-password || code=$?
[ "$code" = 1 ] || fail "without a terminal or --yes it ended with $code"
grep -q -- '--yes' "$work/reset.err" || fail "no word of --yes: $(cat "$work/reset.err")"
[ "$(settings)" = "$locked" ] || fail "changed without confirmation: $(settings)"

start zorvel
running=$started
wait_window "$running" '^Zorvel$' >/dev/null || fail "no clock"
code=0; reset --reset-password --yes || code=$?
[ "$code" = 1 ] || fail "with Zorvel running it ended with $code"
grep -q '正在使用' "$work/reset.err" || fail "no word of the running copy: $(cat "$work/reset.err")"
[ "$(settings)" = "$locked" ] || fail "changed under a running copy: $(settings)"
kill "$running"
wait_exit "$running" || fail "Zorvel did not end"

reset --reset-password --yes || fail "the reset failed: $(cat "$work/reset.err")"
grep -q '密码已重置' "$work/reset.out" || fail "output: $(cat "$work/reset.out")"
[ "$(settings)" = "|0" ] || fail "not cleared: $(settings)"
log=$(sql 'select content from log;' | iconv -f GB18030 -t UTF-8)  # stored text
[ "$log" = '密码已重置' ] || fail "log: $log"
echo "ok: --reset-password"
