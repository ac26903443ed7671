#!/usr/bin/env bash
# The README's run command on a machine without a display: it must show the window on a
# virtual one, leave a screenshot of it and exit 0; and when it cannot do its job, say why and
# exit non-zero.
#   run_script_test.sh SOURCE_DIR
set -u
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../support/checks.sh"
# Runs the script in a session of its own (its id in $session), so that whatever it leaves
# running can be found: its status in $status, its errors in $work/err.
headless_run() {  # SCREENSHOT
  setsid --wait bash -c 'echo $$ >"$0/session"; exec "$@"' "$work" \
    env -u DISPLAY -u WAYLAND_DISPLAY ZENTROVA_SCREENSHOT="$1" \
    "$source_dir/scripts/run.sh" >"$work/out" 2>"$work/err"
  status=$?
  session=$(cat "$work/session")
}

headless_run "$work/shots/window.png"
check "exits 0 after doing its job" test "$status" -eq 0
check "prints where the screenshot is" grep -qF "$work/shots/window.png" "$work/out"
check "the screenshot is a PNG" bash -c "file '$work/shots/window.png' | grep -q 'PNG image'"
# The client area is 561 x 291; the window manager's frame adds to both.
size_holds_window() {
  local w h
  read -r w h < <(identify -format '%w %h' "$work/shots/window.png")
  ((w >= 561 && w < 561 + 40 && h >= 291 && h < 291 + 80))
}
check "the screenshot holds the framed window" size_holds_window
banner_shown() {  # the banner's light blue just above the note's row, at the client's right
  convert "$work/shots/window.png" -crop 20x20+200+40 txt:- | grep -qi '#80A0FF'
}
check "the screenshot shows the painted window" banner_shown
left_nothing_running() { ! pgrep -s "$session" >/dev/null; }
check "leaves nothing running: no display, window manager or program" left_nothing_running

headless_run /dev/null/window.png
check "a screenshot it cannot write fails" test "$status" -ne 0
check "and says why" grep -q "cannot be written" "$work/err"

report
