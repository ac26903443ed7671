#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program. Without a display it runs the window
# on a virtual one under a small window manager, saves a screenshot of the window with its
# frame (to $ZENTROVA_SCREENSHOT, or build/default/screenshot.png), prints where, and exits 0;
# any step that fails ends it with a message and a non-zero status. When the window does not
# appear, it says whether the program is still running or how it ended, and its last output.
# (ZENTROVA_RUN_PROGRAM runs another program in the window's place; the tests use it.)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
cmake --preset default >/dev/null
cmake --build --preset default --target zentrova
program=${ZENTROVA_RUN_PROGRAM:-$PWD/build/default/qt/zentrova}

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
  [[ -n ${output:-} ]] && rm -f "$output"
  exit "$status"
}
trap finish EXIT
output=$(mktemp)  # the program's output, said when it fails
app_ended() { ! kill -0 "$app"; }
fail() {
  echo "run.sh: $*" >&2
  exit 1
}
# What the program is doing, for a failure's message: still running, or how it ended, and the
# last lines it wrote. Run in the script's own shell, which alone can wait for the program.
program_state() {
  local ended
  if kill -0 "$app" 2>/dev/null; then
    echo "the program (pid $app) is still running, after a wait of $patience s"
  else
    wait "$app" && ended=0 || ended=$?
    if ((ended > 128)); then
      echo "the program was ended by signal $(kill -l "$ended" 2>/dev/null || echo $((ended - 128)))"
    else
      echo "the program ended with status $ended"
    fi
    app=''
  fi
  if [[ -s $output ]]; then
    echo "its last output:"
    tail -n 20 "$output" | sed 's/^/  /'
  else
    echo "it wrote nothing"
  fi
}
fail_with_state() {
  echo "run.sh: $1" >&2
  program_state >&2
  exit 1
}
window_or_end() { find_window || app_ended; }

# A new machine's first start would otherwise build the user's font cache inside the program,
# within the wait for its window; built here, where nothing waits on a deadline, it is ready.
if command -v fc-cache >/dev/null; then fc-cache >/dev/null 2>&1 || true; fi
start_display 800x480 wm || fail "no virtual display could be started"
# The window on its private display needs no session bus (the clipboard is X's). Without one
# named, its first start would have D-Bus start one for the display through dbus-launch, where
# that is installed, and ask it for the accessibility bus: work nobody here uses, in the wait.
DBUS_SESSION_BUS_ADDRESS=disabled: "$program" >"$output" 2>&1 &
app=$!
wait_until "$patience" window_or_end && find_window ||
  fail_with_state "the window did not appear"
read -r ox oy < <(window_origin)
read -r left right top bottom < <(frame_extents)
read -r width height < <(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
# The banner's colour at the client area's corner tells that the window has been painted.
painted() {
  import -window root -crop "$((width + left + right))x$((height + top + bottom))+$((ox - left))+$((oy - top))" +repage "$shot" &&
    [[ $(convert "$shot" -format "%[pixel:p{$((left + 3)),$((top + 3))}]" info:) == "srgb(128,160,255)" ]]
}
wait_until "$patience" painted || fail_with_state "the window was not painted"
echo "No display: ran the window on a virtual one; screenshot saved to $shot"
