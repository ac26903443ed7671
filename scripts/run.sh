#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program. Without a display it runs the window
# on a virtual one under a small window manager, saves a screenshot of the window with its
# frame (to $ZENTROVA_SCREENSHOT, or build/default/screenshot.png), prints where, and exits 0;
# any step that fails ends it with a message and a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
cmake --preset default >/dev/null
cmake --build --preset default --target zentrova
program=$PWD/build/default/qt/zentrova

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec "$program"
fi

shot=$(realpath -m "${ZENTROVA_SCREENSHOT:-build/default/screenshot.png}")
mkdir -p "$(dirname "$shot")" && [[ -w $(dirname "$shot") ]] ||
  { echo "run.sh: the screenshot cannot be written to $shot" >&2; exit 1; }
source scripts/lib/desktop.sh
# The clean-up's own statuses (a killed program, a stopped display) are not the run's.
finish() {
  local status=$?
  set +e
  # Waited for, so that nothing of the run is left when the script ends, even on a busy machine;
  # a program that will not end is killed outright rather than waited for for ever.
  if [[ -n ${app:-} ]] && kill "$app" 2>/dev/null; then
    wait_until "$patience" app_ended || kill -KILL "$app" 2>/dev/null
    wait "$app" 2>/dev/null
  fi
  stop_display
  exit "$status"
}
trap finish EXIT
app_ended() { ! kill -0 "$app"; }
fail() {
  echo "run.sh: $*" >&2
  exit 1
}

start_display 800x480 wm || fail "no virtual display could be started"
"$program" &
app=$!
wait_until "$patience" find_window || fail "the window did not appear"
read -r ox oy < <(window_origin)
read -r left right top bottom < <(frame_extents)
read -r width height < <(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
# The banner's colour at the client area's corner tells that the window has been painted.
painted() {
  import -window root -crop "$((width + left + right))x$((height + top + bottom))+$((ox - left))+$((oy - top))" +repage "$shot" &&
    [[ $(convert "$shot" -format "%[pixel:p{$((left + 3)),$((top + 3))}]" info:) == "srgb(128,160,255)" ]]
}
wait_until "$patience" painted || fail "the window was not painted"
echo "No display: ran the window on a virtual one; screenshot saved to $shot"
