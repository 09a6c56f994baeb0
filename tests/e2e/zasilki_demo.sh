#!/usr/bin/env bash
# End to end: the benefit program started as the README's run command starts it (`zasilki --demo
# DIR` on a directory with no company yet) in an 80x25 tmux pane. The demo company is created, the
# menu appears, an entry not built yet shows its message and gives the menu back, Esc leaves the
# program with status 0 and the terminal is given back (no alternate screen left on).
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_demo.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
bin="$build/apps/zasilki"
work=$(mktemp -d)
session="zasilki_e2e_$$"
cleanup() {
  tmux kill-session -t "$session" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The README's run command ends in this call; keep the two in step.
grep -q 'zasilki --demo demo' "$here/scripts/run-demo.sh" || { echo "run-demo.sh no longer starts zasilki --demo"; exit 1; }

fail() {
  echo "FAIL: $*"
  tmux capture-pane -p -t "$session" 2>/dev/null || true
  exit 1
}
screen() { tmux capture-pane -p -t "$session"; }
wait_for() {
  for _ in $(seq 1 150); do
    if screen | grep -q -- "$1"; then return 0; fi
    sleep 0.2
  done
  fail "waited for '$1'"
}

export LANG=C.UTF-8 LC_ALL=C.UTF-8
tmux -u new-session -d -s "$session" -x 80 -y 25 \
  "cd '$work' && TERM=xterm-256color LANG=C.UTF-8 '$bin' --demo demo; echo \"EXIT=\$?\"; sleep 60"

wait_for "NARZĘDZIA"
[ -f "$work/demo/MAIN.dbf" ] || fail "the demo company was not created"
[ -f "$work/demo/zas.zus" ] || fail "the demo company has no link file"
screen | grep -q "System ZEFIRON - program ZUS" || fail "no title line"

# The register: its employee choice opens, Esc closes it and gives the menu back.
wait_for "Rejestr zasiłków"
tmux send-keys -t "$session" Enter
wait_for "Wybierz pracownika"
tmux send-keys -t "$session" Escape
for _ in $(seq 1 50); do
  screen | grep -q "Wybierz pracownika" || break
  sleep 0.2
done
screen | grep -q "Wybierz pracownika" && fail "the employee choice did not close"
wait_for "Rejestr zasiłków"

tmux send-keys -t "$session" Escape
wait_for "EXIT=0"
[ "$(tmux display -p -t "$session" '#{alternate_on}')" = "0" ] || fail "the terminal was left in the alternate screen"
echo "ok"
