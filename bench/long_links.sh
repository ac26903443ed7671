#!/usr/bin/env bash
# Long links through the real window: for links of 1, 4 and 16 MB addresses (or the sizes
# given), the time from a click on the decode button, with the link on the clipboard, until
# the window answers again: Alt+A, pressed right after the click, opens the About box only once
# the click's handler has put the address on the clipboard and shown it in TxtOut. The
# clipboard is then read back and compared with the address.
#   bench/long_links.sh [PROGRAM] [MB...]    (after building the default preset)
# A PROGRAM ending in .exe (build/windows/win32/Zentrova.exe) runs under Wine, as the desktop
# tests run it.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/default/qt/zentrova}")
shift || true
sizes=("${@:-1 4 16}")
read -ra sizes <<<"${sizes[*]}"
cli=build/default/cli/zentrova-cli
source scripts/lib/desktop.sh
work=$(mktemp -d)
trap 'stop_display; rm -rf "$work"' EXIT
start_display 1024x768 wm
if [[ $program == *.exe ]]; then
  use_wine
  trap 'wineserver -k 2>/dev/null; stop_display; rm -rf "$work"' EXIT
  "$wine64" "$program" >/dev/null 2>&1 &
else
  "$program" >/dev/null 2>&1 &
fi
wait_until "$patience" find_window
activate "$window"

now() { date +%s.%N; }
about_shown() { xdotool search --onlyvisible --name '^关于$' >/dev/null 2>&1; }

for mb in "${sizes[@]}"; do
  head -c $((mb * 1000000)) /dev/zero | tr '\0' a | sed 's|^|http://h/|' >"$work/address"
  "$cli" link flashget <"$work/address" >"$work/link"
  xclip -selection clipboard -i "$work/link"
  wait_until "$patience" clipboard_starts_with "flashget://"
  start=$(now)
  click_control cmdDecodecmd
  xdotool key alt+a
  wait_until 1200 about_shown
  answered=$(now)
  xdotool key Return
  timeout 300 xclip -selection clipboard -o >"$work/copied" || true
  cmp -s "$work/copied" "$work/address" ||
    { echo "$mb MB: the clipboard does not hold the address" >&2; exit 1; }
  awk -v mb="$mb" -v s="$start" -v a="$answered" \
    'BEGIN { printf "%3d MB address: click to the window answering %.2f s\n", mb, a - s }'
done
