#!/bin/bash
# Installs whatever is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing cmake ninja-build g++ googletest libbenchmark-dev

cmake --preset default
cmake --build --preset default
ctest --preset default

# The benchmarks are only built here, so that they keep building; bench/run.sh runs them.
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null

# Hardening: the unit and end-to-end suites under the address and
# undefined-behaviour sanitizers and under the thread sanitizer, then a short
# run of each fuzz target (scripts/fuzz.sh; longer runs: see the README).
for preset in asan tsan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
scripts/fuzz.sh 20

# Windows: tarvix.exe cross-built with MinGW-w64 and tested under wine.
bash scripts/test-windows.sh
