#!/bin/bash
# Installs whatever is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing cmake ninja-build g++ googletest

cmake --preset default
cmake --build --preset default
ctest --preset default

# Hardening: the unit and end-to-end suites under the address and
# undefined-behaviour sanitizers and under the thread sanitizer, then a short
# run of each fuzz target (scripts/fuzz.sh; longer runs: see the README).
for preset in asan tsan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
scripts/fuzz.sh 20
