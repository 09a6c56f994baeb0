// Byte inversion and the keyed single-value scrambling.
#include "console/scramblers.h"

#include <gtest/gtest.h>

namespace {

TEST(Scramblers, InversionIsItsOwnInverseAndPositionFree) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += char(c);
  std::string once = con::A_KODUJ(all, 2);
  EXPECT_EQ(static_cast<unsigned char>(once[0]), 255);
  EXPECT_EQ(static_cast<unsigned char>(once[255]), 0);
  EXPECT_EQ(con::A_DEKODUJ(once, 2), all);
  EXPECT_EQ(con::A_KODUJ(all.substr(0, 100), 2) + con::A_KODUJ(all.substr(100), 2), once);
  EXPECT_EQ(con::A_KODUJ("abc", 2), "\x9E\x9D\x9C");
  EXPECT_EQ(con::A_KODUJ("", 2), "");
  // Method 1 has no rule of its own and is served as method 2.
  EXPECT_EQ(con::A_KODUJ("abc", 1), con::A_KODUJ("abc", 2));
}

TEST(Scramblers, EveryTextComesBackExactly) {
  std::string high;
  for (int c = 128; c < 208; ++c) high += char(c);
  const std::string texts[] = {"a", "abc", "   ", "Zasil`ek chorobowy", std::string(80, 'x'),
                               high, std::string("\x00\x01\xFF", 3), "12345678901"};
  for (const auto& t : texts) {
    std::string s = con::scrambleText(t);
    ASSERT_EQ(s[0], '#');
    EXPECT_EQ(static_cast<unsigned char>(s[1]), t.size());
    auto back = con::unscramble(s);
    EXPECT_EQ(back.kind, con::Unscrambled::Kind::Text);
    EXPECT_EQ(back.text, t);
  }
}

TEST(Scramblers, ShortTextsAreRepeatedLongOnesCut) {
  EXPECT_EQ(con::scrambleText("abc").size(), 2u + 12u);  // four copies reach 11 characters
  EXPECT_EQ(con::scrambleText(std::string(11, 'a')).size(), 2u + 11u);
  std::string s81(81, 'q');
  std::string s = con::scrambleText(s81);
  EXPECT_EQ(static_cast<unsigned char>(s[1]), 80);
  EXPECT_EQ(con::unscramble(s).text, std::string(80, 'q'));
  EXPECT_EQ(con::scrambleText(""), "");
}

TEST(Scramblers, NumbersCarryTheirMarker) {
  std::string s = con::scrambleNumber("     12.50");
  ASSERT_EQ(s[0], '$');
  auto back = con::unscramble(s);
  EXPECT_EQ(back.kind, con::Unscrambled::Kind::Number);
  EXPECT_EQ(back.text, "12.50");
}

TEST(Scramblers, OldFormatAndDamagedInput) {
  // Markerless: every character but a blank stands 131 codes higher.
  std::string old = {char('A' + 131), ' ', char('b' + 131)};
  EXPECT_EQ(con::unscramble(old).text, "A b");
  EXPECT_EQ(con::unscramble("").kind, con::Unscrambled::Kind::Empty);
  // A length byte beyond the data restores only what is there and reads nothing past it.
  std::string cut = con::scrambleText("abcdefghijklmnop").substr(0, 6);
  EXPECT_EQ(con::unscramble(cut).text, "abcd");
  EXPECT_EQ(con::unscramble("#").text, "");
}

}  // namespace
