#!/usr/bin/env bash
# Builds the game as a web page into build/web (index.html, page.js, velmorak.js, velmorak.wasm
# and the two pictures), with Debian's emscripten.
#   scripts/web.sh            build only
#   scripts/web.sh --serve    build, then serve build/web on 127.0.0.1 (port 8080, or the next
#                             argument) and print the address to open
#   scripts/web.sh --test     build, then run the page's tests in every engine: Chromium,
#                             Firefox and WebKit (ctest -L web)
#   scripts/web.sh --test --engine NAME   the same in one engine (ctest -L web-NAME)
#   scripts/web.sh --bench [--engine NAME]   build the page and its floor (a bare GLUT page),
#                             then measure downloads, first frame and tick pace in each engine
#   scripts/web.sh --screenshot FILE [--phone]   build, then save a picture of the page with a
#                             game on it, on a desktop or on a phone
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
# emcc looks for Debian's acorn; a node from elsewhere doesn't search Debian's module folder.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

cmake --preset web >/dev/null
cmake --build --preset web

case "${1:-}" in
  "") ;;
  --serve)
    port="${2:-8080}"
    echo "Velmorak Revir is at http://127.0.0.1:${port}/ (Ctrl+C stops the server)"
    exec python3 -m http.server --bind 127.0.0.1 --directory build/web "$port"
    ;;
  --test)
    case "${2:-}" in
      "") exec ctest --preset web ;;
      --engine) exec ctest --preset web -L "^web-${3:?which engine: chromium, firefox, webkit}\$" ;;
      *) echo "usage: $0 --test [--engine NAME]" >&2; exit 2 ;;
    esac
    ;;
  --bench)
    cmake --build --preset web --target velmorak_floor_page
    engine=()
    if [ "${2:-}" = --engine ]; then engine=("--engine=${3:?--engine needs a name}"); fi
    exec node bench/web/page_bench.mjs build/web build/web-cmake/bench/web/page "${engine[@]}"
    ;;
  --screenshot)
    exec node tests/web/screenshot.mjs build/web "${2:?where to save the picture}" ${3:+"$3"}
    ;;
  *)
    echo "usage: $0 [--serve [PORT] | --test [--engine NAME] | --bench [--engine NAME] |" \
         "--screenshot FILE [--phone]]" >&2
    exit 2
    ;;
esac
