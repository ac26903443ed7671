#!/usr/bin/env bash
# Code page 936 the same on both systems: the table this program makes on Linux (its own,
# compiled in) against the one it makes on Windows (the system's own), line by line.
set -u
linux=$1 windows=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$linux" >"$work/linux.txt" || { echo "the Linux table could not be made"; exit 1; }
wine "$windows" >"$work/windows.txt" || { echo "the Windows table could not be made"; exit 1; }
lines=$(wc -l <"$work/windows.txt")
if [[ $lines -ne 89858 ]]; then
  echo "the Windows table has $lines lines, not 89858"
  exit 1
fi
if ! diff "$work/linux.txt" "$work/windows.txt" >"$work/diff"; then
  echo "$(grep -c '^<' "$work/diff") lines differ; the first:"
  head -20 "$work/diff"
  exit 1
fi
echo "all 65536 code units, 256 bytes and 24066 byte pairs agree"
