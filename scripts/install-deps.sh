#!/usr/bin/env bash
# The one list of the Debian packages the game, its tools and its tests need, grouped by purpose,
# and what installs them. Does nothing when all are present. Runs apt-get as root, or through sudo.
# The web group also brings the node packages of package-lock.json into node_modules (npm ci).
#   scripts/install-deps.sh GROUP...   those groups, with the groups they build on
#   scripts/install-deps.sh [all]      every group
# The groups, and the scripts that ask for them:
#   play     the desktop game, built and played (play.sh)
#   test     the tests, the sanitizers, the fuzzers and the benchmarks (check.sh, fuzz.sh, bench.sh)
#   windows  the Windows exe, and its tests under Wine (windows.sh)
#   web      the page, and its tests in Chromium, Firefox and WebKit (web.sh)
#   release  the Debian package and the source tarball, and their checks (release.sh,
#            release-check.sh)
# What two purposes share is a small group of its own that both build on:
#   font     the texture font's tool and the X11 fonts it reads: the page draws its text with
#            them; the desktop's tests compare that text with GLUT's
#   display  a private X server: the tests', and the release check's on a new root
#   debian   Debian's package tools: windows.sh unpacks freeglut's source with them, release.sh
#            builds the package
set -euo pipefail

declare -A packages builds_on
packages[play]="g++ make cmake freeglut3-dev libgl-dev libglu1-mesa-dev libx11-dev libgl1-mesa-dri"
builds_on[play]=""
packages[font]="zlib1g-dev xfonts-75dpi"
builds_on[font]=""
packages[display]="xvfb"
builds_on[display]=""
packages[debian]="dpkg-dev"
builds_on[debian]=""
packages[test]="pkg-config libxtst-dev libxext-dev mesa-utils xauth x11-utils xdotool
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev libstb-dev
  clang libclang-rt-14-dev llvm valgrind util-linux
  desktop-file-utils man-db groff-base appstream"
builds_on[test]="play font display"
packages[windows]="g++-mingw-w64-x86-64-posix wine wine64 nsis liblnk-utils"
builds_on[windows]="test debian"
packages[web]="emscripten nodejs chromium firefox-esr webkit2gtk-driver python3 librsvg2-bin"
builds_on[web]="play font display"
packages[release]="lintian file debootstrap git"
builds_on[release]="play debian"
all_groups=(play font display debian test windows web release)

usage() {
  echo "usage: scripts/install-deps.sh [all | GROUP...]   groups: ${all_groups[*]}" >&2
  exit 2
}

declare -A wanted
want() {
  [ -n "${packages[$1]+set}" ] || usage
  [ -n "${wanted[$1]+set}" ] && return 0
  wanted[$1]=1
  local group
  for group in ${builds_on[$1]}; do
    want "$group"
  done
}
if [ $# -eq 0 ] || [ "$*" = all ]; then
  set -- "${all_groups[@]}"
fi
for group in "$@"; do
  want "$group"
done

missing=()
for group in "${all_groups[@]}"; do
  [ -n "${wanted[$group]+set}" ] || continue
  for p in ${packages[$group]}; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' ||
      missing+=("$p")
  done
done
# Debian packages npm on its own; NodeSource's nodejs carries its own npm and conflicts with it.
if [ -n "${wanted[web]+set}" ] && ! command -v npm >/dev/null; then
  missing+=(npm)
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then
    sudo=()
  elif command -v sudo >/dev/null; then
    sudo=(sudo)
  else
    echo "these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The page's tests drive the browsers with the node packages pinned in package-lock.json. npm ci
# starts node_modules afresh, so it runs only when the lock has changed since it last did; the
# browsers are Debian's, never downloaded.
if [ -n "${wanted[web]+set}" ]; then
  root="$(cd "$(dirname "$0")/.." && pwd)"
  stamp="$root/node_modules/.installed-lock"
  if [ -f "$root/package-lock.json" ] && ! cmp -s "$root/package-lock.json" "$stamp"; then
    echo "installing the page's test packages (npm ci)"
    (cd "$root" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error \
       </dev/null)
    cp "$root/package-lock.json" "$stamp"
  fi
fi
