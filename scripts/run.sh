#!/usr/bin/env bash
# Builds clipdraw and starts it on the example files: examples/ is its working directory, where
# it reads config.txt and clippoly.txt. Installs the Debian packages it needs when they are
# missing (as root). The build goes to build/run, or to $CLIPDRAW_BUILD_DIR when that is set.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages cmake g++ make freeglut3-dev libgl-dev

build=$(realpath -m "${CLIPDRAW_BUILD_DIR:-build/run}")
cmake -S . -B "$build" -DCLIPDRAW_TESTS=OFF -DCLIPDRAW_RENDER=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target clipdraw >/dev/null

no_display() {
    echo "clipdraw needs an X display to open its window, and $1." >&2
    echo "Run it on a desktop session, or inside a virtual X server:" >&2
    echo "    apt-get install xvfb xauth   # as root, once" >&2
    echo "    xvfb-run -a ./scripts/run.sh" >&2
    echo "To see what it draws there, ./scripts/screenshot.sh saves the window as a PNG." >&2
    exit 1
}

if [[ -z ${DISPLAY:-} ]]; then
    no_display "DISPLAY is not set"
fi

cd examples
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
status=0
# Its error output goes to the terminal and to a file, through a pipe that is read to its end.
{ "$build/src/app/clipdraw" "$@" 2>&1 1>&3 3>&- | tee "$errors" >&2; } 3>&1 || status=$?
if grep -q "failed to open display" "$errors"; then
    no_display "the display \"$DISPLAY\" cannot be opened"
fi
exit "$status"
