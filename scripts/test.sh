#!/bin/bash
# Installs whatever is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
install_missing cmake ninja-build g++ googletest

cmake --preset default
cmake --build --preset default
ctest --preset default

# Windows: tarvix.exe cross-built with MinGW-w64 and tested under wine.
bash scripts/test-windows.sh
