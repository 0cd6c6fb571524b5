#!/usr/bin/env bash
# 筛选 on the address of a local page whose links sit in a script it loads
# from its own host: the window fetches both and lists the links.
# Usage (under xvfb-run): analyze_page.sh LINKMILL SEND_WINDOW_CLOSE SERVE_FOLDER
set -uo pipefail
LINKMILL=$1
SEND_WINDOW_CLOSE=$2
SERVE_FOLDER=$3
source "$(dirname "$0")/window_driver.sh"

site=$(mktemp -d)
cleanup() {
  kill -9 "${WINDOW_PID:-}" "${server_pid:-}" 2>/dev/null
  rm -rf "$site"
}
trap cleanup EXIT

mkdir -p "$site/js"
cat >"$site/index.html" <<'PAGE'
<html><head><title>Episodes | all</title>
<script src="http://elsewhere.example/x.js"></script>
<script src="/js/list.js"></script></head>
<body>Pick an episode.</body></html>
PAGE
cat >"$site/js/list.js" <<'SCRIPT'
var links = ["bdhd://238002442|016E2D91F30162F17D6AE5B19F19F09C|Velmora01.rmvb",
  "qvod://161941792|EB2F5E6BE05074D8D2229C9B778D1CFA618E4421|Velmora-01.rmvb"];
SCRIPT
"$SERVE_FOLDER" "$site" >"$site/port" &
server_pid=$!
for _ in $(seq 50); do [ -s "$site/port" ] && break; sleep 0.1; done
port=$(awk '{print $2}' "$site/port")
[ -n "$port" ] || fail "the page server did not start"

start_window
printf '%s' "http://127.0.0.1:$port/index.html" | set_clipboard
paste_into_input
click_control filter
wait_for_log "找到地址共2条......"

links=$'bdhd://238002442|016E2D91F30162F17D6AE5B19F19F09C|Velmora01.rmvb\r\n'
links+=$'qvod://161941792|EB2F5E6BE05074D8D2229C9B778D1CFA618E4421|Velmora-01.rmvb\r\n'
click_control copy
dismiss_message_box "复制成功！"
copied=$(clipboard; echo .)
[ "${copied%.}" == "$links" ] || fail "copied $(printf '%q' "${copied%.}"), want $(printf '%q' "$links")"
log=$(read_box log)
for line in "分析地址中......" "深度分析中......" "分析完毕!!......"; do
  [[ "$log" == *"$line"* ]] || fail "the log lacks $line: $log"
done

close_window
[ "$WINDOW_STATUS" -eq 0 ] || fail "exit status $WINDOW_STATUS"
echo "PASS"
