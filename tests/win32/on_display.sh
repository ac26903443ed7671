#!/usr/bin/env bash
# Runs a Windows program under Wine on a private X display: the real EDIT control needs one.
# Wine's server keeps the display it was started with, so it is ended before and after.
#   on_display.sh PROGRAM.exe [ARGUMENT...]
set -u
source "$(dirname "$0")/../../scripts/lib/desktop.sh"
trap 'wineserver -k 2>/dev/null; stop_display' EXIT
start_display 640x480 || exit 1
use_wine
"$wine64" "$@"
