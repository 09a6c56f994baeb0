// Code page 852 tables: Unicode of the upper half and the case partners of its letters.
#include "runtime/core/cp852.h"

#include <array>
#include <unordered_map>

namespace rt {
namespace {

// Unicode of the bytes 0x80..0xFF.
constexpr char32_t kUpperHalf[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7,  // 80
    0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE, 0x0179, 0x00C4, 0x0106,  // 88
    0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A,  // 90
    0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D, 0x017E,  // A0
    0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A,  // B0
    0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE,  // D0
    0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161,  // E0
    0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4,  // E8
    0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0,  // F8
};

// {lower, upper} letter pairs of the upper half.
constexpr unsigned char kCasePairs[][2] = {
    {0x81, 0x9A}, {0x82, 0x90}, {0x83, 0xB6}, {0x84, 0x8E}, {0x85, 0xDE}, {0x86, 0x8F},
    {0x87, 0x80}, {0x88, 0x9D}, {0x89, 0xD3}, {0x8B, 0x8A}, {0x8C, 0xD7}, {0x92, 0x91},
    {0x93, 0xE2}, {0x94, 0x99}, {0x96, 0x95}, {0x98, 0x97}, {0x9C, 0x9B}, {0x9F, 0xAC},
    {0xA0, 0xB5}, {0xA1, 0xD6}, {0xA2, 0xE0}, {0xA3, 0xE9}, {0xA5, 0xA4}, {0xA7, 0xA6},
    {0xA9, 0xA8}, {0xAB, 0x8D}, {0xAD, 0xB8}, {0xBE, 0xBD}, {0xC7, 0xC6}, {0xD0, 0xD1},
    {0xD4, 0xD2}, {0xD8, 0xB7}, {0xE4, 0xE3}, {0xE5, 0xD5}, {0xE7, 0xE6}, {0xEA, 0xE8},
    {0xEC, 0xED}, {0xEE, 0xDD}, {0xFB, 0xEB}, {0xFD, 0xFC},
};
// ß: a lower-case letter without an upper-case partner in the code page.
constexpr unsigned char kSharpS = 0xE1;

enum : uint8_t { kAlpha = 1, kUpper = 2, kLower = 4 };

struct Tables {
  std::array<unsigned char, 256> upper{}, lower{};
  std::array<uint8_t, 256> flags{};
  std::unordered_map<char32_t, unsigned char> fromUnicode;

  Tables() {
    for (int c = 0; c < 256; ++c) upper[c] = lower[c] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c) {
      upper[c] = static_cast<unsigned char>(c - 32);
      lower[c - 32] = static_cast<unsigned char>(c);
      flags[c] = kAlpha | kLower;
      flags[c - 32] = kAlpha | kUpper;
    }
    for (const auto& p : kCasePairs) {
      upper[p[0]] = p[1];
      lower[p[1]] = p[0];
      flags[p[0]] = kAlpha | kLower;
      flags[p[1]] = kAlpha | kUpper;
    }
    flags[kSharpS] = kAlpha | kLower;
    for (int i = 0; i < 128; ++i) fromUnicode.emplace(kUpperHalf[i], static_cast<unsigned char>(128 + i));
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

}  // namespace

unsigned char toUpper852(unsigned char c) { return tables().upper[c]; }
unsigned char toLower852(unsigned char c) { return tables().lower[c]; }
bool isAlpha852(unsigned char c) { return tables().flags[c] & kAlpha; }
bool isUpper852(unsigned char c) { return tables().flags[c] & kUpper; }
bool isLower852(unsigned char c) { return tables().flags[c] & kLower; }

std::string upper852(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(toUpper852(static_cast<unsigned char>(c)));
  return out;
}

std::string lower852(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(toLower852(static_cast<unsigned char>(c)));
  return out;
}

char32_t cp852ToUnicode(unsigned char c) { return c < 128 ? char32_t(c) : kUpperHalf[c - 128]; }

int unicodeToCp852(char32_t cp) {
  if (cp < 128) return int(cp);
  const auto& m = tables().fromUnicode;
  auto it = m.find(cp);
  return it == m.end() ? -1 : it->second;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

std::string cp852ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 2);
  for (char c : s) appendUtf8(out, cp852ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string utf8ToCp852(std::string_view s, char replacement) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    size_t extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : 9;
    char32_t cp = extra == 0 ? b : (b & (0x3F >> extra));
    bool ok = extra < 9 && i + extra < s.size();
    for (size_t k = 1; ok && k <= extra; ++k) {
      unsigned char cont = static_cast<unsigned char>(s[i + k]);
      ok = (cont & 0xC0) == 0x80;
      cp = (cp << 6) | (cont & 0x3F);
    }
    if (!ok) {  // a malformed byte: replace it alone and resynchronise on the next one
      out += replacement;
      ++i;
      continue;
    }
    i += extra + 1;
    int byte = unicodeToCp852(cp);
    out += byte < 0 ? replacement : char(byte);
  }
  return out;
}

}  // namespace rt
