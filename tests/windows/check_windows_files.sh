#!/bin/bash
# Checks the Windows files as Windows' loader will see them:
#   check_windows_files.sh OBJDUMP ARCH tarvix.exe simnet.dll recording.dll \
#                          recording-without-close.dll recording-extra-export.dll
# tarvix.exe is a console program for ARCH that needs no DLL beyond Windows'
# own; every driver library exports exactly the decorated names it should.
set -uo pipefail
objdump=$1 arch=$2 tarvix=$3 simnet=$4 recording=$5 without_close=$6 extra_export=$7
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Windows' own DLLs, and api-set names that resolve to them.
system_dll='^(kernel32|msvcrt|advapi32|user32|ntdll|ws2_32|api-ms-win-[a-z0-9-]+)\.dll$'
six="_ldv_close@4 _ldv_get_version@0 _ldv_open@4 _ldv_read@12 _ldv_register@8 _ldv_write@12"

imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
exports() {
  "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' | sort | tr '\n' ' ' | sed 's/ $//'
}

check_imports() {
  local file=$1 dll
  for dll in $(imports "$file"); do
    echo "${dll,,}" | grep -Eq "$system_dll" || fail "$(basename "$file") imports $dll"
  done
}

check_exports() {
  local file=$1 expected
  expected=$(echo "$2" | tr ' ' '\n' | sort | tr '\n' ' ' | sed 's/ $//')
  local actual
  actual=$(exports "$file")
  [ "$actual" = "$expected" ] || fail "$file exports [$actual], expected [$expected]"
}

case $arch in
  i686) format='file format pei-i386' ;;
  x86_64) format='file format pei-x86-64' ;;
  *) fail "unknown architecture $arch" ;;
esac
header=$("$objdump" -f -p "$tarvix")
grep -q "$format" <<<"$header" || fail "tarvix.exe is not $format"
grep -q 'Subsystem.*(Windows CUI)' <<<"$header" || fail "tarvix.exe is no console program"
grep -qi 'DLL Name: advapi32\.dll$' <<<"$header" || fail "tarvix.exe does not import ADVAPI32.dll"

for file in "$tarvix" "$simnet" "$recording" "$without_close" "$extra_export"; do
  check_imports "$file"
done
check_exports "$tarvix" ""
check_exports "$simnet" "$six"
check_exports "$recording" "$six"
check_exports "$without_close" "${six/_ldv_close@4 /}"
check_exports "$extra_export" "$six _ldv_reset@4"

[ $failures -eq 0 ] && echo "Windows files: all checks passed"
exit $((failures > 0))
