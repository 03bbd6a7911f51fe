#!/usr/bin/env bash
# Builds everything once more with AddressSanitizer and UndefinedBehaviorSanitizer in its own
# folder (Debug, no benchmarks) and runs the core and window tests there. The whole-program
# tests are left to the normal build: they would mostly measure the sanitizers' slowness.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build-asan}"
jobs="${2:-$(nproc)}"

# Leaks inside Qt's and the system's libraries are listed (with reasons) in lsan.supp; ours
# fail the test. check_initialization_order catches globals used before they are made.
export ASAN_OPTIONS="check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$here/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The sanitized Debug build runs several times slower; the window tests' waits stretch with it.
export ZORVEL_TEST_TIME_SCALE=4

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
    -DZORVEL_BUILD_BENCH=OFF -DZORVEL_SANITIZE=ON -DZORVEL_WERROR="${ZORVEL_WERROR:-ON}" >/dev/null
cmake --build "$build" -j "$jobs"

export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "$jobs" --timeout 900 -E '^it\.|^browser_tests$'
# The browser tests too, with one check turned off for them alone: Chromium inside Qt WebEngine
# frees with a delete that does not match its new (new_delete_type_mismatch, in
# libQt6WebEngineCore's own code), which no change of ours can mend. Every other check holds.
# They draw without Qt's GL integration (the pages draw in software anyway): the Mesa libraries
# it loads are unloaded before the leak check, and their own leaks could then not be named.
ASAN_OPTIONS="$ASAN_OPTIONS:new_delete_type_mismatch=0" QT_XCB_GL_INTEGRATION=none \
    ctest --output-on-failure --timeout 900 -R '^browser_tests$'
