# Shared by the Wine tests (sourced): a virtual X display of our own and the wizard's window.
# The caller defines fail().

readonly wizard_caption="Optivant PictureTel Flash Program"
# The start of the file dialog's title, which asks for the firmware when none is named.
readonly firmware_dialog_title="Revertex: choose the camera's firmware"
readonly window_limit_s=120   # Wine's first start in a new prefix is slow
readonly display_limit_s=30

# start_display: Xvfb picks a free display number and writes it to a pipe once it
# accepts clients (or ends, and the pipe with it).
start_display() {
  local pipe_dir display=""
  pipe_dir=$(mktemp -d)
  mkfifo "$pipe_dir/display"
  Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp 7>"$pipe_dir/display" 2>/dev/null &
  xvfb_pid=$!
  read -r -t "$display_limit_s" display <"$pipe_dir/display" || true
  rm -rf "$pipe_dir"
  [ -n "$display" ] || fail "Xvfb did not start within ${display_limit_s}s"
  export DISPLAY=:$display
}

# find_window PID: sets window to the wizard's window once it shows.
find_window() {
  window=""
  for _ in $(seq $((window_limit_s * 2))); do
    window=$(xdotool search --onlyvisible --name "^$wizard_caption\$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && return 0
    kill -0 "$1" 2>/dev/null || fail "the program ended before its window showed"
    sleep 0.5
  done
  fail "no window captioned \"$wizard_caption\" within ${window_limit_s}s"
}

# find_firmware_dialog PID: sets window to the file dialog asking for the firmware.
find_firmware_dialog() {
  window=""
  for _ in $(seq $((window_limit_s * 2))); do
    window=$(xdotool search --onlyvisible --name "^$firmware_dialog_title" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && return 0
    kill -0 "$1" 2>/dev/null || fail "the program ended before it asked for the firmware"
    sleep 0.5
  done
  fail "no file dialog titled \"$firmware_dialog_title...\" within ${window_limit_s}s"
}

# wait_for_exit PID LIMIT_S: the program's exit status, or a failure when it runs on.
wait_for_exit() {
  local pid=$1 limit=$2 status=0
  for _ in $(seq $((limit * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the program still runs ${limit}s after it was told to end"
  wait "$pid" || status=$?
  return "$status"
}
