#!/usr/bin/env bash
# Makes every release artefact in dist/ from the committed tree, then checks them:
#   velmorak_<version>_amd64.deb    the Debian package (CPack), checked by lintian
#   velmorak-<version>.tar.gz       the source (git archive), built and tested unpacked, without .git
#   velmorak-<version>-win64.zip and velmorak-<version>-win64-setup.exe
#                                   when scripts/windows.sh is there to make them
#   SHA256SUMS                      over all of them
# --no-source-check skips the slow part: the source tarball's own full test command.
# The package on a fresh Debian 12 root: scripts/release-check.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
top=$PWD

source_check=1
for arg in "$@"; do
  case $arg in
    --no-source-check) source_check=0 ;;
    *)
      echo "usage: scripts/release.sh [--no-source-check]" >&2
      exit 2
      ;;
  esac
done

# The package and the tarball, and the Windows zip that scripts/windows.sh makes.
scripts/install-deps.sh release windows

version=$(velmorak_version)
if ! git rev-parse --git-dir >/dev/null 2>&1; then
  echo "the source tarball is made by git archive: run this in a git checkout of the game" >&2
  exit 1
fi
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "note: the tracked files have uncommitted changes; the source tarball holds HEAD only" >&2
fi

dist=$top/dist
rm -rf "$dist"
mkdir -p "$dist"

# ---- The Debian package ----
# Debian's own hardening flags, all of them (fortified functions, stack protector, read-only
# relocations bound at start).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
build=$top/build/deb
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cxxflags=$(dpkg-buildflags --get CXXFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)
rm -rf "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORAK_TESTS=OFF -DVELMORAK_BENCH=OFF \
  -DVELMORAK_DEBIAN_LAYOUT=ON -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games \
  -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j2
(cd "$build" && cpack -B "$build/cpack" >/dev/null)
deb=velmorak_${version}_amd64.deb
mv "$build/cpack/$deb" "$dist/$deb"

# What the package holds, file by file; a change here is a change to what players get.
expected="./usr/
./usr/games/
./usr/games/velmorak
./usr/games/velmorak-launch
./usr/share/
./usr/share/applications/
./usr/share/applications/velmorak.desktop
./usr/share/doc/
./usr/share/doc/velmorak/
./usr/share/doc/velmorak/changelog.gz
./usr/share/doc/velmorak/copyright
./usr/share/games/
./usr/share/games/velmorak/
./usr/share/games/velmorak/background.bmp
./usr/share/games/velmorak/sky.bmp
./usr/share/icons/
./usr/share/icons/hicolor/
./usr/share/icons/hicolor/scalable/
./usr/share/icons/hicolor/scalable/apps/
./usr/share/icons/hicolor/scalable/apps/velmorak.svg
./usr/share/man/
./usr/share/man/man6/
./usr/share/man/man6/velmorak-launch.6.gz
./usr/share/man/man6/velmorak.6.gz
./usr/share/metainfo/
./usr/share/metainfo/org.brevane.velmorak.metainfo.xml"
held=$(dpkg-deb --fsys-tarfile "$dist/$deb" | tar -t | LC_ALL=C sort)
if [ "$held" != "$(LC_ALL=C sort <<<"$expected")" ]; then
  echo "the package does not hold what it should:" >&2
  diff <(LC_ALL=C sort <<<"$expected") <(echo "$held") >&2 || true
  exit 1
fi
echo "== $deb depends on: $(dpkg-deb -f "$dist/$deb" Depends)"

# No errors; every warning is listed for the release notes.
echo "== lintian"
lintian_log=$build/lintian.log
status=0
lintian --fail-on error --display-info "$dist/$deb" >"$lintian_log" 2>&1 || status=$?
sed 's/^/   /' "$lintian_log"
if [ $status -ne 0 ]; then
  echo "lintian found errors in $deb" >&2
  exit 1
fi
echo "   errors: 0, warnings: $(grep -c '^W:' "$lintian_log" || true)"

# ---- The source ----
tarball=velmorak-$version.tar.gz
git archive --format=tar.gz --prefix="velmorak-$version/" -o "$dist/$tarball" HEAD

# ---- The Windows build, once it is in ----
if [ -x scripts/windows.sh ]; then
  scripts/windows.sh
  for made in "velmorak-$version-win64.zip" "velmorak-$version-win64-setup.exe"; do
    [ -f "$dist/$made" ] || {
      echo "scripts/windows.sh made no dist/$made" >&2
      exit 1
    }
  done
fi

(
  cd "$dist"
  shopt -s nullglob
  sha256sum -- *.deb *.tar.gz *.zip *.exe >SHA256SUMS
)

# The tarball must stand on its own: no .git, no ../shared beside it, the test command as the
# README gives it.
if [ $source_check -eq 1 ]; then
  echo "== the source tarball's test command"
  unpacked=$(mktemp -d /tmp/velmorak-source.XXXXXX)
  tar -C "$unpacked" -xzf "$dist/$tarball"
  if ! (cd "$unpacked/velmorak-$version" && scripts/check.sh) >"$build/source-check.log" 2>&1; then
    tail -n 40 "$build/source-check.log" >&2
    echo "the unpacked source failed its test command; log: $build/source-check.log" >&2
    exit 1
  fi
  grep -E 'tests passed|tests failed' "$build/source-check.log" | sed 's/^/   /'
  rm -rf "$unpacked"
fi

echo "== dist/"
(cd "$dist" && for f in *; do printf '   %10d  %s\n' "$(stat -c %s -- "$f")" "$f"; done)
