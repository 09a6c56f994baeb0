// Text scramblers: byte inversion and the keyed single-value form.
#include "console/scramblers.h"

#include <algorithm>

namespace con {

namespace {

std::string invertBytes(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = char(255 - static_cast<unsigned char>(c));
  return out;
}

// The key character and offset for a position counted from 0.
int keyShift(size_t position) {
  int key = static_cast<unsigned char>(kScrambleKey[position % kScrambleKey.size()]);
  int offset = 16 - int(position);
  return key + offset;
}

unsigned char wrap(int code) { return static_cast<unsigned char>(((code % 256) + 256) % 256); }

std::string scrambleWithMarker(char marker, std::string_view plain) {
  plain = plain.substr(0, kScrambleMaxLength);
  std::string working(plain);
  while (working.size() < kScrambleKey.size()) working += plain;
  std::string out;
  out.reserve(working.size() + 2);
  out += marker;
  out += char(plain.size());
  for (size_t i = 0; i < working.size(); ++i)
    out += char(wrap(static_cast<unsigned char>(working[i]) + keyShift(i)));
  return out;
}

}  // namespace

// Method 1 is named by callers but has never had a rule of its own; it is served as method 2.
std::string A_KODUJ(std::string_view text, int /*method*/) { return invertBytes(text); }
std::string A_DEKODUJ(std::string_view text, int /*method*/) { return invertBytes(text); }

std::string scrambleText(std::string_view plain) {
  if (plain.empty()) return {};
  return scrambleWithMarker('#', plain);
}

std::string scrambleNumber(std::string_view numberText) {
  while (!numberText.empty() && numberText.front() == ' ') numberText.remove_prefix(1);
  if (numberText.empty()) return {};
  return scrambleWithMarker('$', numberText);
}

Unscrambled unscramble(std::string_view s) {
  Unscrambled r;
  if (s.empty()) return r;
  if (s[0] != '#' && s[0] != '$') {
    // The older markerless form: every character but a blank stands 131 codes higher.
    r.kind = Unscrambled::Kind::Text;
    for (char c : s) r.text += c == ' ' ? ' ' : char(wrap(static_cast<unsigned char>(c) - 131));
    return r;
  }
  r.kind = s[0] == '$' ? Unscrambled::Kind::Number : Unscrambled::Kind::Text;
  if (s.size() < 2) return r;
  size_t n = static_cast<unsigned char>(s[1]);
  std::string_view body = s.substr(2);
  // A length byte beyond the characters present restores only what is there.
  n = std::min(n, body.size());
  for (size_t i = 0; i < n; ++i)
    r.text += char(wrap(static_cast<unsigned char>(body[i]) - keyShift(i)));
  return r;
}

}  // namespace con
