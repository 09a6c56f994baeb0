// A form field (GET): a place on the screen, a variable reached through a getter and a setter, a
// picture, and the optional entry condition (WHEN) and check (VALID) the form reader calls.
//
// The field is shown in the colours that were current when it was made: the unselected colour
// while the reader is elsewhere, the enhanced colour while the user edits it. While focused it
// owns an edit buffer (GetBuffer); the variable changes only when the reader assigns the buffer,
// on leaving the field or before a hot key runs.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/value.h"
#include "runtime/term/color.h"
#include "runtime/ui/get_buffer.h"

namespace rt::ui {

using ValueGetter = std::function<Value()>;
using ValueSetter = std::function<void(const Value&)>;
using Condition = std::function<bool()>;

class Get {
 public:
  Get(int row, int col, std::string name, ValueGetter getter, ValueSetter setter,
      std::string picture = {});

  // A field on a memory variable, read and assigned by name.
  static std::shared_ptr<Get> onMemvar(int row, int col, std::string name,
                                       std::string picture = {});
  // A field on a field of a work area ("name" of the selected one, or "alias->name") through the
  // runtime's field resolver.
  static std::shared_ptr<Get> onField(int row, int col, std::string name,
                                      std::string picture = {});

  int row() const { return row_; }
  int col() const { return col_; }
  // The variable's name as written (READVAR gives it upper case).
  const std::string& name() const { return name_; }
  const std::string& picture() const { return picture_; }

  Condition when;   // empty: always entered
  Condition valid;  // empty: always accepted
  std::string validText, whenText;  // the expression texts when built by name (for display)

  Value varGet() const { return getter_(); }
  void varPut(const Value& v) { setter_(v); }

  // Colours: unselected while not edited, enhanced while edited.
  term::Attr unselectedAttr = term::makeAttr(0, 7);
  term::Attr enhancedAttr = term::makeAttr(0, 7);

  // --- editing state (while the reader has the field) ------------------------------------------
  bool hasFocus() const { return edit_.has_value(); }
  void setFocus();
  void killFocus() { edit_.reset(); }
  GetBuffer& buffer() { return *edit_; }
  const GetBuffer& buffer() const { return *edit_; }
  // The value the field had when it took the focus (Esc and Ctrl+U give it back).
  const Value& original() const { return original_; }
  // Stores the buffer into the variable when it changed; false for a date that does not exist.
  // `stored` tells whether anything was written.
  bool assign(bool* stored = nullptr);
  // Reloads the buffer from the variable (after a check or hot key changed it).
  void updateBuffer();
  // Esc: the variable gets back the value it had when the field took the focus when the reader
  // stored the typed text meanwhile (before a hot key) and nothing else changed it since.
  void undo();
  // The first typed key clears the field (numbers and @K) until the cursor moves.
  bool clearPending = false;

  // Draws the field; focused in the enhanced colour with the buffer, else its current value.
  void display() const;
  // The screen column of the cursor while focused.
  int cursorCol() const;

 private:
  int row_, col_;
  std::string name_;
  ValueGetter getter_;
  ValueSetter setter_;
  std::string picture_;
  std::optional<GetBuffer> edit_;
  Value original_;
  bool storedSinceFocus_ = false;
  Value lastStored_;
};

using GetPtr = std::shared_ptr<Get>;
using GetList = std::vector<GetPtr>;

}  // namespace rt::ui
