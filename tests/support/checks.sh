# Counting checks for the shell suites. Source it; then `check NAME COMMAND...` runs the
# command, counts it as passed or failed (naming a failure) and returns its outcome, and
# `report` prints the closing count and fails when any check did. Each passed check is named
# with its time, so that a suite stopped from outside shows how far it came.
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
    return 1
  fi
}

report() {
  echo "$passed passed, $failed failed"
  ((failed == 0))
}
