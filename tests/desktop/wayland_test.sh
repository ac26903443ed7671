#!/usr/bin/env bash
# The program on Wayland: a headless weston compositor, the program on Qt's Wayland platform,
# its window found in the compositor's scene graph under its title and application id, and
# painted as the layout says, read back through the compositor's screenshooter.
# (Weston's headless backend has no seat, so no clipboard and no input can be had there.)
#   wayland_test.sh PROGRAM APP_ID ARTIFACT_DIR
set -u
program=$1 app_id=$2 artifacts=$3
mkdir -p "$artifacts"
source "$(dirname "$0")/../../scripts/lib/desktop.sh"
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
export WAYLAND_DISPLAY=zentrova-test
unset DISPLAY
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT
source "$(dirname "$0")/../support/checks.sh"

# --debug gives the scene graph and the screenshooter; pixman renders without a GPU.
weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 --idle-time=0 \
  --debug --socket="$WAYLAND_DISPLAY" >"$artifacts/weston.log" 2>&1 &
pids+=($!)
compositor_ready() { [[ -S $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY ]]; }
check "weston starts" wait_until "$patience" compositor_ready || { report; exit 1; }

QT_QPA_PLATFORM=wayland "$program" >"$artifacts/wayland-program.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")

# The scene graph's line for the window: its role, title, application id and place.
window_view() {
  timeout 10 weston-debug -o "$artifacts/scene-graph.txt" scene-graph >/dev/null 2>&1
  view=$(grep -F "top-level window 'Zentrova - By Ovrani' of $app_id" -A1 "$artifacts/scene-graph.txt")
  [[ -n $view ]]
}
check "the window appears with its title and application id" wait_until "$patience" window_view ||
  { report; exit 1; }

# The window's place on the output: "position: (x1, y1) -> (x2, y2)", frame included.
read -r x1 y1 x2 y2 < <(sed -n 's/.*position: (\([0-9]*\), \([0-9]*\)) -> (\([0-9]*\), \([0-9]*\)).*/\1 \2 \3 \4/p' <<<"$view")
shot_dir=$(mktemp -d)
banner_painted() {  # at least the banner's area in its light blue inside the window's place
  rm -f "$shot_dir"/*.png
  (cd "$shot_dir" && timeout 10 weston-screenshooter >/dev/null 2>&1) || return 1
  local shot=("$shot_dir"/*.png)
  cp "${shot[0]}" "$artifacts/wayland-screenshot.png"
  local blue
  blue=$(convert "${shot[0]}" -crop "$((x2 - x1))x$((y2 - y1))+$x1+$y1" txt:- | grep -ci '#80A0FF')
  ((blue >= 561 * 30))
}
check "the window is painted: the banner is light blue" wait_until "$patience" banner_painted
rm -rf "$shot_dir"
check "the program is still running" kill -0 "$app_pid"

report
