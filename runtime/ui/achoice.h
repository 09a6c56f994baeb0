// The list choice (ACHOICE): a column of texts in a screen rectangle, one highlighted, chosen
// with Enter; items may be marked not selectable (shown in the unselected colour, skipped).
//
// Without a handler: arrows, PgUp/PgDn, Home/End move; a letter goes to the next item that
// starts with it; Enter chooses; Esc, Left and Right leave with 0.
// With a handler, called by name as (mode, item, row in the window):
//   mode 0 idle (after a movement key), 1 top hit, 2 bottom hit, 3 exception (a key the list
//   does not move by, Enter and Esc included), 4 no selectable item;
//   answer 0 leave with 0, 1 choose the current item, 2 go on, 3 go to the next item starting
//   with the last key's letter.
// The handler is not called before the first key, so a key left over from an earlier list does
// not act again. Items are read again at every drawing: a handler may change their texts.
// The result is the chosen item's number (1-based) or 0; the cursor is left on its row.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace rt::ui {

enum AChoiceMode { kAcIdle = 0, kAcHitTop = 1, kAcHitBottom = 2, kAcException = 3, kAcNoItem = 4 };
enum AChoiceAnswer { kAcAbort = 0, kAcSelect = 1, kAcContinue = 2, kAcGoto = 3 };

struct ChoiceItems {
  std::function<size_t()> count;
  std::function<std::string(size_t)> text;        // 0-based
  std::function<bool(size_t)> selectable;         // empty: every item
  static ChoiceItems of(const std::vector<std::string>& texts);
};

// mode, item (1-based), row in the window (0-based) -> answer.
using AChoiceHandler = std::function<int(int mode, int item, int row)>;

int achoice(int top, int left, int bottom, int right, const ChoiceItems& items,
            const AChoiceHandler& handler = {}, int initialItem = 1, int initialRow = 0);

}  // namespace rt::ui
