#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix (build/wine, or $VELMORAK_WINEPREFIX),
# never the user's. The first call starts the prefix's server and Wine's background services with
# no pipes of ours: otherwise every program would wait on them about 2.5 s while they hold its
# output open. The server stays 30 s after the last program, so a test run reuses it.
#   scripts/wine.sh PROGRAM.exe [ARGS...]   run it (exit status is the program's)
#   scripts/wine.sh --start                 only start them (a new prefix takes about 10 s)
#   scripts/wine.sh --stop                  end the prefix's server and services; Wine stays
#                                           tied to the X display its server started on
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${VELMORAK_WINEPREFIX:-$root/build/wine}"
# No hint about a missing wine32 on stderr, no Mono or Gecko installer prompts, and no copies of
# the prefix's Start-menu shortcuts (the installer's) in the desktop's own menus under $HOME.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
mkdir -p "$WINEPREFIX"

if [ "${1-}" = "--stop" ]; then
  wineserver -k >/dev/null 2>&1 || true
  # -k only signals; the next server of this prefix must not find the old one still going.
  wineserver -w >/dev/null 2>&1 || true
  exit 0
fi
if [ $# -eq 0 ]; then
  echo "usage: scripts/wine.sh PROGRAM.exe [ARGS...] | --start | --stop" >&2
  exit 2
fi

# 0: a new server started (2: one was already running); only a new one needs the services.
if wineserver -p30 </dev/null >/dev/null 2>&1; then
  wine wineboot -i </dev/null >/dev/null 2>&1 || true
fi
[ "$1" = "--start" ] && exit 0
exec wine "$@"
