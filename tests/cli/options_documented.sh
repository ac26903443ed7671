#!/usr/bin/env bash
# The client's options are the same everywhere a user reads of them: the table the parser
# knows them by, --help in English and in Chinese, and the English and Chinese man pages'
# option lists. An option in one and missing from another fails, naming both.
#   options_documented.sh LISTING PROGRAM ENGLISH_PAGE CHINESE_PAGE
#       checks the program's table (LISTING prints it) against its help and the two pages;
#   options_documented.sh --catches LISTING PROGRAM ENGLISH_PAGE CHINESE_PAGE
#       shows that the check fails on scratch copies each missing an option, or with one more.
set -u
source "$(dirname "$0")/../support/checks.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Long option names (--name), one a line, sorted, from standard input.
long_names() { grep -oE -- '--[a-z][a-z0-9-]*' | sort -u; }

# The text of a man page's option list, with roff's "\-" and font changes made plain.
option_list() {
  sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$1" |
    awk '/^\.SH/ { inside = ($2 == "OPTIONS" || $2 == "选项"); next } inside'
}

# Fails, saying what is missing where, unless the sorted lists in files $1 (named $2) and $3
# (named $4) hold the same names.
same_names() {
  local only
  only=$(comm -23 "$1" "$3")
  [[ -z $only ]] || echo "  in $2, missing from $4:" $only
  only=$(comm -13 "$1" "$3")
  [[ -z $only ]] || echo "  in $4, missing from $2:" $only
  cmp -s "$1" "$3"
}

# Every short name of the table in the option list of page $1 (named $2).
shorts_listed() {
  local missing="" short
  for short in $(awk 'NF > 1 { print $2 }' "$work/table"); do
    grep -qE -- "(^|[ ,])$short([ ,]|$)" "$1" || missing+=" $short"
  done
  [[ -z $missing ]] || echo "  in the table, missing from $2:$missing"
  [[ -z $missing ]]
}

# Compares the table ($1), the English and Chinese help ($2, $3) and the option lists of the
# English and Chinese pages ($4, $5).
documented() {
  awk '{ print $1 }' "$1" | sort -u >"$work/table.long"
  cp "$1" "$work/table"
  long_names <"$2" >"$work/help.en"
  long_names <"$3" >"$work/help.zh"
  option_list "$4" >"$work/page.en"
  option_list "$5" >"$work/page.zh"
  long_names <"$work/page.en" >"$work/page.en.long"
  long_names <"$work/page.zh" >"$work/page.zh.long"
  local ok=0
  same_names "$work/table.long" "the table" "$work/help.en" "--help" || ok=1
  same_names "$work/table.long" "the table" "$work/help.zh" "the Chinese --help" || ok=1
  same_names "$work/table.long" "the table" "$work/page.en.long" "the English man page" || ok=1
  same_names "$work/table.long" "the table" "$work/page.zh.long" "the Chinese man page" || ok=1
  shorts_listed "$work/page.en" "the English man page" || ok=1
  shorts_listed "$work/page.zh" "the Chinese man page" || ok=1
  return $ok
}

catches=0
if [[ $1 == --catches ]]; then
  catches=1
  shift
fi
listing=$1 program=$2 english=$3 chinese=$4
mkdir "$work/real"
"$listing" >"$work/real/table" || exit 1
LC_ALL=C.UTF-8 "$program" --help >"$work/real/help.en" || exit 1
LC_ALL=zh_CN.UTF-8 "$program" --help >"$work/real/help.zh" || exit 1
grep -q '^用法：' "$work/real/help.zh" || { echo "the Chinese --help is not Chinese"; exit 1; }
cp "$english" "$work/real/page.en"
cp "$chinese" "$work/real/page.zh"
real() { documented "$work/real/table" "$work/real/help.en" "$work/real/help.zh" \
  "$work/real/page.en" "$work/real/page.zh"; }

if ((!catches)); then
  check "the table, --help and both man pages name the same options" real
  report
  exit
fi

# Each case changes one scratch copy with sed and expects the check to fail naming OPTION.
missed() {
  local file=$1 script=$2 option=$3
  rm -rf "$work/case" && cp -r "$work/real" "$work/case"
  sed -i -e "$script" "$work/case/$file"
  ! cmp -s "$work/real/$file" "$work/case/$file" || { echo "  the case changed nothing"; return 1; }
  local said
  said=$(documented "$work/case/table" "$work/case/help.en" "$work/case/help.zh" \
    "$work/case/page.en" "$work/case/page.zh") && { echo "  the check passed"; return 1; }
  grep -qF -- "$option" <<<"$said" || { echo "  the check did not name $option: $said"; return 1; }
}
check "the pages as they are pass" real
while IFS='|' read -r name file script option; do
  check "$name" missed "$file" "$script" "$option"
done <<'CASES'
an English page without --lossy fails|page.en|/^\.B \\-\\-lossy$/d|--lossy
a Chinese page without --to fails|page.zh|/^\.BI \\-\\-to /d|--to
an English page with an option the table lacks fails|page.en|/^\.SH ENVIRONMENT/i .TP\n.B \\-\\-frob\nfrobs.|--frob
a Chinese page without -V fails|page.zh|s/^\.BR \\-V ", " /.B /|-V
a table without --charset fails|table|/^--charset/d|--charset
a table with an option no page has fails|table|$a --frobnicate|--frobnicate
an English help without --block-size fails|help.en|s/\[--block-size N\] //; s/(--block-size bytes, /(/|--block-size
a Chinese help without --lossy fails|help.zh|s/ \[--lossy\]//; s/除非给出 --lossy，//|--lossy
CASES
report
