// Colour codes: encoding strings, numbers and names, and decoding back.
#include "console/colour_code.h"

#include <gtest/gtest.h>

#include "console/register.h"
#include "runtime/core/functions.h"

namespace {

std::string bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s += char(x);
  return s;
}

TEST(ColourCode, EncodingAndDecodingPairs) {
  using V = std::vector<std::string>;
  EXPECT_EQ(con::encodeColourNames({"W", "N", "N", "W"}), bytes({7, 112}));
  EXPECT_EQ(con::decodeColourCode(bytes({7, 112})), (V{"W", "N", "N", "W"}));
  const V mono32 = {"W", "N", "N", "W", "N", "W", "W", "N", "W", "N", "N", "W"};
  EXPECT_EQ(con::encodeColourNames(mono32), bytes({7, 112, 112, 7, 7, 112}));
  EXPECT_EQ(con::decodeColourCode(bytes({7, 112, 112, 7, 7, 112})), mono32);
  EXPECT_EQ(con::encodeColourNames({"+W", "N"}), bytes({15}));
  EXPECT_EQ(con::decodeColourCode(bytes({15})), (V{"W+", "N"}));
  EXPECT_EQ(con::encodeColourNames({"N", "W*"}), bytes({240}));
  EXPECT_EQ(con::decodeColourCode(bytes({240})), (V{"N", "W*"}));
  EXPECT_EQ(con::encodeColourNumbers({7, 1}), bytes({23}));
  EXPECT_EQ(con::decodeColourCode(bytes({23})), (V{"W", "B"}));
  EXPECT_EQ(con::encodeColourNames({"BG", "RB", "GR", "N"}), bytes({5 * 16 + 3, 6}));
}

TEST(ColourCode, ConsoleColourStrings) {
  struct Case {
    const char* text;
    std::string code;
  } cases[] = {
      {"W/N,N/W,,,W/N", bytes({7, 112, 7})},
      {"  W/N,N/W,,,W/N  ", bytes({7, 112, 7})},
      {"W", bytes({112})},
      {"W/", bytes({})},
      {"gr+/b", bytes({16 + 14})},
      {"W+/B*,N/W", bytes({16 * 9 + 15, 112})},
  };
  for (const auto& c : cases) EXPECT_EQ(con::encodeColourString(c.text), c.code) << c.text;
}

TEST(ColourCode, SingleElements) {
  EXPECT_EQ(con::decodeColourElement(bytes({240}), 2), 15);
  EXPECT_EQ(con::decodeColourElement(bytes({240}), 1), 0);
  EXPECT_EQ(con::decodeColourElement(bytes({240}), 13), -1);
  EXPECT_EQ(con::decodeColourElement(bytes({240}), 0), -1);
  EXPECT_EQ(con::decodeColourElement(bytes({240}), 12), 0);  // beyond the code: the byte 0
}

TEST(ColourCode, ByNameDecidesByTheFirstElement) {
  con::registerConsoleFunctions();
  auto arr = [](std::vector<rt::Value> v) {
    rt::Value a = rt::Value::newArray(0);
    a.arr() = std::move(v);
    return a;
  };
  auto& f = rt::functions();
  EXPECT_EQ(f.call("K_KODUJ_KOL", {arr({rt::Value::number(7), rt::Value::number(1)})}).str(),
            bytes({23}));
  EXPECT_EQ(f.call("K_KODUJ_KOL", {arr({rt::Value::text("W"), rt::Value::text("N")})}).str(),
            bytes({7}));
  EXPECT_EQ(f.call("K_KODUJ_KOL", {rt::Value::logical(true)}).str(), "");
  EXPECT_EQ(f.call("K_KODUJ_KOL", {arr({})}).str(), "");
  rt::Value names = f.call("K_DEKODUJ_KOL", {rt::Value::text(bytes({15}))});
  ASSERT_TRUE(names.isArray());
  EXPECT_EQ(names.arr()[0].str(), "W+");
  EXPECT_EQ(f.call("K_DEKODUJ_KOL", {rt::Value::text(bytes({240})), rt::Value::number(2)}).num(),
            15);
}

}  // namespace
