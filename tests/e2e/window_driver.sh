# Drives the real window from outside, under a private X server without a
# window manager: start it, click its controls, paste, read its boxes back
# through the clipboard. Sourced by the end-to-end scripts.
#
# Needs LINKMILL (the program) and SEND_WINDOW_CLOSE (the helper) set.

# Places of the controls in the client area: left top width height.
declare -A CONTROL=(
  [input]="15 16 441 80"
  [filter]="15 102 80 32"
  [convert]="104 102 80 32"
  [copy]="193 102 80 32"
  [clear]="282 102 80 32"
  [about]="373 102 80 32"
  [list]="16 136 440 136"
  [log]="14 280 440 63"
)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Starts the window; sets WINDOW_PID and WINDOW_ID. A private X server at
# times refuses a new client for a moment after many windows came and went:
# a window that could not connect is started again, up to three times.
start_window() {
  local attempt
  for attempt in 1 2 3; do
    "$LINKMILL" &
    WINDOW_PID=$!
    WINDOW_ID=""
    for _ in $(seq 100); do
      WINDOW_ID=$(xdotool search --onlyvisible --name '^Linkmill$' 2>/dev/null | head -1)
      [ -n "$WINDOW_ID" ] && return 0
      kill -0 "$WINDOW_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$WINDOW_PID" 2>/dev/null
    wait "$WINDOW_PID" 2>/dev/null
    sleep 1
  done
  fail "no window titled Linkmill appeared"
}

# Clicks the middle of a control.
click_control() {
  local x y
  eval "$(xdotool getwindowgeometry --shell "$WINDOW_ID")"
  read -r left top width height <<<"${CONTROL[$1]}"
  x=$((X + left + width / 2))
  y=$((Y + top + height / 2))
  xdotool mousemove "$x" "$y" click 1
}

# Puts UTF-8 text from stdin on the clipboard. xclip keeps serving it in the
# background until another program takes the clipboard.
set_clipboard() {
  xclip -selection clipboard -t UTF8_STRING -i
}

clipboard() {
  xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null
}

# Replaces the input box's text with the clipboard's.
paste_into_input() {
  click_control input
  xdotool key --clearmodifiers ctrl+a ctrl+v
}

# Prints the whole text of an edit box (input or log), copied by the window itself.
read_box() {
  printf '' | set_clipboard
  click_control "$1"
  xdotool key --clearmodifiers ctrl+a ctrl+c
  sleep 0.1
  clipboard
}

# Waits until the log holds text; fails after about limit seconds (default 60).
wait_for_log() {
  local text=$1 limit=${2:-60} log
  for _ in $(seq $((limit * 5))); do
    log=$(read_box log)
    [[ "$log" == *"$text"* ]] && return 0
    sleep 0.2
  done
  fail "the log never showed \"$text\"; it holds: $log"
}

# Dismisses the message box that is open with its OK button.
dismiss_message_box() {
  local box=""
  for _ in $(seq 50); do
    box=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || fail "no message box titled \"$1\""
  xdotool key --clearmodifiers Return
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the message box \"$1\" did not close"
}

# Closes the window as its close box does, and waits up to limit seconds
# (default 5) for the process to end; sets WINDOW_STATUS.
close_window() {
  local limit=${1:-5}
  "$SEND_WINDOW_CLOSE" "$WINDOW_ID" || fail "could not send the close request"
  for _ in $(seq $((limit * 10))); do
    if ! kill -0 "$WINDOW_PID" 2>/dev/null; then
      wait "$WINDOW_PID"
      WINDOW_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
  kill -9 "$WINDOW_PID" 2>/dev/null
  fail "the process still ran ${limit} s after the window was closed"
}
