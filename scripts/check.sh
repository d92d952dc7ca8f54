#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the default build, then the
# whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, then a bounded run of
# each fuzzer, then the Windows build (its unit tests and scenarios under Wine), then the
# browser build's page in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh all
# Warnings are errors in every build below, the other scripts' included: the top-level
# CMakeLists.txt takes this from the environment.
export VELMORAK_WERROR=ON

cmake --preset default
cmake --build --preset default
ctest --preset default

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

# A short run of every fuzzer; scripts/fuzz.sh with a longer time is the long run.
scripts/fuzz.sh 40

# The Windows exe and zip, cross-built; the same unit tests and scenarios run under Wine.
scripts/windows.sh --test

# The page, built with emscripten and played in headless Chromium.
scripts/web.sh --test
