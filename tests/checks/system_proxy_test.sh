#!/usr/bin/env bash
# SystemProxy under Wine with the person's settings written as Windows keeps them (the binary
# DefaultConnectionSettings of Internet Options), in a scratch prefix so that no other test
# meets them: fixed proxies with a bypass list, then a PAC script served from this machine.
# Usage: system_proxy_test.sh CHECK_TRANSPORT_TESTS.EXE
set -uo pipefail
tests=$1
source "$(dirname "$0")/../support/checks.sh"
patience=${ZENTROVA_PATIENCE:-60}
export WINEDEBUG=-all WINEPREFIX
WINEPREFIX=$(mktemp -d)
work=$(mktemp -d)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT

# settings FLAGS PROXY BYPASS PAC_URL: the blob Internet Options writes (version 0x46, a counter,
# the flags: 1 direct, 2 proxy, 4 PAC address, 8 detect; then each string after its length).
settings() {
  local hex
  hex=$(python3 -c '
import struct, sys
flags, proxy, bypass, pac = int(sys.argv[1]), *(a.encode() for a in sys.argv[2:5])
blob = struct.pack("<III", 0x46, 1, flags)
for text in (proxy, bypass, pac):
    blob += struct.pack("<I", len(text)) + text
print((blob + bytes(32)).hex())' "$@")
  timeout "$patience" wine reg add \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections' \
    /v DefaultConnectionSettings /t REG_BINARY /d "$hex" /f >/dev/null 2>&1
}

runs() { ZENTROVA_PROXY_SETTINGS=$1 timeout $((patience * 5)) wine "$tests" --gtest_filter='SystemProxy.*'; }

check "the prefix is made" timeout $((patience * 5)) wineboot -i
check "fixed proxies are written" settings 3 'http=127.0.0.1:7890;https=127.0.0.1:7891' \
  '<local>;*.corp' ''
check "fixed proxies are read" runs fixed

cat >"$work/proxy.pac" <<'PAC'
function FindProxyForURL(url, host) {
  if (host == "direct.example") return "DIRECT";
  return "PROXY 127.0.0.1:7892";
}
PAC
port_file=$work/port
python3 -c '
import http.server, functools, sys
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
server = http.server.HTTPServer(("127.0.0.1", 0), handler)
open(sys.argv[2] + ".tmp", "w").write(str(server.server_address[1]))
__import__("os").rename(sys.argv[2] + ".tmp", sys.argv[2])
server.serve_forever()' "$work" "$port_file" 2>/dev/null &
server_pid=$!
deadline=$((SECONDS + patience))
while [[ ! -s $port_file ]] && ((SECONDS < deadline)); do sleep 0.1; done
check "the PAC server started" test -s "$port_file"
check "a PAC script is written" settings 5 '' '' "http://127.0.0.1:$(cat "$port_file")/proxy.pac"
check "the PAC script is run" runs pac
report
