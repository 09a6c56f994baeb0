// Colour strings to attributes and back.
#include "runtime/term/color.h"

#include <cctype>
#include <vector>

namespace rt::term {
namespace {

// Letter names by colour number 0..7.
constexpr const char* kNames[8] = {"N", "B", "G", "BG", "R", "RB", "GR", "W"};

struct Side {
  int color = 0;
  bool bright = false;  // "+" or "*"
  bool given = false;
  bool inverse = false, blank = false, underline = false;
};

// Reads one side of a pair: letters in any order and case (B, G, R add up; N, U, I, X are
// special), digits, "+" and "*".
bool parseSide(std::string_view s, Side& side) {
  size_t i = 0;
  bool any = false;
  while (i < s.size()) {
    char c = char(std::toupper((unsigned char)s[i]));
    if (c == ' ') {
    } else if (c == '+' || c == '*') {
      side.bright = true;
    } else if (std::isdigit((unsigned char)c)) {
      int n = 0;
      while (i < s.size() && std::isdigit((unsigned char)s[i])) n = n * 10 + (s[i++] - '0');
      side.color = n & 0x0F;
      any = true;
      continue;
    } else if (c == 'B') {
      side.color |= 1;
      any = true;
    } else if (c == 'G') {
      side.color |= 2;
      any = true;
    } else if (c == 'R') {
      side.color |= 4;
      any = true;
    } else if (c == 'W') {
      side.color |= 7;
      any = true;
    } else if (c == 'N') {
      any = true;
    } else if (c == 'U') {
      side.underline = true;
      any = true;
    } else if (c == 'I') {
      side.inverse = true;
      any = true;
    } else if (c == 'X') {
      side.blank = true;
      any = true;
    } else {
      return false;
    }
    ++i;
  }
  side.given = any || side.bright;
  return true;
}

std::vector<std::string_view> splitPairs(std::string_view s) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || s[i] == ',') {
      out.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  return out;
}

bool blankText(std::string_view s) {
  for (char c : s)
    if (c != ' ') return false;
  return true;
}

}  // namespace

bool parseColorPair(std::string_view pair, Attr& out) {
  if (blankText(pair)) return false;
  size_t slash = pair.find('/');
  Side fore, back;
  if (!parseSide(pair.substr(0, slash), fore)) return false;
  if (slash != std::string_view::npos && !parseSide(pair.substr(slash + 1), back)) return false;
  if (fore.inverse || back.inverse) {
    out = makeAttr(0, 7);
    return true;
  }
  if (fore.blank || back.blank) {
    out = makeAttr(0, 0);
    return true;
  }
  int f = fore.underline ? 1 : fore.color;
  int b = back.underline ? 1 : back.color;
  // "+" anywhere in the pair brightens the foreground; "*" (blink) anywhere is shown as a bright
  // background.
  bool brightFore = pair.find('+') != std::string_view::npos;
  bool brightBack = pair.find('*') != std::string_view::npos;
  out = makeAttr(f | (brightFore ? 8 : 0), b | (brightBack ? 8 : 0));
  return true;
}

Colors applyColorString(std::string_view colorString, Colors base) {
  auto pairs = splitPairs(colorString);
  for (size_t i = 0; i < pairs.size() && i < size_t(kColorSlots); ++i) {
    Attr a;
    if (parseColorPair(pairs[i], a)) base.slot[i] = a;
  }
  return base;
}

Attr firstPairAttr(std::string_view colorString, Attr fallback) {
  Attr a;
  auto pairs = splitPairs(colorString);
  if (!pairs.empty() && parseColorPair(pairs[0], a)) return a;
  return fallback;
}

std::string attrToColorPair(Attr a) {
  std::string s = kNames[foreOf(a) & 7];
  if (foreOf(a) & 8) s += '+';
  s += '/';
  s += kNames[backOf(a) & 7];
  if (backOf(a) & 8) s += '*';
  return s;
}

std::string colorsToString(const Colors& c) {
  std::string s;
  for (int i = 0; i < kColorSlots; ++i) {
    if (i) s += ',';
    s += attrToColorPair(c.slot[i]);
  }
  return s;
}

}  // namespace rt::term
