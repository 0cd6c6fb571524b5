#!/usr/bin/env bash
# The real window under load: twenty quick presses of 筛选 and 转换 while the
# list fills must leave it answering clicks; and closing it while a task is
# busy (a convert waiting on a service that never answers, a filter filling
# 100,000 rows, a page analysis in the middle of a slow download), twenty
# times, must end the process within 2 s with status 0.
# Usage (under xvfb-run): busy_window.sh LINKMILL SEND_WINDOW_CLOSE STALLING_SERVER SERVICE_PORT
set -uo pipefail
LINKMILL=$1
SEND_WINDOW_CLOSE=$2
STALLING_SERVER=$3
SERVICE_PORT=$4
here=$(dirname "$0")
source "$here/window_driver.sh"

work=$(mktemp -d)
servers=()
cleanup() {
  kill -9 "${WINDOW_PID:-}" "${servers[@]}" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Starts a stalling server on port $1 (0 for a free one) in mode $2, in this
# shell so that cleanup can stop it; sets SERVER_PORT.
start_stalling_server() {
  local out=$work/server.$2
  "$STALLING_SERVER" "$1" "$2" >"$out" &
  servers+=($!)
  for _ in $(seq 50); do [ -s "$out" ] && break; sleep 0.1; done
  SERVER_PORT=$(awk '{ print $2 }' "$out")
  [ -n "$SERVER_PORT" ] || fail "no $2 server on port $1"
}

"$here/make_big_paste.sh" 100000 >"$work/big"
"$here/make_big_paste.sh" 20000 >"$work/medium"
# The window's own service host: a convert task waits there for ever.
start_stalling_server "$SERVICE_PORT" silent
start_stalling_server 0 trickle
trickle_port=$SERVER_PORT

# Twenty quick presses while the list fills, then a click on 意见反馈.
start_window
set_clipboard <"$work/medium"
paste_into_input
for _ in $(seq 10); do
  click_control filter
  click_control convert
done
started=$(date +%s.%N)
click_control about
for _ in $(seq 100); do
  xdotool search --onlyvisible --name "关于作者" >/dev/null 2>&1 && break
  sleep 0.1
done
awk -v from="$started" -v to="$(date +%s.%N)" \
  'BEGIN { printf "the about box opened %.2f s after the click\n", to - from }'
dismiss_message_box "关于作者"
kill -0 "$WINDOW_PID" 2>/dev/null || fail "the window died under the presses"
close_window 2
[ "$WINDOW_STATUS" -eq 0 ] || fail "exit status $WINDOW_STATUS after the presses"

# Close while busy, twenty times over the three kinds of work.
for round in $(seq 20); do
  start_window
  case $((round % 3)) in
    0)
      # The sample input, converted against a service that never answers.
      click_control filter
      wait_for_log "找到地址共40条......"
      click_control convert
      wait_for_log "开始转换!!......"
      ;;
    1)
      set_clipboard <"$work/big"
      paste_into_input
      click_control filter
      wait_for_log "正则筛选中......"
      ;;
    2)
      printf '%s' "http://127.0.0.1:$trickle_port/page.html" | set_clipboard
      paste_into_input
      click_control filter
      wait_for_log "分析地址中......"
      ;;
  esac
  close_window 2
  [ "$WINDOW_STATUS" -eq 0 ] || fail "round $round: exit status $WINDOW_STATUS"
  echo "round $round: closed while busy, exit status 0"
done
echo "PASS"
