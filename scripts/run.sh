#!/usr/bin/env bash
# Starts the built program; without a graphical display it runs under xvfb-run.
set -euo pipefail
build="${1:-build}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No graphical display found: starting Zorvel under xvfb-run."
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$build/zorvel"
fi
exec "$build/zorvel"
