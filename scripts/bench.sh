#!/usr/bin/env bash
# Builds and runs the benchmarks: the software frame against the store floor, the grid scenes,
# the fill rate and resident memory (Google Benchmark), then clipdraw's frame side by side with
# OpenGL drawing the same scenes (under its own Xvfb when there is no display). Prints one
# Markdown table; Google Benchmark's own report goes to build/bench/frame_bench.log. Extra
# arguments go to the Google Benchmark binary, e.g. --benchmark_min_time=0.1 for a quick run.
# CLIPDRAW_BENCH_BUILD names another build directory, CLIPDRAW_BENCH_CMAKE_ARGS adds options to
# its configuration (e.g. -DCMAKE_INTERPROCEDURAL_OPTIMIZATION=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages cmake g++ make libbenchmark-dev freeglut3-dev libgl-dev xvfb xauth

build=${CLIPDRAW_BENCH_BUILD:-build/bench}
# shellcheck disable=SC2086 # the extra options are meant to split into words
build_targets "$build" "clipdraw_frame_bench clipdraw_gl_compare" -DCLIPDRAW_BENCH=ON -DCLIPDRAW_APP=OFF \
    -DCLIPDRAW_RENDER=OFF ${CLIPDRAW_BENCH_CMAKE_ARGS:-}

echo "Running the software frame benchmarks (a few minutes)..." >&2
"$build/bench/clipdraw_frame_bench" "$@" >"$build/frame_bench.txt" 2>"$build/frame_bench.log"
echo "Running the comparison with OpenGL..." >&2
# A virtual display of its own where there is none, large enough for the 1920 x 1080 window.
display=()
if [[ -z ${DISPLAY:-} ]]; then
    display=(xvfb-run -a -s "-screen 0 2048x1280x24 -nolisten tcp")
fi
"${display[@]}" "$build/bench/clipdraw_gl_compare" >"$build/gl_compare.txt" 2>"$build/gl_compare.log" ||
    echo "warning: the OpenGL comparison reported a problem, see $build/gl_compare.log" >&2

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
renderer=$(grep -m1 '^# GL renderer:' "$build/gl_compare.txt" | cut -d: -f2- | sed 's/^ *//')
echo "Machine: $(nproc) cores, $cpu; OpenGL: ${renderer:-unknown}"
echo
# One header, then the rows of both binaries.
grep -m2 '^|' "$build/frame_bench.txt"
for file in "$build/frame_bench.txt" "$build/gl_compare.txt"; do
    grep '^|' "$file" | tail -n +3
done
echo
grep -h '^# ' "$build/frame_bench.txt" | grep -v 'GL renderer' | sed 's/^# //' || true
sed -n 's/^grid .*agree.*/Pictures: &/p' "$build/gl_compare.log"
