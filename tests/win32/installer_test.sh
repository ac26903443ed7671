#!/usr/bin/env bash
# The Windows packages as a user meets them, in a Wine prefix of its own in a Chinese locale.
# The installer: silent install, both programs and the Start-menu shortcut in place and the
# uninstaller registered, the installed programs start and convert once, silent uninstall
# leaves nothing; then an install through its pages that adds the folder to the user's PATH,
# and the uninstall that takes it off again. The portable ZIP: unpacked anywhere, both programs
# run from it.
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
# The user's own PATH, as the installer's PATH page may have set it.
user_path() {
  DISPLAY='' "$wine64" reg query 'HKCU\Environment' /v PATH 2>/dev/null | tr -d '\r' |
    grep -i 'PATH' | sed 's/.*REG_[A-Z_]*SZ *//'
}
off_the_path() { [[ $(user_path) != *Zentrova* ]]; }

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
check "a silent install leaves the PATH alone" off_the_path

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

# A person's install, through the pages with the keyboard: the terms, then the PATH page,
# where "只添加到当前用户的 PATH" is chosen, then every other page as it comes. The page's
# settings file in the installer's temporary folder names its controls once the page is shown.
options_file() {
  find "$drive_c/users" -name NSIS.InstallOptions.ini -newer "$installer_started" 2>/dev/null |
    head -1
}
options_say() {  # TEXT: the PATH page's settings file holds TEXT
  local file
  file=$(options_file)
  [[ -n $file ]] && iconv -f UTF-16 -t UTF-8 "$file" 2>/dev/null | tr -d '\r' | grep -q "$1"
}
installer_window() { xdotool search --onlyvisible --name '^Zentrova 安装$' 2>/dev/null | head -1; }
return_ends_installer() {
  xdotool key Return
  ! kill -0 "$installer_setup" 2>/dev/null
}
through_the_pages() {
  installer_started=$WINEPREFIX/installer-started
  touch "$installer_started"
  "$wine64" "$installer" >/dev/null 2>&1 &
  local setup=$! page=""
  wait_until "$patience" eval 'page=$(installer_window); [[ -n $page ]]' ||
    { echo "  no installer window"; return 1; }
  activate "$page" || return 1
  xdotool key Return Return  # the welcome page, the terms
  wait_until "$patience" options_say '^HWND=' ||
    { echo "  no PATH page: $(options_file)"; return 1; }
  options_say '^Text=只添加到当前用户的 PATH$' ||
    { echo "  the PATH page is not in Chinese"; return 1; }
  xdotool key Down Down Return
  # The folder, the Start-menu folder, the components, the installation and the last page:
  # Enter until the installer has ended (one pressed while it installs changes nothing).
  installer_setup=$setup
  wait_until $((patience * 5)) return_ends_installer ||
    { echo "  the installer did not end"; kill "$setup"; return 1; }
  [[ $(user_path) == *'C:\Program Files\Zentrova'* ]] ||
    { echo "  the user's PATH: $(user_path)"; return 1; }
}
timeout 900 wineserver -w  # as above: the installer must get the display
check "a person's install through the pages adds the folder to their PATH" through_the_pages
by_name_alone() {
  local said
  said=$(DISPLAY='' "$wine64" cmd /c "zentrova-cli link thunder http://a/b" 2>/dev/null)
  [[ ${said%$'\r'} == "thunder://QUFodHRwOi8vYS9iWlo=" ]]
}
check "zentrova-cli then runs by its name alone" by_name_alone
timeout 900 wineserver -w
check "its uninstaller runs silently" silent "$folder/Uninstall.exe"
check "the folder is off the PATH again" off_the_path

# The portable copy, unpacked into a folder of the user's.
portable="$drive_c/users/Public/便携"
unpacked() {
  mkdir -p "$portable" && (cd "$portable" && unzip -q "$zip") || return 1
  portable="$portable/$(basename "$zip" .zip)"
  [[ -f $portable/Zentrova.exe && -f $portable/zentrova-cli.exe && -f $portable/说明.txt &&
    -f $portable/许可协议.txt ]]
}
check "the ZIP unpacks to both programs, the note and the terms" unpacked || finish
check "the note is UTF-8 with a byte-order mark, for every Notepad" \
  bash -c "head -c 3 '$portable/说明.txt' | cmp -s - <(printf '\xef\xbb\xbf')"
check "the portable command-line client converts" cli_converts "$portable"
timeout 900 wineserver -w  # as above: the program must get the display
check "the portable program starts and converts" converts_once "$portable"
stop_display
finish
