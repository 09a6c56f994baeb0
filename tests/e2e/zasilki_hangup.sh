#!/usr/bin/env bash
# End to end: a hang-up right after a save loses nothing. On a fresh demo company a sickness
# benefit is entered for employee 1 (who has none) and saved; the program then gets SIGHUP while
# the employee is still chosen. It ends through its orderly way out (it exits with status
# 128 + 1 rather than being killed by the signal), and a
# second run shows the record and the employee's benefit-period counter holding its 5 days.
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_hangup.sh BUILD_DIR}" && pwd)
name=zasilki_hangup
source "$(dirname "$0")/zasilki_session.inc"

open_employee_1() {
  wait_for "NARZĘDZIA"
  wait_for "Rejestr zasiłków"
  keys Enter
  wait_for "Wybierz pracownika"
  keys Home Enter
  wait_for "Nr:     1"
}

# The first run notes its process number for the signal. A shell reports 129 both for exit(129)
# and for a death by SIGHUP, so a small Perl parent tells the two apart: only the orderly way out
# prints EXIT=129; a program that the signal killed prints SIGNAL=1.
pidfile="$work/zasilki.pid"
cat >"$work/run.pl" <<'PERL'
my $pidfile = shift;
my $pid = fork() // die "fork: $!";
if ($pid == 0) { exec(@ARGV) or die "exec: $!"; }
open(my $f, '>', $pidfile) or die "$pidfile: $!";
print $f "$pid\n";
close($f);
waitpid($pid, 0);
print(($? & 127) ? "SIGNAL=" . ($? & 127) . "\n" : "EXIT=" . ($? >> 8) . "\n");
PERL
tm -u new-session -d -s "$session" -x 80 -y 25 \
  "cd '$work' && TERM=xterm-256color LANG=C.UTF-8 perl run.pl '$pidfile' '$bin' --demo demo; sleep 60"
open_employee_1
wait_for "Czy wprowadzić nowy zasiłek ?"
keys Enter
wait_for "Rodzaj zasiłku:"
month=$(date +%m%Y)
keys "CHOR_ZUS" Enter
wait_for "Czy wypadek poza pracą ?"
keys "02$month"
sleep 0.2
keys "06$month"
# Five days of insurance sickness without sick pay before them: the limit warning.
wait_for "nie przekroczyła 33"
keys Enter
wait_for "Liczba dni:   5"
keys Enter Enter Enter
sleep 0.2
keys "10$month"
wait_for "Data wypłaty: 10."
keys C-w
wait_for "CHOR_ZUS   - Zasiłek chorob"
wait_for "Dni do okr.zasił.:   5"

for _ in $(seq 1 50); do [ -s "$pidfile" ] && break; sleep 0.1; done
kill -HUP "$(cat "$pidfile")"
for _ in $(seq 1 300); do
  screen | grep -qE "EXIT=|SIGNAL=" && break
  sleep 0.1
done
screen | grep -qF "EXIT=129" || fail "the hang-up did not end the program its orderly way (status 129)"

# A second run on the same company: the record and the counter are there.
session="${name}_again_$$"
start_demo
open_employee_1
wait_for "CHOR_ZUS   - Zasiłek chorob"
wait_for "Dni do okr.zasił.:   5"
screen | grep -qF "02.$(date +%m.%Y)" || fail "the record's first day is not shown"
keys Escape
wait_for "Wybierz pracownika"
keys Escape
wait_gone "Wybierz pracownika"
leave_program
wait_for "EXIT=0"
echo "ok"
