#!/usr/bin/env bash
# Builds clipdraw-render and runs it in the current folder with the arguments given (see --help):
# the frame that clipdraw shows for a scene file, written as a PNG image, with no display needed.
# Installs the Debian packages it needs when they are missing (as root). The build goes to
# build/render, or to $CLIPDRAW_BUILD_DIR when that is set.
set -euo pipefail
here=$PWD
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages cmake g++ make libpng-dev

build=$(realpath -m "${CLIPDRAW_BUILD_DIR:-build/render}")
build_targets "$build" clipdraw-render -DCLIPDRAW_APP=OFF
cd "$here"
exec "$build/src/headless/clipdraw-render" "$@"
