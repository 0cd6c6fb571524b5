#!/usr/bin/env bash
# Measures the real window on a big paste: the time from the click on 筛选 to
# the log line "找到地址共..." (list filled, input rewritten), and the peak
# memory of the process afterwards. Not part of the test suite.
#
# Usage: bench/window_fill.sh [BUILD_DIR] [LINK_COUNT]
# Runs itself under a private X server when none is set.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
count=${2:-100000}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$build" "$count"
fi
LINKMILL=$build/bin/linkmill
SEND_WINDOW_CLOSE=$build/tests/send_window_close
source "$root/tests/e2e/window_driver.sh"

paste=$(mktemp)
trap 'rm -f "$paste"; kill -9 $WINDOW_PID 2>/dev/null' EXIT
"$root/tests/e2e/make_big_paste.sh" "$count" >"$paste"
echo "paste: $count links, $(wc -c <"$paste") bytes UTF-8, $(iconv -f utf-8 -t cp936 "$paste" | wc -c) bytes GBK"

start_window
set_clipboard <"$paste"
paste_into_input
read_box log >/dev/null  # served only once the paste is in the box
echo "after the paste: $(grep VmRSS /proc/$WINDOW_PID/status)"

start=$(date +%s.%N)
click_control filter
wait_for_log "找到地址共${count}条......" 120
end=$(date +%s.%N)
echo "filter to last log line: $(echo "$end - $start" | bc) s (log polled every 0.2 s or so)"
grep -E 'VmHWM|VmRSS' /proc/$WINDOW_PID/status
close_window 5
echo "closed, exit status $WINDOW_STATUS"
