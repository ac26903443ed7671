#!/usr/bin/env bash
# Shows where a Windows program's clipboard text goes under Wine once the program has ended:
# the X selection is served by Wine's clipboard manager in its desktop process, which ends with
# the last Wine program, and the text goes with it (no X clipboard manager takes it over here).
# Real Windows keeps the text in the system. Run from the project root:
#   tests/win32/wine_clipboard/show.sh
set -u
work=$(mktemp -d)
source scripts/lib/desktop.sh
export WINEPREFIX="$work/prefix"
trap 'wineserver -k 2>/dev/null; stop_display; rm -rf "$work"' EXIT
x86_64-w64-mingw32-gcc -O2 -municode -mwindows tests/win32/wine_clipboard/probe.c \
  -o "$work/probe.exe" || exit 1
start_display 1024x768 wm || exit 1
use_wine
set_clipboard "before" || exit 1
"$wine64" "$work/probe.exe"
echo "probe ended with status $?"
echo "at once:                   '$(clipboard)'"
timeout 60 wineserver -w
echo "once Wine itself has ended: '$(clipboard)'"
