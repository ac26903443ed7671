#!/usr/bin/env bash
# The programs must run from a bare Windows: every DLL they import is one of the system's own
# (IP Helper and Winsock, which tell the machine's own addresses, and WinHTTP, which the address
# check asks servers through, are in every Windows).
#   imports_test.sh OBJDUMP EXE...
set -u
objdump=$1
shift
system='^(KERNEL32|USER32|GDI32|msvcrt|ADVAPI32|SHELL32|COMCTL32|OLE32|IPHLPAPI|WS2_32|WINHTTP)\.dll$'
passed=0 failed=0
for exe in "$@"; do
  imports=$("$objdump" -p "$exe" | awk '/DLL Name:/{print $3}')
  echo "$(basename "$exe") imports: $(echo $imports)"
  foreign=$(grep -viE "$system" <<<"$imports")
  if [[ -z $imports ]]; then
    echo "FAIL: no imports read from $exe"
    failed=$((failed + 1))
  elif [[ -n $foreign ]]; then
    echo "FAIL: $(basename "$exe") imports DLLs that are not the system's: $foreign"
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
done
echo "$passed passed, $failed failed"
((failed == 0))
