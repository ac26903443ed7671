#!/usr/bin/env bash
# The Windows installer as a user meets it, in a Wine prefix of its own in a Chinese locale:
# silent install, the program and its Start-menu shortcut in place and the uninstaller
# registered, the installed program starts and converts once, silent uninstall leaves nothing.
#   installer_test.sh INSTALLER
set -u
installer=$1
source "$(dirname "$0")/../../scripts/lib/desktop.sh"
export WINEPREFIX
WINEPREFIX=$(mktemp -d)
cleanup() {
  [[ -n ${app:-} ]] && kill "$app" 2>/dev/null
  wineserver -k 2>/dev/null
  stop_display
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
source "$(dirname "$0")/../support/checks.sh"
finish() { report; exit; }

use_wine

drive_c=$WINEPREFIX/drive_c
folder="$drive_c/Program Files/Zentrova"
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zentrova/Zentrova.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zentrova'
registered() { DISPLAY='' "$wine64" reg query "$uninstall_key" >/dev/null 2>&1; }

silent() {  # PROGRAM: runs it with /S and waits until every process it started has ended
  DISPLAY='' timeout 900 "$wine64" "$1" /S >/dev/null 2>&1 || return 1
  timeout 900 wineserver -w
}
check "the installer runs silently" silent "$installer" || finish
check "the program is under Program Files" test -f "$folder/Zentrova.exe"
check "the Start menu has its shortcut" test -f "$shortcut"
check "the uninstaller is registered" registered
check "the uninstaller is installed" test -f "$folder/Uninstall.exe"

# The installed program, from its installed place, on a desktop. Wine's processes that the
# queries above started without a display must be gone first, or the program gets none either.
timeout 900 wineserver -w
start_display 1024x768 wm || finish
converts_once() {
  "$wine64" "$folder/Zentrova.exe" >/dev/null 2>&1 &
  app=$!
  wait_until "$patience" find_window || return 1
  set_clipboard "http://a/b" || return 1
  click_control cmdEncodeToXL
  wait_until "$patience" clipboard_is "thunder://QUFodHRwOi8vYS9iWlo=" || return 1
  activate "$window"
  xdotool key alt+e
  wait "$app"
}
check "the installed program starts and converts" converts_once
stop_display
timeout 900 wineserver -w

check "the uninstaller runs silently" silent "$folder/Uninstall.exe"
check "the program's folder is gone" test ! -e "$folder"
check "the shortcut is gone" test ! -e "$(dirname "$shortcut")"
unregistered() { ! registered; }
check "the uninstaller is no longer registered" unregistered
leftovers() { ! find "$drive_c" -iname '*zentrova*' -not -path '*/Temp/*' | grep -q .; }
check "nothing named for the program is left" leftovers
finish
