#!/usr/bin/env bash
# End to end: the benefit program started as the README's run command starts it (`zasilki --demo
# DIR` on a directory with no company yet) in an 80x25 tmux pane. The demo company is created, the
# menu appears, the register's employee choice opens and gives the menu back, a register without
# its index stops with a message naming it, Esc leaves the program with status 0 and the terminal
# is given back (no alternate screen left on).
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_demo.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
name=zasilki_demo
source "$(dirname "$0")/zasilki_session.inc"

# The README's run command ends in this call; keep the two in step.
grep -q 'zasilki --demo demo' "$here/scripts/run-demo.sh" || { echo "run-demo.sh no longer starts zasilki --demo"; exit 1; }

start_demo

wait_for "NARZĘDZIA"
[ -f "$work/demo/MAIN.dbf" ] || fail "the demo company was not created"
[ -f "$work/demo/zas.zus" ] || fail "the demo company has no link file"
screen | grep -q "System ZEFIRON - program ZUS" || fail "no title line"

# The register: its employee choice opens, Esc closes it and gives the menu back.
wait_for "Rejestr zasiłków"
keys Enter
wait_for "Wybierz pracownika"
keys Escape
wait_gone "Wybierz pracownika"
wait_for "Rejestr zasiłków"

# A register whose index file is gone: the option stops with a message naming the file, and the
# menu goes on.
mv "$work/demo/NIEOBEC.cdx" "$work/demo/NIEOBEC.cdx.bak"
keys Enter
wait_for "NIEOBEC.cdx"
screen | grep -q "Opcja zakończona błędem" || fail "no error message for the missing index"
keys Enter
wait_gone "NIEOBEC.cdx"
wait_for "Rejestr zasiłków"

leave_program
wait_for "EXIT=0"
[ "$(tm display -p -t "$session" '#{alternate_on}')" = "0" ] || fail "the terminal was left in the alternate screen"
echo "ok"
