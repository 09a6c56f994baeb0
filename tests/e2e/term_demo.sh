#!/usr/bin/env bash
# End-to-end: the terminal demo on a real terminal in tmux. Types keys, reads the screen back and
# checks the frame, the Polish letters, the key codes, the hot-key window and its closing, the
# print viewer, the exit by Esc, and the message for a terminal smaller than 80 x 25.
# Argument 1: the build directory.
set -euo pipefail

build=${1:?usage: term_demo.sh BUILD_DIR}
demo=$(cd "$build" && pwd)/tests/runtime/term/term_demo
sock=term-demo-$$
source "$(dirname "$0")/tmux_demo.inc"

# Waits until the status line shows exactly this key count and code.
wait_for_key() {
  local pane=$1 step=$2 code=$3
  for _ in $(seq 1 100); do
    if screen_text "$pane" | grep -qE -- "^ Key $step: $code *\$"; then return 0; fi
    sleep 0.1
  done
  echo "FAIL: key $step should read $code; the status line was:"
  screen_text "$pane" | tail -n 1
  exit 1
}

expect_absent() {
  if screen_text "$1" | grep -qF -- "$2"; then
    echo "FAIL: \"$2\" is still on the screen:"; screen_text "$1"; exit 1
  fi
}

start() {  # name width height
  tm -u new-session -d -s "$1" -x "$2" -y "$3" \
    "env LANG=C.UTF-8 LC_ALL=C.UTF-8 '$demo'; echo demo-exit=\$?; sleep 60"
}

start demo 80 25
wait_for demo "Terminal demo"
wait_for demo "Zażółć gęślą jaźń"
wait_for demo "╔═════"
screen_text demo | sed -n 9p | grep -qF "╚══" || { echo "FAIL: frame bottom not on row 8"; screen_text demo; exit 1; }

step=0
press() {  # key expected-code
  step=$((step + 1))
  tm send-keys -t demo "$1"
  wait_for_key demo "$step" "$2"
}
press Up 5
press Down 24
press Home 1
press NPage 3
press F1 28
press F5 -4
press F10 -9
press S-F1 -10
press C-F9 -28
press M-F1 -30
press C-w 23
press BTab 271
press IC 22
press DC 7
press C-Left 26
press M-x 301
press Enter 13
press q 113

# The hot key opens a window over the screen and closing it puts back what was under it.
tm send-keys -t demo F2
wait_for demo "Hot key in DEMO line 1"
tm send-keys -t demo z
for _ in $(seq 1 50); do
  screen_text demo | grep -qF "Hot key in" || break
  sleep 0.1
done
expect_absent demo "Hot key in"
wait_for demo "Keys: arrows, F-keys"

# A two-page print in the viewer: titles on each page, a page rule, scrolling down and sideways
# to the end of the 171-column lines, and back to the screen beneath.
tm send-keys -t demo p
wait_for demo "str. 1       Karta zasiłku"
wait_for demo "─── 2 ───"
wait_for demo "str. 1/2  wiersze 1-23/25"
tm send-keys -t demo NPage End C-Right C-Right C-Right
wait_for demo "wiersze 3-25/25  kol. 92"
wait_for demo "koniec 20│"
tm send-keys -t demo Escape
wait_for demo "Keys: arrows, F-keys"
expect_absent demo "Demo print"

# Shrinking the terminal below 80 x 25 shows the message; growing it back redraws the screen.
tm resize-window -t demo -x 70 -y 20
wait_for demo "Okno terminala ma 70 kolumn i 20 wierszy"
tm resize-window -t demo -x 80 -y 25
wait_for demo "Zażółć gęślą jaźń"
expect_absent demo "Okno terminala ma"

tm send-keys -t demo Escape
wait_for demo "demo-exit=0"
wait_for demo "term demo ended"

# A terminal too small for the screen gets a message and a failing exit code.
start small 70 20
wait_for small "Okno terminala ma 70 kolumn i 20 wierszy"
wait_for small "demo-exit=2"

# A termination signal gives the terminal back (the demo's screen disappears with it).
pidfile=$(mktemp)
tm -u new-session -d -s sig -x 80 -y 25 \
  "env LANG=C.UTF-8 LC_ALL=C.UTF-8 sh -c 'echo \$\$ > $pidfile; exec \"$demo\"'; echo demo-exit=\$?; sleep 60"
wait_for sig "Terminal demo"
kill -TERM "$(cat "$pidfile")"
wait_for sig "demo-exit=143"
expect_absent sig "Terminal demo"
rm -f "$pidfile"

echo "term demo: OK"
