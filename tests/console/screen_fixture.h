// A headless screen with a fresh palette for the console library's screen tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "console/palette.h"
#include "console/register.h"
#include "runtime/term/glyphs.h"
#include "runtime/term/headless.h"
#include "runtime/term/terminal.h"
#include "runtime/term/testing/screen_check.h"

namespace contest {

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    con::resetPaletteState();
    con::registerConsoleFunctions();
  }
  void TearDown() override { con::resetPaletteState(); }

  // Chooses a palette, as the programs do at start-up.
  void palette(const char* name = "KOLOR0", bool colour = true) {
    rt::term::screen().setIsColor(colour);
    con::K_ZMIEN_PALETE(std::string(name));
  }
  rt::term::Attr attr(int set, int element) {
    return rt::term::firstPairAttr(con::pairString(set, element), 0);
  }
  std::string picture() { return rt::term::testing::picture(h); }
  // What a span of one row shows, in UTF-8 (box characters as they look).
  std::string shown(int row, int col, int width) {
    return rt::term::glyphsToUtf8(h.textAt(row, col, width));
  }

  rt::term::Headless h;
};

}  // namespace contest
