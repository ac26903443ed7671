#!/usr/bin/env bash
# The Windows packages as a user meets them, in a Wine prefix of its own in a Chinese locale.
# The installer: silent install, both programs and the Start-menu shortcut in place and the
# uninstaller registered, the installed programs start and convert once, silent uninstall
# leaves nothing. The portable ZIP: unpacked anywhere, both programs run from it.
#   installer_test.sh INSTALLER ZIP
set -u
installer=$(realpath "$1")
zip=$(realpath "$2")
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
check "the command-line client is beside the program" test -f "$folder/zentrova-cli.exe"
cli_converts() {  # FOLDER
  [[ $(DISPLAY='' "$wine64" "$1/zentrova-cli.exe" link thunder "http://a/中" 2>/dev/null) == \
    "thunder://QUFodHRwOi8vYS/W0Fpa" ]]
}
check "the installed command-line client converts" cli_converts "$folder"

# The installed program, from its installed place, on a desktop. Wine's processes that the
# queries above started without a display must be gone first, or the program gets none either.
timeout 900 wineserver -w
start_display 1024x768 wm || finish
converts_once() {  # FOLDER
  "$wine64" "$1/Zentrova.exe" >/dev/null 2>&1 &
  app=$!
  wait_until "$patience" find_window || return 1
  set_clipboard "http://a/b" || return 1
  click_control cmdEncodeToXL
  wait_until "$patience" clipboard_is "thunder://QUFodHRwOi8vYS9iWlo=" || return 1
  activate "$window"
  xdotool key alt+e
  wait "$app"
}
check "the installed program starts and converts" converts_once "$folder"

# (The display stays for the portable copy below.)
timeout 900 wineserver -w
check "the uninstaller runs silently" silent "$folder/Uninstall.exe"
check "the program's folder is gone" test ! -e "$folder"
check "the shortcut is gone" test ! -e "$(dirname "$shortcut")"
unregistered() { ! registered; }
check "the uninstaller is no longer registered" unregistered
leftovers() { ! find "$drive_c" -iname '*zentrova*' -not -path '*/Temp/*' | grep -q .; }
check "nothing named for the program is left" leftovers

# The portable copy, unpacked into a folder of the user's.
portable="$drive_c/users/Public/便携"
unpacked() {
  mkdir -p "$portable" && (cd "$portable" && unzip -q "$zip") || return 1
  portable="$portable/$(basename "$zip" .zip)"
  [[ -f $portable/Zentrova.exe && -f $portable/zentrova-cli.exe && -f $portable/说明.txt ]]
}
check "the ZIP unpacks to both programs and the note" unpacked || finish
check "the note is UTF-8 with a byte-order mark, for every Notepad" \
  bash -c "head -c 3 '$portable/说明.txt' | cmp -s - <(printf '\xef\xbb\xbf')"
check "the portable command-line client converts" cli_converts "$portable"
timeout 900 wineserver -w  # as above: the program must get the display
check "the portable program starts and converts" converts_once "$portable"
stop_display
finish
