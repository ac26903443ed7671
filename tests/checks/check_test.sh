#!/usr/bin/env bash
# `--check` as people use it: a posted list's addresses asked at a local server reached by
# names through a proxy (the server itself), an FTP server, a trap that nothing may reach, the
# real aria2 downloading only what can still arrive, and Ctrl-C in the middle.
#   check_test.sh PROGRAM     (zentrova-cli, or zentrova-cli.exe, which runs under wine64)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/checks.sh"
source "$here/../support/ctrl_c.sh"
patience=${ZENTROVA_PATIENCE:-60}
work=$(mktemp -d)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
  [[ ${windows:-0} == 1 ]] && wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
if [[ $1 == *.exe ]]; then
  windows=1
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
  cli="$work/zentrova-cli"
  printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$wine" "$(realpath "$1")" >"$cli"
  chmod +x "$cli"
  wineserver -p
else
  windows=0
  cli=$(realpath "$1")
fi

# The servers need pyftpdlib, which Debian's Python has (python3-pyftpdlib).
python=
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import pyftpdlib' 2>/dev/null; then python=$candidate; break; fi
done
[[ -n $python ]] || { echo "no Python with pyftpdlib (scripts/deps.sh installs python3-pyftpdlib)"; exit 1; }
"$python" "$here/check_server.py" "$work" >"$work/server.log" 2>&1 &
server_pid=$!
deadline=$((SECONDS + patience))
while [[ ! -s $work/ports ]] && ((SECONDS < deadline)); do sleep 0.1; done
[[ -s $work/ports ]] || { echo "the test servers did not start"; cat "$work/server.log"; exit 1; }
http_port=$(awk '$1 == "http" {print $2}' "$work/ports")
ftp_port=$(awk '$1 == "ftp" {print $2}' "$work/ports")
trap_port=$(awk '$1 == "trap" {print $2}' "$work/ports")
proxy="http://127.0.0.1:$http_port"
site="http://files.test:$http_port"
ftp="ftp://ftp.test:$ftp_port"

describe_failure() {
  echo "  --- stdout"; sed 's/^/  /' "$work/out" 2>/dev/null
  echo "  --- stderr"; sed 's/^/  /' "$work/err" 2>/dev/null
}

# checked ARGS...: runs a check with the server as every scheme's proxy; stdout in out, stderr
# in err. *.invalid goes direct, so that its name is looked up.
checked() {
  env -u HTTP_PROXY -u HTTPS_PROXY -u ALL_PROXY -u all_proxy http_proxy="$proxy" \
    https_proxy="$proxy" ftp_proxy="$proxy" no_proxy=invalid LC_ALL= LC_MESSAGES=C.UTF-8 \
    LANGUAGE= "$cli" "$@" >"$work/out" 2>"$work/err"
}

thunder() { printf 'thunder://%s' "$(printf 'AA%sZZ' "$1" | base64 -w0)"; }

# What each address is found to be, in the reader's words after a tab.
cases=(
  "a live file|$site/live.bin|alive (120.6 KiB, application/octet-stream)"
  "404|$site/gone404.zip|dead: the server no longer has the file (404)"
  "410|$site/gone410.zip|dead: the server no longer has the file (410)"
  "HEAD refused, the ranged GET answers|$site/nohead.rar|alive (120.6 KiB, application/octet-stream)"
  "HEAD closed without an answer|$site/closehead.iso|alive (120.6 KiB, application/octet-stream)"
  "a removed file's page|$site/removed.mkv|dead: a web page answered where the address names a file (200)"
  "a chain of redirects|$site/hop/5|alive (120.6 KiB, application/octet-stream)"
  "a redirect to 127.0.0.1|$site/to-loopback|refused: the address leads to this machine: nothing was asked"
  "a redirect to this machine's name|$site/to-hostname|refused: the address leads to this machine: nothing was asked"
  "a redirect to 10.0.0.1|$site/to-ten|refused: the address leads to a private network: nothing was asked"
  "403|$site/login.zip|unknown: the server wants a login or a referring page (403)"
  "503|$site/broken.zip|unknown: the server failed (503)"
  "headers without end|$site/big-headers.zip|unknown: the connection ended without a usable answer"
  "a cookie set on the way is not sent back|$site/cookie-set.zip|alive (0 bytes, application/zip)"
  "the User-Agent says what asks|$site/agent.zip|alive (0 bytes, application/zip)"
  "a name that does not exist|http://nothing.invalid/a.zip|dead: no such host: the name does not resolve"
  "ftp, a live file|$ftp/pub/live.iso|alive (4.2 KiB)"
  "ftp, a missing file|$ftp/pub/missing.iso|dead: the FTP server has no such file (550)"
  "ed2k|ed2k://|file|a.avi|1|0123456789ABCDEF0123456789ABCDEF|/|unknown: found through peers, not a server: not checked"
  "magnet|magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567|unknown: found through peers, not a server: not checked"
  "this machine spelt plainly|http://127.0.0.1:$trap_port/secret|refused: the address leads to this machine: nothing was asked"
  "a private address spelt plainly|http://[fd00::1]/a.zip|refused: the address leads to a private network: nothing was asked"
)
: >"$work/list"
for entry in "${cases[@]}"; do
  rest=${entry#*|}
  address=${rest%|*}
  # Every address as a Thunder link, as a post carries it.
  printf '下载 %s\n' "$(thunder "$address")" >>"$work/list"
done

verdicts_match() {
  local line=0 ok=0
  checked batch decode --check "$work/list" || [[ $? == 1 ]] || return 1
  while IFS= read -r got; do
    local entry=${cases[$line]} rest want_address want_words
    rest=${entry#*|}
    want_address=${rest%|*}
    want_words=${entry##*|}
    if [[ $got != "$want_address"$'\t'"$want_words" ]]; then
      echo "  ${entry%%|*}: got '$got'"
      ok=1
    fi
    line=$((line + 1))
  done <"$work/out"
  ((line == ${#cases[@]})) || { echo "  $line lines for ${#cases[@]}"; return 1; }
  return $ok
}
check "each address gets its verdict, in the list's order" verdicts_match

nothing_reached_here() {
  [[ ! -s $work/trap ]] || { echo "  the trap was reached:"; cat "$work/trap"; return 1; }
  # The proxy was never asked for an address on this machine or a private network.
  if grep -vE "^(HEAD|GET) (files|ftp)\.test:[0-9]+ |^CONNECT (files|ftp)\.test " "$work/requests"; then
    echo "  the proxy was asked for the lines above"
    return 1
  fi
}
check "no request reached this machine's listener or a private address" nothing_reached_here

summary_counts() {
  grep -qx 'zentrova-cli: checked: 7 alive, 5 dead, 5 unknown, 5 refused' "$work/err"
}
check "the summary counts each state" summary_counts

json_check() {
  checked batch decode --check --to json "$work/list" || [[ $? == 1 ]] || return 1
  grep -qF '"check":{"state":"alive","status":200,"size":123456,"type":"application/octet-stream","reason":null,"final":null}' "$work/out" &&
    grep -qF "\"check\":{\"state\":\"alive\",\"status\":200,\"size\":123456,\"type\":\"application/octet-stream\",\"reason\":null,\"final\":\"$site/live.bin\"}" "$work/out" &&
    grep -qF "\"check\":{\"state\":\"refused\",\"status\":null,\"size\":null,\"type\":null,\"reason\":\"the address leads to this machine: nothing was asked\",\"final\":\"http://127.0.0.1:$trap_port/secret\"}" "$work/out" &&
    grep -qF '"check":{"state":"dead","status":550,"size":null,"type":null,"reason":"the FTP server has no such file","final":null}' "$work/out" &&
    [[ $(grep -c '"check":' "$work/out") == "${#cases[@]}" ]]
}
check "json gives each object its check" json_check

chinese_words() {
  printf '%s\n' "$site/gone404.zip" >"$work/one"
  http_proxy="$proxy" no_proxy= LC_ALL=zh_CN.UTF-8 LANGUAGE= "$cli" batch decode --check "$work/one" \
    >"$work/out" 2>"$work/err"
  [[ $(cat "$work/out") == "$site/gone404.zip"$'\t''失效：服务器上已没有这个文件（404）' ]]
}
check "the verdict in Chinese under a Chinese locale" chinese_words

once_each() {
  printf '%s\n' "$site/live.bin?once" "$site/live.bin?once" "$(thunder "$site/live.bin?once")" >"$work/three"
  checked batch decode --check "$work/three" &&
    [[ $(grep -c 'live.bin?once' "$work/requests") == 1 && $(grep -c $'\talive' "$work/out") == 3 ]]
}
check "the same address is asked once in a run" once_each

timed_out() {
  printf '%s\n' "$site/silent.zip" >"$work/slow"
  # The only answer is the time-out, so its length only sets how long this case takes.
  checked batch decode --check --check-timeout 20 "$work/slow" &&
    [[ $(cat "$work/out") == "$site/silent.zip"$'\t''unknown: no answer in time' ]]
}
check "a server that never answers is unknown once the time is up" timed_out

lan_allowed() {
  printf '%s\n' "http://10.0.0.1:$http_port/live.bin" "http://127.0.0.1:$http_port/live.bin" >"$work/lan"
  checked batch decode --check --check-lan "$work/lan" || [[ $? == 1 ]] || return 1
  [[ $(cut -f2 "$work/out") == "alive (120.6 KiB, application/octet-stream)"$'\n''refused: the address leads to this machine: nothing was asked' ]] &&
    grep -q "^HEAD 10.0.0.1:$http_port /live.bin" "$work/requests"
}
check "--check-lan asks a private network, never this machine" lan_allowed

proxy_option() {
  printf '%s\n' "$site/live.bin" >"$work/one"
  env -u http_proxy -u HTTP_PROXY -u all_proxy -u ALL_PROXY LC_MESSAGES=C.UTF-8 LC_ALL= \
    "$cli" batch decode --check --proxy "127.0.0.1:$http_port" "$work/one" >"$work/out" 2>"$work/err" &&
    [[ $(cut -f2 "$work/out") == "alive (120.6 KiB, application/octet-stream)" ]]
}
check "--proxy names the proxy" proxy_option

link_decode() {
  checked link decode --check "$(thunder "$site/nohead.rar")" &&
    [[ $(cat "$work/out") == "$site/nohead.rar"$'\t''alive (120.6 KiB, application/octet-stream)' ]] || return 1
  checked link decode --check "$(thunder "$site/gone410.zip")"
  [[ $? == 1 && $(cat "$work/out") == "$site/gone410.zip"$'\t''dead: the server no longer has the file (410)' ]]
}
check "link decode --check: the verdict, and 1 for a dead address" link_decode

usage_errors() {
  local status
  "$cli" batch thunder --check "$work/one" >/dev/null 2>&1; status=$?
  [[ $status == 2 ]] || return 1
  "$cli" batch decode --check-lan "$work/one" >/dev/null 2>&1; status=$?
  [[ $status == 2 ]] || return 1
  "$cli" batch decode --check --check-timeout 0 "$work/one" >/dev/null 2>&1; status=$?
  [[ $status == 2 ]]
}
check "the check's options without decode, without --check or out of range are usage errors" usage_errors

# On a terminal a line counts the checks while they run, and is taken away before the summary;
# elsewhere nothing of it is written.
progress_on_a_terminal() {
  printf '%s\n' "$site/held.zip" >"$work/held"
  rm -f "$work/release"
  env http_proxy="$proxy" LC_ALL= LC_MESSAGES=C.UTF-8 LANGUAGE= script -q -e -c \
    "'$cli' batch decode --check '$work/held' >'$work/out'" /dev/null >"$work/tty" 2>&1 &
  local terminal=$!
  # The server holds its answer until the line has been seen waiting for it.
  local deadline=$((SECONDS + patience))
  until grep -qF $'\rchecked 0 of 1\e[K' "$work/tty" || ((SECONDS > deadline)); do sleep 0.05; done
  touch "$work/release"
  wait "$terminal" || return 1
  grep -qF $'\rchecked 0 of 1\e[K' "$work/tty" &&
    grep -qF $'\rchecked 1 of 1\e[K\r\e[Kzentrova-cli: 0 converted' "$work/tty" &&
    [[ $(cut -f2 "$work/out") == 'alive (0 bytes, application/zip)' ]] &&
    checked batch decode --check "$work/held" && ! grep -q 'of 1' "$work/err"
}
if ((windows)) || ! command -v script >/dev/null; then
  echo "SKIP the progress line: no terminal to draw it on here"
else
  check "a progress line on a terminal, and none elsewhere" progress_on_a_terminal
fi

# aria2 downloads only what can still arrive, through the same server as its proxy.
aria2_downloads_what_lives() {
  command -v aria2c >/dev/null || { echo "  aria2c is missing"; return 1; }
  # Without the magnet, which aria2 would look for among peers without end.
  grep -v "$(thunder 'magnet:' | cut -c1-20)" "$work/list" >"$work/no-magnet"
  checked batch decode --check --to aria2 "$work/no-magnet" || [[ $? == 1 ]] || return 1
  local left_out
  left_out=$(grep -c 'the check found the address .*; left out' "$work/err")
  ((left_out == 10)) || { echo "  $left_out left out, not 10"; return 1; }
  mkdir -p "$work/down"
  aria2c -q -i "$work/out" -d "$work/down" --all-proxy="$proxy" --no-conf --max-tries=1 \
    --connect-timeout=30 --timeout=30 --file-allocation=none >"$work/aria2.log" 2>&1
  # The unknown ones may not arrive; every live http file does, and nothing dead.
  for name in live.bin nohead.rar closehead.iso 5; do
    [[ -s $work/down/$name ]] || { echo "  $name did not arrive"; ls "$work/down"; return 1; }
  done
  for name in gone404.zip gone410.zip removed.mkv secret; do
    [[ ! -e $work/down/$name ]] || { echo "  $name arrived"; return 1; }
  done
}
if ((windows)); then
  echo "SKIP aria2 from the Windows client's list: the Linux one covers it"
else
  check "aria2 downloads only what the check found worth it" aria2_downloads_what_lives
fi

# Ctrl-C while an address waits for a server that never answers: the lines done are kept.
interrupted() {
  ((windows)) && { echo "  (Ctrl-C is tested on Linux)"; return 0; }
  printf '%s\n' "$site/live.bin" "$site/silent.zip" "$site/gone404.zip" >"$work/stuck"
  # Once the first line is written and the second is being asked.
  local ready='grep -q silent.zip "$work/requests" 2>/dev/null && [[ -s $work/out ]]'
  press_ctrl_c "$ready" "$work/err" -- env http_proxy="$proxy" LC_ALL= LC_MESSAGES=C.UTF-8 \
    LANGUAGE= "$cli" batch decode --check --check-timeout 600 "$work/stuck" >"$work/out"
  local status=$?
  [[ $status == 130 ]] || { echo "  status $status"; return 1; }
  [[ $(cat "$work/out") == "$site/live.bin"$'\t''alive (120.6 KiB, application/octet-stream)' ]] &&
    grep -q 'cancelled after 1 lines' "$work/err" && grep -q 'checked: 1 alive' "$work/err"
}
check "Ctrl-C keeps the lines done and ends with 130" interrupted

report
