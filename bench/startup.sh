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

# summary LABEL VALUES...: median, quartiles and range in milliseconds.
summary() {
  local label=$1
  shift
  printf '%s\n' "$@" | sort -n | awk -v label="$label" '
    { v[NR] = $1 }
    END {
      med = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "%-22s median %6.1f ms   quartiles %.1f..%.1f ms   range %.1f..%.1f ms\n",
             label, med, v[int((NR + 3) / 4)], v[int((3 * NR + 3) / 4)], v[1], v[NR]
    }'
}
echo "$runs launches of $program"
summary "exec to mapped" "${mapped[@]}"
summary "exec to first click" "${ready[@]}"
