#!/usr/bin/env bash
# Pastes a chat log with links into the real window, filters it, copies the
# links and reads them back from the clipboard.
# Usage (under xvfb-run): filter_and_copy.sh LINKMILL SEND_WINDOW_CLOSE
set -uo pipefail
LINKMILL=$1
SEND_WINDOW_CLOSE=$2
source "$(dirname "$0")/window_driver.sh"

start_window
trap 'kill -9 $WINDOW_PID 2>/dev/null' EXIT

printf '%s\n' \
  "[小明] 看这个 bdhd://238002442|016E2D91F30162F17D6AE5B19F19F09C|Velmora01.rmvb 不错" \
  "[小红] qvod://161941792|EB2F5E6BE05074D8D2229C9B778D1CFA618E4421|Velmora-01.rmvb|" \
  "还有 bdhd://67098966|215DE48E25792F5340376CF645B71978|Velmora02.rmvb" | set_clipboard
paste_into_input
click_control filter
wait_for_log "找到地址共3条......"

links=$'bdhd://238002442|016E2D91F30162F17D6AE5B19F19F09C|Velmora01.rmvb\r\n'
links+=$'bdhd://67098966|215DE48E25792F5340376CF645B71978|Velmora02.rmvb\r\n'
links+=$'qvod://161941792|EB2F5E6BE05074D8D2229C9B778D1CFA618E4421|Velmora-01.rmvb\r\n'

click_control copy
dismiss_message_box "复制成功！"
copied=$(clipboard; echo .)
[ "${copied%.}" == "$links" ] || fail "copied $(printf '%q' "${copied%.}"), want $(printf '%q' "$links")"

# The input box now holds the clean links (the box copies its line breaks as LF).
input=$(read_box input; echo .)
[ "${input%.}" == "${links//$'\r'/}" ] || fail "input box holds $(printf '%q' "${input%.}")"

close_window
[ "$WINDOW_STATUS" -eq 0 ] || fail "exit status $WINDOW_STATUS"
trap - EXIT
echo "PASS"
