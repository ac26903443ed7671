#!/usr/bin/env bash
# zentrova-open as the desktop runs it: in a scratch XDG_DATA_HOME and XDG_CONFIG_HOME, its
# desktop entry is the handler of thunder, flashget and qqdl, and stand-ins that write down what
# they are given are the browser (http, https, ftp) and the torrent client (magnet). xdg-open on
# a special link must end with the stand-in holding exactly the escaped address; a link that
# does not open shows the refusal's box and hands nothing on.
#   xdg_open_test.sh ZENTROVA_OPEN DESKTOP_ENTRY
source "$(dirname "$0")/cases.sh"
program=$(realpath "$1")
entry=$(realpath "$2")

scratch=$(mktemp -d)
finish() {
  local status=$?
  set +e
  stop_display
  rm -rf "$scratch"
  exit "$status"
}
trap finish EXIT
# The desktop first, with the caller's own settings.
start_display 800x600 wm || exit 1

export XDG_DATA_HOME=$scratch/data XDG_CONFIG_HOME=$scratch/config XDG_DATA_DIRS=$scratch/none
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/run
# xdg-open's generic way, the one every desktop falls back to; and never a real browser.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
export BROWSER=$scratch/bin/no-browser
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME" "$HOME" "$scratch/bin"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The handler's entry as installed, found on PATH as the package puts it.
ln -s "$program" "$scratch/bin/zentrova-open"
cp "$entry" "$XDG_DATA_HOME/applications/"
export PATH=$scratch/bin:$PATH

# stand_in NAME MIME...: a program that appends each argument it is given to $scratch/NAME.got.
stand_in() {
  local name=$1
  shift
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >> "%s/%s.got"\n' "$scratch" "$name" >"$scratch/bin/$name"
  chmod +x "$scratch/bin/$name"
  printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s %%u\nNoDisplay=true\nMimeType=%s\n' \
    "$name" "$name" "$(printf '%s;' "$@")" >"$XDG_DATA_HOME/applications/$name.desktop"
  for mime in "$@"; do xdg-mime default "$name.desktop" "$mime"; done
}
stand_in browser x-scheme-handler/http x-scheme-handler/https x-scheme-handler/ftp
stand_in torrents x-scheme-handler/magnet
printf '#!/bin/sh\necho "$@" >> "%s/no-browser.got"\nexit 1\n' "$scratch" >"$BROWSER"
chmod +x "$BROWSER"

# Nothing registered it by hand: the entry's own MimeType makes it the handler.
for scheme in thunder flashget qqdl; do
  got=$(xdg-mime query default "x-scheme-handler/$scheme")
  [[ $got == "$(basename "$entry")" ]] || fail "x-scheme-handler/$scheme is handled by '$got'"
done

stand_ins=(browser torrents no-browser)
err=$scratch/err
got_file() { echo "$scratch/$1.got"; }
open_link() { timeout "$patience" xdg-open "$1" 2>"$err"; }
all_ended() { :; }  # xdg-open ends once the stand-in it started has

hand_each_kind handed

# refused LINK REASON: xdg-open LINK shows the box titled Zentrova, says REASON on standard
# error, fails once the box is closed, and hands nothing on.
refused() {
  forget_given
  LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 timeout "$patience" xdg-open "$1" 2>"$scratch/err" &
  local opener=$!
  close_box
  if (($? == 1)); then
    fail "$1: no box"
    kill $opener 2>/dev/null
    wait $opener 2>/dev/null
    return
  fi
  wait $opener
  local status=$?
  ((status == 124)) && fail "$1: the box did not close"
  ((status == 0)) && fail "$1: xdg-open succeeded"
  grep -qF "$2" "$scratch/err" || fail "$1: the reason is not '$2': $(cat "$scratch/err")"
  given_only "$1"
}

refuse_each_kind refused
# This machine by its own name, and by a name its hosts file (a scratch one) maps here.
refused "thunder://$(printf 'AAhttp://%s:6800/jsonrpcZZ' "$(hostname)" | base64 -w0)" '本机'
printf '127.0.1.1 scratchbox\n' >"$scratch/hosts"
ZENTROVA_HOSTS_FILE=$scratch/hosts refused 'thunder://QUFodHRwOi8vc2NyYXRjaGJveDo2ODAwL2pzb25ycGM/bWV0aG9kPWFyaWEyLmFkZFVyaVpa' '本机'

# An http handler that is this program again: one refusal, no loop.
xdg-mime default "$(basename "$entry")" x-scheme-handler/http
refused 'qqdl://aHR0cDovL2gvYS56aXA=' '不是专用链接'
# A plain address that only carries a link is no link: a search for one, a script.
refused 'http://search.example/?q=thunder://QUFodHRwOi8vaC9hLnppcFpa' '不是专用链接'
for carrier in 'http://search.example/?q=thunder://QUFodHRwOi8vaC9hLnppcFpa' \
               'javascript:alert(1)//thunder://QUFodHRwOi8vaC9hLnppcFpa'; do
  forget_given
  if DISPLAY= LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 "$program" "$carrier" 2>"$scratch/err"; then
    fail "$carrier was opened"
  fi
  grep -qF '不是专用链接' "$scratch/err" || fail "$carrier: $(cat "$scratch/err")"
  given_only "$carrier"
done

# Without any display: the reason on standard error alone.
forget_given
if DISPLAY= LANG=C.UTF-8 LC_ALL=C.UTF-8 "$program" 'thunder://QUFqYXZhc2NyaXB0OmFsZXJ0KDEpWlo=' \
     2>"$scratch/err"; then
  fail "a refused link without a display succeeded"
fi
grep -q "^zentrova-open: Zentrova cannot open the link: .*javascript:" "$scratch/err" ||
  fail "without a display: $(cat "$scratch/err")"

# A display named that cannot be reached: the same refusal and status, whatever Qt does there.
DISPLAY=:4242 LANG=C.UTF-8 LC_ALL=C.UTF-8 "$program" 'thunder://QUFqYXZhc2NyaXB0OmFsZXJ0KDEpWlo=' \
  2>"$scratch/err"
status=$?
((status == 1)) || fail "an unreachable display: status $status, not 1"
grep -q "^zentrova-open: Zentrova cannot open the link: .*javascript:" "$scratch/err" ||
  fail "an unreachable display: $(cat "$scratch/err")"

finish_tally
