#!/usr/bin/env bash
# Zentrova.exe must run from a bare Windows: every DLL it imports is one of the system's own.
#   imports_test.sh OBJDUMP EXE
set -u
objdump=$1 exe=$2
system='^(KERNEL32|USER32|GDI32|msvcrt|ADVAPI32|SHELL32|COMCTL32|OLE32)\.dll$'
imports=$("$objdump" -p "$exe" | awk '/DLL Name:/{print $3}')
echo "imports: $(echo $imports)"
[[ -n $imports ]] || { echo "FAIL: no imports read from $exe"; exit 1; }
foreign=$(grep -viE "$system" <<<"$imports")
if [[ -n $foreign ]]; then
  echo "FAIL: imports DLLs that are not the system's: $foreign"
  echo "0 passed, 1 failed"
  exit 1
fi
echo "1 passed, 0 failed"
