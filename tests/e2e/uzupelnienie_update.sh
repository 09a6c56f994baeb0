#!/usr/bin/env bash
# End to end: an update installed by the real program on fixture directories. It checks the
# version, copies a program file (read-only) and a file into every company, migrates a table with
# notes and a deleted record to a new structure (records kept, fields matched by name, indexes
# built and read by Perl's XBase), bumps the version and writes the time stamp; exit code 0.
# Argument 1: the build directory.
set -euo pipefail
source "$(dirname "$0")/uzupelnienie_lib.inc"

prepare_tables
write_version "2.1"
echo "program 2.2" > "$work/upd/PROG.EXE"
echo "raport" > "$work/upd/RAPORT.TXT"

make_script <<'SCRIPT'
; Uzupelnienie do wersji 2.2
[wer]
u_zm1=WERSJA.MEM|wersja|2.2
warunek={|| u_zm1 == '2.1' }
[copy]
PROG.EXE|EXE\PROG.EXE|R
STATUS=+PRZEDS
RAPORT.TXT|RAPORT.TXT
STATUS=-PRZEDS
[dbase]
src_base=KADRY_N.DBF|nowa
dst_base=KADRY.DBF|stara
index=nowa|KADRY_NR.CDX|nr
index=nowa|KADRY_NZ.CDX|upper(nazw)
rek_pocz={|| dbselectar('stara'), dbgotop(), .t. }
rek_blok={|| rek := stara->(read_rekord()), nowa->(dbappend()), nowa->(write_rekord(rek)) }
kon_copy=KADRY_N.DBF|KADRY.DBF
kon_copy=KADRY_N.FPT|KADRY.FPT
kon_copy=KADRY_NR.CDX|KADRY_NR.CDX
kon_copy=KADRY_NZ.CDX|KADRY_NZ.CDX
-
[koniec]
ok={|| kom('Uzupelnienie zainstalowane') }
blad={|| kom('Uzupelnienie nieudane') }
SCRIPT

start_install
wait_for "Uzupelnienie zainstalowane"
tmux send-keys -t "$session" Enter
wait_for "EXIT=0"

[ "$(cat "$work/zef/exe/PROG.EXE")" = "program 2.2" ] || fail "PROG.EXE not copied"
[ "$(stat -c %A "$work/zef/exe/PROG.EXE" | cut -c3)" = "-" ] || fail "PROG.EXE is not read-only"
for c in AB__ CD__; do
  [ "$(cat "$work/zef/PRZEDS/$c/RAPORT.TXT")" = "raport" ] || fail "RAPORT.TXT not copied to $c"
done
[ "$(read_version)" = "2.2" ] || fail "version not bumped: $(read_version)"
grep -q $'^czas=[0-9-]* [0-9:]*\r$' "$work/zef/exe/z_n_a_c_z.nik" || fail "no time stamp"

rows=$(cd "$work/zef" && /usr/bin/python3 -c "
import dbf
t = dbf.Table('KADRY.dbf', default_data_types={'C': str}, codepage=0x64)
t.open()
print(len(t.field_names), ','.join(t.field_names))
for r in t: print(repr(r.nr), r.nazw.strip(), r.uwagi)
")
expected="4 nr,nazw,uwagi,nowe
'    3' Nowak pierwsza notatka
'    1' Kowalski druga notatka"
[ "$rows" = "$expected" ] || fail "migrated table: $rows"

keys=$(cd "$work/zef" && perl -MXBase::Index -e '$t=XBase::Index->new("KADRY_NR.CDX",tag=>"KADRY_NR",type=>"C"); $t->prepare_select; while(($k,$r)=$t->fetch){print "[$k] $r\n"}')
[ "$keys" = "$(printf '[    1] 2\n[    3] 1')" ] || fail "KADRY_NR keys: $keys"
names=$(cd "$work/zef" && perl -MXBase::Index -e '$t=XBase::Index->new("KADRY_NZ.CDX",tag=>"KADRY_NZ",type=>"C"); $t->prepare_select; while(($k,$r)=$t->fetch){$k=~s/ +$//; print "[$k] $r\n"}')
[ "$names" = "$(printf '[KOWALSKI] 2\n[NOWAK] 1')" ] || fail "KADRY_NZ keys: $names"

# Run again: the version no longer fits, nothing changes, the installer says at which line it
# stopped, the error block speaks, exit code 1.
before=$(cd "$work/zef" && md5sum KADRY.dbf KADRY.fpt WERSJA.MEM)
start_install
wait_for "Uzupelnienie nie zostalo zainstalowane: \[wer\], linia 4 skryptu"
tmux send-keys -t "$session" Enter
wait_for "Uzupelnienie nieudane"
tmux send-keys -t "$session" Enter
wait_for "EXIT=1"
[ "$(cd "$work/zef" && md5sum KADRY.dbf KADRY.fpt WERSJA.MEM)" = "$before" ] || fail "a refused update changed files"
echo "ok"
