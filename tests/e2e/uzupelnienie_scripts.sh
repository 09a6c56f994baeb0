#!/usr/bin/env bash
# End to end: "-koduj" round trip and its failures, and malformed scripts (a line of an unknown
# section, an expression that does not compile, a missing file), each with a clear message and
# exit code 1.
# Argument 1: the build directory.
set -euo pipefail
source "$(dirname "$0")/uzupelnienie_lib.inc"

# -koduj: scrambled, then back to the same bytes; an odd size across chunks.
head -c 10000 /dev/urandom > "$work/a.bin"
"$bin" -koduj "$work/a.bin" "$work/b.dat" || fail "-koduj failed"
cmp -s "$work/a.bin" "$work/b.dat" && fail "-koduj left the bytes as they were"
[ "$(stat -c %s "$work/b.dat")" = 10000 ] || fail "-koduj changed the size"
"$bin" -koduj "$work/b.dat" "$work/c.bin" || fail "-koduj back failed"
cmp -s "$work/a.bin" "$work/c.bin" || fail "-koduj round trip differs"
if "$bin" -koduj "$work/nie_ma.txt" "$work/d.dat"; then fail "-koduj of a missing file succeeded"; fi
[ -e "$work/d.dat" ] && fail "-koduj of a missing file made an output"
if "$bin" -koduj "$work/a.bin" "$work/nie_ma/d.dat"; then fail "-koduj into a missing directory succeeded"; fi
# -koduj onto its own input, by the same name or another letter case: refused, the input whole.
for out in a.bin A.BIN; do
  msg=$(cd "$work" && "$bin" -koduj a.bin "$out") && fail "-koduj a.bin $out succeeded"
  [ "$msg" = "Plik wynikowy jest plikiem zrodlowym: $out" ] || fail "-koduj a.bin $out said: $msg"
  cmp -s "$work/a.bin" "$work/c.bin" || fail "-koduj a.bin $out changed its input"
done

run_bad() {  # $1: expected message; the script on stdin
  make_script
  start_install
  wait_for "$1"
  tmux send-keys -t "$session" Enter
  wait_for "EXIT=1"
}

printf '[copy]\n[pliki]\n' | run_bad "Blad w okresleniu pliku zrodlowego:"
printf '[koniec]\nok={|| 1 + }\n' | run_bad "Blad: \[koniec\], linia 2 skryptu update.dat"
printf '[copy]\nNIE_MA.TXT|NIE_MA.TXT\n' | run_bad "NIE_MA.TXT"

# No update.dat at all: nothing is asked, nothing stamped.
rm -f "$work/upd/update.dat" "$work/zef/exe/z_n_a_c_z.nik"
start_install
wait_for "Brak pliku update.dat !"
tmux send-keys -t "$session" Enter
wait_for "EXIT=1"
[ -f "$work/zef/exe/z_n_a_c_z.nik" ] && fail "stamped without a script"
echo "ok"
