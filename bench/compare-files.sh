#!/usr/bin/env bash
# Times zentrova-cli's file conversion against GNU base64 on the same random file, in one run:
#   bench/compare-files.sh [SIZE_MIB] [ROUNDS]
# Prints the best time of each tool, its throughput in MB/s of the input, the ratios, and the
# peak resident memory. Needs a built zentrova-cli (cmake --build --preset default).
set -euo pipefail
cd "$(dirname "$0")/.."
size_mib=${1:-256}
rounds=${2:-5}
cli=build/default/cli/zentrova-cli
[[ -x $cli ]] || { echo "build zentrova-cli first: cmake --build --preset default" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package: time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c $((size_mib << 20)) /dev/urandom >"$work/in.bin"
base64 -w 72 "$work/in.bin" >"$work/gnu.b64"
bytes=$(stat -c %s "$work/in.bin")

# best_of NAME COMMAND...: runs the command ROUNDS times, keeps the best wall time and the
# largest peak RSS.
best_of() {
  local name=$1 best="" rss=0
  shift
  for _ in $(seq "$rounds"); do
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null
    read -r seconds kib <"$work/time"
    if [[ -z $best ]] || awk "BEGIN{exit !($seconds < $best)}"; then best=$seconds; fi
    ((kib > rss)) && rss=$kib
  done
  printf '%-28s %6.3f s %8.1f MB/s %8d KiB peak RSS\n' "$name" "$best" \
    "$(awk "BEGIN{print $bytes / 1e6 / ($best > 0 ? $best : 0.001)}")" "$rss"
  eval "${name//[^a-z]/_}=$best"
}

echo "input: $size_mib MiB of random bytes, best of $rounds rounds"
best_of "zentrova_encode" "$cli" encode-file "$work/in.bin" "$work/z.b64"
best_of "gnu_encode" sh -c "base64 -w 72 '$work/in.bin' > '$work/g.b64'"
best_of "zentrova_decode" "$cli" decode-file "$work/z.b64" "$work/z.bin"
best_of "gnu_decode" sh -c "base64 -d '$work/gnu.b64' > '$work/g.bin'"
cmp -s "$work/z.bin" "$work/in.bin" || { echo "zentrova's round trip differs" >&2; exit 1; }
awk "BEGIN{printf \"encode: zentrova is %.2f times as fast as base64 -w 72\n\", $gnu_encode / $zentrova_encode}"
awk "BEGIN{printf \"decode: zentrova is %.2f times as fast as base64 -d\n\", $gnu_decode / $zentrova_decode}"
