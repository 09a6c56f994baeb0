// The screen: 25 x 80 cells of a code page 852 byte and an attribute, owned by the runtime.
//
// All output goes into the cells; refresh() compares them with what was last handed to the back
// end and passes on only the changed span of each touched line. Every operation refreshes when
// done, except inside DISPBEGIN/DISPEND, which nest through a counter: the outermost DISPEND
// draws the whole burst once. Coordinates outside the screen are clipped, never an error.
//
// The cursor is also the device position of DEVPOS/DEVOUT and @ SAY: ROW() and COL() read it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "runtime/term/backend.h"
#include "runtime/term/color.h"

namespace rt::term {

inline constexpr int kScreenRows = 25;
inline constexpr int kScreenCols = 80;

// Frame strings of DISPBOX in code page 852: top-left, top, top-right, right, bottom-right,
// bottom, bottom-left, left.
inline constexpr const char* kSingleFrame = "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3";
inline constexpr const char* kDoubleFrame = "\xC9\xCD\xBB\xBA\xBC\xCD\xC8\xBA";

class Screen {
 public:
  Screen();

  static constexpr int maxRow() { return kScreenRows - 1; }
  static constexpr int maxCol() { return kScreenCols - 1; }

  // The back end that refresh() draws on (none: drawing is kept only in the cells).
  void attach(Backend* backend);
  Backend* backend() const { return backend_; }
  // Back to the start state: blank cells, default colours, cursor at 0,0, no DISPBEGIN open.
  void reset();

  Cell cell(int row, int col) const;  // a blank cell outside the screen
  // The characters of one row (80 bytes, code page 852).
  std::string rowText(int row) const;

  // --- output -----------------------------------------------------------------------------------
  // Writes text at a place without moving the cursor; what falls outside the screen is dropped.
  void put(int row, int col, std::string_view text, Attr attr);
  // @ SAY / DEVPOS+DEVOUT / DISPOUTAT: writes and leaves the cursor after the text.
  void say(int row, int col, std::string_view text, Attr attr);
  // DISPOUT / DEVOUT: writes at the cursor and moves it on.
  void out(std::string_view text, Attr attr);
  // Fills a rectangle with one character.
  void fill(int top, int left, int bottom, int right, uint8_t ch, Attr attr);
  // DISPBOX: an 8-character frame, an optional 9th character fills the inside. A frame shorter
  // than 8 characters is padded with blanks. The cursor ends inside the top-left corner.
  void box(int top, int left, int bottom, int right, std::string_view frame, Attr attr);
  // SCROLL: up by `vert` rows (down when negative), left by `horiz` columns (right when negative);
  // uncovered cells are blank in `attr`. Both zero clears the rectangle.
  void scroll(int top, int left, int bottom, int right, int vert, int horiz, Attr attr);
  // CLS: the whole screen blank in the standard colour, cursor at 0,0.
  void clear();
  // @ top, left CLEAR TO bottom, right: the rectangle blank in the standard colour, cursor at its
  // top-left corner.
  void clearArea(int top, int left, int bottom, int right);
  // Gives the cells of a rectangle another attribute, keeping their characters (shadows).
  void recolor(int top, int left, int bottom, int right, Attr attr);

  // --- saved rectangles (SAVESCREEN / RESTSCREEN) ---------------------------------------------
  // Two bytes per cell, character then attribute, rows top to bottom. Cells beyond the edge are
  // saved as a blank in the default attribute and skipped on restore, so a saved window restores
  // exactly what was on the screen whatever its coordinates. A short string restores what it has.
  std::string save(int top, int left, int bottom, int right) const;
  void restore(int top, int left, int bottom, int right, std::string_view saved);

  // --- cursor -----------------------------------------------------------------------------------
  void setCursor(int row, int col);  // SETPOS / DEVPOS: kept even off the screen, as ROW/COL read
  int row() const { return curRow_; }
  int col() const { return curCol_; }
  CursorShape cursorShape() const { return shape_; }
  void setCursorShape(CursorShape shape);

  // --- colours ----------------------------------------------------------------------------------
  const Colors& colors() const { return colors_; }
  void setColors(const Colors& c) { colors_ = c; }
  std::string colorString() const;
  // SETCOLOR: applies a colour string and returns the previous one.
  std::string setColorString(std::string_view colorString);
  bool isColor() const { return isColor_; }
  void setIsColor(bool on);
  // SETBLINK: the flag only; blinking is always shown as a bright background.
  bool blink() const { return blink_; }
  void setBlink(bool on) { blink_ = on; }

  // --- buffered output --------------------------------------------------------------------------
  void dispBegin() { ++dispCount_; }
  void dispEnd();
  int dispCount() const { return dispCount_; }

  // Draws what changed since the last refresh (unless DISPBEGIN is open).
  void refresh();
  // Forgets what was drawn, so the next refresh draws every cell (a redraw request).
  void invalidate();

 private:
  bool inside(int row, int col) const {
    return row >= 0 && row < kScreenRows && col >= 0 && col < kScreenCols;
  }
  void setCell(int row, int col, Cell c);
  void done() { if (dispCount_ == 0) refresh(); }

  using Grid = std::array<std::array<Cell, kScreenCols>, kScreenRows>;
  Grid cells_{};
  Grid drawn_{};
  std::array<bool, kScreenRows> touched_{};
  bool drawnValid_ = false;
  int drawnCurRow_ = -1, drawnCurCol_ = -1;
  CursorShape drawnShape_ = CursorShape::None;
  Backend* backend_ = nullptr;
  int curRow_ = 0, curCol_ = 0;
  CursorShape shape_ = CursorShape::Normal;
  Colors colors_{};
  bool isColor_ = true;
  bool blink_ = true;
  int dispCount_ = 0;
};

}  // namespace rt::term
