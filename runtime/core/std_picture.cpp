// TRANSFORM: pictures for numbers, texts, logicals and dates.
//
// A picture is an optional function part ("@" and letters, "S" with a width, ended by a blank)
// followed by a template. Number templates: 9 and # are digit positions, "." the point, a comma
// prints only between digits, any other character stays in place (a blank group separator can
// thus part the sign from the digits, as the runtime prints it). A value that does not fit stars
// every digit position. Text templates: "!" upper-cases one byte, other template letters copy it,
// other characters replace it (or are inserted with @R).
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "runtime/core/cp852.h"
#include "runtime/core/rounding.h"
#include "runtime/core/std_args.h"
#include "runtime/core/std_convert.h"
#include "runtime/core/std_dates.h"

namespace rt {
namespace {

struct Picture {
  bool upper = false;      // @!
  bool blankZero = false;  // @Z
  bool european = false;   // @E
  bool leftAlign = false;  // @B
  bool parens = false;     // @(
  bool insert = false;     // @R
  int showWidth = 0;       // @Sn
  std::string tmpl;
};

Picture parsePicture(std::string_view pic) {
  Picture p;
  if (pic.empty() || pic[0] != '@') {
    p.tmpl = std::string(pic);
    return p;
  }
  size_t end = pic.find(' ');
  std::string_view fn = pic.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
  if (end != std::string_view::npos) p.tmpl = std::string(pic.substr(end + 1));
  for (size_t i = 0; i < fn.size(); ++i) {
    switch (std::toupper(static_cast<unsigned char>(fn[i]))) {
      case '!': p.upper = true; break;
      case 'Z': p.blankZero = true; break;
      case 'E': p.european = true; break;
      case 'B': p.leftAlign = true; break;
      case '(': p.parens = true; break;
      case 'R': p.insert = true; break;
      case 'S': {
        // Any number of digits may follow; a width beyond any text stays there instead of overflowing.
        constexpr int kWidest = 1 << 24;
        int n = 0;
        while (i + 1 < fn.size() && std::isdigit(static_cast<unsigned char>(fn[i + 1])))
          n = std::min(kWidest, n * 10 + (fn[++i] - '0'));
        p.showWidth = n;
        break;
      }
      default: break;  // @D, @K, @X... change nothing for output
    }
  }
  return p;
}

bool isDigitPosition(char c) { return c == '9' || c == '#'; }

std::string numberByTemplate(double v, const std::string& t) {
  size_t point = t.find('.');
  int decimals = 0;
  int integerPositions = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if (!isDigitPosition(t[i])) continue;
    if (point != std::string::npos && i > point) ++decimals;
    else ++integerPositions;
  }
  double r = roundHalfAway(v, decimals);
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(std::isfinite(r) ? r : 0));
  std::string text = buf;
  bool negative = r < 0 && text.find_first_not_of("0.") != std::string::npos;
  size_t dot = text.find('.');
  std::string intDigits = text.substr(0, dot);
  std::string fracDigits = dot == std::string::npos ? "" : text.substr(dot + 1);
  if (intDigits == "0" && integerPositions == 0) intDigits.clear();  // ".99" shows ".50"

  std::string out = t;
  if (int(intDigits.size()) + (negative ? 1 : 0) > integerPositions) {
    for (char& c : out)
      if (isDigitPosition(c)) c = '*';
    return out;
  }
  // Integer part, right to left: digits, then the sign in the first free digit position or in
  // place of a comma that has no digit to its left.
  size_t intEnd = point == std::string::npos ? t.size() : point;
  int nextDigit = int(intDigits.size()) - 1;
  bool signDue = negative;
  for (size_t k = intEnd; k-- > 0;) {
    char c = t[k];
    if (isDigitPosition(c)) {
      if (nextDigit >= 0) out[k] = intDigits[size_t(nextDigit--)];
      else if (signDue) out[k] = '-', signDue = false;
      else out[k] = ' ';
    } else if (c == ',') {
      if (nextDigit >= 0) out[k] = ',';
      else if (signDue) out[k] = '-', signDue = false;
      else out[k] = ' ';
    }
  }
  size_t nextFrac = 0;
  for (size_t k = intEnd; k < t.size(); ++k)
    if (isDigitPosition(t[k])) out[k] = nextFrac < fracDigits.size() ? fracDigits[nextFrac++] : '0';
  return out;
}

std::string numberPicture(const Value& v, const Picture& p) {
  double n = v.num();
  bool parenthesise = p.parens && n < 0;
  double shown = parenthesise ? std::fabs(n) : n;
  std::string out = p.tmpl.empty() ? strOf(Value::number(shown, v.decimals(), v.width()))
                                   : numberByTemplate(shown, p.tmpl);
  if (parenthesise) {  // "(" just before the first character shown, ")" after the text
    size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) first = out.size();
    if (first > 0) out[first - 1] = '(';
    else out.insert(out.begin(), '(');
    out += ')';
  }
  if (p.european)
    for (char& c : out) c = c == '.' ? ',' : c == ',' ? '.' : c;
  if (p.blankZero && n == 0) out.assign(out.size(), ' ');
  if (p.leftAlign) {
    size_t first = out.find_first_not_of(' ');
    if (first != std::string::npos && first > 0) out = out.substr(first) + std::string(first, ' ');
  }
  return out;
}

std::string textPicture(const std::string& s, const Picture& p) {
  std::string out;
  if (p.tmpl.empty()) {
    out = s;
    if (p.upper) out = upper852(out);
  } else {
    size_t src = 0;
    for (char tc : p.tmpl) {
      char upperTc = char(std::toupper(static_cast<unsigned char>(tc)));
      bool takesByte = tc == '!' || upperTc == 'X' || upperTc == 'A' || upperTc == 'N' || upperTc == 'L' ||
                       tc == '9' || tc == '#' || upperTc == 'Y';
      if (!takesByte && p.insert) {
        out += tc;
        continue;
      }
      if (src >= s.size()) {
        if (!p.insert) break;  // not padded
        out += ' ';
        continue;
      }
      char c = s[src++];
      if (!takesByte) c = tc;
      else if (tc == '!' || p.upper) c = char(toUpper852(static_cast<unsigned char>(c)));
      else if (upperTc == 'Y') c = (std::toupper(static_cast<unsigned char>(c)) == 'Y' || c == 'T' || c == 't') ? 'Y' : 'N';
      out += c;
    }
  }
  if (p.showWidth > 0 && out.size() > size_t(p.showWidth)) out.resize(size_t(p.showWidth));
  return out;
}

}  // namespace

std::string transform(const Value& v, std::string_view picture) {
  Picture p = parsePicture(picture);
  switch (v.type()) {
    case Type::Num: return numberPicture(v, p);
    case Type::Char: return textPicture(v.str(), p);
    case Type::Date: return dtoc(v.date());
    case Type::Logical: {
      bool yesNo = !p.tmpl.empty() && std::toupper(static_cast<unsigned char>(p.tmpl[0])) == 'Y';
      return std::string(1, v.logical() ? (yesNo ? 'Y' : 'T') : (yesNo ? 'N' : 'F'));
    }
    default: stdargs::argumentError("TRANSFORM");
  }
}

}  // namespace rt
