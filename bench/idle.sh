#!/usr/bin/env bash
# Idle cost of the desktop clock next to a minimal Qt program that repaints a 268 × 268
# translucent image every 500 ms (bench/idle_reference_uibench.cpp), both under one private
# Xvfb with a compositor and a tray host:
#   - time from process start to its window on screen with the first frame,
#   - resident memory 10 s after start,
#   - CPU time (user + system) over 60 s of running,
# first with the main window never opened, then again after it has been opened (by a double
# click on the clock) and closed once (which destroys it).
# Targets: memory at most 1.3 times the reference before the main window is opened and 1.6
# times after it was closed, CPU at most 1.2 times, first frame within 300 ms. Resident memory
# is also given split into anonymous memory and file pages (fonts, program code), since only
# the first is the program's own.
# Usage: bench/idle.sh [build-dir] [seconds]   (seconds defaults to 60)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
seconds="${2:-60}"
reference="$build/bench/idle_reference_uibench"
for f in "$build/zorvel" "$reference"; do
  [ -x "$f" ] || { echo "missing $f: build first" >&2; exit 1; }
done
for tool in Xvfb xcompmgr trayer xdotool; do
  command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done

source "$here/tests/support/xvfb.sh"
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

# The clock runs from a copy in a temporary folder with a temporary home, as a user would
# run an installed copy; nothing of the developer's own data is touched.
mkdir -p "$work/bin" "$work/home"
mkdir -m 700 "$work/run"
cp "$build/zorvel" "$work/bin/"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/home/data" \
  XDG_CONFIG_HOME="$work/home/config" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

start_xvfb 1024x768x24
xcompmgr >/dev/null 2>&1 &
pids+=($!)
trayer --edge bottom --align right --widthtype pixel --width 60 --heighttype pixel \
  --height 24 >/dev/null 2>&1 &
pids+=($!)
sleep 1

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts $2 and prints "pid milliseconds-to-window" once a visible window named $1 is there.
start_timed() {
  local name=$1 program=$2 t0 pid
  t0=$(now_ms)
  "$program" >/dev/null 2>"$work/$(basename "$program").err" &
  pid=$!
  while ! xdotool search --all --onlyvisible --pid "$pid" --name "$name" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$program ended early" >&2; exit 1; }
    [ $(($(now_ms) - t0)) -lt 20000 ] || { echo "$program showed no window" >&2; exit 1; }
    sleep 0.005
  done
  echo "$pid $(($(now_ms) - t0))"
}

# Nanoseconds the process (all its threads) has spent on a CPU.
cpu_ns() {
  local total=0 t
  for t in /proc/"$1"/task/*/schedstat; do
    total=$((total + $(cut -d' ' -f1 "$t" 2>/dev/null || echo 0)))
  done
  echo "$total"
}
rss_kib() { awk '/^VmRSS:/{print $2}' "/proc/$1/status"; }
# "anonymous-KiB file-KiB" of the resident memory.
rss_split() { awk '/^RssAnon:/{a=$2} /^RssFile:/{f=$2} /^RssShmem:/{f+=$2} END{print a, f}' "/proc/$1/status"; }

read -r zpid zfirst < <(start_timed '^Zorvel$' "$work/bin/zorvel")
pids+=("$zpid")
read -r rpid rfirst < <(start_timed '^idle-reference$' "$reference")
pids+=("$rpid")

# Both run side by side from here on, so machine load weighs on both alike.
# Prints "zorvel-rss reference-rss zorvel-cpu-ns reference-cpu-ns zorvel-anon zorvel-file
# reference-anon reference-file".
measure() {
  local zr rr z0 r0 zs rs
  zr=$(rss_kib "$zpid")
  rr=$(rss_kib "$rpid")
  zs=$(rss_split "$zpid")
  rs=$(rss_split "$rpid")
  z0=$(cpu_ns "$zpid")
  r0=$(cpu_ns "$rpid")
  sleep "$seconds"
  echo "$zr $rr $(($(cpu_ns "$zpid") - z0)) $(($(cpu_ns "$rpid") - r0)) $zs $rs"
}

# report TITLE MEMORY-TARGET MEASURED...
report() {
  awk -v title="$1" -v target="$2" -v zf="$zfirst" -v rf="$rfirst" -v zr="$3" -v rr="$4" \
    -v zc="$5" -v rc="$6" -v za="$7" -v zfile="$8" -v ra="$9" -v rfile="${10}" \
    -v s="$seconds" 'BEGIN {
    zcpu = zc / 1e6; rcpu = rc / 1e6
    printf "%s\n%-30s %12s %12s %8s\n", title, "", "zorvel", "reference", "ratio"
    printf "%-30s %12d %12d %8s\n", "first frame (ms)", zf, rf, "-"
    printf "%-30s %12d %12d %8.2f\n", "resident memory (KiB)", zr, rr, zr / rr
    printf "%-30s %12d %12d %8.2f\n", "  of it anonymous (KiB)", za, ra, za / ra
    printf "%-30s %12d %12d %8.2f\n", "  of it file pages (KiB)", zfile, rfile, zfile / rfile
    printf "%-30s %12.1f %12.1f %8s\n", "CPU over " s " s (ms)", zcpu, rcpu, \
           (rcpu > 0 ? sprintf("%.2f", zcpu / rcpu) : "n/a")
    printf "targets: memory ratio <= %s: %s; CPU ratio <= 1.2: %s; first frame <= 300 ms: %s\n\n", \
           target, (zr / rr <= target + 0 ? "met" : "MISSED"), \
           (rcpu > 0 ? (zcpu / rcpu <= 1.2 ? "met" : "MISSED") : "n/a (reference used no measurable CPU)"), \
           (zf <= 300 ? "met" : "MISSED")
  }'
}

sleep 10
read -r -a m < <(measure)
report "main window never opened (memory at 10 s)" 1.3 "${m[@]}"

# A double click on the clock's face opens the main window; Escape closes it again, and the
# window is destroyed.
clockwin=$(xdotool search --all --onlyvisible --pid "$zpid" --name '^Zorvel$' | head -n1)
xdotool mousemove 140 90 click --repeat 2 --delay 80 1
for _ in $(seq 100); do
  mainwin=$(xdotool search --all --onlyvisible --pid "$zpid" --name '^Zorvel$' | grep -v "^$clockwin\$" | head -n1 || true)
  [ -n "$mainwin" ] && break
  sleep 0.05
done
[ -n "${mainwin:-}" ] || { echo "the main window did not open" >&2; exit 1; }
sleep 2
xdotool windowfocus --sync "$mainwin" key Escape
for _ in $(seq 100); do
  xdotool search --all --onlyvisible --pid "$zpid" --name '^Zorvel$' | grep -q "^$mainwin\$" || break
  sleep 0.05
done
sleep 5
read -r -a m < <(measure)
report "after the main window was opened and closed once" 1.6 "${m[@]}"
