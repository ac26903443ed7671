#!/usr/bin/env bash
# The real program on a real X11 desktop (Xvfb with the openbox window manager), driven only
# from outside as a person would: xdotool clicks and keys, xclip for the clipboard. One suite
# for both front ends: the Qt program, and Zentrova.exe under Wine in a Chinese locale.
#   desktop_test.sh PROGRAM ARTIFACT_DIR [PACKAGE_DIR]
# A PROGRAM ending in .exe runs under wine64. With PACKAGE_DIR, the .deb found there is
# unpacked into a scratch root and run from it.
set -u
program=$1
artifacts=$2
package_dir=${3:-}
mkdir -p "$artifacts"
work=$(mktemp -d)
pids=()

source "$(dirname "$0")/../../scripts/lib/desktop.sh"
source "$(dirname "$0")/../support/checks.sh"

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  [[ $program == *.exe ]] && wineserver -k 2>/dev/null
  stop_display
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

start_display 1280x1024 wm || exit 1

if [[ $program == *.exe ]]; then
  use_wine
  run_program() { "$wine64" "$@"; }
else
  run_program() { "$@"; }
fi

app_pid=""
window=""
start_app() {  # start_app PROGRAM [ARGUMENT...]
  run_program "$@" >>"$artifacts/program.log" 2>&1 &
  app_pid=$!
  pids+=("$app_pid")
  wait_until "$patience" find_window || return 1
  activate "$window"
}

# Handlers run one at a time, so once the About box that Alt+A asks for has come and gone,
# every earlier click has been handled.
about_box_shown() { xdotool search --onlyvisible --name '^关于$' >/dev/null 2>&1; }
about_box_gone() { ! about_box_shown; }
about() {  # [SECONDS the earlier clicks may take]
  activate "$window"
  xdotool key alt+a
  wait_until "${1:-$patience}" about_box_shown || return 1
  xdotool key Return
  wait_until "$patience" about_box_gone
}

# What TxtOut shows, through the clipboard: select all of it and copy.
txtout() {
  click_control TxtOut
  xdotool key ctrl+a ctrl+c
}
txtout_is() {
  set_clipboard "(not yet copied)" || return 1
  txtout
  wait_until "$patience" clipboard_is "$1"
}

clear_box() {  # NAME
  click_control "$1"
  xdotool key ctrl+a BackSpace
}
clear_input() { clear_box TxtRes; }

# What a failed check left: the window with the focus, the clipboard's first characters, and a
# screenshot in the artifacts.
describe_failure() {
  local focused shot="$artifacts/failed-$failed.png"
  focused=$(timeout "$patience" xdotool getwindowfocus getwindowname 2>/dev/null)
  echo "  focus on: ${focused:-(none)}; clipboard: $(clipboard | head -c 80 | tr '\n' ' ')"
  import -window root "$shot" 2>/dev/null && echo "  screen: $shot"
}

# The program reads no command line: a toolkit option such as -qwindowtitle changes nothing.
check "the program starts, reading no command line, and maps its window" \
  start_app "$program" -qwindowtitle "Not the caption" || exit 1

# The whole window, frame included, stands in the middle of the work area, and its client
# area is 561 x 291 pixels (at 96 dpi, as Xvfb and Wine have it here).
client_size_is() {
  xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{exit !(w == 561 && h == 291)}'
}
frame_centred() {
  local ox oy left right top bottom wx wy ww wh
  read -r ox oy < <(window_origin)
  read -r left right top bottom < <(frame_extents)
  read -r wx wy ww wh _ < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g')
  local dx=$(((ox - left) * 2 + 561 + left + right - (wx * 2 + ww)))
  local dy=$(((oy - top) * 2 + 291 + top + bottom - (wy * 2 + wh)))
  # Twice the offsets, so that an odd leftover pixel is allowed.
  frame_offset="$dx/2, $dy/2"
  ((dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2))
}
check "the client area is 561 x 291" client_size_is
check "the framed window is centred on the work area" wait_until "$patience" frame_centred ||
  echo "  (the frame is off centre by $frame_offset pixels)"

# Conversions with the clipboard as the source (the input box is empty).
convert_from_clipboard() {  # BUTTON SOURCE EXPECTED
  set_clipboard "$2"
  click_control "$1"
  wait_until "$patience" clipboard_is "$3"
}
while IFS='|' read -r button source expected; do
  check "$button: $source" convert_from_clipboard "$button" "$source" "$expected"
done <<'ROWS'
cmdEncodeToXL|http://a/b|thunder://QUFodHRwOi8vYS9iWlo=
cmdEncodeToFG|http://a/b|flashget://aHR0cDovL2EvYg==
cmdEncodeToXF|http://a/b|qqdl://aHR0cDovL2EvYg==
cmdDecodecmd|thunder://QUFodHRwOi8vYS9iWlo=|http://a/b
cmdDecodecmd|flashget://aHR0cDovL2EvYg==|http://a/b
cmdDecodecmd|qqdl://aHR0cDovL2EvYg==|http://a/b
cmdEncodeToXL|http://a/中|thunder://QUFodHRwOi8vYS/W0Fpa
cmdDecodecmd|thunder://QUFodHRwOi8vYS/W0Fpa|http://a/中
ROWS

# Refused sources: the failure text in TxtOut, the clipboard as it was and still served by
# the program that set it.
refused() {  # BUTTON SOURCE FAILURE
  clear_box TxtOut  # so that only this click can put the failure text there
  set_clipboard "$2"
  click_control "$1"
  about || return 1
  wait_until "$patience" clipboard_is "$2" && kill -0 "$clip_owner" && txtout_is "$3"
}
check "thunder refuses https" refused cmdEncodeToXL "https://a/b" "剪切板文本不是HTTP链接"
check "flashget refuses https" refused cmdEncodeToFG "https://a/b" "剪切板文本不是HTTP链接"
check "qqdl refuses https" refused cmdEncodeToXF "https://a/b" "剪切板文本不是HTTP链接"
check "decoder refuses garbage" refused cmdDecodecmd "qqdl://@@@@" "剪切板文本不是专用链接"
# Line breaks, a NUL or an escape carried inside a link would run as commands once pasted.
check "decoder refuses line breaks inside a link" refused cmdDecodecmd \
  "qqdl://aHR0cDovL2EvDQpjdXJsIGV2aWwuZXhhbXBsZXxzaA0K" "剪切板文本不是专用链接"
check "decoder refuses a NUL inside a link" refused cmdDecodecmd \
  "flashget://aHR0cDovL2EvAGI=" "剪切板文本不是专用链接"
check "decoder refuses an escape inside a link" refused cmdDecodecmd \
  "thunder://QUFodHRwOi8vYS8bWzMxbVpa" "剪切板文本不是专用链接"

# The input box as the source.
typed() {  # BUTTON TEXT EXPECTED
  clear_input
  xdotool type --delay 5 "$2"
  click_control "$1"
  wait_until "$patience" clipboard_is "$3"
}
check "typed address to FlashGet" typed cmdEncodeToFG "http://a/b" "flashget://aHR0cDovL2EvYg=="
check "typed link back" typed cmdDecodecmd "qqdl://aHR0cDovL2EvYg==" "http://a/b"
enter_in_box() {
  clear_input
  xdotool type --delay 5 "http://a/"
  xdotool key Return
  xdotool type --delay 5 "b"
  click_control cmdEncodeToXF
  # The box's line break reaches the command as CR LF, as a Windows text box holds it.
  wait_until "$patience" clipboard_is "qqdl://aHR0cDovL2EvDQpi"
}
check "Enter in the input box starts a new line" enter_in_box
clear_input

# A pasted text reaches the command as it stands: a no-break space or a line separator is no
# space and no line break (neither is in code page 936, so each becomes "?").
pasted() {  # TEXT EXPECTED
  clear_input
  set_clipboard "$1" || return 1
  click_control TxtRes
  xdotool key ctrl+v
  click_control cmdEncodeToFG
  wait_until "$patience" clipboard_is "$2"
}
check "pasted no-break space" pasted $'http://a/b\u00a0x' "flashget://aHR0cDovL2EvYj94"
check "pasted line separator" pasted $'http://a/b\u2028x' "flashget://aHR0cDovL2EvYj94"
clear_input

# The keyboard alone: Tab from the input box through the output box to the FlashGet button,
# then Enter clicks it; Tab to the Thunder button, and Space clicks that.
keyboard_clicks() {  # KEY EXPECTED TABS
  set_clipboard "http://a/b" || return 1
  clear_input
  local i
  for ((i = 0; i < $3; i++)); do xdotool key Tab; done
  xdotool key "$1"
  wait_until "$patience" clipboard_is "$2" || return 1
  about  # the key's release has been handled too before anything else is clicked
}
check "Enter on a focused button clicks it" keyboard_clicks Return "flashget://aHR0cDovL2EvYg==" 2
check "Space on a focused button clicks it" keyboard_clicks space "thunder://QUFodHRwOi8vYS9iWlo=" 3
clear_input

# Esc in a text box leaves the window open and the text whole.
esc_in_box() {
  set_clipboard "not a link" || return 1
  clear_input
  xdotool type --delay 5 "http://a/d"
  xdotool key Escape
  about || return 1  # the Esc has been handled
  kill -0 "$app_pid" || return 1
  click_control cmdEncodeToFG
  wait_until "$patience" clipboard_is "flashget://aHR0cDovL2EvZA=="
}
check "Esc in the input box closes nothing and keeps the text" esc_in_box

# The keyboard focus comes back to the box that had it, after a message box and after another
# window was active: what is typed then goes into the box. (Were the focus lost, the input box
# would stay empty and the command would refuse the clipboard's text.)
typed_after() {  # WHAT EXPECTED
  set_clipboard "not a link" || return 1
  clear_input
  "$1" || return 1
  xdotool type --delay 5 "${2%%|*}"
  click_control cmdEncodeToFG
  wait_until "$patience" clipboard_is "${2#*|}"
}
other_window() {
  xmessage -name other "another program" &
  pids+=($!)
  local other=""
  wait_until "$patience" eval 'other=$(xdotool search --onlyvisible --classname "^other$" | head -1); [[ -n $other ]]' ||
    return 1
  activate "$other" || return 1
  activate "$window" || return 1
  # Once About has come and gone, the window has handled its activation: a person does not type
  # within the millisecond either. About itself leaves the focus where it was.
  about
}
check "after About, typing goes into the box that had the focus" \
  typed_after about "http://a/c|flashget://aHR0cDovL2EvYw=="
check "after another window, typing goes into the box that had the focus" \
  typed_after other_window "http://a/e|flashget://aHR0cDovL2EvZQ=="
# The other program goes, and the window is the active one again with every activation handled,
# before anything else is clicked: Wine hears of X focus changes a while after they happen.
other_gone() { ! xdotool search --classname '^other$' >/dev/null 2>&1; }
pkill -x xmessage 2>/dev/null
wait_until "$patience" other_gone
about
clear_input

# A long address makes a link of several lines, which decodes back.
long="http://example.com/$(printf 'x%.0s' $(seq 150))/file.zip"
long_link() {
  set_clipboard "$long" || return 1
  click_control cmdEncodeToXF
  wait_until "$patience" clipboard_starts_with qqdl:// || return 1
  local link
  link=$(clipboard)
  [[ $link == *$'\n'* ]] || { echo "  the link is one line: ${link:0:80}"; return 1; }
  click_control cmdDecodecmd
  wait_until "$patience" clipboard_is "$long"
}
check "long address spans lines and comes back" long_link

# A link far too long to wrap quickly keeps the window answering: pasted into the input box,
# decoded, and shown whole in the output box; the boxes then take short texts as before.
huge="http://example.com/$(head -c 400000 /dev/zero | tr '\0' x)"
huge_link="thunder://$(printf 'AA%sZZ' "$huge" | base64 -w0)"
huge_pasted() {
  clear_input
  set_clipboard "$huge_link" || return 1
  click_control TxtRes
  xdotool key ctrl+v
  click_control cmdDecodecmd
  wait_until "$patience" clipboard_is "$huge" || return 1
  txtout_is "$huge"
}
check "a pasted link of 530,000 characters comes back whole" huge_pasted
clear_box TxtOut
check "after it, a typed address still converts" typed cmdEncodeToFG "http://a/b" "flashget://aHR0cDovL2EvYg=="
clear_input

# A link of a 16 MB address from the clipboard: decoded, the address is back on the clipboard
# and whole in TxtOut. Each step may take a sanitized build or Wine many seconds.
copied_is() {  # COPY EXPECTED: the clipboard, copied into the file COPY, is the file EXPECTED
  clipboard >"$1" && cmp -s "$1" "$2"
}
sixteen_megabytes() {
  head -c 16000000 /dev/zero | tr '\0' a | sed 's|^|http://h/|' >"$work/address"
  { printf 'flashget://'; base64 -w0 <"$work/address"; } >"$work/link"
  xclip -selection clipboard -i "$work/link"
  wait_until "$patience" clipboard_starts_with flashget:// || return 1
  click_control cmdDecodecmd
  about $((patience * 10)) || return 1
  wait_until $((patience * 3)) copied_is "$work/decoded" "$work/address" || return 1
  set_clipboard "(not yet copied)" || return 1
  txtout
  about $((patience * 10)) || return 1
  wait_until $((patience * 3)) copied_is "$work/shown" "$work/address"
}
check "a link of a 16 MB address comes back whole" sixteen_megabytes
clear_box TxtOut

# How it looks: a screenshot, checked at a few pixels of the layout.
shot="$artifacts/screenshot.png"
import -window root "$shot"
pixel() {  # pixel X Y (client coordinates) -> "R,G,B"
  local ox oy
  read -r ox oy < <(window_origin)
  convert "$shot" -format "%[fx:int(255*p{$((ox + $1)),$((oy + $2))}.r)],%[fx:int(255*p{$((ox + $1)),$((oy + $2))}.g)],%[fx:int(255*p{$((ox + $1)),$((oy + $2))}.b)]" info:
}
pixel_is() { [[ "$(pixel "$1" "$2")" == "$3" ]]; }
note_is_red() {  # some pixel of the note's text is #C00000
  local ox oy
  read -r ox oy < <(window_origin)
  convert "$shot" -crop "336x13+$((ox + 16))+$((oy + 261))" txt:- | grep -qi '#C00000'
}
check "banner is light blue" pixel_is 3 3 "128,160,255"
check "input frame title is grey" pixel_is 10 57 "128,128,128"
check "output frame title is grey" pixel_is 10 153 "128,128,128"
check "operations title is white" pixel_is 545 57 "255,255,255"
check "note is dark red" note_is_red

# On screens of 125 and 200 per cent each button icon is its picture drawn at that size, not
# the 16-pixel one stretched: the screenshot around each icon holds the larger picture, laid
# over the window's face, almost exactly. (Qt takes the scale from QT_SCALE_FACTOR, Windows from
# the system DPI in the registry.)
icons_dir="$(dirname "$0")/../../resources/icons/generated"
set_scale() {  # PERCENT
  if [[ $program == *.exe ]]; then
    "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((96 * $1 / 100)) /f \
      >/dev/null 2>&1
    # The next start reads the new setting; a Wine that lingers on is ended.
    timeout "$patience" wineserver -w || wineserver -k
  fi
  scale_percent=$1
}
icon_matches() {  # SHOT X Y SIDE PICTURE: the picture found near (X, Y)
  local expected="$work/expected.png" area="$work/area.png" face error
  face=$(convert "$1" -format "%[pixel:p{$(($2 - 3)),$(($3 + $4 / 2))}]" info:)
  convert -size "$4x$4" "xc:$face" "$icons_dir/$5@$4.png" -composite "$expected" || return 1
  convert "$1" -crop "$(($4 + 8))x$(($4 + 8))+$(($2 - 4))+$(($3 - 4))" +repage "$area" || return 1
  error=$(compare -metric RMSE -subimage-search "$area" "$expected" null: 2>&1 | sed -n 's/.*(\([0-9.e-]*\)).*/\1/p' | head -1)
  echo "  $5 at $scale_percent%: error $error"
  awk -v e="$error" 'BEGIN{exit !(e != "" && e < 0.02)}'
}
icons_at_scale() {  # PERCENT
  set_scale "$1"
  QT_SCALE_FACTOR=$(awk -v p="$1" 'BEGIN{print p / 100}') start_app "$program" || return 1
  local ox oy side=$((16 * $1 / 100)) failed=0 image left top picture
  wait_until "$patience" bash -c "xwininfo -id $window | grep -q 'Width: $((561 * $1 / 100))'" || return 1
  about || return 1  # painted and answering
  read -r ox oy < <(window_origin)
  import -window root "$work/scaled.png"
  for image in "Img(0) 6000 2205 flashget" "Img(1) 6000 2685 thunder" "Img(2) 6000 3165 qqdl" \
    "Img(3) 6000 1365 decode"; do
    read -r _ left top picture <<<"$image"
    icon_matches "$work/scaled.png" $((ox + left * $1 / 1500)) $((oy + top * $1 / 1500)) "$side" \
      "$picture" || failed=1
  done
  activate "$window"
  xdotool key alt+e
  wait_until "$patience" bash -c "! kill -0 $app_pid 2>/dev/null"
  return $failed
}
# About through Alt+A, closed with Enter.
check "About opens and closes" about

# Exit through Alt+E: the process ends, with status 0. (How fast is bench/'s business.)
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
ends() { wait_until "$patience" app_ended && wait "$app_pid"; }
exit_keys() {
  activate "$window"
  xdotool key alt+e
  ends
}
check "Exit ends the program" exit_keys

# The title bar's close button, after a conversion.
close_button() {
  start_app "$program" || return 1
  convert_from_clipboard cmdEncodeToXF "http://a/b" "qqdl://aHR0cDovL2EvYg==" || return 1
  local ox oy left right top bottom
  read -r ox oy < <(window_origin)
  read -r left right top bottom < <(frame_extents)
  xdotool mousemove $((ox + 561 + right - 10)) $((oy - top / 2)) click 1
  ends
}
check "the close button ends the program" close_button

# Twenty fresh starts, each converting at once: the link is on the clipboard before the program
# starts, and the button is clicked as soon as the window shows. The result must reach the
# clipboard every time. (Under Wine it stays there only while a Wine program runs: Wine's
# desktop process serves the X selection and takes the text along when it ends, as
# tests/win32/wine_clipboard/show.sh shows with the smallest program; real Windows keeps it.)
fresh_starts() {
  local run
  for run in $(seq 20); do
    set_clipboard "http://a/$run" || return 1
    start_app "$program" || { echo "  start $run: no window"; return 1; }
    click_control cmdEncodeToFG
    if ! wait_until "$patience" clipboard_is "flashget://$(printf 'http://a/%s' "$run" | base64 -w0)"; then
      echo "  start $run: the clipboard holds '$(clipboard)'"
      return 1
    fi
    activate "$window"
    xdotool key alt+e
    wait_until "$patience" app_ended || return 1
  done
}
check "twenty fresh starts each convert at once" fresh_starts

check "button icons at 125%" icons_at_scale 125
check "button icons at 200%" icons_at_scale 200
set_scale 100
[[ $program == *.exe ]] && "$wine64" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1

# The Debian package, unpacked into a scratch root, runs from there.
if [[ -n $package_dir ]]; then
  installed() {
    local packages=("$package_dir"/zentrova_*.deb)
    ((${#packages[@]} == 1)) && [[ -f ${packages[0]} ]] || return 1
    dpkg -x "${packages[0]}" "$work/root" || return 1
    start_app "$work/root/usr/bin/zentrova" || return 1
    convert_from_clipboard cmdEncodeToXL "http://a/b" "thunder://QUFodHRwOi8vYS9iWlo=" || return 1
    activate "$window"
    xdotool key alt+e
    ends
  }
  check "the unpacked package runs" installed
fi

report
