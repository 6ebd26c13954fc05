# Sourced by the screenshot scripts: start_xvfb starts Xvfb on a private
# display, waits for its socket and exports DISPLAY; Xvfb is stopped when the
# calling script exits.
start_xvfb() {
  display=99
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
  done
  Xvfb ":${display}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT INT TERM
  tries=0
  while [ ! -e "/tmp/.X11-unix/X${display}" ] && [ "$tries" -lt 50 ]; do
    sleep 0.1
    tries=$((tries + 1))
  done
  DISPLAY=":${display}"
  export DISPLAY
}

# stop_xvfb: stops the display start_xvfb started.
stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null || true
  unset DISPLAY
}
