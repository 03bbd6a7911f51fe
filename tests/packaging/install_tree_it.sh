#!/usr/bin/env bash
# What `make install` and the Debian package put on the machine: the program with its data,
# documentation, and a desktop entry, icon and AppStream metadata that software centres accept.
set -euo pipefail
: "${ZORVEL_BUILD_DIR:?set by ctest}"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Staged into a temporary folder only.
DESTDIR="$root" cmake --install "$ZORVEL_BUILD_DIR" --prefix /usr >/dev/null
usr="$root/usr"

for f in bin/zorvel bin/zorvel-wake share/zorvel/mp3/1.mp3 share/zorvel/mp3/2.mp3 share/zorvel/zorvel.db3 \
  share/applications/org.zorvel.Zorvel.desktop share/metainfo/org.zorvel.Zorvel.metainfo.xml \
  share/icons/hicolor/scalable/apps/zorvel.svg share/icons/hicolor/48x48/apps/zorvel.png \
  share/doc/zorvel/copyright share/doc/zorvel/changelog.Debian.gz share/man/man1/zorvel.1.gz; do
  [ -f "$usr/$f" ] || fail "$f is not installed"
done
[ "$(ls "$usr/share/zorvel/sound" | wc -l)" -ge 23 ] || fail "voice clips are missing"
# The built-in browser, a program Zorvel starts, not one for the user's command line.
[ -x "$usr/lib/zorvel/zorvel-browser" ] || fail "lib/zorvel/zorvel-browser is not installed"
[ ! -e "$usr/bin/zorvel-browser" ] || fail "zorvel-browser is installed among the commands"
# Readable by everyone, whatever the umask of the build.
bad=$(find "$usr" \( -type d ! -perm 755 \) -o \( -type f ! -perm 644 ! -perm 755 \))
[ -z "$bad" ] || fail "odd permissions: $bad"
# Compressed without a time stamp, so rebuilding gives the same package.
gzip -lv "$usr/share/doc/zorvel/changelog.Debian.gz" >/dev/null
[ "$(od -An -tx1 -j4 -N4 "$usr/share/man/man1/zorvel.1.gz" | tr -d ' ')" = 00000000 ] ||
  fail "the manual page carries a time stamp"

# One licence everywhere: the GPL, version 3 or later, its text as Debian ships it.
grep -qx 'License: GPL-3+' "$usr/share/doc/zorvel/copyright" || fail "copyright: another licence"
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
  "$usr/share/metainfo/org.zorvel.Zorvel.metainfo.xml" || fail "AppStream: another licence"
if [ -f /usr/share/common-licenses/GPL-3 ]; then
  cmp -s "$(dirname "$0")/../../LICENSE" /usr/share/common-licenses/GPL-3 ||
    fail "LICENSE is not the GPL 3"
fi

# The metadata, its desktop entry and icon belong together.
appstreamcli validate-tree --no-net "$root" >"$root/validate.txt" 2>&1 ||
  { cat "$root/validate.txt" >&2; fail "appstreamcli rejects the installed tree"; }
