# A person's Ctrl-C for the shell suites. Source it; then
#   press_ctrl_c READY ERRORS -- COMMAND...
# runs COMMAND as a shell in a terminal runs it (tests/cli/ctrl_c.py: a terminal of its own, in
# whose foreground it runs with SIGINT at its default), its standard error to the file ERRORS,
# and types Ctrl-C in that terminal once READY (a shell test, in which $pid is the program's
# process) holds. Returns the command's status; ctrl_c_pressed is 1 when Ctrl-C was typed, 0
# when READY never held within the patience and the command was killed instead.
press_ctrl_c() {
  local ready=$1 errors=$2
  shift 3
  local orders_dir
  orders_dir=$(mktemp -d)
  mkfifo "$orders_dir/order"
  python3 "$(dirname "${BASH_SOURCE[0]}")/../cli/ctrl_c.py" "$orders_dir/pid" "$orders_dir/order" \
    -- "$@" 2>"$errors" &
  local harness=$! order=kill pid=
  # Once the run has got where it should be; the deadline only bounds a failure.
  local deadline=$((SECONDS + ${ZENTROVA_PATIENCE:-60}))
  until [[ -s $orders_dir/pid ]] && pid=$(<"$orders_dir/pid") && eval "$ready"; do
    ((SECONDS > deadline)) && break
    sleep 0.05
  done
  ((SECONDS > deadline)) || order=ctrl-c
  # Opened for reading too, so that the order never waits for a harness that has already gone.
  local orders
  exec {orders}<>"$orders_dir/order"
  echo "$order" >&$orders
  wait "$harness"
  local status=$?
  exec {orders}>&-
  rm -rf "$orders_dir"
  ctrl_c_pressed=0
  [[ $order == ctrl-c ]] && ctrl_c_pressed=1
  return $status
}
