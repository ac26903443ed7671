# What the handler's tests on both systems share, sourced first: the shell's settings and the
# desktop's helpers (scripts/lib/desktop.sh), the tally, a link handed on and checked, the
# refusal's box closed as a person closes it, and the links each system must hand on or refuse
# alike.
#
# Each system's script sets, before its cases: `stand_ins`, the names of the stand-ins that
# write down what they are given; `err`, the file the opener's output goes to; and the
# functions `got_file NAME` (the file stand-in NAME writes), `open_link LINK` (the system opens
# LINK and its opener ends) and `all_ended` (waits until every program the opening started has
# ended).
set -uo pipefail
[[ -n ${TRACE:-} ]] && { PS4='+ $EPOCHREALTIME '; set -x; }
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/desktop.sh"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# Ends the test with the tally.
finish_tally() {
  if ((failures)); then
    echo "$failures failed"
    exit 1
  fi
  echo "all passed"
}

# What stand-in NAME was given, one argument a line.
got() { cat "$(got_file "$1")" 2>/dev/null; }
# Forgets what every stand-in was given, before the next link.
forget_given() {
  local name
  for name in "${stand_ins[@]}"; do rm -f "$(got_file "$name")"; done
}
# given_only LINK [STAND_IN]: fails for each stand-in other than STAND_IN that was given anything.
given_only() {
  local other
  for other in "${stand_ins[@]}"; do
    [[ $other == "${2:-}" || -z $(got "$other") ]] || fail "$1: $other was given '$(got "$other")'"
  done
}

# handed LINK STAND_IN EXPECTED: the system opens LINK, STAND_IN ends up holding exactly
# EXPECTED, and every other stand-in holds nothing.
handed() {
  forget_given
  if ! open_link "$1"; then
    fail "opening $1 failed: $(cat "$err")"
    return
  fi
  wait_until "$patience" test -s "$(got_file "$2")" || { fail "$1: $2 was given nothing"; return; }
  all_ended  # nothing more can come
  [[ $(got "$2") == "$3" ]] || fail "$1: $2 was given '$(got "$2")', not '$3'"
  given_only "$1" "$2"
}

# close_box: waits for the box titled Zentrova and closes it with Return. A box that is shown
# but not yet ready for keys drops one, so Return is pressed again (each after a wait for the
# box to go) until it goes. Status 1 when no box came, 2 when it would not close. The first box
# drawn is saved for the README when ZENTROVA_HANDLER_SHOT names a PNG.
close_box() {
  local box
  box_up() { box=$(xdotool search --onlyvisible --name '^Zentrova$' 2>/dev/null | head -1); [[ -n $box ]]; }
  box_gone() { ! xdotool search --onlyvisible --name '^Zentrova$' >/dev/null 2>&1; }
  closed() {
    activate "$box" && xdotool key Return
    wait_until 20 box_gone
  }
  wait_until "$patience" box_up || return 1
  [[ -n ${ZENTROVA_HANDLER_SHOT:-} && ! -e $ZENTROVA_HANDLER_SHOT ]] &&
    import -window root "$ZENTROVA_HANDLER_SHOT"
  wait_until "$patience" closed || return 2
}

# hand_each_kind HANDED...: runs `HANDED... LINK STAND_IN EXPECTED` for a link of each kind,
# where the stand-in STAND_IN must end up holding exactly EXPECTED.
hand_each_kind() {
  # GBK bytes of 电影 第1集.mkv, as a Chinese system made the link.
  "$@" 'thunder://QUFodHRwOi8vaC+159OwILXaMbyvLm1rdlpa' browser \
    'http://h/%B5%E7%D3%B0%20%B5%DA1%BC%AF.mkv'
  "$@" 'flashget://W0ZMQVNIR0VUXWh0dHA6Ly9oL+eUteW9sS5ta3ZbRkxBU0hHRVRd&abc' browser \
    'http://h/%E7%94%B5%E5%BD%B1.mkv'
  "$@" 'qqdl://ZnRwOi8vaC9hLnppcA==' browser 'ftp://h/a.zip'
  # FlashGet inside Thunder; a magnet inside Thunder reaches the torrent client.
  "$@" 'thunder://QUFmbGFzaGdldDovL1cwWk1RVk5JUjBWVVhXaDBkSEJ6T2k4dmFDOTRMbWx6YjF0R1RFRlRTRWRGVkYwPSZhYmNaWg==' \
    browser 'https://h/x.iso'
  "$@" 'thunder://QUFtYWduZXQ6P3h0PXVybjpidGloOjAxMjM0NTY3ODlhYmNkZWYwMTIzNDU2Nzg5YWJjZGVmMDEyMzQ1NjdaWg==' \
    torrents 'magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567'
}

# refuse_each_kind REFUSED...: runs `REFUSED... LINK REASON` for each kind of link that must
# not open, with a words of the reason the program gives (in Chinese).
refuse_each_kind() {
  "$@" 'thunder://QUFqYXZhc2NyaXB0OmFsZXJ0KDEpWlo=' 'javascript:'
  "$@" 'thunder://@@@@' 'Zentrova 无法打开此链接'
  # aria2's own JSON-RPC on this computer, as 127.1
  "$@" 'thunder://QUFodHRwOi8vMTI3LjE6NjgwMC9qc29ucnBjP21ldGhvZD1hcmlhMi5hZGRVcmlaWg==' '本机'
  # this computer by a name resolvers make up for it, and an ed2k server and source here
  "$@" 'thunder://QUFodHRwOi8vbG9jYWxob3N0Ni5sb2NhbGRvbWFpbjY6NjgwMC9qc29ucnBjWlo=' '本机'
  "$@" 'thunder://QUFlZDJrOi8vfHNlcnZlcnwxMjcuMC4wLjF8NDY2MXwvWlo=' '本机'
  "$@" 'thunder://QUFlZDJrOi8vfGZpbGV8YS56aXB8MXwwMTIzNDU2Nzg5QUJDREVGMDEyMzQ1Njc4OUFCQ0RFRnwvfHNvdXJjZXMsMTI3LjAuMC4xOjY4MDB8L1pa' '本机'
  # U+202E, which shows "gpj.exe" as "exe.jpg"
  "$@" 'thunder://QUFodHRwOi8vYS5leGFtcGxlL+KArmdwai5leGVaWg==' 'U+202E'
}
