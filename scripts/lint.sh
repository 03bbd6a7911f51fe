#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over every source file under src/ that the build
# compiles; fails on any finding.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
jobs="${2:-$(nproc)}"
tidy="$(command -v run-clang-tidy || command -v run-clang-tidy-14)"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! "$tidy" -p "$build" -j "$jobs" -quiet "^$here/src/" >"$log" 2>&1; then
    grep -E 'warning:|error:' -A3 "$log" || cat "$log"
    echo "clang-tidy found problems (see above)."
    exit 1
fi
echo "clang-tidy: no findings."
