#!/usr/bin/env bash
# batch decode --to aria2 over lists of mixed links (in text, HTML, FlashGet's wrapper, UTF-8
# and GBK payloads, magnets, ed2k, plain addresses, repeats and failing lines): lines a second
# and peak memory, for a million lines and for twice as many, so that memory's growth with the
# list shows. Every address is new but the repeats, the worst case for remembering downloads.
#   bench/hand_off.sh [MILLIONS...] [ROUNDS]   (after building the default preset)
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/default/cli/zentrova-cli
millions=(${1:-1 2})
rounds=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_list() {  # LINES FILE
  python3 - "$1" >"$2" <<'PY'
import base64, sys
n = int(sys.argv[1])
b64 = lambda b: base64.b64encode(b).decode()
out = sys.stdout
for i in range(n):
    k = i % 10
    a = f'http://example.com/files/{i}/'.encode()
    if k == 0: out.write(f'下载：thunder://{b64(b"AA" + a + "电影 第1集.mkv".encode("gbk") + b"ZZ")} 谢谢\n')
    elif k == 1: out.write(f'<a href="flashget://{b64(b"[FLASHGET]" + a + b"a.zip[FLASHGET]")}&abc">下载</a>\n')
    elif k == 2: out.write(f'qqdl://{b64(a + "中文.zip".encode())}\n')
    elif k == 3: out.write(f'thunder://{b64(b"AAmagnet:?xt=urn:btih:%040d" % i + b"ZZ")}\n')
    elif k == 4: out.write(f'thunder://{b64(b"AAed2k://|file|x.avi|%d|0123456789ABCDEF0123456789ABCDEF|/ZZ" % i)}\n')
    elif k == 5: out.write(f'http://plain.example/{i}/file.rar\n')
    elif k == 6: out.write('谢谢楼主\n')
    elif k == 7: out.write(f'1、thunder://{b64(b"AA" + a + b"b.iso" + b"ZZ")}\n')
    elif k == 8: out.write(f'qqdl://{b64(b"http://example.com/files/%d/" % (i - 6) + "中文.zip".encode())}\n')  # a repeat
    else: out.write('\n')
PY
}

for m in "${millions[@]}"; do
  lines=$((m * 1000000))
  make_list "$lines" "$work/list.txt"
  best=
  for ((r = 0; r < rounds; r++)); do
    # As it is used: the export into a pipe, the messages (one line in five) into a file.
    /usr/bin/time -f '%e %M' -o "$work/time" "$cli" batch decode --to aria2 "$work/list.txt" \
      2>"$work/messages" | cat >/dev/null || true
    read -r seconds kib < <(tail -1 "$work/time")
    if [[ -z $best ]] || awk "BEGIN{exit !($seconds < $best)}"; then best=$seconds peak=$kib; fi
  done
  awk -v l="$lines" -v s="$best" -v k="$peak" -v mb="$(du -m "$work/list.txt" | cut -f1)" \
    'BEGIN{printf "%d lines (%d MB): %.2f s, %.2f million lines/s, peak %.1f MB\n", l, mb, s, l/s/1e6, k/1024}'
done
