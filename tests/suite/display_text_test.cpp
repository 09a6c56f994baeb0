// Stored text and display form: every Polish letter both ways, other bytes untouched.
#include <gtest/gtest.h>

#include "suite/forms/display_text.h"

namespace {

TEST(DisplayText, EveryPolishLetterBothWays) {
  const struct {
    const char* stored;
    const char* display;  // code page 852
  } cases[] = {
      {"a`c`e`l`n`o`s`z`x`", "\xA5\x86\xA9\x88\xE4\xA2\x98\xAB\xBE"},
      {"A`C`E`L`N`O`S`Z`X`", "\xA4\x8F\xA8\x9D\xE3\xE0\x97\x8D\xBD"},
      {"NARZE`DZIA", "NARZ\xA8" "DZIA"},
      {"PAZ`DZIERNIK", "PA\x8D" "DZIERNIK"},
      {"Zasil`ek", "Zasi\x88" "ek"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(suite::displayText(c.stored), c.display);
    EXPECT_EQ(suite::storedText(c.display), c.stored);
  }
}

TEST(DisplayText, BackticksNotAfterALetterStay) {
  EXPECT_EQ(suite::displayText("`a b` 1` q`"), "`a b` 1` q`");
  EXPECT_EQ(suite::displayText("ends with a`"), "ends with \xA5");
  EXPECT_EQ(suite::displayText("a``"), "\xA5`");
}

}  // namespace
