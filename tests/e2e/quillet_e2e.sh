#!/usr/bin/env bash
# End-to-end tests of the real program under Xvfb, driven with xdotool. Each case starts its own X
# server on a free display, uses a private home and private XDG directories, bounds every wait,
# and ends every process it started.
#
#   quillet_e2e.sh QUILLET X-PROBE CASE
#
# Exit 0 pass, 1 fail, 77 skip (no Xvfb or xdotool). Displays are picked from QUILLET_DISPLAYS
# (FIRST-LAST, default 100-899), so that runs beside each other can keep apart.
set -u

QUILLET=$1
PROBE=$2
CASE=$3

command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "SKIP: Xvfb or xdotool missing"; exit 77; }

# Under LeakSanitizer, leaks inside system libraries are not the program's.
# Their summary stays off stderr, whose lines some cases count.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/lsan_system_libraries.supp:print_suppressions=0"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillet-e2e-XXXXXX")
PIDS=()
XVFB_PID=

cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null
  [ -n "${XEPHYR_PID:-}" ] && { kill "$XEPHYR_PID" 2>/dev/null; wait "$XEPHYR_PID" 2>/dev/null; }
  for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL [$CASE]: $* (lines ${BASH_LINENO[*]})"
  [ -n "${DISPLAY:-}" ] && "$PROBE" png "$WORK/failure.png" 2>/dev/null && cp "$WORK/failure.png" "${TMPDIR:-/tmp}/quillet-e2e-$CASE.png" 2>/dev/null
  for log in "$WORK"/*.log; do [ -s "$log" ] && { echo "--- $log"; head -c 2000 "$log"; }; done
  local pid
  for pid in "${PIDS[@]}"; do alive "$pid" && echo "--- pid $pid is running" || echo "--- pid $pid has ended"; done
  [ -n "${DISPLAY:-}" ] && { echo "--- windows on $DISPLAY:"; xdotool search --name '.' getwindowname %@ 2>&1 | head -20; }
  exit 1
}

# Polls CMD every 0.1 s for at most SECONDS; true when it succeeded.
wait_until() {
  local seconds=$1
  shift
  local tries=$((seconds * 10))
  while ((tries-- > 0)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# Starts Xvfb with one screen of SIZE (default 800x600) at XVFB_DEPTH bits (default 24), with
# XVFB_ARGS added; XVFB_RESETS=1 lets the server reset whenever its last client leaves.
start_x() {
  local size=${1:-800x600} noreset=-noreset
  [ "${XVFB_RESETS:-0}" = 1 ] && noreset=
  export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_RUNTIME_DIR="$WORK/run"
  export XDG_DATA_HOME="$WORK/home/.local/share" XDG_CACHE_HOME="$WORK/home/.cache"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset QT_QPA_PLATFORM
  # A random free display number (QUILLET_DISPLAYS=FIRST-LAST, default 100-899); a server that
  # loses a race for it dies at once and we retry.
  local attempt number range=${QUILLET_DISPLAYS:-100-899}
  local first=${range%-*} last=${range#*-}
  for attempt in 1 2 3 4 5 6 7 8; do
    number=$((first + RANDOM % (last - first + 1)))
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    # -noreset: the server must not reset while no client is connected, between two steps.
    # shellcheck disable=SC2086
    Xvfb ":$number" -screen 0 "${size}x${XVFB_DEPTH:-24}" -nolisten tcp $noreset ${XVFB_ARGS:-} >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$number"
    if wait_until 5 xdotool getmouselocation && sleep 0.2 && alive "$XVFB_PID"; then
      return 0
    fi
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
  done
  fail "no X server could be started"
}

# Ends the X server of start_x.
stop_x() {
  kill "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

# A window manager (openbox or icewm) manages the windows from now on.
start_wm() {
  command -v "$1" >/dev/null || { echo "SKIP: $1 missing"; exit 77; }
  case $1 in
    openbox) openbox --sm-disable >"$WORK/wm.log" 2>&1 & ;;
    *) "$1" >"$WORK/wm.log" 2>&1 & ;;
  esac
  WM_PID=$!
  wait_until 5 bash -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" || fail "$1 did not start"
}

# Two monitors of different sizes side by side on one 1440 x 600 screen.
start_two_monitors() {
  start_x 1440x600
  xrandr --setmonitor LEFT 800/211x600/158+0+0 screen >/dev/null 2>&1 &&
    xrandr --setmonitor RIGHT 640/169x480/127+800+0 none >/dev/null 2>&1 || fail "xrandr --setmonitor failed"
  [ "$(xrandr --listmonitors | head -n 1)" = "Monitors: 2" ] || fail "no two monitors: $(xrandr --listmonitors)"
}

# Inside the Xvfb server, a Xephyr server with two screens that only Xinerama joins: RandR
# reports one monitor, Xinerama two (1024 x 768 and 800 x 600 side by side, 1824 x 768 in all).
start_xinerama_only() {
  command -v Xephyr >/dev/null && command -v xdpyinfo >/dev/null || { echo "SKIP: Xephyr or xdpyinfo missing"; exit 77; }
  start_x 1900x800
  local attempt number range=${QUILLET_DISPLAYS:-100-899}
  local first=${range%-*} last=${range#*-}
  for attempt in 1 2 3 4 5 6 7 8; do
    number=$((first + RANDOM % (last - first + 1)))
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    Xephyr ":$number" -screen 1024x768 -screen 800x600 +xinerama -nolisten tcp -noreset \
      >"$WORK/xephyr.log" 2>&1 &
    XEPHYR_PID=$!
    if wait_until 5 env DISPLAY=":$number" xdotool getmouselocation && sleep 0.2 && alive "$XEPHYR_PID"; then
      export DISPLAY=":$number"
      [ "$(xrandr --listmonitors 2>/dev/null | head -n 1)" = "Monitors: 1" ] &&
        [ "$(xdpyinfo -ext XINERAMA | grep -c 'head #')" = 2 ] ||
        fail "not one RandR monitor and two Xinerama heads: $(xdpyinfo -ext XINERAMA | grep 'head #')"
      return 0
    fi
    kill "$XEPHYR_PID" 2>/dev/null
    wait "$XEPHYR_PID" 2>/dev/null
    XEPHYR_PID=
  done
  fail "no Xephyr server could be started"
}

# The saver covers both Xinerama heads and draws on both.
expect_saver_on_xinerama_heads() {
  [ "$("$PROBE" geometry "$SAVER_WINDOW")" = "0 0 1824 768" ] ||
    fail "the saver does not cover both heads: $("$PROBE" geometry "$SAVER_WINDOW")"
  wait_until 5 has_drawing root 0 0 1024 768 || fail "nothing drawn on the left head"
  wait_until 5 has_drawing root 1024 0 800 600 || fail "nothing drawn on the right head"
}

# The saver is the topmost window: nothing covers any part of it.
expect_saver_on_top() {
  wait_until 5 bash -c "[ \"\$(\"$PROBE\" top)\" = $SAVER_WINDOW ]" ||
    fail "the saver is not on top: $("$PROBE" top) is ($(xdotool getwindowname "$("$PROBE" top)" 2>&1))"
}

# The saver covers both monitors and draws on both.
expect_saver_on_two_monitors() {
  [ "$("$PROBE" geometry "$SAVER_WINDOW")" = "0 0 1440 600" ] ||
    fail "the saver does not cover both monitors: $("$PROBE" geometry "$SAVER_WINDOW")"
  wait_until 5 has_drawing root 0 0 800 600 || fail "nothing drawn on the left monitor"
  wait_until 5 has_drawing root 800 0 640 600 || fail "nothing drawn on the right monitor"
}

# A host window of W x H (with vroot: announced as the desktop's virtual root); its id in HOST,
# the probe's pid in HOST_PID.
start_host() {
  : >"$WORK/host.id"  # emptied here: the id of a host before must never be read as this one's
  "$PROBE" host "$@" >"$WORK/host.id" 2>"$WORK/host.log" &
  HOST_PID=$!
  PIDS+=("$HOST_PID")
  wait_until 5 grep -q '[0-9]' "$WORK/host.id" || fail "no host window"
  HOST=$(tr -dc 0-9 <"$WORK/host.id")
}

# True when the host window has no mapped child.
host_is_empty() { ! "$PROBE" children "$HOST" | grep -q ' mapped$'; }

# The id of the first mapped child of WINDOW at 0 0 with size W x H, within 5 s; in CHILD.
wait_child() {
  local window=$1 width=$2 height=$3
  wait_until 5 bash -c "\"$PROBE\" children $window | grep -q ' 0 0 $width $height mapped'" ||
    fail "no child of $window at $width x $height: $("$PROBE" children "$window")"
  CHILD=$("$PROBE" children "$window" | awk -v w="$width" -v h="$height" '$2 == 0 && $3 == 0 && $4 == w && $5 == h && $6 == "mapped" {print $1; exit}')
}

# True when window (or rectangle) has a pixel that is not black: "has_drawing WINDOW [X Y W H]".
has_drawing() {
  local nonblack
  nonblack=$("$PROBE" pixels "$@" | sed -n 's/.*nonblack=\([0-9]*\).*/\1/p')
  [ "${nonblack:-0}" -gt 0 ]
}

# Seconds a program gets to end once told to: more under the sanitizers, whose exit checks take time.
end_seconds() { [ -n "${ASAN_OPTIONS:-}" ] && echo $((${1} * 3)) || echo "$1"; }

# The log NAME holds exactly one line, and it matches the extended regular expression PATTERN.
expect_one_line() {
  local name=$1 pattern=$2
  [ "$(wc -l <"$WORK/$name.log")" = 1 ] && grep -Eq "$pattern" "$WORK/$name.log" ||
    fail "$name: expected one line matching '$pattern' on stderr, got: $(head -c 600 "$WORK/$name.log")"
}

# Sends SIGNAL to PID and expects exit code 0 within a second (a few under the sanitizers, whose
# exit checks take their own time).
signal_ends() {
  local signal=$1 pid=$2 seconds=1
  [ -n "${ASAN_OPTIONS:-}" ] && seconds=4
  kill "-$signal" "$pid"
  wait_exit "$pid" "$seconds"
  [ "$EXIT_CODE" = 0 ] || fail "SIG$signal: exit code $EXIT_CODE, expected 0 within $seconds s"
}

# WINDOW's position and size once two readings 0.3 s apart agree, in X, Y, WIDTH and HEIGHT.
settled_geometry() {
  local before now tries=20
  before=$(xdotool getwindowgeometry --shell "$1")
  while ((tries-- > 0)); do
    sleep 0.3
    now=$(xdotool getwindowgeometry --shell "$1")
    [ "$now" = "$before" ] && break
    before=$now
  done
  eval "$now"
}

# Clicks the dialog's WinTest or Test... button (win_test, test): the middle of the button in the
# dialog's fixed layout, where the dialog stands once it has settled (each activation moves it).
click_button() {
  settled_geometry "$1"
  case $2 in
    win_test) xdotool mousemove $((X + 318)) $((Y + 177)) click 1 ;;
    test) xdotool mousemove $((X + 318)) $((Y + 216)) click 1 ;;
  esac
}

# The pointer's position now, in POINTER_X and POINTER_Y.
read_pointer() {
  eval "$(xdotool getmouselocation --shell)"
  POINTER_X=$X
  POINTER_Y=$Y
}

# Starts quillet with the given arguments; its pid is in LAST_PID.
start_quillet() {
  local name=$1
  shift
  "$QUILLET" "$@" >"$WORK/$name.log" 2>&1 &
  LAST_PID=$!
  PIDS+=("$LAST_PID")
}

alive() { kill -0 "$1" 2>/dev/null; }

# Waits at most SECONDS for PID to end; its exit code is in EXIT_CODE (124 when it did not end).
wait_exit() {
  local pid=$1 seconds=$2
  if wait_until "$seconds" bash -c "! kill -0 $pid 2>/dev/null"; then
    wait "$pid"
    EXIT_CODE=$?
  else
    EXIT_CODE=124
  fi
}

# The first window whose name matches the regular expression, within SECONDS; in WINDOW.
find_window() {
  local pattern=$1 seconds=$2
  WINDOW=
  local tries=$((seconds * 10))
  while ((tries-- > 0)); do
    WINDOW=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1)
    [ -n "$WINDOW" ] && return 0
    sleep 0.1
  done
  return 1
}

screen_has_drawing() {
  local nonblack
  nonblack=$("$PROBE" pixels | sed -n 's/.*nonblack=\([0-9]*\).*/\1/p')
  [ "${nonblack:-0}" -gt 0 ]
}

screen_hash() { "$PROBE" pixels | sed -n 's/.*hash=\([0-9a-f]*\).*/\1/p'; }

# The full-screen saver, up and drawing, with the keyboard focus.
start_saver() {
  start_quillet saver /s
  SAVER=$LAST_PID
  # On a busy machine the toolkit and the window manager can take seconds to show it.
  find_window '^Quillet  \(p\.\.\.pause\)$' 15 || fail "no saver window"
  SAVER_WINDOW=$WINDOW
  wait_until 10 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $SAVER_WINDOW ]" ||
    fail "the saver did not get the keyboard focus"
}

case_saver_draws() {
  start_x
  start_saver
  [ "$("$PROBE" geometry "$SAVER_WINDOW")" = "0 0 800 600" ] ||
    fail "the saver does not cover the display: $("$PROBE" geometry "$SAVER_WINDOW")"
  sleep 1
  screen_has_drawing || fail "the screen is all black after a second"
}

case_mouse_tolerance() {
  start_x
  read_pointer
  local x=$POINTER_X y=$POINTER_Y
  start_saver
  xdotool mousemove $((x + 10)) $((y - 10))
  sleep 0.3
  xdotool mousemove $((x - 10)) $((y + 10))
  sleep 0.5
  read_pointer
  [ "$POINTER_X,$POINTER_Y" = "$((x - 10)),$((y + 10))" ] || fail "the pointer did not move"
  alive "$SAVER" || fail "a movement of 10 pixels ended the saver"
  xdotool mousemove $((x + 11)) "$y"
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "a movement of 11 pixels: exit code $EXIT_CODE, expected 0"
}

case_pause_and_keys() {
  start_x
  start_saver
  wait_until 5 screen_has_drawing || fail "nothing drawn"
  xdotool key p
  sleep 0.4
  local first second third
  first=$(screen_hash)
  sleep 0.6
  second=$(screen_hash)
  [ "$first" = "$second" ] || fail "the picture changed while paused"
  [ "$(xdotool getwindowname "$SAVER_WINDOW")" = "Quillet (paused)" ] || fail "caption while paused"
  xdotool key p
  sleep 0.6
  third=$(screen_hash)
  [ "$third" != "$second" ] || fail "p again did not resume"
  [ "$(xdotool getwindowname "$SAVER_WINDOW")" = "Quillet" ] || fail "caption after resuming"
  alive "$SAVER" || fail "p ended the saver"
  xdotool key x
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "a typed x: exit code $EXIT_CODE, expected 0"
}

case_single_instance() {
  start_x
  start_saver
  local started=$SECONDS
  start_quillet second /s
  wait_exit "$LAST_PID" 5
  [ "$EXIT_CODE" = 1 ] || fail "a second /s: exit code $EXIT_CODE, expected 1"
  ((SECONDS - started <= 3)) || fail "the second /s took too long to end"
  start_quillet upper /S
  local upper=$LAST_PID
  start_quillet preview /p
  local preview=$LAST_PID
  sleep 1.5
  alive "$upper" || fail "/S did not start beside /s"
  alive "$preview" || fail "/p did not start beside /s"
  alive "$SAVER" || fail "the first saver ended"
}

# Without a usable runtime directory the rule still holds: of five copies started at once, one
# stays and the others end with exit code 1.
case_single_instance_without_runtime_dir() {
  start_x
  export XDG_RUNTIME_DIR=/nonexistent/run
  local copies=() pid running=0 refused=0
  for pid in 1 2 3 4 5; do
    start_quillet "saver$pid" /s
    copies+=("$LAST_PID")
  done
  wait_until 15 bash -c \
    "n=0; for p in ${copies[*]}; do kill -0 \$p 2>/dev/null && n=\$((n + 1)); done; [ \$n -le 1 ]"
  sleep 1
  for pid in "${copies[@]}"; do
    if alive "$pid"; then
      running=$((running + 1))
    else
      wait "$pid"
      [ $? = 1 ] && refused=$((refused + 1))
    fi
  done
  [ "$running,$refused" = "1,4" ] || fail "$running copies running, $refused ended with exit code 1"
}

case_preview_in_host() {
  start_x
  "$PROBE" host 320 240 >"$WORK/host.id" 2>"$WORK/host.log" &
  local host_pid=$!
  PIDS+=("$host_pid")
  wait_until 5 grep -q '[0-9]' "$WORK/host.id" || fail "no host window"
  local host
  host=$(tr -dc 0-9 <"$WORK/host.id")
  start_quillet preview /p "$host"
  local preview=$LAST_PID
  wait_until 5 bash -c "\"$PROBE\" children $host | grep -q ' 0 0 320 240 mapped'" ||
    fail "the saver is not a child of the host at its size: $("$PROBE" children "$host")"
  local child
  child=$("$PROBE" children "$host" | awk '$6 == "mapped" {print $1; exit}')
  sleep 1
  local nonblack
  nonblack=$("$PROBE" pixels "$child" | sed -n 's/.*nonblack=\([0-9]*\).*/\1/p')
  [ "${nonblack:-0}" -gt 0 ] || fail "nothing drawn in the preview"
  xdotool mousemove 150 120
  sleep 0.2
  xdotool mousemove 300 250
  read_pointer
  [ "$POINTER_X,$POINTER_Y" = "300,250" ] || fail "the pointer did not move"
  sleep 0.8
  alive "$preview" || fail "mouse movement ended the preview"
  # The host goes away, and the preview with it.
  kill "$host_pid"
  wait_exit "$preview" 5
  [ "$EXIT_CODE" = 0 ] || fail "after its host closed the preview: exit code $EXIT_CODE, expected 0"
}

case_preview_in_dialog() {
  start_x
  start_quillet preview /p
  local preview=$LAST_PID
  find_window '/P$' 5 || fail "no dialog whose caption ends in /P"
  local dialog=$WINDOW
  wait_until 5 bash -c "\"$PROBE\" children $dialog | grep -q ' 0 0 497 292 mapped'" ||
    fail "the preview does not cover the dialog: $("$PROBE" children "$dialog")"
  # A right click hands the focus to the dialog; Escape closes it, and the preview inside
  # must not run on in a window nobody can see.
  xdotool click 3
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $dialog ]" || fail "the dialog has no focus"
  xdotool key Escape
  wait_exit "$preview" 5
  [ "$EXIT_CODE" = 0 ] || fail "after its dialog closed the preview: exit code $EXIT_CODE, expected 0"
}

case_preview_bad_host() {
  start_x
  start_quillet preview /p 12345
  find_window '^info$' 5 || fail "no \"info\" box for a window that does not exist"
  alive "$LAST_PID" || fail "the program did not run on"
}

case_config_caption() {
  start_x
  start_quillet config /c
  local config=$LAST_PID
  find_window '/C$' 5 || fail "no window whose caption ends in /C"
  [ "$(xdotool getwindowname "$WINDOW")" = " Quillet: Screen Saver Configuration  /C" ] ||
    fail "caption: '$(xdotool getwindowname "$WINDOW")'"
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $WINDOW ]" || fail "the dialog has no focus"
  xdotool key Escape
  wait_exit "$config" 5
  [ "$EXIT_CODE" = 0 ] || fail "Escape in the dialog: exit code $EXIT_CODE, expected 0"
  [ ! -e "$XDG_CONFIG_HOME/QUILLET.INI" ] || fail "Cancel wrote the settings file"
}

case_right_click_dialog() {
  start_x
  start_saver
  xdotool click 3
  find_window '/S$' 5 || fail "a right click did not show the dialog"
  alive "$SAVER" || fail "the right click ended the saver"
  # The dialog has the focus now, so the mouse no longer ends the saver.
  sleep 0.5
  xdotool mousemove 300 300
  read_pointer
  [ "$POINTER_X,$POINTER_Y" = "300,300" ] || fail "the pointer did not move"
  sleep 0.8
  alive "$SAVER" || fail "mouse movement ended the saver while the dialog had the focus"
}

# xscreensaver's way: the window in XSCREENSAVER_WINDOW (hexadecimal), one copy started with
# --root and one with no argument at all, side by side; each follows a resize and ends on a signal.
case_host_variable() {
  start_x
  start_host 320 240
  local hex
  hex=$(printf '0x%x' "$HOST")
  XSCREENSAVER_WINDOW=$hex start_quillet first --root
  local first=$LAST_PID
  XSCREENSAVER_WINDOW=$hex start_quillet second
  local second=$LAST_PID
  wait_until 5 bash -c "[ \$(\"$PROBE\" children $HOST | grep -c ' 0 0 320 240 mapped') = 2 ]" ||
    fail "two copies do not both draw in the host: $("$PROBE" children "$HOST")"
  wait_until 5 has_drawing "$HOST" || fail "nothing drawn in the host window"
  xdotool windowsize "$HOST" 400 300
  wait_until 5 bash -c "[ \$(\"$PROBE\" children $HOST | grep -c ' 0 0 400 300 mapped') = 2 ]" ||
    fail "the copies did not follow the host's new size: $("$PROBE" children "$HOST")"
  wait_until 5 has_drawing "$HOST" 320 240 80 60 || fail "nothing drawn in the grown part of the host"
  signal_ends TERM "$first"
  alive "$second" || fail "the second copy ended with the first"
  signal_ends TERM "$second"
  [ ! -e "$XDG_CONFIG_HOME/QUILLET.INI" ] || fail "host mode wrote the settings file"
}

# A settings dialog's preview: -window-id with a hexadecimal id, settings on the command line; the
# saver ends when its window goes away.
case_host_window_id() {
  start_x
  start_host 200 150
  start_quillet hosted -window-id "$(printf '0x%X' "$HOST")" --objects 10 --no-aa-lines --aa-bars
  local hosted=$LAST_PID
  wait_child "$HOST" 200 150
  wait_until 5 has_drawing "$HOST" || fail "nothing drawn"
  kill "$HOST_PID"
  wait_exit "$hosted" 5
  [ "$EXIT_CODE" = 0 ] || fail "after its window went away: exit code $EXIT_CODE, expected 0"
  start_quillet missing --window-id 0x7fffff
  wait_exit "$LAST_PID" 5
  [ "$EXIT_CODE" = 1 ] || fail "a window that does not exist: exit code $EXIT_CODE, expected 1"
  grep -q 'no such window: 0x7fffff' "$WORK/missing.log" || fail "no message for a missing window"
}

# --root without the variable draws on the whole root window, under every other window; with a
# desktop's virtual root it draws into that one.
case_host_root() {
  start_x
  start_quillet rooted --root
  local rooted=$LAST_PID
  wait_until 5 has_drawing || fail "nothing drawn on the root window"
  wait_until 5 has_drawing root 700 500 100 100 || fail "the root is not covered to its corner"
  start_host 100 100
  sleep 0.5
  local white
  white=$("$PROBE" pixels "$HOST" | sed -n 's/.*nonblack=\([0-9]*\).*/\1/p')
  [ "$white" = 10000 ] || fail "the saver drew over another window"
  signal_ends HUP "$rooted"
  kill "$HOST_PID"

  start_host 300 200 vroot
  start_quillet vroot --root
  wait_child "$HOST" 300 200
  wait_until 5 has_drawing "$HOST" || fail "nothing drawn in the virtual root"
  signal_ends INT "$LAST_PID"
}

# A preview with a hexadecimal host id follows its host's size.
case_preview_follows_host() {
  start_x
  start_host 160 120
  start_quillet preview /p "$(printf '0x%x' "$HOST")"
  local preview=$LAST_PID
  wait_child "$HOST" 160 120
  xdotool windowsize "$HOST" 240 180
  wait_child "$HOST" 240 180
  wait_until 5 has_drawing "$HOST" 160 120 80 60 || fail "nothing drawn in the grown part"
  signal_ends TERM "$preview"
}

# Two monitors of different sizes side by side: the saver covers both.
case_two_monitors() {
  start_two_monitors
  start_saver
  expect_saver_on_two_monitors
  xdotool key x
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "a typed x: exit code $EXIT_CODE, expected 0"
}

# Under a window manager that confines full screen to one monitor unless asked to span them.
case_two_monitors_window_manager() {
  start_two_monitors
  start_wm icewm
  start_saver
  expect_saver_on_two_monitors
  xdotool click 3
  find_window '/S$' 5 || fail "a right click did not show the dialog"
  wait_until 5 bash -c "xwininfo -id $WINDOW | grep -q IsViewable" || fail "the dialog is not shown"
  xdotool key --window "$WINDOW" Escape
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $SAVER_WINDOW ]" ||
    fail "the saver did not get the focus back after the dialog closed"
  expect_saver_on_two_monitors
  xdotool key x
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "a typed x: exit code $EXIT_CODE, expected 0"
}

# Under a window manager that cannot be asked to span monitors (openbox), the saver covers both
# by itself and every input rule still holds: p pauses, a right click opens the dialog over it
# with the focus, and once it is closed the saver is on top with the focus again and a movement
# of 11 pixels ends it.
case_two_monitors_openbox() {
  start_two_monitors
  start_wm openbox
  start_saver
  expect_saver_on_two_monitors
  expect_saver_on_top
  xdotool key p
  wait_until 5 bash -c "[ \"\$(xdotool getwindowname $SAVER_WINDOW)\" = 'Quillet (paused)' ]" || fail "p did not pause"
  xdotool key p
  wait_until 5 bash -c "[ \"\$(xdotool getwindowname $SAVER_WINDOW)\" = Quillet ]" || fail "p again did not resume"
  xdotool click 3
  find_window '/S$' 5 || fail "a right click did not show the dialog"
  local dialog=$WINDOW
  wait_until 5 "$PROBE" above "$dialog" "$SAVER_WINDOW" || fail "the dialog is not above the saver"
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $dialog ]" || fail "the dialog has no focus"
  xdotool key Escape
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $SAVER_WINDOW ]" ||
    fail "the saver did not get the focus back after the dialog closed"
  expect_saver_on_top
  expect_saver_on_two_monitors
  read_pointer
  local x=$POINTER_X y=$POINTER_Y
  xdotool mousemove $((x + 10)) "$y"
  sleep 0.5
  alive "$SAVER" || fail "a movement of 10 pixels ended the saver"
  xdotool mousemove $((x + 11)) "$y"
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "a movement of 11 pixels: exit code $EXIT_CODE, expected 0"
}

# The dialog's Test... button under openbox: full screen over both monitors, on top, with the
# focus. A right click brings the dialog over it; WinTest makes it a window the manager frames,
# and Test... covers both monitors again. A typed key ends the test and the dialog has the focus.
case_test_button_openbox() {
  start_two_monitors
  start_wm openbox
  start_quillet config /c
  local config=$LAST_PID
  find_window '/C$' 15 || fail "no dialog"
  local dialog=$WINDOW
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $dialog ]" || fail "the dialog has no focus"
  click_button "$dialog" test
  find_window '^Quillet  \(p\.\.\.pause\)$' 15 || fail "Test... showed no saver"
  SAVER_WINDOW=$WINDOW
  wait_until 5 bash -c "[ \"\$(\"$PROBE\" geometry $SAVER_WINDOW)\" = '0 0 1440 600' ]" ||
    fail "the test does not cover both monitors: $("$PROBE" geometry "$SAVER_WINDOW")"
  expect_saver_on_two_monitors
  expect_saver_on_top
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $SAVER_WINDOW ]" || fail "the test has no focus"

  xdotool click 3
  wait_until 5 "$PROBE" above "$dialog" "$SAVER_WINDOW" || fail "a right click did not bring the dialog over the test"
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $dialog ]" || fail "the dialog over the test has no focus"
  click_button "$dialog" win_test
  wait_until 5 bash -c "\"$PROBE\" geometry $SAVER_WINDOW | grep -q ' 603 387\$'" ||
    fail "WinTest: $("$PROBE" geometry "$SAVER_WINDOW"), expected a window of 603 x 387"
  click_button "$dialog" test
  wait_until 5 bash -c "[ \"\$(\"$PROBE\" geometry $SAVER_WINDOW)\" = '0 0 1440 600' ]" ||
    fail "Test... after WinTest does not cover both monitors: $("$PROBE" geometry "$SAVER_WINDOW")"
  expect_saver_on_top
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $SAVER_WINDOW ]" || fail "the test has no focus again"

  xdotool key x
  wait_until 5 bash -c "! xwininfo -id $SAVER_WINDOW | grep -q IsViewable" || fail "a typed x did not end the test"
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $dialog ]" || fail "the dialog did not get the focus back"
  alive "$config" || fail "the end of the test ended the program"
  xdotool key Escape
  wait_exit "$config" 5
  [ "$EXIT_CODE" = 0 ] || fail "Escape in the dialog: exit code $EXIT_CODE, expected 0"
}

# Monitors known only through Xinerama, without a window manager: the saver covers both heads,
# and the Alt key ends it.
case_xinerama_only() {
  start_xinerama_only
  start_saver
  expect_saver_on_xinerama_heads
  xdotool key alt
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "the Alt key: exit code $EXIT_CODE, expected 0"
}

# The same under openbox: both heads covered, on top, with the focus; a left click ends it.
case_xinerama_only_openbox() {
  start_xinerama_only
  start_wm openbox
  start_saver
  expect_saver_on_xinerama_heads
  expect_saver_on_top
  xdotool click 1
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "a left click: exit code $EXIT_CODE, expected 0"
}

# Without a display: the usage and the version still answer; a mode that needs a display says so
# in one line and ends with exit code 1; /a still ends with 0.
case_no_display() {
  local out rc
  out=$(env -u DISPLAY -u QT_QPA_PLATFORM "$QUILLET" --help 2>"$WORK/help.err"); rc=$?
  [ $rc = 0 ] || fail "--help: exit code $rc"
  [[ "$out" == usage:*/s*/p*--root*--window-id*--objects*"--[no-]blend-gouraud-triangles"* ]] || fail "--help: $out"
  [ ! -s "$WORK/help.err" ] || fail "--help wrote to stderr: $(cat "$WORK/help.err")"
  out=$(env -u DISPLAY "$QUILLET" -h) || fail "-h failed"
  [[ "$out" == usage:* ]] || fail "-h: $out"
  out=$(env -u DISPLAY "$QUILLET" --version) || fail "--version failed"
  [[ "$out" =~ ^quillet\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version: $out"
  local mode
  for mode in /s /c /p --root; do
    env -u DISPLAY -u QT_QPA_PLATFORM "$QUILLET" $mode >"$WORK/out.log" 2>"$WORK/err.log"; rc=$?
    [ $rc = 1 ] || fail "$mode without a display: exit code $rc, expected 1"
    [ "$(wc -l <"$WORK/err.log")" = 1 ] && grep -q '^quillet: .*DISPLAY' "$WORK/err.log" ||
      fail "$mode without a display: stderr: $(cat "$WORK/err.log")"
  done
  env -u DISPLAY -u QT_QPA_PLATFORM "$QUILLET" /a; rc=$?
  [ $rc = 0 ] || fail "/a without a display: exit code $rc, expected 0"
  "$QUILLET" --frobnicate 2>"$WORK/err.log"; rc=$?
  [ $rc = 2 ] && grep -q 'unknown option: --frobnicate' "$WORK/err.log" || fail "an unknown option: exit code $rc"
}

# Under openbox: the saver takes the focus, a right click opens the dialog over it, Escape closes
# the dialog, and the saver has the focus again, so a key ends it. The dialog cannot be lost by
# minimising it.
case_window_manager_focus() {
  start_x
  start_wm openbox
  start_saver
  [ "$("$PROBE" geometry "$SAVER_WINDOW")" = "0 0 800 600" ] ||
    fail "the saver is not full screen under openbox: $("$PROBE" geometry "$SAVER_WINDOW")"
  xdotool click 3
  find_window '/S$' 5 || fail "a right click did not show the dialog"
  local dialog=$WINDOW
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $dialog ]" || fail "the dialog has no focus"
  xdotool windowminimize "$dialog"
  sleep 0.5
  wait_until 5 bash -c "xwininfo -id $dialog | grep -q IsViewable" || fail "the minimised dialog stayed hidden"
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $dialog ]" || fail "the dialog came back without focus"
  xdotool key Escape
  wait_until 5 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $SAVER_WINDOW ]" ||
    fail "the saver did not get the focus back after the dialog closed"
  alive "$SAVER" || fail "Escape in the dialog ended the saver"
  xdotool key x
  wait_exit "$SAVER" 5
  [ "$EXIT_CODE" = 0 ] || fail "a key after the dialog closed: exit code $EXIT_CODE, expected 0"
}

# The picture on screen against the surface's pixels, by a program that holds both.
case_present_matches_surface() {
  start_x
  "$PRESENT_CHECK" >"$WORK/present.log" 2>&1 || fail "$(cat "$WORK/present.log")"
}

# The X server goes away (log-out, a display manager's restart) under every mode: one line on
# stderr and exit code 1, never a crash, and the settings file stays as it was.
case_display_lost() {
  local mode ready
  for mode in /s /c /p-host window-id root host-variable; do
    start_x
    mkdir -p "$XDG_CONFIG_HOME"
    printf '[Config]\nObjects=40\n' >"$XDG_CONFIG_HOME/QUILLET.INI"
    cp "$XDG_CONFIG_HOME/QUILLET.INI" "$WORK/settings.before"
    case $mode in
      /s) start_quillet lost /s; ready="find_window '^Quillet  \(p\.\.\.pause\)\$' 15" ;;
      /c) start_quillet lost /c; ready="find_window '/C\$' 15" ;;
      /p-host) start_host 160 120; start_quillet lost /p "$HOST"; ready="wait_child $HOST 160 120" ;;
      window-id) start_host 160 120; start_quillet lost --window-id "$HOST"; ready="wait_child $HOST 160 120" ;;
      root) start_quillet lost --root; ready="wait_until 10 has_drawing" ;;
      host-variable)
        start_host 160 120
        XSCREENSAVER_WINDOW=$HOST start_quillet lost
        ready="wait_child $HOST 160 120" ;;
    esac
    eval "$ready" || fail "$mode: the program did not come up"
    alive "$LAST_PID" || fail "$mode: the program ended before its display"
    stop_x
    wait_exit "$LAST_PID" "$(end_seconds 5)"
    [ "$EXIT_CODE" = 1 ] || fail "$mode: after the X server went: exit code $EXIT_CODE, expected 1"
    expect_one_line lost '^quillet: lost the connection to display :[0-9]+$'
    cmp -s "$XDG_CONFIG_HOME/QUILLET.INI" "$WORK/settings.before" || fail "$mode: the settings file changed"
  done
}

# A window grown beyond what a surface may hold (just over 2 GiB of pixels): hosted and in a
# host's preview, one line on stderr and exit code 1; in a dialog mode the error box, and the
# program runs on. Never an abort.
case_surface_too_large() {
  start_x
  start_host 160 120
  XSCREENSAVER_WINDOW=$HOST start_quillet hosted
  local hosted=$LAST_PID
  start_quillet preview /p "$HOST"
  local preview=$LAST_PID
  wait_until 10 bash -c "[ \$(\"$PROBE\" children $HOST | grep -c ' 0 0 160 120 mapped') = 2 ]" ||
    fail "the two copies do not both draw in the host: $("$PROBE" children "$HOST")"
  xdotool windowsize "$HOST" 23171 23171
  wait_exit "$hosted" "$(end_seconds 5)"
  [ "$EXIT_CODE" = 1 ] || fail "hosted: exit code $EXIT_CODE, expected 1"
  expect_one_line hosted "^quillet: Can't allocate the DIB handle\$"
  wait_exit "$preview" "$(end_seconds 5)"
  [ "$EXIT_CODE" = 1 ] || fail "preview: exit code $EXIT_CODE, expected 1"
  expect_one_line preview "^quillet: Can't allocate the DIB handle\$"

  start_quillet config /c
  local config=$LAST_PID
  find_window '/C$' 15 || fail "no dialog"
  local dialog=$WINDOW
  wait_until 10 bash -c "[ \"\$(xdotool getwindowfocus 2>/dev/null)\" = $dialog ]" || fail "the dialog has no focus"
  xdotool key alt+w
  find_window '^Quillet  \(p\.\.\.pause\)$' 10 || fail "WinTest showed no window"
  xdotool windowsize "$WINDOW" 23171 23171
  find_window '^Quillet$' 10 || fail "no error box"
  local box=$WINDOW
  alive "$config" || fail "the dialog mode ended"
  xdotool key Return
  wait_until 5 bash -c "! xwininfo -id $box 2>/dev/null | grep -q IsViewable" || fail "the error box stayed"
  sleep 0.5
  alive "$config" || fail "the dialog mode ended after the error box"
  [ ! -e "$XDG_CONFIG_HOME/QUILLET.INI" ] || fail "the settings file was written"
}

# The full-screen saver on a display whose surface does not fit in the memory allowed: the error
# box, not an abort. (The sanitizers reserve more address space than any such limit.)
case_saver_out_of_memory() {
  [ -n "${ASAN_OPTIONS:-}" ] && { echo "SKIP: no address-space limit under the sanitizers"; exit 77; }
  start_x 7680x4320
  (ulimit -v 200000 && exec "$QUILLET" /s) >"$WORK/saver.log" 2>&1 &
  local saver=$!
  PIDS+=("$saver")
  find_window '^Quillet$' 15 || fail "no error box: $(head -c 300 "$WORK/saver.log")"
  alive "$saver" || fail "the saver ended"
  xdotool key Return
  # The saver comes up, with nothing to draw in, and no second box for the same size.
  find_window '^Quillet  \(p\.\.\.pause\)$' 10 || fail "no saver after the error box"
  xdotool search --onlyvisible --name '^Quillet$' >/dev/null && fail "a second error box"
  alive "$saver" || { wait "$saver"; fail "the saver ended after the error box (exit code $?)"; }
}

# A server that resets whenever its last client leaves, and copies started just after a client
# left: every one comes up and ends on SIGTERM with 0.
case_startup_race() {
  XVFB_RESETS=1 start_x
  local run
  for run in 1 2 3 4 5 6 7 8 9 10; do
    xdotool getmouselocation >/dev/null 2>&1
    start_quillet "race$run" --root
    wait_until 15 has_drawing || fail "run $run: nothing drawn: $(head -c 300 "$WORK/race$run.log")"
    signal_ends TERM "$LAST_PID"
  done
  start_quillet saver /s
  find_window '^Quillet  \(p\.\.\.pause\)$' 15 || fail "/s did not come up: $(head -c 300 "$WORK/saver.log")"
}

# Hosts stop what they have just started. The signals are caught before the program does anything
# else, before it reaches the X server in particular (in the order of its system calls), and
# each one ends it with 0.
case_early_signal() {
  command -v strace >/dev/null || { echo "SKIP: strace missing"; exit 77; }
  start_x
  # LeakSanitizer cannot run under a tracer.
  ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
    strace -f -qq -e trace=connect,rt_sigaction -o "$WORK/calls" "$QUILLET" --root >"$WORK/traced.log" 2>&1 &
  local tracer=$! pid
  PIDS+=("$tracer")
  wait_until 15 has_drawing || fail "nothing drawn under strace: $(head -c 300 "$WORK/traced.log")"
  pid=$(pgrep -P "$tracer" | head -n 1)
  [ -n "$pid" ] || fail "no traced program"
  kill -TERM "$pid"
  wait_exit "$tracer" "$(end_seconds 5)"
  [ "$EXIT_CODE" = 0 ] || fail "SIGTERM under strace: exit code $EXIT_CODE, expected 0"
  local caught reached
  caught=$(grep -n 'rt_sigaction(SIGTERM, {sa_handler=0x' "$WORK/calls" | head -n 1 | cut -d: -f1)
  reached=$(grep -n 'connect(.*X11-unix' "$WORK/calls" | head -n 1 | cut -d: -f1)
  [ -n "$caught" ] && [ -n "$reached" ] || fail "the trace shows no handler ($caught) or no connection ($reached)"
  ((caught < reached)) || fail "the program reached the X server before it caught SIGTERM"

  local delay status
  for delay in 0 0.05 0.1 0.2 0.3 0.5; do
    start_quillet early --root
    pid=$LAST_PID
    # The program's own handlers: before exec the shell's child may hold handlers of its own.
    wait_until 10 bash -c "[ \"\$(readlink /proc/$pid/exe)\" = \"$(readlink -f "$QUILLET")\" ] &&
      (((0x\$(sed -n 's/^SigCgt:\s*//p' /proc/$pid/status) & 0x4003) == 0x4003))" ||
      fail "SIGTERM, SIGINT and SIGHUP were never caught"
    sleep "$delay"
    kill -TERM "$pid"
    wait_exit "$pid" "$(end_seconds 10)"
    [ "$EXIT_CODE" = 0 ] || fail "SIGTERM $delay s after the handlers: exit code $EXIT_CODE, expected 0"
  done
}

# A display Quillet cannot show: one clear line and exit 1, not a blank window and a flood.
case_eight_bit_display() {
  XVFB_DEPTH=8 start_x
  local mode
  for mode in --root /s; do
    start_quillet eight "$mode"
    wait_exit "$LAST_PID" "$(end_seconds 5)"
    [ "$EXIT_CODE" = 1 ] || fail "$mode: exit code $EXIT_CODE, expected 1"
    expect_one_line eight '^quillet: the display shows 8-bit PseudoColor; .*true colour'
  done
}

# Without shared memory the window still puts its frames straight to the server, and they match.
case_no_shared_memory() {
  XVFB_ARGS="-extension MIT-SHM" start_x
  "$PRESENT_CHECK" --direct >"$WORK/present.log" 2>&1 || fail "$(cat "$WORK/present.log")"
}

# The rate overlay stands over the bottom-left corner and is not drawn into the page; xscreensaver's
# -fps runs hosted, as --fps does.
case_rates_overlay() {
  start_x
  "$PRESENT_CHECK" --direct --rates >"$WORK/present.log" 2>&1 || fail "$(cat "$WORK/present.log")"
  # A page that draws nothing but its wipes' time in the top-left corner: the bottom rows show
  # the overlay alone.
  printf '[Config]\nObjects=1000\n[AntiAliasing]\nLines=0\n[Blend]\nBars=0\n' >"$WORK/quiet.ini"
  start_host 320 240
  XSCREENSAVER_WINDOW=$HOST start_quillet rates -fps --ini "$WORK/quiet.ini"
  wait_child "$HOST" 320 240
  wait_until 5 has_drawing "$CHILD" 0 224 200 16 || fail "no rates in the bottom-left corner"
  has_drawing "$CHILD" 0 40 320 180 && fail "the quiet page drew above the overlay"
  xdotool search --name 'FPS' >/dev/null 2>&1 && fail "-fps opened the dialog"
  alive "$LAST_PID" || fail "-fps ended the program"
}

# One copy of a mode per user and display: another display runs its own, the same display under
# another spelling does not.
case_instance_per_display() {
  start_x
  local first=$DISPLAY
  local first_pid=$XVFB_PID
  start_saver
  XVFB_PID=
  start_x
  local second=$DISPLAY
  PIDS+=("$first_pid")
  start_saver
  local other=$SAVER
  alive "$other" || fail "/s on $second was refused while /s ran on $first"
  DISPLAY="$first.0" start_quillet again /s
  wait_exit "$LAST_PID" 5
  [ "$EXIT_CODE" = 1 ] || fail "a second /s on $first.0: exit code $EXIT_CODE, expected 1"
}

# Hosted, the host's options decide what is drawn: the built-in defaults and the options, and a
# settings file only when one is named.
case_hosted_settings() {
  start_x
  printf '[Config]\nObjects=1000\n[AntiAliasing]\nLines=0\n[Blend]\nBars=0\n' >"$WORK/quiet.ini"
  cp "$WORK/quiet.ini" "$XDG_CONFIG_HOME/QUILLET.INI"
  start_host 200 150
  start_quillet defaults --window-id "$HOST"
  wait_child "$HOST" 200 150
  wait_until 5 has_drawing "$CHILD" 0 40 200 110 || fail "the defaults drew nothing: the dialog's file was read"
  signal_ends TERM "$LAST_PID"
  wait_until 5 host_is_empty || fail "the window of an ended copy stayed"
  start_quillet quiet --window-id "$HOST" --ini "$WORK/quiet.ini"
  wait_child "$HOST" 200 150
  sleep 1.5
  has_drawing "$CHILD" 0 40 200 110 && fail "--ini with every kind off drew"
  signal_ends TERM "$LAST_PID"
  wait_until 5 host_is_empty || fail "the window of an ended copy stayed"
  start_quillet lines --window-id "$HOST" --ini "$WORK/quiet.ini" --aa-lines
  wait_child "$HOST" 200 150
  wait_until 5 has_drawing "$CHILD" 0 40 200 110 || fail "an option over --ini drew nothing"
  signal_ends TERM "$LAST_PID"
  start_quillet missing --root --ini "$WORK/none.ini"
  wait_exit "$LAST_PID" 5
  [ "$EXIT_CODE" = 2 ] || fail "a settings file that does not exist: exit code $EXIT_CODE, expected 2"
  expect_one_line missing "^quillet: cannot read .*none.ini: No such file or directory\$"
}

"case_$CASE" || fail "case failed"
echo "PASS [$CASE]"
