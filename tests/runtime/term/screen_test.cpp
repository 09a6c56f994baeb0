// Screen output, boxes, saved rectangles, scrolling and buffered output, read back headless.
#include <gtest/gtest.h>

#include "runtime/term/headless.h"
#include "runtime/term/terminal.h"

namespace rt::term {
namespace {

TEST(Screen, SayWritesTextInColourAndMovesCursor) {
  Headless h;
  screen().say(2, 5, "Hello", makeAttr(15, 1));
  EXPECT_EQ(h.textAt(2, 5, 5), "Hello");
  EXPECT_EQ(h.attrAt(2, 5), makeAttr(15, 1));
  EXPECT_EQ(screen().row(), 2);
  EXPECT_EQ(screen().col(), 10);
  EXPECT_EQ(h.cursorRow(), 2);
  EXPECT_EQ(h.cursorCol(), 10);
}

}  // namespace
}  // namespace rt::term
