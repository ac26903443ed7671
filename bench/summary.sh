# summary LABEL VALUES...: median, quartiles and range of times in milliseconds. Source it.
summary() {
  local label=$1
  shift
  printf '%s\n' "$@" | sort -n | awk -v label="$label" '
    { v[NR] = $1 }
    END {
      med = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "%-22s median %6.1f ms   quartiles %.1f..%.1f ms   range %.1f..%.1f ms\n",
             label, med, v[int((NR + 3) / 4)], v[int((3 * NR + 3) / 4)], v[1], v[NR]
    }'
}
