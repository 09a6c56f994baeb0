// Byte <-> glyph tables of the screen: the PC symbols below 32 and code page 852 above 127.
#include "runtime/term/glyphs.h"

#include <unordered_map>

#include "runtime/core/cp852.h"

namespace rt::term {
namespace {

constexpr char32_t kLowSymbols[32] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  // 00
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  // 08
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  // 10
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,  // 18
};

const std::unordered_map<char32_t, uint8_t>& reverse() {
  static const auto table = [] {
    std::unordered_map<char32_t, uint8_t> m;
    // Higher bytes win: a character both in the control range's symbols and in the upper half
    // (the section sign) is typed as its code page 852 letter.
    for (int b = 1; b < 256; ++b) m[glyphOf(uint8_t(b))] = uint8_t(b);
    for (int b = 32; b < 127; ++b) m[char32_t(b)] = uint8_t(b);
    return m;
  }();
  return table;
}

// Decodes one UTF-8 sequence at s[i]; advances i; returns U+FFFD for a malformed one.
char32_t decodeUtf8(std::string_view s, size_t& i) {
  unsigned char c = (unsigned char)s[i++];
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
  if (extra < 0) return 0xFFFD;
  char32_t cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || ((unsigned char)s[i] & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | ((unsigned char)s[i++] & 0x3F);
  }
  return cp;
}

}  // namespace

char32_t glyphOf(uint8_t byte) {
  if (byte < 32) return kLowSymbols[byte];
  if (byte == 127) return 0x2302;
  if (byte < 128) return byte;
  return cp852ToUnicode(byte);
}

int byteOfGlyph(char32_t cp) {
  if (cp == 0x20) return 0x20;
  auto it = reverse().find(cp);
  return it == reverse().end() ? -1 : it->second;
}

std::string glyphsToUtf8(std::string_view bytes) {
  std::string out;
  for (char c : bytes) appendUtf8(out, glyphOf(uint8_t(c)));
  return out;
}

std::string utf8ToGlyphs(std::string_view utf8, char replacement) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    int b = byteOfGlyph(decodeUtf8(utf8, i));
    out += b < 0 ? replacement : char(b);
  }
  return out;
}

}  // namespace rt::term
