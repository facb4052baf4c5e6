#!/usr/bin/env bash
# End-to-end tests of the real quillet.scr under Wine, driven with xdotool, on the X server that
# tools/test-windows.sh started (DISPLAY) and in its Wine prefix. The cases share that display,
# so CTest runs them one at a time. Every wait is bounded; every process started here is ended.
#
#   windows_e2e.sh WINE-RUN PREFIX QUILLET.SCR PREVIEW-HOST.EXE CASE
#
# Exit 0 pass, 1 fail, 77 skip (no display or no xdotool).
set -u

WINE_RUN=$1
PREFIX=$2
SCR=$3
HOST=$4
CASE=$5

[ -n "${DISPLAY:-}" ] || { echo "SKIP: no DISPLAY (tools/test-windows.sh provides one)"; exit 77; }
command -v xdotool >/dev/null && command -v import >/dev/null || { echo "SKIP: xdotool or ImageMagick missing"; exit 77; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillet-wine-e2e-XXXXXX")
PIDS=()
# The per-user settings file, as the program finds it through %APPDATA% in the prefix.
INI_DIR=$(ls -d "$PREFIX"/drive_c/users/*/AppData/Roaming 2>/dev/null | grep -v /Public/ | head -1)/Quillet
INI=$INI_DIR/QUILLET.INI

cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; done
  for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL [$CASE]: $*"
  local log pid
  for log in "$WORK"/*.log; do [ -s "$log" ] && { echo "--- $log"; head -c 2000 "$log"; }; done
  for pid in "${PIDS[@]}"; do alive "$pid" && echo "--- pid $pid is running" || echo "--- pid $pid has ended"; done
  echo "--- visible windows:"
  xdotool search --onlyvisible --name '.' getwindowname %@ 2>&1 | head -20
  exit 1
}

wait_until() {
  local tries=$(($1 * 10))
  shift
  while ((tries-- > 0)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

alive() { kill -0 "$1" 2>/dev/null; }

# A Windows path for a file here (Wine's Z: drive is the root).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# start NAME ARGUMENT...: quillet.scr in the background (wine-run.sh becomes the program); LAST_PID.
start() {
  local name=$1
  shift
  "$WINE_RUN" "$PREFIX" "$SCR" "$@" >"$WORK/$name.log" 2>&1 &
  LAST_PID=$!
  PIDS+=("$LAST_PID")
}

# wait_exit PID SECONDS: EXIT_CODE, or "running".
wait_exit() {
  if wait_until "$2" bash -c "! kill -0 $1"; then
    wait "$1" 2>/dev/null
    EXIT_CODE=$?
  else
    EXIT_CODE=running
  fi
}

# find_window REGEX SECONDS: the first visible window whose caption matches; WINDOW.
find_window() {
  local tries=$(($2 * 10))
  while ((tries-- > 0)); do
    WINDOW=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$WINDOW" ] && return 0
    sleep 0.1
  done
  return 1
}

# Wine without a window manager does not move the X input focus to the window it activates;
# keys then go to the window under the pointer. The dialog's keys are given to it explicitly.
focus() { xdotool windowfocus --sync "$1" 2>/dev/null; }

caption_is() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }

SAVER_CAPTION='^Quillet  \(p\.\.\.pause\)$'

start_saver() {
  start saver /s "$@"
  SAVER=$LAST_PID
  find_window "$SAVER_CAPTION" 15 || fail "no saver window"
  SAVER_WINDOW=$WINDOW
  # The first frames, and the pointer's own settling.
  sleep 0.8
}

screen_hash() { import -window root rgb:- 2>/dev/null | md5sum; }
screen_has_drawing() { [ "$(import -window root -format '%[fx:maxima>0]' info: 2>/dev/null)" = 1 ]; }

pointer() { eval "$(xdotool getmouselocation --shell)"; POINTER_X=$X POINTER_Y=$Y; }

end_saver_with_key() {
  xdotool key x
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "a typed x: exit code $EXIT_CODE, expected 0"
}

# /s covers the screen and draws; after p the screen shows exactly the surface. p and Pause pause
# and resume; a typed key ends it.
case_saver_draws() {
  local dump=$WORK/surface.ppm
  QUILLET_SURFACE_DUMP=$(windows_path "$dump") start_saver
  [ "$(xdotool getwindowgeometry "$SAVER_WINDOW" | tr -s ' \n' ' ')" = "Window $SAVER_WINDOW Position: 0,0 (screen: 0) Geometry: 1920x1080 " ] ||
    fail "the saver does not cover the screen: $(xdotool getwindowgeometry "$SAVER_WINDOW")"
  wait_until 5 screen_has_drawing || fail "nothing drawn"
  xdotool key p
  wait_until 3 caption_is "$SAVER_WINDOW" "Quillet (paused)" || fail "caption while paused"
  # The surface is written once more 200 ms after the last frame.
  sleep 0.6
  import -window root "$WORK/screen.png"
  local differ
  differ=$(compare -metric AE "$WORK/screen.png" "$dump" null: 2>&1)
  [ "$differ" = 0 ] || fail "the screen differs from the surface in $differ pixels"
  local first second
  first=$(screen_hash)
  sleep 0.5
  second=$(screen_hash)
  [ "$first" = "$second" ] || fail "the picture changed while paused"
  xdotool key Pause
  wait_until 3 caption_is "$SAVER_WINDOW" "Quillet" || fail "Pause did not resume"
  sleep 0.5
  [ "$(screen_hash)" != "$second" ] || fail "nothing drawn after resuming"
  xdotool key Pause
  wait_until 3 caption_is "$SAVER_WINDOW" "Quillet (paused)" || fail "Pause did not pause"
  alive "$SAVER" || fail "pausing ended the saver"
  end_saver_with_key
}

# A movement of up to 10 pixels from where the pointer was keeps the saver; 11 ends it.
case_mouse_tolerance() {
  start_saver
  pointer
  local x=$POINTER_X y=$POINTER_Y
  xdotool mousemove $((x + 10)) $((y - 10))
  sleep 0.3
  xdotool mousemove $((x - 10)) $((y + 10))
  sleep 0.5
  alive "$SAVER" || fail "a movement of 10 pixels ended the saver"
  xdotool mousemove $((x + 11)) "$y"
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "a movement of 11 pixels: exit code $EXIT_CODE, expected 0"
}

case_alt_ends() {
  start_saver
  xdotool key alt
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "Alt: exit code $EXIT_CODE, expected 0"
}

case_left_click_ends() {
  start_saver
  xdotool click 1
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "a left click: exit code $EXIT_CODE, expected 0"
}

case_single_instance() {
  start_saver
  start second /s
  wait_exit "$LAST_PID" 10
  [ "$EXIT_CODE" = 1 ] || fail "a second /s: exit code $EXIT_CODE, expected 1"
  alive "$SAVER" || fail "the first saver ended"
  end_saver_with_key
}

# A right click brings the dialog over the saver, which goes on.
case_right_click_dialog() {
  start_saver
  xdotool click 3
  find_window '/S$' 5 || fail "a right click did not show the dialog"
  alive "$SAVER" || fail "the right click ended the saver"
}

# OK writes the per-user settings file, starting from the one in the Windows directory when the
# user has none yet (which is left as it was); Cancel, Escape and the close box write nothing.
case_config_ok() {
  local legacy=$PREFIX/drive_c/windows/QUILLET.INI
  rm -rf "$INI_DIR"
  printf '[Config]\r\nObjects=77\r\n' >"$legacy"
  cp "$legacy" "$WORK/legacy.before"
  start config /c
  find_window 'Configuration  /C$' 15 || fail "no dialog for /c"
  caption_is "$WINDOW" " Quillet: Screen Saver Configuration  /C" || fail "caption: '$(xdotool getwindowname "$WINDOW")'"
  focus "$WINDOW"
  xdotool key Return
  wait_exit "$LAST_PID" 5
  rm -f "$legacy.keep"; mv "$legacy" "$legacy.keep"
  [ "$EXIT_CODE" = 0 ] || fail "OK: exit code $EXIT_CODE, expected 0"
  [ -f "$INI" ] || fail "OK wrote no $INI"
  grep -q '^Objects=77' "$INI" || fail "the Windows directory's file did not give the starting values: $(head -c 500 "$INI")"
  cmp -s "$legacy.keep" "$WORK/legacy.before" || fail "the Windows directory's file was changed"
  rm -f "$legacy.keep"
  rm -rf "$INI_DIR"
}

# A save that fails shows the error in a box and keeps the dialog open.
case_config_save_fails() {
  rm -rf "$INI_DIR"
  # A file where the folder should be: the folder cannot be made.
  mkdir -p "$(dirname "$INI_DIR")"
  : >"$INI_DIR"
  start config /c
  find_window 'Configuration  /C$' 15 || fail "no dialog for /c"
  local dialog=$WINDOW
  focus "$dialog"
  xdotool key Return
  find_window '^Quillet$' 5 || { rm -f "$INI_DIR"; fail "no error box after a failed save"; }
  focus "$WINDOW"
  xdotool key Return
  sleep 0.5
  rm -f "$INI_DIR"
  alive "$LAST_PID" || fail "a failed save ended the dialog"
  find_window 'Configuration  /C$' 2 || fail "the dialog closed after a failed save"
  focus "$WINDOW"
  xdotool key Escape
  wait_exit "$LAST_PID" 5
  [ "$EXIT_CODE" = 0 ] || fail "Escape after a failed save: exit code $EXIT_CODE, expected 0"
  [ ! -e "$INI" ] || fail "Cancel wrote the settings file"
}

case_config_cancel() {
  rm -rf "$INI_DIR"
  local mode
  for mode in /c none; do
    if [ "$mode" = none ]; then start config; else start config "$mode"; fi
    find_window 'Screen Saver Configuration' 15 || fail "no dialog for $mode"
    focus "$WINDOW"
    xdotool key Escape
    wait_exit "$LAST_PID" 5
    [ "$EXIT_CODE" = 0 ] || fail "$mode, Escape: exit code $EXIT_CODE, expected 0"
  done
  [ ! -e "$INI" ] || fail "Cancel wrote the settings file"
}

# The dialog's WinTest shows the saver in a window of the designed size, Test... full screen; a
# right click on the test brings the dialog back over it.
case_test_buttons() {
  start config /c
  find_window 'Configuration  /C$' 15 || fail "no dialog for /c"
  local dialog=$WINDOW config=$LAST_PID
  focus "$dialog"
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  # The middles of the WinTest and Test... buttons in the dialog's fixed layout.
  local win_test="$((X + 318)) $((Y + 193))" test="$((X + 318)) $((Y + 233))"
  xdotool mousemove $win_test click 1
  find_window "$SAVER_CAPTION" 10 || fail "WinTest showed no saver"
  local saver=$WINDOW
  wait_until 5 bash -c "xdotool getwindowgeometry $saver | grep -q 'Geometry: 603x387'" ||
    fail "WinTest: $(xdotool getwindowgeometry "$saver"), expected a window of 603 x 387"
  xdotool mousemove $test click 1
  wait_until 5 bash -c "xdotool getwindowgeometry $saver | grep -q 'Geometry: 1920x1080'" ||
    fail "Test...: $(xdotool getwindowgeometry "$saver"), expected the whole screen"
  sleep 0.5
  xdotool click 3
  find_window 'Configuration  /C$' 5 || fail "a right click on the test did not bring the dialog back"
  alive "$config" || fail "the test ended the program"
}

case_preview() {
  local form
  for form in preview preview-colon; do
    "$WINE_RUN" "$PREFIX" "$HOST" "$(windows_path "$SCR")" "$(windows_path "$WORK/preview.ppm")" "$form" \
      >"$WORK/host-$form.log" 2>&1 || fail "$form: $(cat "$WORK/host-$form.log")"
  done
}

case_dialog_owner() {
  "$WINE_RUN" "$PREFIX" "$HOST" "$(windows_path "$SCR")" - dialog-owner >"$WORK/host.log" 2>&1 ||
    fail "$(cat "$WORK/host.log")"
}

case_resources() {
  "$WINE_RUN" "$PREFIX" "$HOST" "$(windows_path "$SCR")" - resources >"$WORK/host.log" 2>&1 ||
    fail "$(cat "$WORK/host.log")"
}

case_change_password() {
  start password /a
  wait_exit "$LAST_PID" 10
  [ "$EXIT_CODE" = 0 ] || fail "/a: exit code $EXIT_CODE, expected 0"
}

"case_$CASE"
echo "PASS [$CASE]"
