#!/usr/bin/env bash
# The Windows game, cross-built with mingw-w64: build/windows/play/velmorak.exe beside its two
# pictures, and dist/velmorak-<version>-win64.zip for players.
#   scripts/windows.sh           build the exe and the zip
#   scripts/windows.sh --test    also run the unit tests and the end-to-end scenarios under Wine
#   scripts/windows.sh --bench   also measure the tick pace under Wine
# freeglut (from Debian's source package) and GoogleTest are built for Windows once and kept in
# build/windows-deps; the build's Wine prefix is build/wine (scripts/wine.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

test=false
bench=false
for arg in "$@"; do
  case "$arg" in
    --test) test=true ;;
    --bench) bench=true ;;
    *)
      echo "usage: scripts/windows.sh [--test] [--bench]" >&2
      exit 2
      ;;
  esac
done

scripts/install-deps.sh

deps="$root/build/windows-deps"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
prefix="$deps/prefix"
mkdir -p "$deps"

# freeglut 3.4.0 from bookworm's source package, through apt with a sources list and package lists
# of our own: the system's apt configuration and lists stay as they are, and apt still checks the
# signed hashes.
freeglut() {
  [ -f "$prefix/lib/libfreeglut_static.a" ] && return 0
  local apt="$deps/apt"
  mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/source"
  echo "deb-src http://deb.debian.org/debian bookworm main" >"$apt/sources.list.d/bookworm-src.list"
  local options=(-o "Dir::Etc::SourceParts=$apt/sources.list.d" -o "Dir::Etc::SourceList=/dev/null"
                 -o "Dir::State::Lists=$apt/lists")
  if ! ls "$apt/source"/freeglut_3.4.0*.dsc >/dev/null 2>&1; then
    apt-get "${options[@]}" -qq update
    (cd "$apt/source" && apt-get "${options[@]}" -qq source --download-only freeglut=3.4.0-1)
  fi
  rm -rf "$deps/freeglut-src" "$deps/freeglut-build"
  dpkg-source -x "$apt/source"/freeglut_3.4.0*.dsc "$deps/freeglut-src" >/dev/null
  cmake -S "$deps/freeglut-src" -B "$deps/freeglut-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DFREEGLUT_BUILD_SHARED_LIBS=OFF \
    -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF >/dev/null
  cmake --build "$deps/freeglut-build" -j2 >/dev/null
  cmake --install "$deps/freeglut-build" >/dev/null
}

# GoogleTest from the sources Debian's libgtest-dev ships.
googletest() {
  [ -f "$prefix/lib/libgtest.a" ] && return 0
  rm -rf "$deps/googletest-build"
  cmake -S /usr/src/googletest -B "$deps/googletest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF \
    -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$deps/googletest-build" -j2 >/dev/null
  cmake --install "$deps/googletest-build" >/dev/null
}

freeglut
googletest

# Wine works in the build's own prefix; its server ends with this script.
trap 'scripts/wine.sh --stop' EXIT
# The build already runs Windows programs (the picture tool, the test lists): Wine first.
scripts/wine.sh --start

cmake --preset windows >/dev/null
cmake --build --preset windows
echo "built: build/windows/play/velmorak.exe ($(stat -c %s build/windows/play/velmorak.exe) bytes)," \
  "dist/velmorak-$(sed -n 's/^set(VELMORAK_VERSION "\(.*\)")$/\1/p' CMakeLists.txt)-win64.zip"

if $test; then
  # The scenarios are driven from Linux: the native build's driver plays the exe under Wine.
  cmake --preset default >/dev/null
  cmake --build --preset default --target velmorak_e2e
  ctest --preset windows
fi
