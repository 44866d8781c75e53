#!/usr/bin/env bash
# Builds and runs every test: unit and end-to-end tests, the unit tests again under
# AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer, and a short run of each fuzz
# target. Installs the Debian packages it needs when they are missing (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages cmake g++ make libgtest-dev libbenchmark-dev freeglut3-dev libgl-dev \
    xvfb xauth xdotool x11-apps clang libclang-rt-dev libboost-dev

jobs=$(nproc)

echo "== build and unit/end-to-end tests"
cmake -S . -B build/test -DCLIPDRAW_BENCH=ON >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test --output-on-failure -j"$jobs"

if [[ -f fuzz/CMakeLists.txt ]]; then
    echo "== unit tests under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
    cmake -S . -B build/sanitize -DCLIPDRAW_APP=OFF \
        -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
        >/dev/null
    cmake --build build/sanitize -j"$jobs"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build/sanitize --output-on-failure -j"$jobs"

    echo "== fuzz targets, a short fixed budget each"
    cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCLIPDRAW_APP=OFF -DCLIPDRAW_TESTS=OFF \
        -DCLIPDRAW_FUZZ=ON >/dev/null
    cmake --build build/fuzz -j"$jobs"
    ctest --test-dir build/fuzz --output-on-failure
fi
