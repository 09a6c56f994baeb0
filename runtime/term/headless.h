// The headless back end: scripted keys, a clock of its own and the screen read back as text.
//
// Making one resets the runtime's screen and keyboard and installs it; destroying it puts the
// previous back end back. Scripted keys are handed out one by one; pause(s) makes the next key
// come s seconds later on the clock, so INKEY(n) can be seen to time out. A wait without limit
// when the script has run out throws KeysExhausted instead of hanging the test.
//
//   rt::term::Headless h;
//   h.keys({K_DOWN, K_ENTER});
//   ... run the screen ...
//   EXPECT_EQ(h.line(3), "...");
#pragma once

#include <deque>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/term/backend.h"
#include "runtime/term/keys.h"

namespace rt::term {

struct KeysExhausted : std::runtime_error {
  KeysExhausted() : std::runtime_error("headless screen: waited for a key but the script ran out") {}
};

class Headless : public Backend {
 public:
  Headless();
  ~Headless() override;
  Headless(const Headless&) = delete;
  Headless& operator=(const Headless&) = delete;

  // --- script -----------------------------------------------------------------------------------
  void keys(std::initializer_list<int> codes);
  void keys(const std::vector<int>& codes);
  // Each byte of `text` as a key (code page 852 bytes).
  void type(std::string_view text);
  // Each character of UTF-8 `text` as the code page 852 key that types it ("ą" is 0xA5).
  void typeUtf8(std::string_view text);
  // The next scripted key arrives `seconds` later on the clock.
  void pause(double seconds);
  size_t keysLeft() const;

  // --- clock ------------------------------------------------------------------------------------
  void advance(double seconds) { clock_ += seconds; }

  // --- what the user sees -----------------------------------------------------------------------
  // Row texts, 80 bytes each, code page 852 as drawn.
  std::vector<std::string> lines() const;
  std::string line(int row) const;
  // The 25 lines joined by '\n', trailing blanks of each line removed.
  std::string text() const;
  Cell cellAt(int row, int col) const { return shown_[row][col]; }
  Attr attrAt(int row, int col) const { return shown_[row][col].attr; }
  // One row, or the whole screen, in UTF-8 with trailing blanks removed (for expectations with
  // Polish letters and box characters).
  std::string lineUtf8(int row) const;
  std::string textUtf8() const;
  // The text of a span of one row.
  std::string textAt(int row, int col, int width) const;
  int cursorRow() const { return curRow_; }
  int cursorCol() const { return curCol_; }
  CursorShape cursorShape() const { return shape_; }
  bool colorMode() const { return colorMode_; }
  // How many times output was flushed, and how many cells were drawn in all.
  int flushes() const { return flushes_; }
  long cellsDrawn() const { return cellsDrawn_; }
  int beeps() const { return beeps_; }

  // --- Backend ----------------------------------------------------------------------------------
  void writeRun(int row, int col, const Cell* cells, int count) override;
  void showCursor(int row, int col, CursorShape shape) override;
  void flush() override { ++flushes_; }
  std::optional<int> readKey(double timeoutSeconds) override;
  double now() override { return clock_; }
  void setColorMode(bool isColor) override { colorMode_ = isColor; }
  void beep() override { ++beeps_; }

 private:
  struct Scripted {
    int key;
    double delay;  // seconds to wait before it arrives
  };
  std::deque<Scripted> script_;
  double pendingDelay_ = 0;
  double clock_ = 1000.0;
  Cell shown_[25][80];
  int curRow_ = 0, curCol_ = 0;
  CursorShape shape_ = CursorShape::Normal;
  bool colorMode_ = true;
  int flushes_ = 0;
  long cellsDrawn_ = 0;
  int beeps_ = 0;
  Backend* previous_ = nullptr;
};

}  // namespace rt::term
