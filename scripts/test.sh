#!/usr/bin/env bash
# Builds and runs every test: unit and end-to-end tests, the web page in headless Chromium, the
# same tests again under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer, and a
# short run of each fuzz target. Installs the Debian packages it needs when they are missing (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages --npm cmake g++ make libgtest-dev libbenchmark-dev freeglut3-dev libgl-dev libgl1-mesa-dri \
    libpng-dev xvfb xauth xdotool x11-apps python3 clang libclang-rt-dev \
    emscripten chromium chromium-driver python3-selenium npm

jobs=$(nproc)

echo "== build (the web page first: its test runs with the others) and unit/end-to-end tests"
./scripts/web.sh --build-only
echo "Building the program, the renderer, the tests and the benchmarks in build/test"
cmake -S . -B build/test -DCLIPDRAW_BENCH=ON -DCLIPDRAW_WEB_SITE="$PWD/build/web/site" >/dev/null
cmake --build build/test -j"$jobs"
echo "Running the tests; the browser tests (web_page_*) take up to a minute each"
ctest --test-dir build/test --output-on-failure --no-tests=error -j"$jobs"
echo "   the page in Chromium, $(cat build/test/tests/web/timing.txt)"

echo "== unit and end-to-end tests under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
started=$SECONDS
# g++ leaves float-cast-overflow out of -fsanitize=undefined; float-divide-by-zero stays out, as
# the renderer divides by zero by design. _GLIBCXX_ASSERTIONS bounds-checks the standard
# containers, whose slack ASan cannot see.
sanitizers="-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all"
sanitizers+=" -fno-omit-frame-pointer -O1 -D_GLIBCXX_ASSERTIONS"
echo "Building the same under the sanitizers in build/sanitize"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DCLIPDRAW_LTO=OFF -DCMAKE_CXX_FLAGS="$sanitizers" >/dev/null
cmake --build build/sanitize -j"$jobs"
# Reports go to files, so that those of the program that the end-to-end tests start are seen too.
reports=build/sanitize/reports
rm -rf "$reports" && mkdir -p "$reports"
status=0
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:log_path=$PWD/$reports/asan" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$PWD/$reports/ubsan" \
LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0" \
    ctest --test-dir build/sanitize --output-on-failure --no-tests=error -j"$jobs" || status=$?
if compgen -G "$reports/*" >/dev/null; then
    cat "$reports"/*
    echo "Sanitizer reports above (kept in $reports)." >&2
    status=1
fi
((status == 0)) || exit "$status"
echo "   sanitizer stage: $((SECONDS - started)) s"

echo "== fuzz targets, 30 s each (ctest names each one as it starts)"
started=$SECONDS
echo "Building the fuzz targets with clang in build/fuzz"
cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCLIPDRAW_APP=OFF -DCLIPDRAW_TESTS=OFF -DCLIPDRAW_RENDER=OFF \
    -DCLIPDRAW_FUZZ=ON -DCLIPDRAW_FUZZ_SECONDS=30 >/dev/null
cmake --build build/fuzz -j"$jobs"
# One target at a time: each is a test of the fuzz/ directory of the build.
ctest --test-dir build/fuzz/fuzz --output-on-failure --no-tests=error
awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 }
     /^stat::number_of_executed_units:/ { printf "   %s: %s executions\n", name, $2 }' \
    build/fuzz/fuzz/Testing/Temporary/LastTest.log
echo "   fuzz stage: $((SECONDS - started)) s"
