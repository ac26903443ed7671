# Shared by the run script, the desktop tests and the start-up benchmark: a private X display
# and the few ways of finding and reaching the window from outside. Source it; it defines
# functions only. The caller kills what it started (the pids in desktop_pids).
desktop_pids=()

# How long any wait for the desktop or the program may take before it counts as failed. Waits
# end as soon as their condition holds, so this only bounds a failure; it is generous because a
# loaded machine, a sanitized build or Wine can be many times slower than an idle one.
patience=${ZENTROVA_PATIENCE:-60}

# wait_until SECONDS COMMAND...: polls the command until it succeeds.
wait_until() {
  local deadline=$(($(date +%s%N) + $1 * 1000000000))
  shift
  while ! "$@" 2>/dev/null; do
    (($(date +%s%N) > deadline)) && return 1
    sleep 0.01
  done
}

# start_display WIDTHxHEIGHT [wm]: Xvfb on a display number it picks itself, exported as
# DISPLAY; with "wm", openbox runs on it too, ready before this returns. A caller killed by a
# signal (a test timeout, Ctrl-C) still runs its EXIT trap, so nothing is left behind.
start_display() {
  trap 'exit 130' INT
  trap 'exit 143' TERM
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  desktop_pids+=($!)
  wait_until "$patience" test -s "$numfile" || { rm -f "$numfile"; echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(cat "$numfile")
  rm -f "$numfile"
  if [[ ${2:-} == wm ]]; then
    # Its errors are kept, so that a window manager that never came up says why.
    local wm_errors
    wm_errors=$(mktemp)
    openbox --sm-disable >/dev/null 2>"$wm_errors" &
    desktop_pids+=($!)
    if ! wait_until "$patience" _wm_ready; then
      echo "openbox did not start on $DISPLAY: $(tail -n 3 "$wm_errors" | tr '\n' ' ')" >&2
      rm -f "$wm_errors"
      return 1
    fi
    rm -f "$wm_errors"
  fi
}
_wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

stop_display() {
  local pid
  for pid in "${desktop_pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait "${desktop_pids[@]}" 2>/dev/null
  desktop_pids=()
}

# use_wine: Windows programs run as the program's users have them, through "$wine64" in a
# Chinese (PRC) locale, which gives code page 936. A Wine still running in the prefix keeps the
# display it was started on, so it is ended first; making a new prefix can take minutes on a
# busy machine, so it is done here, before any wait for the program starts.
use_wine() {
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
  wineserver -k 2>/dev/null || true  # none may be running
  timeout 900 wineserver -w 2>/dev/null || true
  DISPLAY='' timeout 900 wineboot -i >/dev/null 2>&1
  timeout 900 wineserver -w 2>/dev/null || true
}

# find_window: sets window to the main window's id once it is mapped.
find_window() {
  window=$(xdotool search --onlyvisible --name '^Zentrova - By' 2>/dev/null | head -1)
  [[ -n $window ]]
}

# window_origin: the client area's top-left corner on the screen. (xwininfo, because
# xdotool's geometry leaves out the frame a window manager adds.)
window_origin() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}'
}

# frame_extents: the widths the window manager's frame adds, "LEFT RIGHT TOP BOTTOM".
frame_extents() {
  xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g'
}

# Control centres in twips, from the window's layout: left + width / 2, top + height / 2.
declare -A control_centre=(
  [cmdExit]="7635 4020" [cmdAbout]="6427 4020" [cmdDecodecmd]="7207 1500"
  [cmdEncodeToXF]="7207 3300" [cmdEncodeToXL]="7207 2820" [cmdEncodeToFG]="7207 2340"
  [TxtOut]="2887 3082" [TxtRes]="2887 1642"
)

# click_control NAME: a left click at the control's centre (15 twips to the pixel).
click_control() {
  local ox oy tx ty
  read -r ox oy < <(window_origin)
  read -r tx ty <<<"${control_centre[$1]}"
  # No --sync: it waits for a motion that never comes when the pointer is already there. A
  # press and a release rather than "click", which holds the button down for a while.
  xdotool mousemove $((ox + tx / 15)) $((oy + ty / 15)) mousedown 1 mouseup 1
}

# Each request to the X server or to a program is bounded too: xclip waits for ever on an owner
# that never answers, and "windowactivate --sync" on a window manager that never activates.
#   clipboard [SECONDS]: the clipboard's text, asked for once (within the patience by default).
clipboard() { timeout "${1:-$patience}" xclip -selection clipboard -o 2>/dev/null; }
# The tests polled by wait_until ask for half the patience only, so that a request that is never
# answered is asked again: Wine's clipboard now and then leaves one request unanswered (seen
# here for a whole minute after another program was activated) and answers the next at once.
ask_again=$((patience / 2))
clipboard_is() { [[ "$(clipboard "$ask_again")" == "$1" ]]; }
clipboard_starts_with() { [[ "$(clipboard "$ask_again" | head -c ${#1})" == "$1" ]]; }

# activate WINDOW: raises the window and gives it the focus, returning once it has it.
activate() { timeout "$patience" xdotool windowactivate --sync "$1" 2>/dev/null; }

# set_clipboard TEXT: the xclip that serves it (its pid in clip_owner) lives until another
# program takes the clipboard.
set_clipboard() {
  printf '%s' "$1" | xclip -selection clipboard -i &
  wait $!
  wait_until "$patience" clipboard_is "$1" || return 1
  clip_owner=$(pgrep -n -x xclip)
}
