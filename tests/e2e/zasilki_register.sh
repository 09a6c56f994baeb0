#!/usr/bin/env bash
# End to end: the benefit register on the demo company in an 80x25 tmux pane. The register opens
# from the menu, the employee choice comes up, the chosen employee's header and benefit records
# are shown, the help screen opens and closes, deleting a record (Del, then "Tak") takes its days
# back from the counter in the header, a new benefit is entered through the form for an employee
# who has none, and Esc leaves the browse, the choice and the program.
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_register.sh BUILD_DIR}" && pwd)
name=zasilki_register
source "$(dirname "$0")/zasilki_session.inc"

start_demo

wait_for "NARZĘDZIA"
wait_for "Rejestr zasiłków"
keys Enter
wait_for "Wybierz pracownika"

# Employee 8 of the demo: sick pay and then the sickness benefit in the payroll month.
keys Down Down Down Down Down Down Down
keys Enter
wait_for "Dane o zasiłkach"
wait_for "Nr:     8"
wait_for "Dni do okr.zasił.:  18"
wait_for "WYN_CHOR"
wait_for "CHOR_ZUS"
screen | grep -qF "33 lub 14 dni): 26" || fail "the days outside the workplace are not shown"

# Help screen and back.
keys F1
wait_for "Opis klawiszy pomocniczych:"
keys Enter
wait_gone "Opis klawiszy pomocniczych:"

# The second record (11 days of sickness benefit) is deleted: the counter drops to 7.
keys Down
keys Delete
wait_for "Czy chcesz usunąć wskazany zapis o nieobecności ?"
keys Left Enter
wait_for "Dni do okr.zasił.:   7"
wait_gone "CHOR_ZUS"
screen | grep -qF "WYN_CHOR" || fail "the other record went away too"

# Employee 1 has no benefit yet: the register offers a new one, which is entered in the form
# (care of a child, days 2 to 4 of the payroll month, paid on the 10th) and saved with Ctrl+W.
keys Escape
wait_for "Wybierz pracownika"
keys Home Enter
wait_for "Nr:     1"
wait_for "Czy wprowadzić nowy zasiłek ?"
keys Enter
wait_for "Rodzaj zasiłku:"
month=$(date +%m%Y)
keys "OPIEKA" Enter
wait_for "Czy op. nad dzieckiem ?"
keys "02$month"
sleep 0.2
keys "04$month"
sleep 0.2
keys Enter Enter Enter
sleep 0.2
keys "10$month"
wait_for "Liczba dni:   3"
keys C-w
wait_for "OPIEKA     - Zasiłek opieku"
wait_for "Dni op. (ogół):   3"

# Leave the browse and the choice, then the program.
keys Escape
wait_for "Wybierz pracownika"
keys Escape
wait_gone "Wybierz pracownika"
wait_for "Rejestr zasiłków"
leave_program
wait_for "EXIT=0"
echo "ok"
