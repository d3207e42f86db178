#!/usr/bin/env bash
# Runs a command inside a pseudo-terminal of its own (a detached tmux server
# on a private socket), so a Wine program gets a real console even when the
# caller has no terminal and no standard input. Prints the command's output
# and exits with its status.
#
# Usage: run_in_pty.sh <deadline seconds> <command> [args...]
set -euo pipefail

deadline=$1
shift
work=$(mktemp -d /tmp/ocxfixer-pty.XXXXXX)
socket="ocxfixer-pty-$$"
cleanup() {
  tmux -L "${socket}" kill-server >/dev/null 2>&1 || true
  rm -rf "${work}"
}
trap cleanup EXIT

{
  printf '%q ' "$@"
  printf '>%q 2>&1\n' "${work}/out"
  printf 'echo $? >%q && mv %q %q\n' "${work}/rc.tmp" "${work}/rc.tmp" "${work}/rc"
} >"${work}/run.sh"
# Output goes to a file; the program still owns the pty's console.
tmux -L "${socket}" -f /dev/null new-session -d -x 90 -y 30 "bash ${work}/run.sh"

end=$((SECONDS + deadline))
while [ ! -f "${work}/rc" ]; do
  if [ "${SECONDS}" -ge "${end}" ]; then
    cat "${work}/out" 2>/dev/null || true
    echo "run_in_pty: no exit after ${deadline} s" >&2
    exit 124
  fi
  sleep 0.2
done
cat "${work}/out"
exit "$(cat "${work}/rc")"
