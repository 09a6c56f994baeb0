// The backtick coding of Polish letters and the code page 852 letters it stands for.
#include "suite/forms/display_text.h"

#include <array>

#include "runtime/core/functions.h"

namespace suite {
namespace {

struct Letter {
  char latin;           // the letter written before the backtick
  unsigned char cp852;  // the Polish letter in code page 852
};

// "x`" stands for ż and "z`" for ź; capitals alike.
constexpr std::array<Letter, 18> kLetters{{
    {'a', 0xA5}, {'c', 0x86}, {'e', 0xA9}, {'l', 0x88}, {'n', 0xE4}, {'o', 0xA2},
    {'s', 0x98}, {'z', 0xAB}, {'x', 0xBE},
    {'A', 0xA4}, {'C', 0x8F}, {'E', 0xA8}, {'L', 0x9D}, {'N', 0xE3}, {'O', 0xE0},
    {'S', 0x97}, {'Z', 0x8D}, {'X', 0xBD},
}};

int polishFor(char latin) {
  for (const Letter& l : kLetters)
    if (l.latin == latin) return l.cp852;
  return -1;
}

int latinFor(unsigned char cp852) {
  for (const Letter& l : kLetters)
    if (l.cp852 == cp852) return l.latin;
  return -1;
}

}  // namespace

std::string displayText(std::string_view stored) {
  std::string out;
  out.reserve(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) {
    if (i + 1 < stored.size() && stored[i + 1] == '`') {
      int polish = polishFor(stored[i]);
      if (polish >= 0) {
        out.push_back(char(polish));
        ++i;
        continue;
      }
    }
    out.push_back(stored[i]);
  }
  return out;
}

std::string storedText(std::string_view display) {
  std::string out;
  out.reserve(display.size() + 8);
  for (char c : display) {
    int latin = latinFor(static_cast<unsigned char>(c));
    if (latin >= 0) {
      out.push_back(char(latin));
      out.push_back('`');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

void registerDisplayTextFunctions() {
  // A text of another type comes back unchanged, as callers pass labels of any kind through.
  rt::functions().add("_P", [](rt::Args& a) -> rt::Value {
    if (!a[0].isChar()) return a[0];
    return rt::Value::text(displayText(a[0].str()));
  });
  rt::functions().add("_PL", [](rt::Args& a) -> rt::Value {
    if (!a[0].isChar()) return a[0];
    return rt::Value::text(storedText(a[0].str()));
  });
}

}  // namespace suite
