# Counting checks for the shell suites. Source it; then `check NAME COMMAND...` runs the
# command, counts it as passed or failed (naming a failure) and returns its outcome, and
# `report` prints the closing count and fails when any check did. Each passed check is named
# with its time, so that a suite stopped from outside shows how far it came. A suite that
# defines `describe_failure` has it called with the check's name after each failure, to print
# what it can see of the state the check left (a suite's log is often all there is of a run).
passed=0 failed=0

check() {
  local name=$1 started=$SECONDS
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $name ($((SECONDS - started)) s)"
  else
    failed=$((failed + 1))
    echo "FAIL: $name"
    if declare -F describe_failure >/dev/null; then describe_failure "$name"; fi
    return 1
  fi
}

report() {
  echo "$passed passed, $failed failed"
  ((failed == 0))
}
