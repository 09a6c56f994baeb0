#!/usr/bin/env bash
# End to end: two workstations on one demo company, each a `zasilki` process in an 80x25 pane of
# one tmux server. Workstation A opens employee 8 in the register and a benefit in the edit form;
# B choosing the same employee is refused at once with the message that the employee is in use
# elsewhere, and B's register ends; a calculation run on B counts the employee as unavailable. A
# changes the payout date and saves, then moves on to another employee; B now opens employee 8
# and sees A's payout date, and A's other employee is refused to B in turn.
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_two_workstations.sh BUILD_DIR}" && pwd)
name=zasilki_two_ws
source "$(dirname "$0")/zasilki_session.inc"

# Two sessions, A and B, addressed exactly by name.
screen_of() { tm capture-pane -p -J -t "=$1:"; }
keys_to() {
  local s=$1
  shift
  tm send-keys -t "=$s:" "$@"
}
fail() {
  echo "FAIL: $*"
  for s in A B; do
    echo "--- $s"
    screen_of "$s" 2>/dev/null || true
  done
  exit 1
}
# Waits (up to 30 s) until the session shows the text.
wait_on() {
  for _ in $(seq 1 300); do
    if screen_of "$1" | grep -qF -- "$2"; then return 0; fi
    sleep 0.05
  done
  fail "$1 waited for '$2'"
}
cursor_of() { tm display-message -p -t "=$1:" '#{cursor_y},#{cursor_x}'; }
start_on() {
  tm -u new-session -d -s "$1" -x 80 -y 25 \
    "cd '$work' && TERM=xterm-256color LANG=C.UTF-8 '$bin' --demo demo; echo \"EXIT=\$?\"; sleep 60"
}
# Opens the register on a session and chooses employee 8 of the demo.
choose_employee_8() {
  keys_to "$1" Home Enter
  wait_on "$1" "Wybierz pracownika"
  keys_to "$1" Down Down Down Down Down Down Down Enter
}

start_on A
wait_on A "Rejestr zasiłków"
start_on B
wait_on B "Rejestr zasiłków"

# A holds employee 8 and opens the sick-pay record (the first of the browse) in the form.
choose_employee_8 A
wait_on A "Nr:     8"
wait_on A "WYN_CHOR"
keys_to A Enter
wait_on A "Rodzaj zasiłku: WYN_CHOR"

# B is refused the same employee, with the message, and its register ends.
choose_employee_8 B
wait_on B "Dane pracownika są używane na innym stanowisku !"
keys_to B Enter
wait_on B "Rejestr zasiłków"
screen_of B | grep -qF "Dane o zasiłkach" && fail "B's register did not end"

# A calculation run on B for all employees of the payroll month passes employee 8 over and counts
# it among the employees whose data were unavailable.
keys_to B Down Enter
for _ in $(seq 1 100); do
  screen_of B | grep -qF "Zakres pracowników" && break
  if screen_of B | grep -qF "Uwaga"; then keys_to B Enter; sleep 0.1; else sleep 0.05; fi
done
wait_on B "Zakres pracowników"
keys_to B Enter                    # all employees
wait_on B "Data kończąca zasiłek"
keys_to B Enter                    # by end date
wait_on B "Miesiąc"
keys_to B Enter                    # the payroll month
wait_on B "Czy powtórzyć obliczenia"
keys_to B Enter                    # no
# The half-time employee's daily rate lies below the minimum wage's: Tak to its question.
for _ in $(seq 1 100); do
  screen_of B | grep -qF "Operacja została zakończona." && break
  if screen_of B | grep -qF "Czy zatwierdzasz stawkę dzienną"; then keys_to B Enter; sleep 0.1; else sleep 0.05; fi
done
wait_on B "Operacja została zakończona."
screen_of B | grep -qF "Liczba pracowników o niedostępnych danych: 1" ||
  fail "the held employee is not counted as unavailable"
keys_to B Enter
wait_on B "Rejestr zasiłków"

# A moves to the payout date (answering No to the offer of a previous basis on the way), gives
# the 11th of the payroll month and saves.
month=$(date +%m%Y)
for _ in $(seq 1 40); do
  [ "$(cursor_of A)" = "11,30" ] && break
  if screen_of A | grep -qF "Czy wczytać poprzednią podstawę"; then
    keys_to A Right Enter
  else
    keys_to A Enter
  fi
  sleep 0.1
done
[ "$(cursor_of A)" = "11,30" ] || fail "A's form did not reach the payout date"
keys_to A "11$month"
sleep 0.1
keys_to A C-w
wait_on A "F1-Pomoc, Enter-Edycja"
wait_on A "11.${month:0:2}.${month:2:4} │ 01.${month:0:2}.${month:2:4}"

# A leaves employee 8 for employee 1 (who has no benefit; No to a new one).
keys_to A Escape
wait_on A "Wybierz pracownika"
keys_to A Home Enter
wait_on A "Czy wprowadzić nowy zasiłek ?"
keys_to A Right Enter
wait_on A "Wybierz pracownika"

# B now has employee 8, with A's payout date, and the sick-pay record is still there once.
choose_employee_8 B
wait_on B "Nr:     8"
wait_on B "11.${month:0:2}.${month:2:4} │ 01.${month:0:2}.${month:2:4}"
[ "$(screen_of B | grep -cF "WYN_CHOR")" = 1 ] || fail "B does not see the record once"
wait_on B "CHOR_ZUS"

# Employee 1 stays with A: B is refused it in turn.
keys_to B Escape
wait_on B "Wybierz pracownika"
keys_to B Home Enter
wait_on B "Dane pracownika są używane na innym stanowisku !"
echo "ok"
