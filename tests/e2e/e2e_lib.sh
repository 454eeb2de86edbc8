# Sourced by the shell end-to-end tests: the Wine runner, failing with a
# message, and waiting for a condition, polled with a deadline.
run="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine-run.sh"

fail() { echo "FAIL: $*"; exit 1; }

# wait_until SECONDS COMMAND...: runs COMMAND every tenth of a second until it
# succeeds; fails once SECONDS have passed.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
