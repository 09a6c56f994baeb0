// The primitives a display back end implements: the real terminal and the headless one.
//
// The screen (screen.h) owns the cells and decides what changed; a back end only puts runs of
// cells at a place, shows the cursor, flushes, and hands over keys by the runtime's key codes
// (keys.h). Time is the back end's too, so the headless one can run a clock of its own.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/term/color.h"

namespace rt::term {

struct Cell {
  uint8_t ch = ' ';  // code page 852
  Attr attr = makeAttr(7, 0);
  bool operator==(const Cell&) const = default;
};

// SETCURSOR shapes.
enum class CursorShape { None = 0, Normal = 1, Insert = 2, Full = 3, Upper = 4 };

class Backend {
 public:
  virtual ~Backend() = default;

  // Draws `count` cells starting at (row, col); the run never leaves the line.
  virtual void writeRun(int row, int col, const Cell* cells, int count) = 0;
  virtual void showCursor(int row, int col, CursorShape shape) = 0;
  // Makes everything written so far visible.
  virtual void flush() = 0;
  // The next key the user typed, waiting up to `timeoutSeconds` (negative: without limit);
  // nothing when none came in time.
  virtual std::optional<int> readKey(double timeoutSeconds) = 0;
  // Seconds on this back end's clock (any origin; only differences count).
  virtual double now() = 0;
  // Colour or monochrome display chosen (ISCOLOR): the back end may map attributes accordingly.
  virtual void setColorMode(bool /*isColor*/) {}
  virtual void beep() {}
};

}  // namespace rt::term
