// The edit buffer of one form field: its picture, the text being typed and the cursor in it.
//
// A picture is an optional function part ("@" and letters, ended by a blank) and a template. The
// template fixes the buffer's length and which positions the user may type in: 9 # A N X L Y !
// are editable, anything else is a literal that the cursor steps over (the point of a number, the
// blanks of "99 999 999 999.99", the points of a date). Without a template the buffer takes the
// shape of the value: its length for a text, the width and decimals of a number, the date format
// for a date.
//
// Invariants: buffer().size() == the template's length; the cursor always sits on an editable
// position, or one past the last one after the user typed out of the field (typedOut()).
#pragma once

#include <string>
#include <string_view>

#include "runtime/core/value.h"

namespace rt::ui {

// The function part of a picture.
struct PictureFunctions {
  bool upper = false;      // @!  every typed letter upper case
  int scrollWidth = 0;     // @Sn the field shows n columns and scrolls (0: no scrolling)
  bool date = false;       // @D  a date shape for a text
  bool clearOnType = false;  // @K first typed character clears the field
  std::string letters;     // the function part as written, without "@" (for display)
};

struct Picture {
  PictureFunctions functions;
  std::string templ;   // as written; empty when the picture has none
  std::string source;  // the whole picture text
  static Picture parse(std::string_view picture);
};

class GetBuffer {
 public:
  // Builds the template for `value` (its type is the field's type) and fills the buffer from it.
  GetBuffer(const Value& value, std::string_view picture);

  char type() const { return type_; }  // C N D L
  const std::string& buffer() const { return buffer_; }
  const std::string& mask() const { return mask_; }
  const Picture& picture() const { return picture_; }
  int pos() const { return pos_; }
  bool changed() const { return changed_; }
  bool typedOut() const { return typedOut_; }
  // The display width: the scroll width of @S, else the buffer length.
  int displayWidth() const;
  // The part of the buffer the field shows, and the cursor's column inside it.
  std::string displayText() const;
  int displayCursor() const;

  // Replaces the buffer with the text of `value`, cursor home, unchanged.
  void load(const Value& value);
  // The value the buffer stands for. `original` supplies the tail of a text longer than the
  // template and the width of a number. For a date that does not exist, `valid` is set false.
  Value value(const Value& original, bool* valid = nullptr) const;

  // --- editing; each returns false when the key had nothing to do -------------------------------
  // Typing one byte, inserting or overwriting; refused when the position does not take it.
  bool type(unsigned char c, bool insert);
  bool left();
  bool right();
  bool home();
  bool end();
  bool wordLeft();
  bool wordRight();
  bool del();         // the character under the cursor; the run closes up
  bool backspace();   // the character before the cursor
  bool deleteToEnd(); // Ctrl+Y: blanks from the cursor to the end
  bool deleteWord();  // Ctrl+T: the word right of the cursor
  // The point or comma of a number: integer part right-aligned, cursor to the first decimal.
  bool toDecimals();
  // Blanks every editable position and puts the cursor home (the first key of a number or @K).
  void clear();
  // Marks the buffer unchanged (after its value was stored).
  void setUnchanged() { changed_ = false; }

  bool isEditable(int position) const;
  // Whether `c` may stand at `position` (after the picture's case change).
  bool accepts(int position, unsigned char c) const;
  unsigned char adjust(int position, unsigned char c) const;

 private:
  void buildMask(const Value& value);
  std::string format(const Value& value) const;
  int firstEditable() const;
  int lastEditable() const;
  int nextEditable(int from) const;  // first editable > from, or -1
  int prevEditable(int from) const;  // last editable < from, or -1
  int runEnd(int position) const;    // last position of the editable run holding `position`
  void follow() const;               // keeps the cursor inside the @S window

  Picture picture_;
  char type_ = 'C';
  std::string mask_;
  std::string buffer_;
  int pos_ = 0;
  bool changed_ = false;
  bool typedOut_ = false;
  int decimals_ = 0;
  mutable int offset_ = 0;  // first buffer position the @S window shows
};

}  // namespace rt::ui
