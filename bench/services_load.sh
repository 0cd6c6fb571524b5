#!/usr/bin/env bash
# Load figures of linkmill-services, measured with wrk against the demo data:
#   1. lookups per second over 64 kept-alive connections;
#   2. lookups per second with a new connection per request ("Connection: close");
#   3. the server's resident memory after 1 000, 1 000 000 and 2 000 000 requests.
# The requests rotate over a known bdhd hash, a known qvod link (escaped as the
# client escapes it), an unknown hash and a malformed one.
# Usage: bench/services_load.sh [BUILD_DIR] [SECONDS]   (defaults: build, 10)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
seconds=${2:-10}
program=$build/bin/linkmill-services
command -v wrk >/dev/null || { echo "services_load: wrk is missing (scripts/install-deps)" >&2; exit 1; }
[ -x "$program" ] || { echo "services_load: build $program first" >&2; exit 1; }

work=$(mktemp -d)
server=
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

"$program" import --db "$work/m.db" "$root/data/demo-mappings.tsv" >/dev/null
"$program" --listen 127.0.0.1:0 --db "$work/m.db" >"$work/address" &
server=$!
for _ in $(seq 50); do [ -s "$work/address" ] && break; sleep 0.1; done
address=$(sed -n 's/^listening on //p' "$work/address")
[ -n "$address" ] || { echo "services_load: the server did not start" >&2; exit 1; }

cat >"$work/lookups.lua" <<'LUA'
local paths = {
  "/f2e?ID=016E2D91F30162F17D6AE5B19F19F09C",
  "/queryfid?type=str&url=qvod://161941792%7CEB2F5E6BE05074D8D2229C9B778D1CFA618E4421%7CVelmora-01.rmvb",
  "/f2e?ID=FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF",
  "/f2e?ID=%27%20OR%201=1--",
}
local i = 0
local limit = tonumber(os.getenv("LOOKUP_LIMIT") or "0")
local done = 0
request = function()
  i = i + 1
  return wrk.format("GET", paths[i % #paths + 1])
end
response = function()
  done = done + 1
  if limit > 0 and done >= limit then wrk.thread:stop() end
end
LUA

rss() { awk '/^VmRSS/ { print $2 " kB" }' "/proc/$server/status"; }
# The figures of a wrk run: latency, count, errors, rate.
figures() { grep -E 'Requests/sec|requests in|Socket errors|Non-2xx|Latency|  (50|99)%' || true; }

echo "linkmill-services at $address; $(nproc) cores; wrk $(wrk --version 2>&1 | head -1 | awk '{print $2}')"
echo "== kept-alive connections: wrk -t2 -c64 -d${seconds}s"
wrk -t2 -c64 -d"${seconds}s" --latency -s "$work/lookups.lua" "http://$address" | figures
echo "== a new connection per request: wrk -t2 -c64 -d${seconds}s -H 'Connection: close'"
wrk -t2 -c64 -d"${seconds}s" -H "Connection: close" -s "$work/lookups.lua" "http://$address" | figures

# Memory: a fresh server, then 1 000 requests over the same 64 connections as
# the rest, then runs of wrk until the count passes each goal. wrk sleeps out
# its -d even after the Lua limit stops it.
kill "$server"; wait "$server" 2>/dev/null || true
"$program" --listen 127.0.0.1:0 --db "$work/m.db" >"$work/address" &
server=$!
for _ in $(seq 50); do grep -q listening "$work/address" 2>/dev/null && break; sleep 0.1; done
address=$(sed -n 's/^listening on //p' "$work/address")
count() { awk '/requests in/ { print $1 }'; }
echo "== memory (VmRSS of the server)"
echo "   at start: $(rss)"
total=$(LOOKUP_LIMIT=500 wrk -t2 -c64 -d2s -s "$work/lookups.lua" "http://$address" | count)
echo "   after $total requests: $(rss)"
# A second million shows whether what the first added was warm-up (thread
# stacks, malloc arenas, SQLite caches) or growth.
for goal in 1000000 2000000; do
  while [ "$total" -lt "$goal" ]; do
    n=$(wrk -t2 -c64 -d10s -s "$work/lookups.lua" "http://$address" | count)
    total=$((total + n))
  done
  echo "   after $total requests: $(rss)"
done
