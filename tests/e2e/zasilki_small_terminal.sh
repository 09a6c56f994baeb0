#!/usr/bin/env bash
# End to end: a terminal smaller than 80x25. At the start the program says in Polish what the
# terminal has and what it needs, and ends with status 1; made smaller while running, it shows
# that message, acts on no key meanwhile, and goes on as it was when the terminal is large again.
# Argument 1: the build directory.
set -euo pipefail
build=$(cd "${1:?usage: zasilki_small_terminal.sh BUILD_DIR}" && pwd)
name=zasilki_small_terminal
source "$(dirname "$0")/zasilki_session.inc"

# The message printed at the start is longer than a line: read it with wrapped lines joined.
joined() { tm capture-pane -p -J -t "$session"; }

tm -u new-session -d -s "$session" -x 80 -y 24 \
  "cd '$work' && TERM=xterm-256color LANG=C.UTF-8 '$bin' --demo demo; echo \"EXIT=\$?\"; sleep 60"
wait_for "EXIT="
joined | grep -qF "zasilki: Okno terminala ma 80 kolumn i 24 wiersze; program wymaga co najmniej 80 kolumn i 25 wierszy." ||
  fail "no Polish message about the terminal's size"
joined | grep -qF "Błąd programu" && fail "the size message came with a bare error heading"
wait_for "EXIT=1"
tm kill-session -t "$session"
session="${name}_running_$$"

# Running: smaller, a key, larger again. The key did not move the menu's selection.
start_demo
wait_for "Rejestr zasiłków"
tm resize-window -t "$session" -x 80 -y 24
wait_for "Okno terminala ma 80 kolumn i 24 wiersze; program wymaga co najmniej 80 kolumn i"
tty=$(tm display -p -t "$session" '#{pane_tty}')
keys Down
# tmux has written the key once a later command of its has been answered; the program has read
# it when the terminal's input queue is empty again.
tm display -p -t "$session" '#{pane_id}' >/dev/null
/usr/bin/python3 - "$tty" <<'PY' || fail "the program did not read the key"
import array, fcntl, os, sys, termios, time
fd = os.open(sys.argv[1], os.O_RDONLY | os.O_NOCTTY | os.O_NONBLOCK)
for _ in range(300):
    waiting = array.array("i", [0])
    fcntl.ioctl(fd, termios.FIONREAD, waiting)
    if waiting[0] == 0:
        sys.exit(0)
    time.sleep(0.1)
sys.exit(1)
PY
tm resize-window -t "$session" -x 80 -y 25
wait_for "Rejestr zasiłków"
screen | grep -qF "Obliczanie zasiłków za wybrany miesiąc" && fail "a key pressed while the screen was hidden was acted on"
keys Enter
wait_for "Wybierz pracownika"
echo "ok"
