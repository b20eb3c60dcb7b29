#!/bin/bash
# Runs a Windows program of this repository under wine:
#   scripts/wine.sh build/win32/tarvix.exe LON1 8000000180F7
#   scripts/wine.sh --as build/win32/tarvix.exe reg query HKLM\\Software
# The program's architecture chooses the wine loader and a private prefix,
# build/wine-win32 or build/wine-win64 ($WINEPREFIX if set), which is made on
# first use; with --as, one of wine's own commands runs in that prefix. Also
# the emulator that CMake runs Windows test programs with.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$1" = --as ]; then
  program=$2
  shift 2
else
  program=$1
fi

# The machine field of the PE header: 014c for i386, 8664 for x86-64.
pe_offset=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe_offset + 4)) -N2 "$program" | tr -d ' ')
case $machine in
  014c) arch=win32 loader=$(command -v wine || true) ;;
  8664) arch=win64 loader=$(command -v wine64 || echo /usr/lib/wine/wine64) ;;
  *) echo "wine.sh: $program is no Windows program for x86" >&2; exit 2 ;;
esac
server=$(command -v wineserver || echo /usr/lib/wine/wineserver)

export WINEARCH=$arch
export WINEPREFIX=${WINEPREFIX:-$root/build/wine-$arch}
export WINEDEBUG=${WINEDEBUG:--all}
# No downloads of wine's own Mono and Gecko (there is no network for them).
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The server and the helpers it starts get no standard streams of ours: a
# caller that reads our output to its end would otherwise wait for them.
start_server() { "$server" -p60 </dev/null >/dev/null 2>&1 || true; }

if [ ! -f "$WINEPREFIX/.ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.ready" ]; then
    rm -rf "$WINEPREFIX"
    start_server
    "$loader" wineboot -i </dev/null >/dev/null 2>&1
    touch "$WINEPREFIX/.ready"
  fi
  exec 9>&-
fi
start_server
exec "$loader" "$@"
