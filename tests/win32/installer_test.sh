#!/usr/bin/env bash
# The Windows packages as a user meets them, in a Wine prefix of its own in a Chinese locale.
# The installer: silent install, the programs and the Start-menu shortcut in place and the
# uninstaller registered, the installed programs start and convert once, silent uninstall
# leaves nothing; then an install through its pages that adds the folder to the user's PATH,
# and the uninstall that takes it off again. Throughout, a stand-in for Thunder holds thunder://
# before any install: silent installs leave it (and take flashget:// and qqdl://) unless told
# /ASSOCIATE=yes, the page starts with its box unchecked, and every uninstall puts it back as it
# was, key by key, with each value's type and whole length (reg.exe, which keeps it, missing
# included). The portable ZIP: unpacked anywhere, the programs run from it and register nothing.
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

# PROGRAM ARGUMENT...: runs PROGRAM, without a display, and waits until every process it started
# has ended. `silent PROGRAM` gives it /S alone.
silently() {
  DISPLAY='' timeout 900 "$wine64" "$@" >/dev/null 2>&1 || return 1
  timeout 900 wineserver -w
}
silent() { silently "$1" /S; }
# The links' schemes as the registry holds them, each key and value a line: Wine finds URL
# protocols under HKLM\Software\Classes alone.
classes() {  # SCHEME
  DISPLAY='' "$wine64" reg query "HKLM\\Software\\Classes\\$1" /s 2>/dev/null |
    iconv -f GBK -t UTF-8 | tr -d '\r' | grep -v '^$'
}
reg_add() { DISPLAY='' "$wine64" reg add "$@" /f >/dev/null 2>&1; }
thunder_key='HKLM\Software\Classes\thunder'
# What NSIS's own registry commands lose: a command to expand (REG_EXPAND_SZ), an icon longer
# than their 1,023 characters (and than the 8,191 of NSIS's large-string build), and a
# DelegateExecute, which Windows runs in place of any command beside it.
long_icon='C:\Thunder\'$(printf 'T%.0s' {1..9000})'.dll,0'
reg_add "$thunder_key" /ve /d 'URL:Thunder Protocol' &&
  reg_add "$thunder_key" /v 'URL Protocol' /d '' &&
  reg_add "$thunder_key\DefaultIcon" /ve /d "$long_icon" &&
  reg_add "$thunder_key\shell\open\command" /ve /t REG_EXPAND_SZ \
    /d '"%ProgramFiles%\Thunder\Thunder.exe" "%1"' &&
  reg_add "$thunder_key\shell\open\command" /v DelegateExecute \
    /d '{5C19A3B6-0D0E-4C8B-9F6A-2E6B6B1F7A41}'
stand_in=$(classes thunder)
stand_in_whole() {
  ((${#long_icon} > 9000)) &&
    grep -qF '(默认)    REG_EXPAND_SZ    "%ProgramFiles%\Thunder\Thunder.exe" "%1"' <<<"$stand_in" &&
    grep -qF "(默认)    REG_SZ    $long_icon" <<<"$stand_in" &&
    grep -qF 'DelegateExecute    REG_SZ    {5C19A3B6-0D0E-4C8B-9F6A-2E6B6B1F7A41}' <<<"$stand_in"
}
check "a stand-in for Thunder holds thunder://, with all three values" stand_in_whole
# Key by key and value by value, each with its type and its whole data, as reg prints them.
stand_in_kept() {
  [[ $(classes thunder) == "$stand_in" ]] ||
    { diff <(echo "$stand_in") <(classes thunder) | cut -c1-200; return 1; }
}
# taken_whole: thunder:// is this program's, with nothing of Thunder's left in its key.
taken_whole() {
  registered_here thunder || return 1
  local left
  left=$(classes thunder | grep -e DelegateExecute -e 'Thunder\\' -e REG_EXPAND_SZ)
  [[ -z $left ]] || { cut -c1-200 <<<"$left"; return 1; }
}
# registered_here SCHEME: opened by the installed zentrova-open.exe, a URL protocol with an icon.
registered_here() {
  local key
  key=$(classes "$1")
  grep -qF '(默认)    REG_SZ    "C:\Program Files\Zentrova\zentrova-open.exe" "%1"' <<<"$key" &&
    grep -q '^    URL Protocol    REG_SZ' <<<"$key" &&
    grep -qF 'DefaultIcon' <<<"$key" || { echo "$key"; return 1; }
}
unclaimed() {  # SCHEME: no such key at all (reg says why on its output, so its status counts)
  ! DISPLAY='' "$wine64" reg query "HKLM\\Software\\Classes\\$1" >/dev/null 2>&1 ||
    { classes "$1"; return 1; }
}

check "the installer runs silently" silent "$installer" || finish
check "the program is under Program Files" test -f "$folder/Zentrova.exe"
check "the Start menu has its shortcut" test -f "$shortcut"
check "the uninstaller is registered" registered
check "the uninstaller is installed" test -f "$folder/Uninstall.exe"
check "the command-line client is beside the program" test -f "$folder/zentrova-cli.exe"
check "the links' handler is beside the program" test -f "$folder/zentrova-open.exe"
check "a silent install leaves Thunder's thunder:// alone" stand_in_kept
check "a silent install takes flashget://" registered_here flashget
check "a silent install takes qqdl://" registered_here qqdl
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
check "Thunder still holds thunder://" stand_in_kept
check "flashget:// is no longer registered" unclaimed flashget
check "qqdl:// is no longer registered" unclaimed qqdl

# The switch: all three taken, and Thunder's put back as it was; none taken; a mistyped one.
check "/ASSOCIATE=yes installs silently" silently "$installer" /S /ASSOCIATE=yes
check "/ASSOCIATE=yes takes thunder:// from Thunder, none of its values left" taken_whole
check "/ASSOCIATE=yes takes flashget:// too" registered_here flashget
check "its uninstaller runs silently" silent "$folder/Uninstall.exe"
check "the uninstall gives thunder:// back to Thunder as it was" stand_in_kept
check "and leaves flashget:// to no one" unclaimed flashget
check "/ASSOCIATE=no installs silently" silently "$installer" /S /ASSOCIATE=no
check "/ASSOCIATE=no takes no scheme" unclaimed flashget
check "/ASSOCIATE=no leaves Thunder's alone" stand_in_kept
check "its uninstaller runs silently" silent "$folder/Uninstall.exe"
check "Thunder still holds thunder:// after it" stand_in_kept
# A program that takes a scheme after the install is the person's newer choice: kept.
taken_since() {
  silently "$installer" /S && registered_here qqdl || return 1
  reg_add 'HKLM\Software\Classes\qqdl\shell\open\command' /ve /d '"C:\Other\Other.exe" "%1"'
  silent "$folder/Uninstall.exe" || return 1
  classes qqdl | grep -qF '(默认)    REG_SZ    "C:\Other\Other.exe" "%1"' || { classes qqdl; return 1; }
  DISPLAY='' "$wine64" reg delete 'HKLM\Software\Classes\qqdl' /f >/dev/null 2>&1
}
check "the uninstall leaves a scheme another program took since the install" taken_since
# reg.exe keeps and puts back the replaced key: where it cannot run, the install leaves the
# scheme to Thunder (and takes the free ones), and the uninstall stops with nothing changed,
# keeping what it needs for another try.
reg_exe="$drive_c/windows/system32/reg.exe"
without_reg() { mv "$reg_exe" "$reg_exe.away" && "$@"; local status=$?; mv "$reg_exe.away" "$reg_exe"; return $status; }
unkept_is_left() {
  without_reg silently "$installer" /S /ASSOCIATE=yes || return 1
  stand_in_kept && registered_here flashget || return 1
  silent "$folder/Uninstall.exe" && stand_in_kept && unclaimed flashget
}
check "where reg.exe cannot keep Thunder's key, the install leaves thunder:// to Thunder" \
  unkept_is_left
uninstall_stops() {
  silently "$installer" /S /ASSOCIATE=yes && taken_whole || { echo "  not installed"; return 1; }
  without_reg silent "$folder/Uninstall.exe"
  local unchanged=1
  test -f "$folder/zentrova-open.exe" && registered && taken_whole && registered_here flashget ||
    { echo "  the stopped uninstall changed something"; unchanged=0; }
  silent "$folder/Uninstall.exe" && stand_in_kept && unclaimed flashget && test ! -e "$folder" ||
    { echo "  the second uninstall did not put everything back"; return 1; }
  ((unchanged))
}
check "where reg.exe cannot put it back, the uninstall changes nothing; a second one does" \
  uninstall_stops
refuses_typo() { ! silently "$installer" /S /ASSOCIATE=yse && test ! -e "$folder"; }
check "a mistyped /ASSOCIATE= fails and installs nothing" refuses_typo
check "and takes nothing" unclaimed qqdl

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
    { echo "  no installer window"; kill "$setup"; return 1; }
  activate "$page" || { kill "$setup"; return 1; }
  xdotool key Return Return  # the welcome page, the terms
  # Waited for, not read once: Wine rewrites the whole file for each value the page sets, so one
  # read can fall between a rewrite's start and its end.
  wait_until "$patience" options_say '^HWND=' ||
    { echo "  no PATH page: $(options_file)"; kill "$setup"; return 1; }
  wait_until "$patience" options_say '^Text=只添加到当前用户的 PATH$' ||
    { echo "  the PATH page is not in Chinese"; kill "$setup"; return 1; }
  # The links' boxes: thunder:// (Field 6) is Thunder's, so unchecked; the others are free.
  # Said at the end: the install goes on, so that no installer is left waiting.
  local states boxes_as_found=1
  boxes_as_expected() {
    states=$(iconv -f UTF-16 -t UTF-8 "$(options_file)" | tr -d '\r' |
      awk '/^\[Field/{field=$2} /^State=/{print field "=" substr($0, 7)}' | tr -d ']' | tr '\n' ' ')
    [[ $states == *"6=0 7=1 8=1 "* ]]
  }
  wait_until "$patience" boxes_as_expected ||
    { echo "  the links' boxes: $states"; boxes_as_found=0; }
  xdotool key Down Down Return
  # The folder, the Start-menu folder, the components, the installation and the last page:
  # Enter until the installer has ended (one pressed while it installs changes nothing).
  installer_setup=$setup
  wait_until $((patience * 5)) return_ends_installer ||
    { echo "  the installer did not end"; kill "$setup"; return 1; }
  [[ $(user_path) == *'C:\Program Files\Zentrova'* ]] ||
    { echo "  the user's PATH: $(user_path)"; return 1; }
  ((boxes_as_found))
}
timeout 900 wineserver -w  # as above: the installer must get the display
check "a person's install through the pages adds the folder to their PATH, Thunder's box unchecked" \
  through_the_pages
by_name_alone() {
  local said
  said=$(DISPLAY='' "$wine64" cmd /c "zentrova-cli link thunder http://a/b" 2>/dev/null)
  [[ ${said%$'\r'} == "thunder://QUFodHRwOi8vYS9iWlo=" ]]
}
check "zentrova-cli then runs by its name alone" by_name_alone
check "the pages' install leaves Thunder's thunder:// alone" stand_in_kept
check "the pages' install takes qqdl://" registered_here qqdl
timeout 900 wineserver -w
check "its uninstaller runs silently" silent "$folder/Uninstall.exe"
check "the folder is off the PATH again" off_the_path
check "Thunder holds thunder:// at the end" stand_in_kept
check "qqdl:// is registered to no one at the end" unclaimed qqdl

# The portable copy, unpacked into a folder of the user's.
portable="$drive_c/users/Public/便携"
unpacked() {
  mkdir -p "$portable" && (cd "$portable" && unzip -q "$zip") || return 1
  portable="$portable/$(basename "$zip" .zip)"
  [[ -f $portable/Zentrova.exe && -f $portable/zentrova-cli.exe &&
    -f $portable/zentrova-open.exe && -f $portable/说明.txt && -f $portable/许可协议.txt ]]
}
check "the ZIP unpacks to the programs, the note and the terms" unpacked || finish
check "the note is UTF-8 with a byte-order mark, for every Notepad" \
  bash -c "head -c 3 '$portable/说明.txt' | cmp -s - <(printf '\xef\xbb\xbf')"
check "the portable command-line client converts" cli_converts "$portable"
timeout 900 wineserver -w  # as above: the program must get the display
check "the portable program starts and converts" converts_once "$portable"
timeout 900 wineserver -w
check "the portable copy registers no scheme" unclaimed flashget
check "the portable copy leaves Thunder's alone" stand_in_kept
stop_display
finish
