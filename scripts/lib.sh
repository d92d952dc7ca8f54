# shellcheck shell=bash
# Functions the scripts share; sourced, never run:  . "$(dirname "$0")/lib.sh"
# Each takes what it needs as arguments or from the project's files and changes no directory.

velmorak_lib_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The game's version, from the top-level CMakeLists.txt, where everything that names one takes it.
velmorak_version() {
  local version
  version=$(sed -n 's/^set(VELMORAK_VERSION "\([^"]*\)")$/\1/p' "$velmorak_lib_root/CMakeLists.txt")
  if [ -z "$version" ]; then
    echo "no VELMORAK_VERSION in $velmorak_lib_root/CMakeLists.txt" >&2
    return 1
  fi
  echo "$version"
}

# The Debian mirror this system already uses for bookworm, as apt itself reads its sources (one-line
# or deb822), without needing its package lists; Debian's own when none is configured.
debian_mirror() {
  local mirror
  mirror=$(apt-get indextargets --no-release-info --format '$(REPO_URI) $(RELEASE)' \
    'Created-By: Packages' 2>/dev/null | awk '$2 == "bookworm" { print $1; exit }')
  echo "${mirror:-http://deb.debian.org/debian/}"
}

# Configures, builds and installs one CMake project into a prefix, quietly; on failure shows the
# end of its log and stops the script.
#   build_cmake_dependency NAME SOURCE BUILD PREFIX LOG [CMAKE ARGUMENTS...]
build_cmake_dependency() {
  local name=$1 source=$2 build=$3 prefix=$4 log=$5
  shift 5
  rm -rf "$build"
  echo "building $name (log: $log)"
  if ! { cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_INSTALL_PREFIX="$prefix" "$@" &&
         cmake --build "$build" -j2 &&
         cmake --install "$build"; } >"$log" 2>&1; then
    tail -30 "$log" >&2
    echo "$name did not build; see $log" >&2
    exit 1
  fi
}
