#!/usr/bin/env bash
# The Debian package on a machine that has never seen it: a Debian 12 root holding only the base
# system gets it through apt, which must pull in what the game needs; a player plays it through
# the launcher to a game over under Xvfb; a newer package goes over it while the player's own
# pictures and score lie in the play folder, which must keep them; a purge leaves nothing of the
# package behind.
#
#   scripts/release-check.sh              the package in dist/ (made by scripts/release.sh when
#                                         it isn't there) checked in a new root made by debootstrap
#   scripts/release-check.sh --here DEB   the same checks on this machine itself: it installs,
#                                         upgrades and purges velmorak, adds Xvfb and a user
#                                         "velmorak-player"; meant for a throwaway root
#   scripts/release-check.sh --play LAUNCHER HOME
#                                         only the play step, as the current user, for trying an
#                                         unpacked package (dpkg-deb -x) with any launcher
set -euo pipefail

me=release-check
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
say() { printf '== %s\n' "$*"; }
fail() {
  printf '%s: FAILED: %s\n' "$me" "$*" >&2
  exit 1
}

# ---- One game through the launcher: level 8, the serpent runs into the right wall alone ----
# Runs LAUNCHER with HOME, as USER when one is given, on a private Xvfb; succeeds when the game
# reports the game over and the play folder holds the score record of it.
play_to_game_over() {
  local launcher=$1 home=$2 user=${3:-}
  local work display xvfb game waited=0
  work=$(mktemp -d /tmp/velmorak-play.XXXXXX)
  chmod 755 "$work"
  for display in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
  done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -ac >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  while [ ! -S "/tmp/.X11-unix/X$display" ]; do
    kill -0 "$xvfb" 2>/dev/null || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    [ $waited -lt 200 ] || fail "Xvfb did not start within 20 s"
    sleep 0.1
    waited=$((waited + 1))
  done
  local run=(env -i "HOME=$home" PATH=/usr/local/bin:/usr/bin:/bin:/usr/games "DISPLAY=:$display"
    LIBGL_ALWAYS_SOFTWARE=1 "$launcher")
  [ -n "$user" ] && run=(setpriv "--reuid=$user" "--regid=$user" --init-groups "${run[@]}")
  printf '8\n' | "${run[@]}" >"$work/out" 2>"$work/err" &
  game=$!
  waited=0
  while ! grep -q '^Game Over$' "$work/out"; do
    if ! kill -0 "$game" 2>/dev/null; then
      kill "$xvfb" 2>/dev/null || true
      fail "the game ended before its game over: $(cat "$work/out" "$work/err")"
    fi
    if [ $waited -ge 600 ]; then
      kill "$game" "$xvfb" 2>/dev/null || true
      fail "no game over within 60 s: $(cat "$work/out" "$work/err")"
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  # The window stays open after the game over until it is closed; ending the game is closing it.
  kill "$game" 2>/dev/null || true
  wait "$game" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  grep -q '^Your score is 1$' "$work/out" || fail "unexpected report: $(cat "$work/out")"
  local record=$home/.local/share/velmorak/User_score.txt
  [ "$(cat "$record" 2>/dev/null)" = "You score is : 1 at level 8" ] ||
    fail "the play folder holds no record of the game: $(cat "$record" 2>&1)"
  [ -s "$work/err" ] && printf '   launcher said: %s\n' "$(cat "$work/err")"
  rm -rf "$work"
  say "played through $launcher to a game over; the score is in $record"
}

# ---- The checks, on the machine this runs on: install, upgrade, purge ----
# What the steps share: the package and its version, the player and their play folder.
deb=
version=
player=velmorak-player
home=
play=

# apt must pull in what the game loads and nothing meant for building; then a player plays it.
install_step() {
  say "apt-get install ./$(basename "$deb")"
  dpkg-query -W -f '${Package}\n' | sort >/tmp/velmorak-before
  (cd "$(dirname "$deb")" && apt-get install -y -qq "./$(basename "$deb")") >/tmp/velmorak-apt.log 2>&1 ||
    fail "apt-get install: $(tail -n 20 /tmp/velmorak-apt.log)"
  dpkg-query -W -f '${Package}\n' | sort >/tmp/velmorak-after
  local pulled
  pulled=$(comm -13 /tmp/velmorak-before /tmp/velmorak-after | grep -vx velmorak || true)
  echo "   it pulled in $(wc -w <<<"$pulled") packages: $(tr '\n' ' ' <<<"$pulled")"
  [ "$(dpkg-query -W -f '${Version}' velmorak)" = "$version" ] || fail "velmorak $version not installed"
  # Everything the game loads is there, and nothing meant for building came along.
  if ldd /usr/games/velmorak | grep 'not found'; then
    fail "the game's libraries are not all installed"
  fi
  if grep -E -e '-dev$' -e '^(gcc|g\+\+|cpp|cmake|make|binutils)(-|$)' <<<"$pulled"; then
    fail "installing the game pulled in build tools"
  fi

  # What the play test itself needs, after the list above was taken.
  "$here/install-deps.sh" display >/dev/null 2>&1 || fail "cannot install Xvfb"
  id "$player" >/dev/null 2>&1 || useradd -m "$player"
  home=$(getent passwd "$player" | cut -d: -f6)
  play=$home/.local/share/velmorak
  play_to_game_over /usr/games/velmorak-launch "$home" "$player"
}

# A newer package over the player's own pictures and score, which must stay as they are.
upgrade_step() {
  say "upgrade over the player's own pictures and score"
  local own
  own=$(mktemp -d /tmp/velmorak-own.XXXXXX)
  # Real pictures, swapped, so that a default copied over either one would show.
  cp /usr/share/games/velmorak/background.bmp "$own/sky.bmp"
  cp /usr/share/games/velmorak/sky.bmp "$own/background.bmp"
  echo "You score is : 17 at level 3" >"$own/User_score.txt"
  cp "$own"/* "$play/"
  chown -R "$player:" "$play"
  local newer_version=$version+check1 unpacked
  unpacked=$(mktemp -d /tmp/velmorak-newer.XXXXXX)
  chmod 755 "$unpacked"  # apt reads the package as its own unprivileged user
  dpkg-deb -R "$deb" "$unpacked/pkg"
  sed -i "s/^Version: .*/Version: $newer_version/" "$unpacked/pkg/DEBIAN/control"
  dpkg-deb --root-owner-group -b "$unpacked/pkg" "$unpacked/velmorak_${newer_version}_amd64.deb" \
    >/dev/null
  apt-get install -y -qq "$unpacked/velmorak_${newer_version}_amd64.deb" >/tmp/velmorak-apt.log 2>&1 ||
    fail "apt-get install of the newer package: $(tail -n 20 /tmp/velmorak-apt.log)"
  [ "$(dpkg-query -W -f '${Version}' velmorak)" = "$newer_version" ] || fail "no upgrade took place"
  for f in sky.bmp background.bmp User_score.txt; do
    cmp -s "$own/$f" "$play/$f" || fail "the upgrade changed the player's $f"
  done
  echo "   velmorak $version -> $newer_version; the player's sky.bmp, background.bmp and User_score.txt kept"
  play_to_game_over /usr/games/velmorak-launch "$home" "$player"
  for f in sky.bmp background.bmp; do
    cmp -s "$own/$f" "$play/$f" || fail "playing after the upgrade replaced the player's $f"
  done
  rm -rf "$own" "$unpacked"
}

# A purge leaves nothing of the package behind, and the player's play folder as it was.
purge_step() {
  say "apt-get purge velmorak"
  local files
  files=$(dpkg-query -L velmorak)
  apt-get purge -y -qq velmorak >/tmp/velmorak-apt.log 2>&1 ||
    fail "apt-get purge: $(tail -n 20 /tmp/velmorak-apt.log)"
  if dpkg-query -W -f '${Status}' velmorak 2>/dev/null | grep -qv 'not-installed'; then
    fail "velmorak is still known to dpkg: $(dpkg-query -W -f '${Status}' velmorak)"
  fi
  local left=()
  while IFS= read -r path; do
    if [ -z "$path" ] || [ "$path" = /. ]; then continue; fi
    if [ -e "$path" ] || [ -L "$path" ]; then
      # A folder other packages share stays; anything of velmorak's alone must be gone.
      dpkg-query -S "$path" >/dev/null 2>&1 || left+=("$path")
    fi
  done <<<"$files"
  [ ${#left[@]} -eq 0 ] || fail "the purge left behind: ${left[*]}"
  [ -d "$play" ] || fail "the purge took the player's play folder"
  echo "   nothing of the package is left; the player's play folder stays"
}

check_here() {
  deb=$1
  [ -f "$deb" ] || fail "no package $deb"
  deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")
  version=$(dpkg-deb -f "$deb" Version)
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  install_step
  upgrade_step
  purge_step
  say "all fresh-root checks passed"
}

# ---- A new Debian 12 root for the checks ----
root=
mounts=()
remove_root() {
  local i still=0
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" 2>/dev/null || still=1
  done
  # Never delete through a mount that is still there.
  if [ $still -eq 0 ] && ! grep -q " $root/" /proc/mounts; then
    rm -rf "$root"
  else
    echo "$me: $root is still mounted; left in place" >&2
  fi
}

check_in_new_root() {
  cd "$here/.."
  local deb
  deb=dist/velmorak_$(velmorak_version)_amd64.deb
  [ -f "$deb" ] || scripts/release.sh --no-source-check
  scripts/install-deps.sh release

  local mirror
  mirror=$(debian_mirror)
  root=$(mktemp -d /tmp/velmorak-root.XXXXXX)
  # mktemp makes it 0700; as the new root's / it must let the player's account through.
  chmod 755 "$root"
  # Globals: the clean-up runs at exit, after this function has returned.
  mounts=()
  trap remove_root EXIT
  say "a new Debian 12 root in $root (debootstrap, minbase)"
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    fail "debootstrap: see $root.debootstrap.log"
  rm -f "$root.debootstrap.log"
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
  local where
  for where in proc dev dev/pts dev/shm; do
    case $where in
      proc) mount -t proc proc "$root/proc" ;;
      dev/shm) mount -t tmpfs -o size=512m tmpfs "$root/dev/shm" ;;
      *) mount --bind "/$where" "$root/$where" ;;
    esac || fail "cannot mount $root/$where"
    mounts+=("$root/$where")
  done
  # The checks run there with what they source and what installs Xvfb beside them.
  mkdir -p "$root/check"
  cp "$deb" "$here/release-check.sh" "$here/lib.sh" "$here/install-deps.sh" "$root/check/"
  chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root bash /check/release-check.sh --here "/check/$(basename "$deb")"
}

case ${1:-} in
  --here)
    [ $# -eq 2 ] || fail "usage: scripts/release-check.sh --here DEB"
    check_here "$2"
    ;;
  --play)
    [ $# -eq 3 ] || fail "usage: scripts/release-check.sh --play LAUNCHER HOME"
    play_to_game_over "$2" "$3"
    ;;
  "")
    check_in_new_root
    ;;
  *)
    fail "usage: scripts/release-check.sh [--here DEB | --play LAUNCHER HOME]"
    ;;
esac
