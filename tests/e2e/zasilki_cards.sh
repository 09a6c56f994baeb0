#!/usr/bin/env bash
# End to end: the benefit cards of every employee of a fresh demo company, with full headers, over
# the last two years, printed to the text file. The access check of the demo refuses employee 3
# (ZEF_ODMOWA), whose card is left out. The message names the file written; in the file every
# line of a card's frame is as wide as the frame (129 for the header, 171 for the table) and every
# page begins with its title and a whole card and ends with a card's bottom line.
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_cards.sh BUILD_DIR}" && pwd)
name=zasilki_cards
source "$(dirname "$0")/zasilki_session.inc"
keys() { tm send-keys -t "$session" "$@"; sleep 0.2; }
command -v python3 >/dev/null || fail "python3 is needed to read the print"

export ZEF_ODMOWA=3
start_demo

wait_for "Rejestr zasiłków"
keys Right Right
wait_for "Karty zasiłkowe"
keys Enter
wait_for "Czy drukować pełne nagłówki ?"
keys Left Enter                    # full headers
wait_for "Data kończąca zasiłek"
keys Enter                         # by end date
wait_for "Miesiąc"
keys End Enter                     # from the earliest month offered
wait_for "Do miesiąca"
keys Home Enter                    # to the payroll month
wait_for "Plik tekstowy"
keys Down Enter                    # to the file
wait_for "Wydruk zapisano w pliku"
screen | grep -qF "$work/demo/WYDRUKI/wydruk.txt" || fail "the message does not name the file"
keys Enter
wait_for "Karty zasiłkowe"
leave_program
wait_for "EXIT=0"

printed="$work/demo/WYDRUKI/wydruk.txt"
[ -f "$printed" ] || fail "no print file"
result=$(python3 - "$printed" <<'PY'
import sys
text = open(sys.argv[1], encoding="utf-8").read()
pages = text.split("\f")
problems, cards = [], 0
for n, page in enumerate(pages, 1):
    lines = page.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    if len(lines) > 64:
        problems.append("page %d has %d lines" % (n, len(lines)))
    if len(lines) < 3 or not lines[0].startswith("str ") or not lines[2].startswith("\u250c"):
        problems.append("page %d does not begin with its title and a card's top" % n)
    if not lines or not lines[-1].startswith("\u2514"):
        problems.append("page %d does not end with a card's bottom line" % n)
    width = None
    for line in lines[2:]:
        if line.startswith("\u250c"):      # a card's header frame
            width, cards = 129, cards + 1
        elif line.startswith("\u251c"):    # the table's frame
            width = 171
        elif not line.startswith(("\u2502", "\u2514")):
            continue
        if len(line) != width:
            problems.append("page %d: %d characters in a frame of %d: %s" % (n, len(line), width, line))
        if line.startswith("\u2514"):
            width = None
if cards == 0:
    problems.append("no card printed")
if "Wiśniewski" in text:
    problems.append("the refused employee's card was printed")
print("\n".join(problems) if problems else "ok %d cards on %d pages" % (cards, len(pages)))
PY
)
case "$result" in
  ok*) echo "$result" ;;
  *) fail "$result" ;;
esac
[ "$(echo "$result" | awk '{print $5}')" -ge 2 ] || fail "the cards fit one page, no page break was tried: $result"
echo "ok"
