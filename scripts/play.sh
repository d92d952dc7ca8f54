#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it in its play folder beside its pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target velmorak velmorak_pictures
cd build/default/play
exec ./velmorak
