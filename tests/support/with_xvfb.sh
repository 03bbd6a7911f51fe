# Runs a test program on a private X server, for windows that the offscreen platform cannot
# show (web pages). Usage: bash with_xvfb.sh PROGRAM [ARGS...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
start_xvfb 1280x1024x24
trap stop_xvfb EXIT
export QT_QPA_PLATFORM=xcb
# Software drawing only: CI machines have no GPU.
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
export QT_QUICK_BACKEND=software
export LIBGL_ALWAYS_SOFTWARE=1
if [ "$(id -u)" = 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
"$@"
