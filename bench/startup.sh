#!/usr/bin/env bash
# Start-up time of the window program on Xvfb with openbox, over N launches (default 20):
# from exec to the window being mapped, and to it answering its first click (a click on the
# FlashGet button has made the program take the clipboard). The probe times both by X events.
#   bench/startup.sh [PROGRAM] [N]    (after building the default preset)
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/default/qt/zentrova}")
runs=${2:-20}
probe=build/default/bench/startup_probe
source scripts/lib/desktop.sh
trap stop_display EXIT
start_display 1024x768 wm

read -r tx ty <<<"${control_centre[cmdEncodeToFG]}"
mapped=() ready=()
for ((i = 1; i <= runs; i++)); do
  set_clipboard "http://a/b"
  read -r m r < <("$probe" "$program" $((tx / 15)) $((ty / 15)) 2>/dev/null) ||
    { echo "run $i: no window, or no answer to the click" >&2; exit 1; }
  mapped+=("$m") ready+=("$r")
done

source bench/summary.sh
echo "$runs launches of $program"
summary "exec to mapped" "${mapped[@]}"
summary "exec to first click" "${ready[@]}"
