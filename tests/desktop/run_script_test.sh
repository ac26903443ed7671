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
headless_run() {  # SCREENSHOT [PROGRAM]
  setsid --wait bash -c 'echo $$ >"$0/session"; exec "$@"' "$work" \
    env -u DISPLAY -u WAYLAND_DISPLAY ZENTROVA_SCREENSHOT="$1" \
    ${2:+ZENTROVA_RUN_PROGRAM="$2"} \
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

# A program that ends before its window appears: the run must not wait out its patience
# saying only that it waited, but say how the program ended and the last it wrote, on standard
# output and on standard error.
#   name | what the stand-in does last | what the run must say of its end
while IFS='|' read -r name body said; do
  printf '#!/bin/sh\necho "starting up"\necho "last words" >&2\n%s\n' "$body" >"$work/stand-in"
  chmod +x "$work/stand-in"
  headless_run "$work/shots/never.png" "$work/stand-in"
  check "$name: fails" test "$status" -ne 0
  check "$name: says the window did not appear" grep -q "the window did not appear" "$work/err"
  check "$name: says how it ended" grep -qF "$said" "$work/err"
  check "$name: shows its standard output" grep -qF "  starting up" "$work/err"
  check "$name: shows its standard error" grep -qF "  last words" "$work/err"
  check "$name: leaves no screenshot" test ! -e "$work/shots/never.png"
  check "$name: leaves nothing running" left_nothing_running
done <<'CASES'
a program that exits at once|exit 3|the program ended with status 3
a program that crashes|kill -SEGV $$|the program was ended by signal SEGV
CASES

report
