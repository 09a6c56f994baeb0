#!/usr/bin/env bash
# End-to-end: the form reader, list choice, browse and memo editor on a real terminal in tmux.
# Types keys, reads the screen back and checks what each step stored and showed.
# Argument 1: the build directory.
set -euo pipefail

build=${1:?usage: ui_demo.sh BUILD_DIR}
demo=$(cd "$build" && pwd)/tests/runtime/ui/ui_demo
sock=ui-demo-$$
source "$(dirname "$0")/../../../e2e/tmux_demo.inc"

keys() { tm send-keys -t demo "$@"; }
text() { tm send-keys -t demo -l "$1"; }

tm -u new-session -d -s demo -x 80 -y 25 \
  "env LANG=C.UTF-8 LC_ALL=C.UTF-8 '$demo'; echo demo-exit=\$?; sleep 60"
wait_for demo "UI demo"
wait_for demo "Amount:"

# The form: 0 is refused by the check, then an amount with a point, a name typed in lower case,
# and a date that fills its field and ends the form.
text 0; keys Enter
keys Home C-y; text 1234.5; keys Enter
text kowalski; keys Enter
text 15032024
wait_for demo "Form: 1234.50 KOWALSKI   15.03.2024, last key 52"
wait_for demo "1 234.50"

# The list: March cannot be chosen, so two steps down reach April.
keys Down Down Enter
wait_for demo "List: Kwiecien"

# The browse: down past the last row, then Enter picks the row under the cursor.
keys Down Down Down Down Down Down
wait_for demo "Browse: bottom reached"
wait_for demo "Fryda   │    60.00"
keys Enter
wait_for demo "Browse: Fryda"

# The note: text added at the end of the row and kept with Ctrl+W.
keys End; text " nowa"; keys C-w
wait_for demo "Note kept: Notatka nowa"
keys q
wait_for demo "demo-exit=0"
wait_for demo "ui demo ended"

echo "ui demo: OK"
