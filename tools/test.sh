#!/bin/sh
# Builds every test (AddressSanitizer + UndefinedBehaviorSanitizer; the
# device library also under ThreadSanitizer) and runs them all with CTest.
set -e
cd "$(dirname "$0")/.."
sh tools/scripts/deps.sh cmake ninja-build g++ qtbase5-dev fonts-noto-cjk xvfb xauth xdotool imagemagick
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIZADI_TSAN=ON -DDIZADI_LIBRARY_ONLY=ON >/dev/null
cmake --build build-tsan
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDIZADI_SANITIZE=ON \
      -DDIZADI_TSAN_BUILD_DIR="$PWD/build-tsan" >/dev/null
cmake --build build-test
cd build-test
exec ctest --output-on-failure -j"$jobs"
