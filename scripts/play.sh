#!/usr/bin/env bash
# Installs what playing needs and is missing, builds the game and its pictures (the play preset:
# no tests, no benchmarks) and starts it in its play folder beside them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh play
cmake --preset play >/dev/null
cmake --build --preset play
cd build/play/play
exec ./velmorak
