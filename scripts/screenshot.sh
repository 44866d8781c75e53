#!/usr/bin/env bash
# Makes the README's screenshot: starts clipdraw on the example files under a private Xvfb,
# clicks a few shapes that cross the clip polygon, commits them and saves the window as a PNG
# (docs/screenshot.png, or the path given). Installs the Debian packages it needs when they are
# missing (as root). The build goes to build/run, or to $CLIPDRAW_BUILD_DIR when that is set.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages cmake g++ make freeglut3-dev libgl-dev xvfb xauth xdotool x11-apps imagemagick

out=$(realpath -m "${1:-docs/screenshot.png}")
build=$(realpath -m "${CLIPDRAW_BUILD_DIR:-build/run}")
build_targets "$build" clipdraw -DCLIPDRAW_RENDER=OFF

pids=()
stop_all() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap stop_all EXIT

# Waits up to five seconds for a command to succeed.
poll() {
    local tries
    for ((tries = 0; tries < 100; ++tries)); do
        if "$@"; then
            return 0
        fi
        sleep 0.05
    done
    return 1
}

lock_holder() { tr -d ' \n' 2>/dev/null <"/tmp/.X$1-lock"; }
server_ready() { [[ $(lock_holder "$1") == "$2" && -S /tmp/.X11-unix/X$1 ]] || ! kill -0 "$2" 2>/dev/null; }

# A private X server on the first display from 90 to 99 that no other server holds.
display=
for n in $(seq 90 99); do
    holder=$(lock_holder "$n" || true)
    if [[ -n $holder ]] && kill -0 "$holder" 2>/dev/null; then
        continue
    fi
    Xvfb ":$n" -screen 0 1024x768x24 -noreset -nolisten tcp 2>/dev/null &
    xvfb=$!
    pids+=("$xvfb")
    poll server_ready "$n" "$xvfb" || true
    if kill -0 "$xvfb" 2>/dev/null && [[ $(lock_holder "$n") == "$xvfb" ]]; then
        display=":$n"
        break
    fi
done
if [[ -z $display ]]; then
    echo "No Xvfb could be started on the displays :90 to :99." >&2
    exit 1
fi
export DISPLAY=$display
unset XAUTHORITY

(cd examples && exec "$build/src/app/clipdraw" >/dev/null) &
pids=("$!" "${pids[@]}")
window=$(timeout 10 xdotool search --sync --name '^Oskel, Trevik' | head -n 1)
# There is no window manager to place the window: put it at the screen's corner, whole.
xdotool windowmove "$window" 0 0
xdotool windowfocus --sync "$window"
eval "$(xdotool getwindowgeometry --shell "$window")"

corner_colour() { xwd -silent -id "$window" | convert xwd:- -format '%[hex:u.p{0,0}]' info:; }
frame_shown() { [[ $(corner_colour) == FFFFFF ]]; }
frame_hash() { xwd -silent -id "$window" | md5sum; }
# A click before the first frame would be ignored.
poll frame_shown

# Clicks the vertex at view position (x, y): (0, 0) is the window's centre and its shorter side
# spans -1 to 1. Each vertex takes the palette colour of its key.
vertex() {
    local key=$1 x=$2 y=$3 column row
    read -r column row < <(awk -v x="$x" -v y="$y" -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN {
        s = ((w < h ? w : h) - 1) / 2
        printf "%d %d\n", (w - 1) / 2 + x * s + 0.5, (h - 1) / 2 - y * s + 0.5 }')
    xdotool key "$key" mousemove --window "$window" "$column" "$row" click 1
}

# Three shapes, each anticlockwise and crossing the hexagon of examples/clippoly.txt.
vertex 1 0.1 0.1
vertex 4 1.0 0.3
vertex 3 0.4 1.0
xdotool key space
vertex 2 -1.0 -0.3
vertex 6 -0.3 -0.2
vertex 5 -0.2 0.5
vertex 9 -0.9 0.6
xdotool key space
vertex 7 -0.2 -0.75
vertex 9 0.55 -0.25
vertex 4 0.05 0.05
before=$(frame_hash)
xdotool key space 3

redrawn() { [[ $(frame_hash) != "$before" ]]; }
steady() {
    local now
    now=$(frame_hash)
    [[ $now == "${last:-}" ]] || {
        last=$now
        false
    }
}
poll redrawn
poll steady
mkdir -p "$(dirname "$out")"
xwd -silent -id "$window" | convert xwd:- "png:$out"
echo "Saved $out (${WIDTH} x ${HEIGHT})"
