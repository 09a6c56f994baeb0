#!/usr/bin/env bash
# End to end: the transfer to payroll of a company with 1200 calculated benefits, killed
# with SIGKILL at several moments while it sends them, restarted and run again each time, and at
# last run to its end. Payroll's input items of every employee (amount K010, current days N010,
# arrears days N008) must then equal the sums of the benefits in NIEOBEC: nothing sent twice,
# nothing missing.
# Each kill comes after a chosen number of new payroll items appeared. Another process then takes
# the header lock of NIEOBEC (or of DANE_WE) and holds it, so that the program stops at its next
# write of that table: for NIEOBEC most often the marks of a payroll call that payroll already
# holds, for DANE_WE a payroll call noted and not made. The program is killed there, at a moment
# when no table write is half-done (the tables' indexes are whole; their repair after a kill in
# the middle of a write is tried elsewhere).
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_transfer_killed.sh BUILD_DIR}" && pwd)
name=zasilki_killed
source "$(dirname "$0")/zasilki_session.inc"
holder=""  # the process holding a table's header lock, ended with the script too
trap '[ -z "$holder" ] || kill "$holder" 2>/dev/null || true; cleanup' EXIT
python=/usr/bin/python3
[ -x "$python" ] || python=$(command -v python3) || { echo "FAIL: python3 is needed to read the tables"; exit 1; }
seed="$build/tests/e2e/e2e_benefit_company"
[ -x "$seed" ] || { echo "FAIL: $seed not built"; exit 1; }

"$seed" "$work/demo" 1200 || fail "the company was not made"
company="$work/demo"

# payroll: the payroll items of every employee; expected: the same sums from NIEOBEC.
tables() {
  "$python" - "$company" "$1" <<'PY'
import datetime, struct, sys

def records(path):
    b = open(path, 'rb').read()
    n, hlen, rlen = struct.unpack('<IHH', b[4:12])
    fields, off, p = {}, 1, 32
    while b[p] != 0x0D:
        fields[b[p:p+11].split(b'\0')[0].decode().lower()] = (off, b[p+16])
        off += b[p+16]
        p += 32
    for i in range(n):
        r = b[hlen + i * rlen:hlen + (i + 1) * rlen]
        if r[:1] != b'*':
            yield {f: r[o:o + l] for f, (o, l) in fields.items()}

company, what = sys.argv[1], sys.argv[2]
items = {}
if what == 'payroll':
    for r in records(company + '/DANE_WE.dbf'):
        code = r['kod'].decode().strip()
        if code in ('K010', 'N010', 'N008'):
            items[(r['nr_prac'].decode(), code)] = struct.unpack('<i', r['wartosc'][:4])[0]
else:
    month = datetime.date.today().strftime('%Y%m')
    for r in records(company + '/NIEOBEC.dbf'):
        if (r['zasilek'] != b'Z10' or r['dat_wyp'][:6].decode() != month or r['czy_korekt'] == b'T'
                or int(float(r['status'])) not in (1, 3, 4, 7, 93, 94)):
            continue
        nr = r['nr_prac'].decode()
        days, arrears = int(float(r['l_dni'])), int(float(r['dni_rob'] or b'0'))
        for code, v in (('K010', round(float(r['wartosc']) * 100)), ('N010', (days - arrears) * 100),
                        ('N008', arrears * 100)):
            items[(nr, code)] = items.get((nr, code), 0) + v
print(' '.join('%s:%s=%d' % (nr.strip(), code, v) for (nr, code), v in sorted(items.items()) if v))
PY
}
# The process id of the program started by the pane's shell $1.
program_of() {
  local p ppid
  for p in /proc/[0-9]*; do
    [ "$(cat "$p/comm" 2>/dev/null)" = zasilki ] || continue
    read -r _ _ _ ppid _ <"$p/stat" 2>/dev/null || continue
    [ "$ppid" = "$1" ] && { echo "${p#/proc/}"; return 0; }
  done
  return 1
}
records_of() { od -An -tu4 -j4 -N4 "$company/DANE_WE.dbf" | tr -d ' '; }
in_progress() {  # the mark of a write in progress, byte 14 of a table's header
  [ "$(od -An -tu1 -j14 -N1 "$1" | tr -d ' ')" = 1 ]
}

# The transfer of all employees for the payroll month, up to the month's question.
start_transfer() {
  tm kill-session -t "$session" 2>/dev/null || true
  start_demo
  wait_for "Rejestr zasiłków"
  keys Right
  wait_for "Przekazanie do płac"
  keys Enter
  wait_for "Czy chcesz dokonać tego?"
  keys Enter
  wait_for "Zakres pracowników"
  keys Enter                       # all employees
  wait_for "Miesiąc"
}

# Holds the header lock of the table $1 once the file $2 appears, until killed; makes $3 then.
hold_header() {
  "$python" - "$@" <<'PY' &
import fcntl, os, sys, time
table, go, held = sys.argv[1:4]
while not os.path.exists(go):
    time.sleep(0.0005)
fd = os.open(table, os.O_RDWR)
while True:
    try:
        fcntl.lockf(fd, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 0x7FFFFFFE)
        break
    except OSError:
        time.sleep(0.0002)
open(held, 'w').close()
time.sleep(600)
PY
  holder=$!
}
wait_file() {
  for _ in $(seq 1 3000); do
    [ -e "$1" ] && return 0
    sleep 0.01
  done
  fail "waited for $1"
}

expected=$(tables expected)
[ "$(wc -w <<<"$expected")" -gt 100 ] || fail "too few benefits to send: $expected"
base=$(records_of)
kills=0
pending=0  # kills that left a payroll call noted and not settled
for moment in "5 NIEOBEC" "25 DANE_WE" "50 NIEOBEC" "75 DANE_WE" "100 NIEOBEC"; do
  read -r more table <<<"$moment"
  rm -f "$work/go" "$work/held"
  hold_header "$company/$table.dbf" "$work/go" "$work/held"
  start_transfer
  program=$(program_of "$(tm display-message -p -t "$session" '#{pane_pid}')") ||
    fail "the program's process was not found"
  keys Enter                       # the payroll month: the run starts
  for _ in $(seq 1 20000); do
    [ "$(records_of)" -ge $((base + more)) ] && break
  done
  touch "$work/go"
  wait_file "$work/held"
  sleep 0.2  # lets the program reach the held table; where it stands then is the moment tried
  kill -STOP "$program"
  screen | grep -qF "Operacja została zakończona." && fail "the run ended before it was killed ($more items)"
  while in_progress "$company/NIEOBEC.dbf" || in_progress "$company/DANE_WE.dbf"; do
    kill -CONT "$program"
    kill -STOP "$program"
  done
  kill -KILL "$program"
  [ -n "$(find "$company" -maxdepth 1 -name 'PRZEKAZ_*' -size +0 -exec grep -l '^ZAMIAR' {} +)" ] &&
    pending=$((pending + 1))
  wait_for "EXIT=137"
  kill "$holder"
  wait "$holder" 2>/dev/null || true
  holder=""
  kills=$((kills + 1))
done

# Restarted, the transfer runs to its end with no critical error.
start_transfer
keys Enter
wait_for "Operacja została zakończona."
screen | grep -qF "Nie stwierdzono błędów krytycznych!" || fail "critical errors after $kills kills"
keys Enter
wait_gone "Operacja została zakończona."
keys Escape
wait_for "EXIT=0"

got=$(tables payroll)
if [ "$got" != "$expected" ]; then
  diff <(tr ' ' '\n' <<<"$expected") <(tr ' ' '\n' <<<"$got") | head -20
  fail "payroll's items differ from the benefits after $kills kills"
fi
ls "$company" | grep -q '^PRZEKAZ_' && fail "a journal of the transfer was left"
echo "ok ($kills kills, $pending of them with a payroll call pending)"
