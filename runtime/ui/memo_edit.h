// The memo editor (MEMOEDIT): a text edited in a screen rectangle, its paragraphs wrapped at word
// boundaries to the width of the window and scrolled up and down.
//
// The text is kept as paragraphs (the lines between hard returns); wrapping is only a way of
// showing them, so the text given back carries no soft returns: the byte 141 that marked them in
// the classic runtime is a letter of code page 852 (a Polish Ź), and writing it into the text
// would change what the user typed. Paragraphs come back joined by CR LF.
//
// Keys: arrows, Home/End (row), PgUp/PgDn, Ctrl+PgUp/Ctrl+PgDn and Ctrl+Home (start and end of
// the text), Enter (new paragraph), Backspace, Del, Ctrl+Y (the row), Ctrl+T (word), Tab, Ins
// (insert mode, shared with the form reader). Ctrl+W keeps the edited text; Esc gives back the
// text as it was, after "Abort Edit? (Y/N)" on the top line when something was changed (and SET
// SCOREBOARD is on, as it is by default).
#pragma once

#include <string>
#include <vector>

namespace rt::ui {

struct MemoEditOptions {
  bool editable = true;   // false: a viewer, the text comes back unchanged
  int lineLength = 0;     // wrap width; 0: the window's width
  int tabSize = 4;
  bool confirmAbort = true;  // the question is asked only while SET SCOREBOARD is on
};

struct MemoEditResult {
  std::string text;
  bool saved = false;     // ended with Ctrl+W
};

MemoEditResult memoEdit(const std::string& text, int top, int left, int bottom, int right,
                        const MemoEditOptions& options = {});

// The rows a paragraph shows as at `width`: each {start, length}; an empty paragraph is one empty
// row, and a paragraph whose last row is full gets an empty row for the cursor after its end.
struct WrappedRow {
  size_t start = 0, length = 0;
};
std::vector<WrappedRow> wrapParagraph(const std::string& paragraph, int width);

}  // namespace rt::ui
