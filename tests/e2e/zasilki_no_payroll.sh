#!/usr/bin/env bash
# End to end: started on a directory without the payroll data, the program says which directory
# it looked in and ends with a failing exit status.
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_no_payroll.sh BUILD_DIR}" && pwd)
name=zasilki_no_payroll
source "$(dirname "$0")/zasilki_session.inc"

mkdir "$work/empty"
tm -u new-session -d -s "$session" -x 80 -y 25 \
  "cd '$work' && TERM=xterm-256color LANG=C.UTF-8 '$bin' empty; echo \"EXIT=\$?\"; sleep 60"
wait_for "Brak danych programu płacowego (tabeli MAIN) w katalogu:"
wait_for "$work/empty"
keys Enter
wait_for "EXIT=1"
echo "ok"
