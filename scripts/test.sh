#!/bin/bash
# Builds everything and runs every test: the host build (setup over the
# simulated Windows, tools, tests), the same tests under ASan/UBSan, the
# Windows build with its tests under 32-bit Wine, and a short fuzz smoke.
# Needs root on a fresh machine (installs packages with apt-get).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS=${JOBS:-$(nproc)}
step() { echo; echo "=== $* ($(date +%T))"; }

step "dependencies"
bash .ci/install-deps.sh

step "host build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j"$JOBS"

step "host tests"
ctest --test-dir build --output-on-failure -j"$JOBS"

if [ "${QR5_SKIP_SANITIZE:-0}" != 1 ]; then
  step "sanitizer build (ASan + UBSan) and tests"
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQR5_SANITIZE=ON >/dev/null
  ninja -C build-asan -j"$JOBS"
  ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j"$JOBS"
fi

if [ "${QR5_SKIP_WINDOWS:-0}" != 1 ]; then
  step "Windows build (shipped exe, win32 thread model)"
  cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DQR5_TESTS=ON -DQR5_MINGW_THREADS=win32 -DQR5_HOST_PACK="$ROOT/build/bin/qr5pack" >/dev/null
  ninja -C build-win -j"$JOBS"
  step "Windows tests under Wine"
  cmake -S . -B build-wintest -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Debug -DQR5_MINGW_THREADS=posix -DQR5_HOST_PACK="$ROOT/build/bin/qr5pack" >/dev/null
  ninja -C build-wintest -j"$JOBS"
  ctest --test-dir build-win --output-on-failure
  status=0
  ctest --test-dir build-wintest --output-on-failure || status=$?
  # The runner keeps a wineserver up between tests; stop it so nothing outlives the run.
  for prefix in build-win/wine/prefix build-wintest/wine/prefix; do
    [ -d "$prefix" ] && WINEPREFIX="$ROOT/$prefix" wineserver -k 2>/dev/null || true
  done
  [ "$status" = 0 ]
fi

if [ "${QR5_SKIP_FUZZ:-0}" != 1 ] && [ -f fuzz/CMakeLists.txt ]; then
  step "fuzz smoke"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQR5_FUZZ=ON -DQR5_TESTS=OFF >/dev/null
  ninja -C build-fuzz -j"$JOBS"
  ctest --test-dir build-fuzz --output-on-failure -L fuzz
fi
step "all tests passed"
