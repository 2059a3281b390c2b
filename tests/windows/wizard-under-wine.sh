#!/usr/bin/env bash
# The real revertex.exe under Wine on a virtual X display, driven by mouse clicks as a
# person would drive it:
#   1. revertex.exe --firmware FLASH_PROGRAM (a Windows program made here that carries our
#      test image as CUSTOM/101): the window shows its caption and a 312 x 237 client area;
#   2. with ptz2-sim behind COM 1: Next, COM 1, Next, Next flash the whole image
#      ("image: match"), the done page shows, and Finish ends the program with status 0;
#   3. revertex.exe CONTAINER (a file dropped on the program): COM 2 has nothing behind
#      it, so Next, COM 2, Next lands on the port-in-use page.
# Pages are told apart by which buttons are enabled (dark or grey button text).
#   wizard-under-wine.sh WINE_RUN EXE SIM CONTAINER FLASH_PROGRAM PORTS_DIR OUTPUT_DIR
set -euo pipefail

wine_run=$1 exe=$2 sim=$3 container=$4 flash_program=$5 ports=$6 out=$7
mkdir -p "$out" "$ports"

readonly client_size="312x237"
readonly page_limit_s=30         # a page change after a click, the camera check included
readonly flash_limit_s=600       # the whole image, unpaced, under Wine
readonly exit_limit_s=30
readonly sim_start_limit_s=30
readonly list_limit_s=10         # the port list opening or closing after a click
readonly port_in_use_limit_s=5   # below the six seconds a silent camera takes to land

# Client coordinates (the window's layout in twips / 15): buttons, the port list, and
# the list's entries when it is open (one entry every 15 pixels below it).
readonly back_button="69x25+96+208" next_button="69x25+164+208" cancel_button="69x25+240+208"
readonly next_x=198 next_y=220 finish_x=274 finish_y=220
readonly list_x=122 list_y=126 entry_x=110 first_entry_y=144 entry_step=15

fail() {
  echo "FAIL: $*" >&2
  [ -n "${window:-}" ] && import -window "$window" "$out/failure.png" 2>/dev/null && echo "window at the failure: $out/failure.png" >&2
  exit 1
}

# shellcheck source=x-display.sh
. "$(dirname "$0")/x-display.sh"

wizard_pid="" sim_pid="" xvfb_pid=""
cleanup() {
  [ -n "$wizard_pid" ] && kill "$wizard_pid" 2>/dev/null || true
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
start_display

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# Dark pixels inside a button: its label is black when enabled, grey when disabled.
enabled() {
  local shot dark
  shot=$(mktemp --suffix=.png)
  import -window "$window" "$shot" 2>/dev/null || { rm -f "$shot"; return 1; }
  dark=$(convert "$shot" -crop "$1" +repage -shave 4x4 -colorspace gray -threshold 30% \
           -format "%[fx:round(w*h*(1-mean))]" info:)
  rm -f "$shot"
  [ "$dark" -gt 0 ]
}

# Waits for the buttons Back, Next, Cancel to be enabled (1) or disabled (0) as given.
wait_for_buttons() {
  local want=$1 limit=$2 got
  for _ in $(seq $((limit * 4))); do
    got=""
    for button in "$back_button" "$next_button" "$cancel_button"; do
      if enabled "$button"; then got+=1; else got+=0; fi
    done
    [ "$got" = "$want" ] && return 0
    sleep 0.25
  done
  fail "buttons Back/Next/Cancel are $got, expected $want within ${limit}s"
}

# The open port list is a window of its own: Wine maps it beside the wizard's.
list_open() {
  xdotool search --onlyvisible --class "^$(basename "$exe")\$" 2>/dev/null | grep -qvx "$window"
}
wait_for_list() {   # open or closed
  for _ in $(seq $((list_limit_s * 10))); do
    if list_open; then [ "$1" = open ] && return 0; else [ "$1" = closed ] && return 0; fi
    sleep 0.1
  done
  fail "the port list is not $1 ${list_limit_s}s after the click"
}

choose_port() {
  click "$list_x" "$list_y"
  wait_for_list open
  click "$entry_x" $((first_entry_y + ($1 - 1) * entry_step))
  wait_for_list closed
}

# Wine sees the Linux file system as drive Z:.
windows_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# start_wizard LOG [ARGUMENTS...]
start_wizard() {
  local log=$1
  shift
  "$wine_run" "$exe" "$@" >"$out/$log.log" 2>&1 &
  wizard_pid=$!
  find_window "$wizard_pid"
}

# --- 1 and 2: the window, then a whole flash on COM 1 ---
rm -f "$ports/COM1" "$ports/COM2"
"$sim" --link "$ports/COM1" --expect "$container" --exit-after-finish --verbose \
  >"$out/sim.out" 2>"$out/sim.err" &
sim_pid=$!
for _ in $(seq $((sim_start_limit_s * 10))); do
  [ -L "$ports/COM1" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
[ -L "$ports/COM1" ] || fail "ptz2-sim did not start within ${sim_start_limit_s}s: $(cat "$out/sim.err")"

start_wizard flash --firmware "$(windows_path "$flash_program")"
[ "$(xdotool getwindowname "$window")" = "$wizard_caption" ] || fail "caption is \"$(xdotool getwindowname "$window")\""
size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$size" = "$client_size" ] || fail "client area is $size, not $client_size"
echo "window: \"$wizard_caption\", client area $size"
import -window "$window" "$out/welcome.png"

wait_for_buttons 011 "$page_limit_s"           # welcome: Back disabled
click "$next_x" "$next_y"
wait_for_buttons 111 "$page_limit_s"           # COM port page
choose_port 1
import -window "$window" "$out/com-port.png"
click "$next_x" "$next_y"
for _ in $(seq $((page_limit_s * 10))); do     # the check starts with the camera's first command
  grep -q QGt "$out/sim.err" && break
  sleep 0.1
done
grep -q QGt "$out/sim.err" || fail "Next on the COM port page did not start the camera check"
for _ in $(seq $((page_limit_s * 10))); do     # the check has asked for the version
  grep -q ckb0 "$out/sim.err" && break
  sleep 0.1
done
grep -q ckb0 "$out/sim.err" || fail "the camera check never asked for the version"
wait_for_buttons 111 "$page_limit_s"           # warning: the camera needs flashing
import -window "$window" "$out/warning.png"
click "$next_x" "$next_y"
echo "flashing..."

for _ in $(seq $((flash_limit_s * 10))); do
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$sim_pid" 2>/dev/null && fail "the flash did not finish within ${flash_limit_s}s"
sim_status=0
wait "$sim_pid" || sim_status=$?
sim_pid=""
cat "$out/sim.out"
grep -q "image: match" "$out/sim.out" || fail "ptz2-sim did not report \"image: match\""
[ "$sim_status" -eq 0 ] || fail "ptz2-sim exited with status $sim_status"

wait_for_buttons 001 "$page_limit_s"           # done: only Finish
import -window "$window" "$out/done.png"
click "$finish_x" "$finish_y"
status=0
wait_for_exit "$wizard_pid" "$exit_limit_s" || status=$?
wizard_pid=""
[ "$status" -eq 0 ] || fail "revertex.exe ended with status $status after Finish"
echo "flash: image: match, done page, Finish ended with status 0"

# --- 3: a port with nothing behind it ---
rm -f "$ports/COM2"
start_wizard port-in-use "$(windows_path "$container")"
click "$next_x" "$next_y"
wait_for_buttons 111 "$page_limit_s"
choose_port 2
click "$next_x" "$next_y"
wait_for_buttons 101 "$port_in_use_limit_s"    # message page: Back and Cancel only
import -window "$window" "$out/port-in-use.png"
click "$finish_x" "$finish_y"                  # Cancel
wait_for_exit "$wizard_pid" "$exit_limit_s" || true
wizard_pid=""
echo "COM 2 with nothing behind it: port-in-use page"
echo "pictures in $out"
