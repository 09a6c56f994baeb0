#!/usr/bin/env bash
# End to end: the transfer to payroll on a fresh demo company never sends money twice. Employee 3's
# sick pay is calculated and sent; the benefit is changed twice (amount and days, 3 of them
# arrears days) and sent after each change; Ctrl+F3 in the form takes back what payroll holds and
# the benefit is sent again as new; at last it is deleted in the register and the run takes it
# back. After every step the payroll input items of the employee (amount K010, current days N010,
# arrears days N008) are read from DANE_WE and compared with what the benefit says.
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_payroll_transfer.sh BUILD_DIR}" && pwd)
name=zasilki_payroll
source "$(dirname "$0")/zasilki_session.inc"
# Every key is given a moment to land before the next wait.
keys() { tm send-keys -t "$session" "$@"; sleep 0.2; }
python=/usr/bin/python3
[ -x "$python" ] || python=$(command -v python3) || { echo "FAIL: python3 is needed to read the tables"; exit 1; }

# Reads and changes table records byte by byte, as another program would (no index field is
# touched, so the indexes stay right).
tables() {
  "$python" - "$work/demo" "$@" <<'PY'
import struct, sys

def table(path):
    b = open(path, 'rb').read()
    n, hlen, rlen = struct.unpack('<IHH', b[4:12])
    fields, off, p = {}, 1, 32
    while b[p] != 0x0D:
        fields[b[p:p+11].split(b'\0')[0].decode().lower()] = (off, b[p+16], b[p+17])
        off += b[p+16]
        p += 32
    return b, n, hlen, rlen, fields

def records(path):
    b, n, hlen, rlen, fields = table(path)
    for i in range(n):
        start = hlen + i * rlen
        r = b[start:start + rlen]
        yield start, r[:1] == b'*', {f: r[o:o + l] for f, (o, l, d) in fields.items()}

company, what = sys.argv[1], sys.argv[2]
if what == 'items':      # the employee's payroll input items: code=hundredths ...
    out = []
    for _, deleted, r in records(company + '/DANE_WE.dbf'):
        if not deleted and r['nr_prac'] == b'    3':
            out.append('%s=%d' % (r['kod'].decode().strip(), struct.unpack('<i', r['wartosc'][:4])[0]))
    print(' '.join(sorted(out)))
elif what == 'amount':   # the benefit's amount in hundredths
    for _, deleted, r in records(company + '/NIEOBEC.dbf'):
        if r['nr_prac'] == b'    3' and r['zasilek'] == b'Z10':
            print(round(float(r['wartosc']) * 100))
elif what == 'change':   # field=value ... of the benefit, as an edit of the register would leave it
    path = company + '/NIEOBEC.dbf'
    b, n, hlen, rlen, fields = table(path)
    data = bytearray(b)
    for start, deleted, r in records(path):
        if r['nr_prac'] == b'    3' and r['zasilek'] == b'Z10':
            for change in sys.argv[3:]:
                f, v = change.split('=')
                o, l, d = fields[f]
                data[start + o:start + o + l] = ('%.*f' % (d, float(v))).rjust(l).encode()
    open(path, 'r+b').write(bytes(data))
PY
}

expect_items() {
  local got
  got=$(tables items)
  [ "$got" = "$1" ] || fail "$2: payroll holds '$got', expected '$1'"
}

# The transfer of employee 3 for the payroll month, its summary checked for the benefits counted.
transfer() {
  keys Right
  wait_for "Przekazanie do płac"
  keys Enter
  wait_for "Czy chcesz dokonać tego?"
  keys Enter
  wait_for "Zakres pracowników"
  keys Down Down Enter             # one employee
  wait_for "Wybierz pracownika"
  keys Down Down Enter             # employee 3
  wait_for "Miesiąc"
  keys Enter                       # the payroll month, in which the benefit is paid
  wait_for "Operacja została zakończona."
  screen | grep -qF "$1" || fail "the summary does not say '$1'"
  screen | grep -qF "Nie stwierdzono błędów krytycznych!" || fail "critical errors"
  keys Enter
  wait_gone "Operacja została zakończona."
  keys Left
}

# The register on employee 3, with the browse of the benefits shown.
open_register() {
  keys Home Enter
  wait_for "Wybierz pracownika"
  keys Down Down Enter
  wait_for "Nr:     3"
  wait_for "F1-Pomoc, Enter-Edycja"
}
close_register() {
  keys Escape
  wait_for "Wybierz pracownika"
  keys Escape
  wait_gone "Wybierz pracownika"
  wait_for "Rejestr zasiłków"
}

start_demo
wait_for "Rejestr zasiłków"

# Employee 3's sick pay of last month is calculated.
calculate_employee_3
keys Enter
wait_for "Miesiąc"
keys Down Enter
wait_for "Dane o podstawach"
keys Enter
wait_for "Operacja została zakończona."
keys Enter
wait_gone "Operacja została zakończona."

amount=$(tables amount)
[ "${amount:-0}" -gt 0 ] || fail "the benefit was not calculated"
transfer "Liczba przepisanych zasiłków:    1"
expect_items "K010=$amount N010=700" "the first send"

# Changed: a new amount and 8 days of which 3 arrears days (as after an edit of the record).
tables change wartosc=2210.40 l_dni=8 dni_rob=3 status=94
transfer "Liczba przepisanych zasiłków:    1"
expect_items "K010=221040 N008=300 N010=500" "the send after the first change"

# Changed again: one more current day; the arrears days come back from the item they went to.
tables change wartosc=2486.70 l_dni=9
transfer "Liczba przepisanych zasiłków:    1"
expect_items "K010=248670 N008=300 N010=600" "the send after the second change"

# Ctrl+F3 in the form: payroll gives back what it holds, and the next run sends it once.
open_register
keys Enter
wait_for "Rodzaj zasiłku: WYN_CHOR"
keys C-F3
wait_for "Czy oznaczyć zasiłek do bezwarunkowego przepisania do PŁAC ?"
keys Enter
wait_gone "Czy oznaczyć zasiłek"
expect_items "K010=0 N008=0 N010=0" "Ctrl+F3"
keys Escape
wait_for "Czy zapisać dane ?"
keys Right Enter                   # nothing else changed in the form
wait_for "F1-Pomoc, Enter-Edycja"
close_register
transfer "Liczba przepisanych zasiłków:    1"
expect_items "K010=248670 N008=300 N010=600" "the send after Ctrl+F3"

# Deleted in the register: the next run takes it all back.
open_register
keys Delete
wait_for "Czy chcesz usunąć wskazany zapis o nieobecności ?"
keys Left Enter
wait_for "Czy wprowadzić nowy zasiłek ?"
keys Right Enter                   # no new one: back to the choice of employee
wait_for "Wybierz pracownika"
keys Escape
wait_gone "Wybierz pracownika"
wait_for "Rejestr zasiłków"
transfer "Liczba usuniętych zasiłków cofniętych z PŁAC: 1"
expect_items "K010=0 N008=0 N010=0" "the send after the deletion"

leave_program
wait_for "EXIT=0"
echo "ok"
