#!/usr/bin/env bash
# Runs every test. Window tests use the offscreen platform; whole-program
# tests start their own Xvfb server.
set -euo pipefail
build="${1:-build}"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
