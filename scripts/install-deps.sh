#!/usr/bin/env bash
# Installs every Debian package the game, its tools and its tests need; the one list of them.
# Does nothing when all are present. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  freeglut3-dev libgl-dev libglu1-mesa-dev libx11-dev libxtst-dev libxext-dev
  libgl1-mesa-dri mesa-utils xvfb xauth x11-utils xdotool
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  clang libclang-rt-14-dev llvm valgrind util-linux
  libstb-dev desktop-file-utils man-db groff-base
  g++-mingw-w64-x86-64-posix wine wine64 dpkg-dev appstream lintian file debootstrap
  zlib1g-dev xfonts-75dpi emscripten nodejs chromium python3 nsis liblnk-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

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
