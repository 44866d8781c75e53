#!/usr/bin/env bash
# Builds clipdraw and starts it on the example files: examples/ is its working directory, where
# it reads config.txt and clippoly.txt. Installs the Debian packages it needs when they are
# missing (as root). The build goes to build/run, or to $CLIPDRAW_BUILD_DIR when that is set.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

no_display() {
    echo "clipdraw needs an X display to open its window, and $1." >&2
    echo "Run it on a desktop session, or inside a virtual X server:" >&2
    local missing
    missing=$(missing_packages xvfb xauth | tr '\n' ' ')
    if [[ -n $missing ]]; then
        echo "    apt-get update && apt-get install --no-install-recommends ${missing% }   # as root, once" >&2
    fi
    echo "    xvfb-run -a ./scripts/run.sh" >&2
    echo "To see what it draws without a display, ./scripts/screenshot.sh saves the window with a few" >&2
    echo "shapes as a PNG, and ./scripts/render.sh draws a scene file into one." >&2
    exit 1
}

# Whether an X server listens where DISPLAY points (":N", "unix:N" or "host:N", with an optional
# ".screen"), found out before anything is installed or built.
display_listens() {
    local host=${DISPLAY%%:*} number=${DISPLAY#*:}
    number=${number%%.*}
    [[ $number =~ ^[0-9]+$ ]] || return 1
    if [[ -z $host || $host == unix ]]; then
        [[ -S /tmp/.X11-unix/X$number ]]
    else
        (exec 3<>"/dev/tcp/$host/$((6000 + number))") 2>/dev/null
    fi
}

if ! $packages_dry_run; then
    if [[ -z ${DISPLAY:-} ]]; then
        no_display "DISPLAY is not set"
    fi
    if ! display_listens; then
        no_display "no X server answers at the display \"$DISPLAY\""
    fi
fi
ensure_packages cmake g++ make freeglut3-dev libgl-dev

build=$(realpath -m "${CLIPDRAW_BUILD_DIR:-build/run}")
build_targets "$build" clipdraw -DCLIPDRAW_RENDER=OFF

cd examples
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
status=0
# Its error output goes to the terminal and to a file, through a pipe that is read to its end.
# The server may still refuse the window (another user's display, say): that is told the same way.
{ "$build/src/app/clipdraw" "$@" 2>&1 1>&3 3>&- | tee "$errors" >&2; } 3>&1 || status=$?
if grep -q "failed to open display" "$errors"; then
    no_display "the display \"$DISPLAY\" cannot be opened"
fi
exit "$status"
