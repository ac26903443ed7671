#!/usr/bin/env bash
# zentrova-cli as scripts meet it: results on stdout, failures on stderr, exit statuses.
set -u
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0

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

expect "thunder" 0 "thunder://QUFodHRwOi8vYS9iWlo=" "" -- "$cli" link thunder http://a/b
expect "flashget" 0 "flashget://aHR0cDovL2EvYg==" "" -- "$cli" link flashget http://a/b
expect "qqdl" 0 "qqdl://aHR0cDovL2EvYg==" "" -- "$cli" link qqdl http://a/b
expect "decode" 0 "http://a/中" "" -- "$cli" link decode "thunder://QUFodHRwOi8vYS/W0Fpa"
expect "stdin" 0 "flashget://aHR0cDovL2EvYg==" "" -- bash -c "echo http://a/b | '$cli' link flashget"
expect "not http" 1 "" "剪切板文本不是HTTP链接" -- "$cli" link thunder https://a/b
expect "not special" 1 "" "剪切板文本不是专用链接" -- "$cli" link decode "qqdl://@@"
expect "bad kind" 2 "" "unknown link kind" -- "$cli" link ed2k http://a/b
expect "no command" 2 "" "no command" -- "$cli"
expect "bad command" 2 "" "unknown command" -- "$cli" frobnicate
expect "version" 0 "zentrova-cli $ZENTROVA_VERSION" "" -- "$cli" --version
expect "help" 0 "$("$cli" --help)" "" -- "$cli" --help
expect "files missing" 2 "" "give an input and an output" -- "$cli" encode-file only-one
expect "block size word" 2 "" "whole number" -- "$cli" encode-file a b --block-size lots
expect "block size overflow" 2 "" "error 6" -- "$cli" encode-file a b --block-size 2147483611

head -c 100000 /dev/urandom >"$work/in"
expect "encode" 0 "" "" -- "$cli" encode-file "$work/in" "$work/enc" --block-size 1000
expect "decode" 0 "" "" -- "$cli" decode-file "$work/enc" "$work/out"
expect "round trip" 0 "" "" -- cmp "$work/in" "$work/out"
expect "missing input" 1 "" "error 90002" -- "$cli" encode-file "$work/absent" "$work/x"
expect "bad base64" 1 "" "error 5" -- "$cli" decode-file "$work/in" "$work/x"
expect "disk full" 1 "" "error 61" -- "$cli" encode-file "$work/in" /dev/full
expect "zero block size" 1 "" "error 11" -- "$cli" encode-file "$work/in" "$work/x" --block-size 0

# Ctrl-C: a long run over a sparse file stops at the next block and says so.
truncate -s 20G "$work/big"
"$cli" encode-file "$work/big" "$work/big.b64" --block-size 54 2>"$work/stderr" &
pid=$!
# Once blocks are being written; the deadline only bounds a failure.
for _ in $(seq 1200); do [[ -s $work/big.b64 ]] && break; sleep 0.05; done
kill -INT "$pid"
wait "$pid"
status=$?
if [[ $status == 130 && $(cat "$work/stderr") == *cancelled* ]]; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  echo "FAIL ctrl-c: status $status, stderr '$(cat "$work/stderr")'"
fi

echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
