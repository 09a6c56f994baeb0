// The table browse with a key handler (DBEDIT): a Browse driven by the keys it knows, and a user
// function called after each key with a mode and the current column.
//
// Modes handed to the user function:
//   0 idle       -- after the browse handled a movement key itself (and once at the start);
//   1 hit top    -- a movement key tried to go above the first row;
//   2 hit bottom -- a movement key tried to go below the last row;
//   3 empty      -- nothing to show (at the start and after a redraw);
//   4 exception  -- a key the browse does not handle itself; every key when nothing is shown.
// It answers 0 (leave the browse), 1 (go on) or 2 (read the rows again and redraw). When the
// user function moved the source and answered 1, the browse follows the source.
//
// Ctrl+W is Ctrl+End to the browse (last column): it reports idle, and a user function that
// wants Ctrl+W to end the browse answers 0 to mode 0 when LASTKEY() is 23. Without a user
// function Esc and Enter end the browse.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runtime/ui/browse.h"

namespace rt::ui {

enum DbEditMode { kDeIdle = 0, kDeHitTop = 1, kDeHitBottom = 2, kDeEmpty = 3, kDeException = 4 };
enum DbEditAnswer { kDeAbort = 0, kDeContinue = 1, kDeRefresh = 2 };

// mode, current column (1-based) -> answer.
using DbEditHandler = std::function<int(int mode, int column)>;

// Runs the browse until the handler (or, without one, Esc or Enter) ends it.
void dbEdit(Browse& browse, const DbEditHandler& handler);

// The by-name form: the columns are expression texts evaluated with the browsed work area
// selected, pictures and headings parallel arrays (missing elements: none and the expression
// text), the user function a name called with (mode, column).
struct DbEditSpec {
  int top = 0, left = 0, bottom = 24, right = 79;
  std::vector<std::string> columns;
  std::vector<std::string> pictures;
  std::vector<std::string> headings;
  std::string userFunction;
  std::optional<std::string> headSep;  // none: the browse's default; "": no separator line
  std::optional<std::string> colSep;
  // Runs a column's reading (e.g. with the browsed table selected); empty: as it is.
  std::function<Value(const std::function<Value()>&)> evaluate;
};

// Browses `source` with columns compiled from their expression texts.
void dbEdit(const DbEditSpec& view, BrowseSource& source);
// Browses the selected work area (rt::Error NoAlias when none is open there); its columns are
// read with that area selected, whatever the user function selects meanwhile. No columns: every
// field of the table.
void dbEditSelected(DbEditSpec view);

}  // namespace rt::ui
