#!/usr/bin/env bash
# Builds the web page (the core in WebAssembly, with Emscripten) into build/web/site and serves
# that folder on this machine: ./scripts/web.sh [port] (default 8000). With --build-only it only
# builds. Installs the Debian packages it needs when they are missing (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages cmake make emscripten python3

# Debian's emcc runs its optimiser under Node.js, which finds Debian's modules only through
# NODE_PATH when it is not Debian's own Node.js.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
echo "Building the page (the core in WebAssembly) in build/web"
# emcmake announces the command it runs as "configure: cmake ...", which reads like a failure.
emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release 2> >(grep -v '^configure: ' >&2) >/dev/null
cmake --build build/web -j"$(nproc)"
site=$PWD/build/web/site
if [[ ${1:-} == --build-only ]]; then
    exit 0
fi

port=${1:-8000}
echo "clipdraw's page: http://127.0.0.1:$port/ (Ctrl-C stops the server)"
echo "The folder $site is the whole site: any static web server can host it."
exec python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port"
