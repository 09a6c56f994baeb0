#!/usr/bin/env bash
# End to end: the calculation of one employee's benefits on the demo company. The menu's
# "Obliczanie zasiłków", past the warnings about missing settings, one employee (number 3, who
# has sick pay last month), the end-date kind and last month; the basis window of the single
# employee closes on a key, the summary counts one employee and one benefit, and the register
# holds the benefit calculated (status 4, a value and a net amount).
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_calculate.sh BUILD_DIR}" && pwd)
name=zasilki_calc
source "$(dirname "$0")/zasilki_session.inc"
# Every key is given a moment to land before the next wait.
keys() { tm send-keys -t "$session" "$@"; sleep 0.2; }

start_demo

wait_for "Rejestr zasiłków"
calculate_employee_3
keys Enter                         # by end date
wait_for "Miesiąc"
keys Down Enter                    # last month

wait_for "Dane o podstawach"
screen | grep -qF "Wiśniewski" || fail "the basis window does not name the employee"
keys Enter
wait_for "Operacja została zakończona."
screen | grep -qF "Liczba przetworzonych pracowników: 1" || fail "employees processed"
screen | grep -qF "Liczba obliczonych zasiłków:       1" || fail "benefits calculated"
screen | grep -qF "Liczba pracowników o niedostępnych danych: 0" || fail "unavailable employees"
screen | grep -qF "Nie stwierdzono błędów krytycznych!" || fail "critical errors"
keys Enter
wait_for "Obliczanie zasiłków"
leave_program
wait_for "EXIT=0"

# The register, read by an independent reader.
if [ -x /usr/bin/python3 ] && /usr/bin/python3 -c "import dbf" 2>/dev/null; then
  result=$(/usr/bin/python3 - "$work/demo/NIEOBEC.dbf" <<'PY'
import sys, dbf
t = dbf.Table(sys.argv[1]); t.open()
for r in t:
    if r.nr_prac == '    3' and r.zasilek == 'Z10':
        ok = r.status == 4 and (r.wartosc or 0) > 0 and (r.netto or 0) > 0 and (r.podst_zas or 0) > 0
        print("calculated" if ok else "record: %r %r %r %r" % (r.status, r.wartosc, r.netto, r.podst_zas))
PY
)
  [ "$result" = "calculated" ] || fail "employee 3's benefit: $result"
fi
echo "ok"
