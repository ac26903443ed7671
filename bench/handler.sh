#!/usr/bin/env bash
# zentrova-open's own work on the path that succeeds: from its exec to its exec of xdg-open (a
# stand-in that does nothing, so that no browser's time counts), over N runs (default 200) of a
# Thunder link to a GBK-named file, the most work a link asks of it.
#   bench/handler.sh [PROGRAM] [N]    (after building the default preset)
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/default/handler/zentrova-open}")
runs=${2:-200}
source bench/summary.sh
stand_in=$(mktemp -d)
trap 'rm -rf "$stand_in"' EXIT
ln -s "$(type -P true)" "$stand_in/xdg-open"
link='thunder://QUFodHRwOi8vaC+159OwILXaMbyvLm1rdlpa'
times=()
for ((i = 0; i < runs; i++)); do
  start=$EPOCHREALTIME
  PATH=$stand_in:$PATH "$program" "$link" || { echo "run $i failed" >&2; exit 1; }
  end=$EPOCHREALTIME
  times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", (e - s) * 1000 }')")
done
echo "$runs runs of $program (a process start, the link opened, the stand-in's start)"
summary "exec to handed on" "${times[@]}"
