#!/usr/bin/env bash
# Starts the check's servers (tests/support/check_servers.py) and runs the Windows transport's
# tests against them under Wine. The direct cases need an address of this machine besides
# loopback, which the tests' rule does not know as this machine's; without one they are skipped.
# Everything runs in a scratch Wine prefix of its own: the shared one's wineserver is stopped by
# other suites, and the second run needs a prefix that trusts the run's own CA.
# Usage: check_transport_test.sh CHECK_TRANSPORT_TESTS.EXE
set -uo pipefail
tests=$1
here=$(cd "$(dirname "$0")" && pwd)
patience=${ZENTROVA_PATIENCE:-60}
python=/usr/bin/python3  # Debian's, which has pyftpdlib
"$python" -c 'import pyftpdlib' 2>/dev/null || { echo "python3-pyftpdlib is missing"; exit 1; }

work=$(mktemp -d)
server_pid=
export WINEPREFIX WINEDEBUG=-all
WINEPREFIX=$(mktemp -d)
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  rm -rf "$work" "$WINEPREFIX"
}
trap cleanup EXIT
mkdir -p "$work/files"
head -c 1234 /dev/urandom >"$work/files/live.bin"
# A CA of the run's own, and certificates from it for files.example and other.example.
certificates() {
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/ca.key" -out "$work/ca.pem" -days 2 \
    -subj '/CN=Zentrova test CA' -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign,cRLSign || return 1
  local name
  for name in files.example other.example; do
    openssl req -newkey rsa:2048 -nodes -keyout "$work/$name.key" -out "$work/$name.csr" \
      -subj "/CN=$name" || return 1
    openssl x509 -req -in "$work/$name.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" \
      -CAcreateserial -days 2 -out "$work/$name.pem" \
      -extfile <(printf 'subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\n' "$name") ||
      return 1
  done
}
certificates 2>/dev/null || { echo "openssl could not make the certificates"; exit 1; }
: >"$work/requests" >"$work/trap" >"$work/sni" >"$work/sent"

# The first address of this machine that is not loopback.
outside=$(ip -4 -o addr show scope global 2>/dev/null | awk '{sub(/\/.*/, "", $4); print $4; exit}')
"$python" "$here/../support/check_servers.py" "$work" "${outside:-127.0.0.1}" &
server_pid=$!
deadline=$((SECONDS + patience))
while [[ ! -s $work/ports ]] && ((SECONDS < deadline)); do sleep 0.1; done
[[ -s $work/ports ]] || { echo "the check's servers did not start"; exit 1; }

export ZENTROVA_CHECK_SERVERS="Z:${work//\//\\}" ZENTROVA_OUTSIDE_ADDRESS=$outside
timeout $((patience * 5)) wineboot -i || { echo "the Wine prefix could not be made"; exit 1; }
wine "$tests"
status=$?

# https end to end needs a CA the system trusts: the run's own, written into the machine's Root
# store as Windows keeps it (the certificate as a property of id 32 under its SHA-1 thumbprint).
if ((status == 0)); then
  thumbprint=$(openssl x509 -in "$work/ca.pem" -noout -fingerprint -sha1 | sed 's/.*=//; s/://g')
  blob=$(openssl x509 -in "$work/ca.pem" -outform DER | "$python" -c '
import struct, sys
der = sys.stdin.buffer.read()
print((struct.pack("<III", 32, 1, len(der)) + der).hex())')
  timeout "$patience" wine reg add \
    "HKLM\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$thumbprint" \
    /v Blob /t REG_BINARY /d "$blob" /f >/dev/null &&
    ZENTROVA_TRUSTED_CA=1 wine "$tests" \
      --gtest_filter='WindowsTransport.ChecksTheCertificateAgainstTheName'
  status=$?
fi
if ((status != 0)); then
  echo "--- requests the servers saw:"; cat "$work/requests"
  echo "--- connections the trap took:"; cat "$work/trap"
fi
exit $status
