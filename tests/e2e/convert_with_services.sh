#!/usr/bin/env bash
# The whole road of one use in the real window: the lookup services on the
# demo data at the window's own service host, the sample input, 筛选, 转换 and
# 复制; the clipboard must hold the 40 ed2k links the demo data gives.
# Usage (under xvfb-run): convert_with_services.sh LINKMILL SEND_WINDOW_CLOSE SERVICES DEMO_DATA HOST
set -uo pipefail
LINKMILL=$1
SEND_WINDOW_CLOSE=$2
SERVICES=$3
DEMO_DATA=$4
HOST=$5
source "$(dirname "$0")/window_driver.sh"

store=$(mktemp -d)
cleanup() {
  kill -9 "${WINDOW_PID:-}" "${services_pid:-}" 2>/dev/null
  rm -rf "$store"
}
trap cleanup EXIT

"$SERVICES" import --db "$store/db" "$DEMO_DATA" >/dev/null || fail "import of the demo data failed"
"$SERVICES" --db "$store/db" --listen "$HOST" >"$store/out" 2>&1 &
services_pid=$!
for _ in $(seq 50); do [ -s "$store/out" ] && break; sleep 0.1; done
grep -q "listening" "$store/out" || fail "the services did not start: $(cat "$store/out")"

# What the demo data says the 40 sample links become, in the list's order:
# the bdhd rows first, then the qvod rows through their bdhd links.
expected_links() {
  awk -F'\t' '
    function ed2k(link,   f, name) {
      split(link, f, "|")
      name = substr(link, length(f[1]) + length(f[2]) + 3)
      return "ed2k://|file|" name "|" substr(f[1], 8) "|" ed2k_of[f[2]] "|/\r"
    }
    FNR == NR { if ($1 == "bdhd") ed2k_of[$2] = $3; else if ($1 == "qvod") bdhd_of[$2] = $3; next }
    /^bdhd:/ { print ed2k($0) }
    /^qvod:/ { split($0, f, "|"); qvod[++n] = bdhd_of[f[2]] }
    END { for (i = 1; i <= n; i++) print ed2k(qvod[i]) }
  ' <(grep -v '^#' "$DEMO_DATA") -
}

start_window
sample=$(read_box input)
want=$(expected_links <<<"$sample"; echo .)
[ "$(grep -c '^ed2k://' <<<"${want%.}")" -eq 40 ] || fail "the demo data does not cover the sample input"

click_control filter
wait_for_log "找到地址共40条......"
click_control convert
wait_for_log "转换完毕!!......"
click_control copy
dismiss_message_box "复制成功！"
copied=$(clipboard; echo .)
[ "${copied%.}" == "${want%.}" ] || fail "copied $(printf '%q' "${copied%.}"), want $(printf '%q' "${want%.}")"

close_window
[ "$WINDOW_STATUS" -eq 0 ] || fail "exit status $WINDOW_STATUS"
echo "PASS"
