#!/usr/bin/env bash
# Seeds for the fuzzers of lists and links, from the links as they were really posted: each
# posted line and each address on its own, in UTF-8 and (where it can be) in GBK, and the whole
# list in UTF-8, with a byte-order mark, in GBK, and with CR LF line ends.
#   posted_seeds.sh POSTED-LINKS-FILE FOLDER
set -euo pipefail
posted=$1 out=$2
rm -rf "$out"
mkdir -p "$out"
lines="$out/list-utf8"
grep -E '^[<>] ' "$posted" | cut -c3- >"$lines"
n=0
while IFS= read -r line; do
  n=$((n + 1))
  printf '%s\n' "$line" >"$out/utf8-$n"
  # A line with a character that GBK lacks has no GBK form.
  printf '%s\n' "$line" | iconv -f UTF-8 -t GBK >"$out/gbk-$n" 2>/dev/null || rm "$out/gbk-$n"
done <"$lines"
{ printf '\xef\xbb\xbf'; cat "$lines"; } >"$out/list-bom"
iconv -c -f UTF-8 -t GBK "$lines" >"$out/list-gbk" || true
sed 's/$/\r/' "$lines" >"$out/list-crlf"
((n > 0))
