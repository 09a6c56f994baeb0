#!/usr/bin/env bash
# End to end: two installers started on one installed system. The first waits at a message while
# it reads the versions, holding the system; the second, started meanwhile, is refused at once and exits
# 1; the first then ends and exits 0: the version is written and every amount raised once (the
# deleted record is not visited).
# Argument 1: the build directory.
set -euo pipefail
source "$(dirname "$0")/uzupelnienie_lib.inc"

prepare_tables
write_version "2.1"
make_script <<'SCRIPT'
[wer]
u_zm1=WERSJA.MEM|wersja|2.2
blok={|| kom('Pierwszy czeka') }
warunek={|| u_zm1 == '2.1' }
[dbase]
dst_base=KADRY.DBF|k
rek_blok={|| k->kwota := k->kwota + 1 }
-
SCRIPT

first=$session
start_install
wait_for "Pierwszy czeka"

session="${first}_drugi"
start_install
wait_for "Inne uzupelnienie tego systemu jest w toku !"
tmux send-keys -t "$session" Enter
wait_for "EXIT=1"

session=$first
tmux send-keys -t "$session" Enter
wait_for "EXIT=0"
[ "$(read_version)" = "2.2" ] || fail "version $(read_version)"
amounts=$(cd "$work/zef" && /usr/bin/python3 -c "import dbf
t=dbf.Table('KADRY.dbf', codepage=0x64)
t.open()
print(' '.join(str(r.kwota) for r in t))")
[ "$amounts" = "101.5 5.0 8.25" ] || fail "amounts $amounts"
[ ! -e "$work/zef/UZUP_KOP" ] || fail "UZUP_KOP left behind"
echo "ok"
