#!/usr/bin/env bash
# Takes docs/screenshot.png: the window after 筛选 on its sample input, under a
# private X server. Not part of the test suite.
# Usage: tests/e2e/take_screenshot.sh [BUILD_DIR]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$build"
fi
LINKMILL=$build/bin/linkmill
SEND_WINDOW_CLOSE=$build/tests/send_window_close
source "$root/tests/e2e/window_driver.sh"

start_window
trap 'kill -9 $WINDOW_PID 2>/dev/null' EXIT
click_control filter
wait_for_log "找到地址共40条......"
click_control list  # selects a row, as a user would
xdotool mousemove 0 0
sleep 0.5
import -window "$WINDOW_ID" "$root/docs/screenshot.png" || fail "import failed"
close_window
echo "wrote $root/docs/screenshot.png"
