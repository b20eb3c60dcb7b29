#!/bin/bash
# Builds tarvix if needed and starts it on the simulated network interface:
#   scripts/run.sh                 -> tarvix LON1 8000000180F7
#   scripts/run.sh LON2 8000000180F7 status
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing cmake ninja-build g++ >&2
if [ ! -f build/default/build.ninja ]; then cmake --preset default >/dev/null; fi
cmake --build --preset default --target tarvix wldv32 >/dev/null
[ $# -gt 0 ] || set -- LON1 8000000180F7
exec build/default/tarvix "$@"
