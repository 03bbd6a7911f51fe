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
# The compiler's own warnings are the build's business (the build turns them into errors, and
# clang reads some of them more broadly than gcc); here only the checks of .clang-tidy count.
if ! "$tidy" -p "$build" -j "$jobs" -quiet -extra-arg=-Wno-error "^$here/src/" >"$log" 2>&1; then
    # Without the colours and the per-file command and count lines.
    sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -vE '^clang-tidy(-[0-9]+)? |^[0-9]+ warnings? (and [0-9]+ errors? )?generated'
    echo "clang-tidy found problems (see above)."
    exit 1
fi
echo "clang-tidy: no findings."
