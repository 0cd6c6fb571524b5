#!/usr/bin/env bash
# Closes the real window while a filter task works through a big paste: the
# process must end at once, with status 0.
# Usage (under xvfb-run): close_while_busy.sh LINKMILL SEND_WINDOW_CLOSE
set -uo pipefail
LINKMILL=$1
SEND_WINDOW_CLOSE=$2
here=$(dirname "$0")
source "$here/window_driver.sh"

start_window
trap 'kill -9 $WINDOW_PID 2>/dev/null' EXIT

"$here/make_big_paste.sh" 100000 | set_clipboard
paste_into_input
click_control filter
wait_for_log "正则筛选中......"
log=$(read_box log)
[[ "$log" != *"找到地址共"* ]] || fail "the filter ended before the window was closed"
close_window 5
[ "$WINDOW_STATUS" -eq 0 ] || fail "exit status $WINDOW_STATUS"
trap - EXIT
echo "PASS"
