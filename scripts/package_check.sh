#!/usr/bin/env bash
# Checks the Debian package on this machine, as root, on a throw-away machine only: lintian,
# then installs it with apt, starts the installed program for a few seconds as a new normal
# user with a fresh home (and as root) under xvfb-run, checks where the database went, and
# purges the package and the user again. Not part of `make test`: it needs root and apt.
#   scripts/package_check.sh [package file, default the newest build-deb/zorvel_*.deb]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
[ "$(id -u)" -eq 0 ] || { echo "run as root" >&2; exit 2; }
deb="${1:-$(ls -t "$here"/build-deb/zorvel_*.deb 2>/dev/null | head -n1)}"
[ -f "$deb" ] || { echo "no package: run make package first" >&2; exit 2; }
deb="$(realpath "$deb")"
user=zorvel-check
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}
export DEBIAN_FRONTEND=noninteractive
for tool in lintian xvfb-run; do
  command -v "$tool" >/dev/null || apt-get install -y -qq --no-install-recommends \
    "$([ "$tool" = xvfb-run ] && echo xvfb || echo "$tool")" >/dev/null
done

echo "== lintian $(basename "$deb")"
lintian --info "$deb" | tee /tmp/zorvel-lintian.txt || true
grep -q '^E: ' /tmp/zorvel-lintian.txt && fail "lintian reports errors"

echo "== apt install"
dpkg-query -W zorvel >/dev/null 2>&1 && { echo "zorvel is already installed" >&2; exit 2; }
apt-get install -y -qq "$deb" >/tmp/zorvel-apt.txt 2>&1 || { cat /tmp/zorvel-apt.txt; exit 1; }
cleanup() {
  apt-get purge -y -qq zorvel >/dev/null 2>&1 || true
  userdel -r "$user" >/dev/null 2>&1 || true
  rm -rf "${roothome:-}"
}
trap cleanup EXIT
[ -x /usr/bin/zorvel ] || fail "/usr/bin/zorvel is missing"
# dpkg carries no file capabilities: the postinst must have granted the wake-up helper its own.
[ -x /usr/bin/zorvel-wake ] || fail "/usr/bin/zorvel-wake is missing"
echo "capability: $(getcap /usr/bin/zorvel-wake)"
getcap /usr/bin/zorvel-wake | grep -q 'cap_wake_alarm[=+]ep' ||
  fail "/usr/bin/zorvel-wake lacks cap_wake_alarm+ep"

# Starts the installed program for a few seconds; its output goes to $1.
run_for_a_while() {
  local log=$1
  shift
  "$@" xvfb-run -a -s "-screen 0 1024x768x24" timeout -s TERM 6 /usr/bin/zorvel >"$log" 2>&1 || true
}

echo "== as a normal user with a fresh home"
userdel -r "$user" >/dev/null 2>&1 || true
useradd -m -s /bin/bash "$user"
home="$(getent passwd "$user" | cut -d: -f6)"
run_for_a_while /tmp/zorvel-user.txt runuser -u "$user" -- env -i HOME="$home" \
  PATH=/usr/bin:/bin LANG=C.UTF-8 USER="$user"
if [ -f "$home/.local/share/zorvel/zorvel.db3" ]; then
  echo "database: $(ls -l "$home/.local/share/zorvel/zorvel.db3")"
else
  fail "no database in ~/.local/share/zorvel/"
  cat /tmp/zorvel-user.txt
fi

echo "== as root"
roothome="$(mktemp -d)"
run_for_a_while /tmp/zorvel-root.txt env -i HOME="$roothome" PATH=/usr/bin:/bin LANG=C.UTF-8
[ -f "$roothome/.local/share/zorvel/zorvel.db3" ] || fail "root's database is not in its data folder"
ls /usr/bin/zorvel.db3* >/dev/null 2>&1 && fail "the installed program wrote beside itself"

echo "== purge"
cleanup
trap - EXIT
dpkg-query -W zorvel >/dev/null 2>&1 && fail "zorvel is still installed"
[ ! -e /usr/share/zorvel ] || fail "/usr/share/zorvel is left behind"
[ "$failed" -eq 0 ] && echo "package check passed"
exit "$failed"
