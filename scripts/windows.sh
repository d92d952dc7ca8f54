#!/usr/bin/env bash
# The Windows game, cross-built with mingw-w64: build/windows/play/velmorak.exe beside its two
# pictures, and for players dist/velmorak-<version>-win64.zip and the installer
# dist/velmorak-<version>-win64-setup.exe (Debian's nsis).
#   scripts/windows.sh           build the exe, the zip and the installer
#   scripts/windows.sh --test    also run the unit tests, the end-to-end scenarios and the
#                                installer's install, upgrade and uninstall under Wine
#   scripts/windows.sh --bench   also measure the tick pace under Wine (--quick: a short run)
# freeglut (from Debian's source package) and GoogleTest are built for Windows once and kept in
# build/windows-deps; the build's Wine prefix is build/wine (scripts/wine.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
root="$PWD"

test=false
bench=false
quick=()
for arg in "$@"; do
  case "$arg" in
    --test) test=true ;;
    --bench) bench=true ;;
    --quick) quick=(--quick) ;;
    *)
      echo "usage: scripts/windows.sh [--test] [--bench [--quick]]" >&2
      exit 2
      ;;
  esac
done

scripts/install-deps.sh windows

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
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "$(debian_mirror) bookworm main" >"$apt/sources.list.d/bookworm-src.list"
  # The download lands in the build tree, which apt's sandbox user may not be able to reach.
  local options=(-o "Dir::Etc::SourceParts=$apt/sources.list.d" -o "Dir::Etc::SourceList=/dev/null"
                 -o "Dir::State::Lists=$apt/lists" -o "APT::Sandbox::User=$(id -un)")
  if ! ls "$apt/source"/freeglut_3.4.0*.dsc >/dev/null 2>&1; then
    apt-get "${options[@]}" -qq update
    (cd "$apt/source" && apt-get "${options[@]}" -qq source --download-only freeglut=3.4.0-1)
  fi
  # apt has checked every file against the signed index; dpkg-source can't check the uploader's
  # own signature without debian-keyring and says so, which is expected here.
  local log="$deps/freeglut-source.log"
  rm -rf "$deps/freeglut-src"
  if ! dpkg-source -x "$apt/source"/freeglut_3.4.0*.dsc "$deps/freeglut-src" >"$log" 2>&1; then
    tail -30 "$log" >&2
    echo "freeglut's source did not unpack; see $log" >&2
    exit 1
  fi
  build_cmake_dependency "freeglut for Windows" "$deps/freeglut-src" "$deps/freeglut-build" \
    "$prefix" "$deps/freeglut.log" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_BUILD_DEMOS=OFF \
    -DFREEGLUT_GLES=OFF
}

# GoogleTest from the sources Debian's libgtest-dev ships.
googletest() {
  [ -f "$prefix/lib/libgtest.a" ] && return 0
  build_cmake_dependency "GoogleTest for Windows" /usr/src/googletest "$deps/googletest-build" \
    "$prefix" "$deps/googletest.log" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBUILD_GMOCK=OFF
}

freeglut
googletest

# Wine works in the build's own prefix; its server ends with this script.
trap 'scripts/wine.sh --stop' EXIT
# The build already runs Windows programs (the picture tool, the test lists): Wine first.
scripts/wine.sh --start

cmake --preset windows >/dev/null
cmake --build --preset windows
version=$(velmorak_version)
echo "built: build/windows/play/velmorak.exe, dist/velmorak-$version-win64.zip and" \
  "dist/velmorak-$version-win64-setup.exe" \
  "(exe stripped: $(stat -c %s build/windows/packaging/windows/zip/velmorak.exe) bytes," \
  "installer: $(stat -c %s "dist/velmorak-$version-win64-setup.exe") bytes)"

# The scenarios, the installer's test and the pace are driven from Linux: the native build's
# programs run the Windows ones under Wine.
if $test || $bench; then
  cmake --preset default >/dev/null
fi
if $test; then
  cmake --build --preset default --target velmorak_e2e velmorak_install_tests
  ctest --preset windows
fi
if $bench; then
  cmake --build --preset windows --target tick_pace_scheduled tick_pace_plain
  cmake --build --preset default --target tick_pace_bench
  build/default/bench/pace/tick_pace_bench "${quick[@]}" --wine="$root/scripts/wine.sh" \
    --scheduled=build/windows/bench/pace/tick_pace_scheduled.exe \
    --plain=build/windows/bench/pace/tick_pace_plain.exe --pictures=build/windows/play
fi
echo "scripts/windows.sh $*: ${SECONDS} s"
