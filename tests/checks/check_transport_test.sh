#!/usr/bin/env bash
# Starts the check's servers (tests/support/check_servers.py) and runs the Windows transport's
# tests against them under Wine. The direct cases need an address of this machine besides
# loopback, which the tests' rule does not know as this machine's; without one they are skipped.
# Usage: check_transport_test.sh CHECK_TRANSPORT_TESTS.EXE
set -uo pipefail
tests=$1
here=$(cd "$(dirname "$0")" && pwd)
patience=${ZENTROVA_PATIENCE:-60}
python=/usr/bin/python3  # Debian's, which has pyftpdlib
"$python" -c 'import pyftpdlib' 2>/dev/null || { echo "python3-pyftpdlib is missing"; exit 1; }

work=$(mktemp -d)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/files"
head -c 1234 /dev/urandom >"$work/files/live.bin"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj /CN=files.example 2>/dev/null || { echo "openssl could not make a certificate"; exit 1; }
: >"$work/requests" >"$work/trap" >"$work/sni" >"$work/sent"

# The first address of this machine that is not loopback.
outside=$(ip -4 -o addr show scope global 2>/dev/null | awk '{sub(/\/.*/, "", $4); print $4; exit}')
"$python" "$here/../support/check_servers.py" "$work" "${outside:-127.0.0.1}" &
server_pid=$!
deadline=$((SECONDS + patience))
while [[ ! -s $work/ports ]] && ((SECONDS < deadline)); do sleep 0.1; done
[[ -s $work/ports ]] || { echo "the check's servers did not start"; exit 1; }

ZENTROVA_CHECK_SERVERS="Z:${work//\//\\}" ZENTROVA_OUTSIDE_ADDRESS=$outside \
  WINEDEBUG=-all wine "$tests"
status=$?
if ((status != 0)); then
  echo "--- requests the servers saw:"; cat "$work/requests"
  echo "--- connections the trap took:"; cat "$work/trap"
fi
exit $status
