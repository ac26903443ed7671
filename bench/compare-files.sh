#!/usr/bin/env bash
# Times zentrova-cli's file conversion against the floor, a plain copy of the encoded text, and
# against GNU base64, on the same random file in one run, on tmpfs (/dev/shm) so that the disk
# does not decide:
#   bench/compare-files.sh [SIZE_MIB] [ROUNDS]
# Prints the median time of each, its throughput in MB/s of the binary side, the ratios, and the
# peak resident memory. Needs a built zentrova-cli (cmake --build --preset default).
set -euo pipefail
cd "$(dirname "$0")/.."
size_mib=${1:-256}
rounds=${2:-7}
cli=build/default/cli/zentrova-cli
[[ -x $cli ]] || { echo "build zentrova-cli first: cmake --build --preset default" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package: time)" >&2; exit 2; }

work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c $((size_mib << 20)) /dev/urandom >"$work/in.bin"
base64 -w 72 "$work/in.bin" >"$work/gnu.b64"
bytes=$(stat -c %s "$work/in.bin")

# median_of NAME COMMAND...: runs the command ROUNDS times, keeps the median wall time and the
# largest peak RSS.
median_of() {
  local name=$1 rss=0 times=()
  shift
  for _ in $(seq "$rounds"); do
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null
    read -r seconds kib <"$work/time"
    times+=("$seconds")
    ((kib > rss)) && rss=$kib
  done
  local median
  median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END{print a[int((NR+1)/2)]}')
  printf '%-18s %6.3f s %8.1f MB/s %8d KiB peak RSS\n' "$name" "$median" \
    "$(awk "BEGIN{print $bytes / 1e6 / ($median > 0 ? $median : 0.001)}")" "$rss"
  eval "${name//[^a-z]/_}=$median"
}

echo "input: $size_mib MiB of random bytes in $work, median of $rounds rounds"
median_of "copy" cp "$work/gnu.b64" "$work/copy.b64"
median_of "zentrova_encode" "$cli" encode-file "$work/in.bin" "$work/z.b64"
median_of "gnu_encode" sh -c "base64 -w 72 '$work/in.bin' > '$work/g.b64'"
median_of "zentrova_decode" "$cli" decode-file "$work/z.b64" "$work/z.bin"
median_of "gnu_decode" sh -c "base64 -d '$work/gnu.b64' > '$work/g.bin'"
cmp -s "$work/z.bin" "$work/in.bin" || { echo "zentrova's round trip differs" >&2; exit 1; }
# GNU base64 ends its text with a line feed; ours has none after the last line.
head -c -1 "$work/gnu.b64" | cmp -s - "$work/z.b64" ||
  { echo "zentrova's text differs from base64 -w 72" >&2; exit 1; }
ratio() { awk "BEGIN{printf \"%.2f\", $1 / ($2 > 0 ? $2 : 0.001)}"; }
echo "encode: $(ratio "$zentrova_encode" "$copy") x the copy floor; $(ratio "$gnu_encode" "$zentrova_encode") x as fast as base64 -w 72"
echo "decode: $(ratio "$zentrova_decode" "$copy") x the copy floor; $(ratio "$gnu_decode" "$zentrova_decode") x as fast as base64 -d"
