#!/usr/bin/env bash
# A list as people post it, handed to a real aria2 through `batch decode --to aria2`: every file
# arrives once, byte for byte, under the name a person reads, from a server that keeps GBK and
# UTF-8 names as their own bytes. Usage: aria2_test.sh ZENTROVA_CLI
set -uo pipefail
cli=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/checks.sh"
patience=${ZENTROVA_PATIENCE:-60}
command -v aria2c >/dev/null || { echo "aria2c is missing (scripts/deps.sh installs it)"; exit 1; }

work=$(mktemp -d)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/server" "$work/down"

# The files, under their names' own bytes: GBK, UTF-8, a space, ASCII. Each name's readable form
# is the second field.
gbk_name=$(printf '\xb5\xe7\xd3\xb0 \xb5\xda1\xbc\xaf.mkv')  # 电影 第1集.mkv in GBK
utf8_name='中文资料.zip'
files=("$gbk_name|电影 第1集.mkv" "$utf8_name|中文资料.zip" "my file.txt|my file.txt"
       "plain.bin|plain.bin")
for entry in "${files[@]}"; do
  head -c $((RANDOM % 5000 + 1000)) /dev/urandom >"$work/server/${entry%%|*}"
done

python3 "$here/../support/byte_name_server.py" "$work/server" "$work/port" "$work/requests" &
server_pid=$!
deadline=$((SECONDS + patience))
while [[ ! -s $work/port ]] && ((SECONDS < deadline)); do sleep 0.1; done
[[ -s $work/port ]] || { echo "the file server did not start"; exit 1; }
# The list names the server by a name of no machine, which aria2 reaches through the server
# itself as its proxy: an address on this machine would be left out of the list.
port=$(cat "$work/port")
base="http://files.example"

b64() { base64 -w0; }
thunder() { printf 'thunder://%s' "$(printf 'AA%sZZ' "$1" | b64)"; }
flashget() { printf 'flashget://%s&abc' "$(printf '[FLASHGET]%s[FLASHGET]' "$1" | b64)"; }
qqdl() { printf 'qqdl://%s' "$(printf '%s' "$1" | b64)"; }

# The links as posted: text around them, HTML, FlashGet's wrapper, duplicates, an ed2k, a
# failing line and a blank one. The server's names are the links' payload bytes.
{
  printf '下载：%s 谢谢楼主\n' "$(thunder "$base/$gbk_name")"
  printf '<a href="%s">高清</a>\n' "$(flashget "$base/$utf8_name")"
  printf '[url=%s]下载[/url]\n' "$(qqdl "$base/my file.txt")"
  printf '%s\n' "$(thunder "$base/plain.bin")"
  printf '再发一次：%s\n' "$(thunder "$base/$gbk_name")"
  printf '%s\n' "$(qqdl "$base/$utf8_name")"
  printf '\n'
  printf '%s\n' "$(thunder 'ed2k://|file|x.avi|1|0123456789ABCDEF0123456789ABCDEF|/')"
  printf 'thunder://@@@@\n'
  printf '%s\n' "$(thunder "http://127.0.0.1:$port/plain.bin")"
} >"$work/post.txt"

"$cli" batch decode --to aria2 "$work/post.txt" >"$work/list.aria2" 2>"$work/errors"
echo "exit status $? (1 expected: one line fails)" >"$work/status"

exit_status_one() { grep -q '^exit status 1 ' "$work/status"; }
check "batch decode --to aria2 fails for the failing line only" exit_status_one
ed2k_named() { grep -q 'post.txt:8: aria2 cannot download the ed2k address; left out' "$work/errors"; }
check "the ed2k line is left out with a message naming it" ed2k_named
failure_named() { grep -q 'post.txt:9: ' "$work/errors"; }
check "the failing line is reported" failure_named
local_named() { grep -q 'post.txt:10: the address names this machine' "$work/errors"; }
check "the address on this machine is left out with a message naming its line" local_named

# As people run it: the export piped straight into aria2c.
download() {
  "$cli" batch decode --to aria2 "$work/post.txt" 2>/dev/null |
    aria2c -i - -d "$work/down" --all-proxy="http://127.0.0.1:$port" --console-log-level=warn --summary-interval=0 \
      --allow-overwrite=false --auto-file-renaming=false --max-tries=1 \
      --connect-timeout="$patience" --timeout="$patience" >"$work/aria2.log" 2>&1
  [[ ${PIPESTATUS[1]} -eq 0 ]]
}
check "batch decode --to aria2 | aria2c -i - downloads the list" download ||
  cat "$work/aria2.log" "$work/list.aria2"

every_file_whole() {
  local entry
  for entry in "${files[@]}"; do
    cmp -s "$work/server/${entry%%|*}" "$work/down/${entry##*|}" || {
      echo "  ${entry##*|} did not arrive whole"
      return 1
    }
  done
  [[ $(find "$work/down" -type f | wc -l) -eq ${#files[@]} ]] || {
    echo "  other files arrived:"; find "$work/down" -type f
    return 1
  }
}
check "every file arrives byte for byte under its readable name" every_file_whole
each_once() {
  [[ $(wc -l <"$work/requests") -eq ${#files[@]} && $(sort -u "$work/requests" | wc -l) -eq ${#files[@]} ]]
}
check "each file is asked for once, with its own bytes" each_once || cat "$work/requests"

report
