#!/usr/bin/env bash
# Builds the Debian package (zorvel_<version>_<arch>.deb) in its own build folder: the prefix
# /usr, Debian's compiler and hardening flags, no tests or benchmarks.
#   scripts/package.sh [build folder, default build-deb] [parallel jobs]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-build-deb}"
jobs="${2:-$(nproc)}"

export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
cppflags="$(dpkg-buildflags --get CPPFLAGS)"
cflags="$(dpkg-buildflags --get CFLAGS) $cppflags"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $cppflags"
ldflags="$(dpkg-buildflags --get LDFLAGS)"

cmake -S "$here" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF -DZORVEL_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" \
  -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$out" -j "$jobs"
rm -f "$out"/zorvel_*.deb
(cd "$out" && cpack -G DEB >/dev/null)
ls "$out"/zorvel_*.deb
