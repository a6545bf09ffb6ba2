#!/bin/sh
# Builds every test (AddressSanitizer + UndefinedBehaviorSanitizer; the
# device library also under ThreadSanitizer; the fuzz targets with clang and
# libFuzzer) and runs them all with CTest.
set -e
cd "$(dirname "$0")/.."
sh tools/scripts/deps.sh cmake ninja-build g++ clang libclang-rt-14-dev qtbase5-dev fonts-noto-cjk xvfb xauth xdotool imagemagick desktop-file-utils
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDIZADI_TSAN=ON -DDIZADI_LIBRARY_ONLY=ON >/dev/null
cmake --build build-tsan
cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g" \
      -DDIZADI_FUZZ=ON -DDIZADI_TESTS=OFF >/dev/null
cmake --build build-fuzz --target fuzzers
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDIZADI_SANITIZE=ON \
      -DDIZADI_TSAN_BUILD_DIR="$PWD/build-tsan" -DDIZADI_FUZZ_BUILD_DIR="$PWD/build-fuzz" >/dev/null
cmake --build build-test
cd build-test
exec ctest --output-on-failure -j"$jobs"
