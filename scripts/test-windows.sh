#!/bin/bash
# The Windows part of the tests: cross-builds tarvix.exe (preset win32), packs
# the zip for Windows users, checks what the Windows files import and export,
# and runs the unit tests and the end-to-end tests under wine in a private
# prefix (build/wine-win32 or build/wine-win64).
#
# Where the kernel runs no 32-bit programs (wine32 cannot start), the same
# sources are also built as 64-bit Windows programs (preset win64) and those
# run under wine64: the same code, the same registry and library loader.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  [ "$(id -u)" -eq 0 ] && dpkg --add-architecture i386 || sudo dpkg --add-architecture i386
  # install_missing below updates the package lists, i386 included.
fi
install_missing cmake ninja-build g++ googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
  wine wine32:i386 wine64

cmake --preset win32
cmake --build --preset win32
cmake --build --preset win32 --target package

# The package: the program, the README, the simulated driver in a folder of its own.
package=build/win32/tarvix-windows-i686.zip
listing=$(cmake -E tar tf "$package" | grep -v '/$' | sort | tr '\n' ' ')
expected="tarvix-windows-i686/README.md tarvix-windows-i686/simulation/WLDV32.DLL tarvix-windows-i686/tarvix.exe "
if [ "$listing" != "$expected" ]; then
  echo "FAIL: $package holds: $listing" >&2
  exit 1
fi

if wine --version >/dev/null 2>&1; then
  test_build=win32
else
  echo "Note: wine cannot start 32-bit programs on this machine (a kernel without"
  echo "32-bit support); the Windows tests run on the 64-bit build under wine64."
  test_build=win64
  ctest --preset win32 -R windows_files
  cmake --preset win64
  cmake --build --preset win64
fi

# A private prefix, made up front, and its server started with no standard
# streams of ours; stopped again at the end.
export WINEPREFIX=$PWD/build/wine-$test_build
stop_server() { WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true; }
trap stop_server EXIT
scripts/wine.sh "build/$test_build/tarvix.exe" </dev/null >/dev/null 2>&1 || true

ctest --preset "$test_build"
cmake --preset wine-e2e -DTARVIX_WINDOWS_BUILD_DIR="$PWD/build/$test_build"
cmake --build --preset wine-e2e
ctest --preset wine-e2e
