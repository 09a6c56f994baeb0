#!/usr/bin/env bash
# End to end: the installer killed with SIGKILL in the middle of a migration group (while a
# message of its record block waits), then started again: the new run says it put back the
# tables of the run that was cut short, and every table is as before the first run.
# Argument 1: the build directory.
set -euo pipefail
source "$(dirname "$0")/uzupelnienie_lib.inc"

prepare_tables
before=$(cd "$work/zef" && ls -1 | sort && md5sum KADRY.dbf KADRY.fpt PRZEDS.dbf)

make_script <<'SCRIPT'
[dbase]
dst_base=KADRY.DBF|k
index=k|KADRY_NR.CDX|nr
rek_blok={|| k->kwota := 0, k->uwagi := 'zmieniona', iif(recno() == 3, kom('Rekord 3'), .t.) }
-
SCRIPT

# The installer's own process id, so that the kill reaches it and nothing else.
tmux kill-session -t "$session" 2>/dev/null || true
tmux -u new-session -d -s "$session" -x 80 -y 25 \
  "cd '$work/upd' && echo \$\$ > '$work/pid' && TERM=xterm-256color exec '$bin' -katalog '$work/zef'"
wait_for "Rekord 3"
kill -KILL "$(cat "$work/pid")"
[ -f "$work/zef/UZUP_KOP/DZIENNIK.TXT" ] || fail "no journal left by the killed run"
[ "$(cd "$work/zef" && md5sum KADRY.dbf)" != "$(echo "$before" | grep KADRY.dbf)" ] || fail "the killed run changed nothing"

make_script <<'SCRIPT'
[koniec]
ok={|| kom('Koniec') }
SCRIPT
start_install
wait_for "Poprzednie uzupelnienie zostalo przerwane."
tmux send-keys -t "$session" Enter
wait_for "Koniec"
tmux send-keys -t "$session" Enter
wait_for "EXIT=0"
rm -f "$work/zef/exe/z_n_a_c_z.nik"
after=$(cd "$work/zef" && ls -1 | sort && md5sum KADRY.dbf KADRY.fpt PRZEDS.dbf)
[ "$before" = "$after" ] || fail "the tables are not as before the killed run: $after"
echo "ok"
