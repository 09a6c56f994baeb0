#!/usr/bin/env bash
# End to end: an update whose migration fails in the middle (a runtime error on the third record).
# The message names the script line, the tables and the version are as before, the closing
# section runs its error block, the time stamp is written and the exit code is 1.
# Argument 1: the build directory.
set -euo pipefail
source "$(dirname "$0")/uzupelnienie_lib.inc"

prepare_tables
write_version "2.1"
before=$(cd "$work/zef" && ls -1 | sort && md5sum KADRY.dbf KADRY.fpt WERSJA.MEM PRZEDS.dbf)

make_script <<'SCRIPT'
[wer]
u_zm1=WERSJA.MEM|wersja|2.2
[dbase]
dst_base=KADRY.DBF|k
index=k|KADRY.CDX|nr
rek_blok={|| k->kwota := k->kwota * 2, k->uwagi := 'zmieniona', iif(recno() == 3, 1/0, .t.) }
-
[koniec]
ok={|| kom('Uzupelnienie zainstalowane') }
blad={|| kom('Uzupelnienie nieudane') }
SCRIPT

start_install
wait_for "Blad: \[dbase\], linia 6 skryptu update.dat"
tmux send-keys -t "$session" Enter
wait_for "Uzupelnienie nieudane"
tmux send-keys -t "$session" Enter
wait_for "EXIT=1"
after=$(cd "$work/zef" && ls -1 | sort && md5sum KADRY.dbf KADRY.fpt WERSJA.MEM PRZEDS.dbf)
[ "$before" = "$after" ] || fail "the failed update changed the installed system: $after"
[ -f "$work/zef/exe/z_n_a_c_z.nik" ] || fail "no time stamp after a failed update"
[ "$(read_version)" = "2.1" ] || fail "version changed"
echo "ok"
