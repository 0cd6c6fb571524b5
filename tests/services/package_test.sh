#!/usr/bin/env bash
# Builds the Debian package with CPack, unpacks it into a temporary root and
# runs the programs from there: their help, a conversion through the installed
# services with the installed demo data, and the window briefly when the
# package has it. Also checks that every library the programs need comes from
# a package the .deb depends on, and that man pages and desktop files are sound.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
server=
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package_test: $*" >&2; exit 1; }
trap 'echo "package_test: a command failed at line $LINENO" >&2' ERR

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/out/*.deb)
dpkg-deb -x "$deb" "$work/root"
bin=$work/root/usr/bin
depends=$(dpkg-deb -f "$deb" Depends)
echo "package: $(basename "$deb")"
echo "depends: $depends"
# The package names of Depends, one a line, without versions.
depends_names=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')

# Every shared library a program needs belongs to a package named in Depends.
for program in "$bin"/*; do
  for lib in $(objdump -p "$program" | awk '/NEEDED/ { print $2 }'); do
    # awk reads to the end: leaving early would break ldconfig's pipe, which
    # pipefail turns into a silent exit.
    path=$(ldconfig -p | awk -v lib="$lib" '$1 == lib && /x86-64|64bit/ && !p { p = $NF } END { print p }')
    [ -n "$path" ] || fail "$(basename "$program") needs $lib, which is not installed here"
    owner=$(dpkg -S "$(realpath "$path")" 2>/dev/null || dpkg -S "$path" 2>/dev/null ||
            dpkg -S "/usr$path" 2>/dev/null || true)
    package=${owner%%:*}
    [ -n "$package" ] || fail "no package owns $path"
    grep -qxF "$package" <<<"$depends_names" ||
      fail "$(basename "$program") needs $lib from $package, which Depends does not name"
  done
done

"$bin/linkmill-cli" --help | grep -q "Usage: linkmill-cli" || fail "linkmill-cli --help"
"$bin/linkmill-services" --help | grep -q "Usage: linkmill-services" || fail "linkmill-services --help"

# The installed services answer the installed demo data to the installed CLI.
demo=$work/root/usr/share/linkmill/demo-mappings.tsv
"$bin/linkmill-services" import --db "$work/m.db" "$demo" >/dev/null
"$bin/linkmill-services" --listen 127.0.0.1:0 --db "$work/m.db" >"$work/address" &
server=$!
for _ in $(seq 100); do grep -q listening "$work/address" 2>/dev/null && break; sleep 0.1; done
address=$(sed -n 's/^listening on //p' "$work/address")
[ -n "$address" ] || fail "linkmill-services did not start"
link='qvod://161941792|EB2F5E6BE05074D8D2229C9B778D1CFA618E4421|Velmora-01.rmvb'
converted=$(printf '%s\r\n' "$link" |
  "$bin/linkmill-cli" convert --hash-lookup-host "$address" --link-query-host "$address" | tr -d '\r')
[[ "$converted" =~ ^ed2k://\|file\|Velmora-01\.rmvb\|161941792\|[0-9A-F]{32}\|/$ ]] ||
  fail "convert through the installed services gave '$converted'"
kill "$server"
wait "$server" || fail "linkmill-services did not stop cleanly on SIGTERM"
server=

for page in "$work"/root/usr/share/man/man1/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

if [ -x "$bin/linkmill" ]; then
  ls "$work"/root/usr/share/applications/*.desktop "$work"/root/usr/share/metainfo/*.xml \
     "$work"/root/usr/share/icons/hicolor/scalable/apps/*.svg >/dev/null ||
    fail "the window's desktop file, metadata or icon is missing"
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$work"/root/usr/share/metainfo/*.xml >"$work/as.log" 2>&1 ||
      { cat "$work/as.log" >&2; fail "the AppStream metadata does not validate"; }
  fi
  # The window keeps running until the timeout ends it: status 124.
  status=0
  QT_QPA_PLATFORM=offscreen timeout 3 "$bin/linkmill" >"$work/gui.log" 2>&1 || status=$?
  [ "$status" -eq 124 ] || { cat "$work/gui.log" >&2; fail "linkmill ended with status $status"; }
fi
echo "package_test: ok"
