#!/usr/bin/env bash
# Runs a window test on its own X server (Xvfb) under openbox, a small window manager
# that decorates windows as a desktop would. Usage: run-under-window-manager.sh TEST [ARGS]
set -euo pipefail

for tool in Xvfb openbox; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing: run scripts/install-deps.sh" >&2
    exit 1
  fi
done

workdir=$(mktemp -d)
server_pid=""
wm_pid=""
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$workdir"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the pipe once it accepts clients.
mkfifo "$workdir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$workdir/display" 2>"$workdir/xvfb.log" &
server_pid=$!
read -r -t 20 number <"$workdir/display" || { echo "Xvfb did not start:" >&2; cat "$workdir/xvfb.log" >&2; exit 1; }
export DISPLAY=":$number"

# openbox runs its startup command once it manages the screen; the test starts after
# that, so its window meets a running window manager, never one still starting. The pipe
# is opened for reading and writing so that opening it does not wait for openbox.
mkfifo "$workdir/wm-ready"
exec 4<>"$workdir/wm-ready"
WM_READY=$workdir/wm-ready openbox --sm-disable --config-file /dev/null \
  --startup 'sh -c "echo ready >\"$WM_READY\""' >"$workdir/openbox.log" 2>&1 4<&- &
wm_pid=$!
read -r -t 30 -u 4 _ || { echo "openbox did not start within 30 s:" >&2; cat "$workdir/openbox.log" >&2; exit 1; }
exec 4<&-

export QT_QPA_PLATFORM=xcb
"$@"
