// String functions: trimming, case, substrings, search and replace, padding, classes, memo lines.
#include "runtime/core/std_strings.h"

#include <algorithm>
#include <cstring>

#include "runtime/core/cp852.h"
#include "runtime/core/std_args.h"
#include "runtime/core/std_convert.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_register.h"

namespace rt {
namespace {

using namespace stdargs;

bool isLeadingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
constexpr char kSoftCr = char(141);

// SUBSTR's reading of start and count; returns the [begin, end) byte range.
std::pair<size_t, size_t> substrRange(size_t len, int64_t start, int64_t count, bool hasCount) {
  int64_t n = int64_t(len);
  if (start == 0) start = 1;
  if (start < 0) start = std::max<int64_t>(n + start + 1, 1);
  if (start > n) return {len, len};
  int64_t end = hasCount ? (count <= 0 ? start : std::min(n + 1, start + count)) : n + 1;
  return {size_t(start - 1), size_t(end - 1)};
}

// The text PADx pads: strings as they are, numbers as STR() gives them without the leading
// blanks, dates as DTOC.
std::string padSource(const Value& v, std::string_view fn) {
  switch (v.type()) {
    case Type::Char: return v.str();
    case Type::Num: return ltrim(strOf(v));
    case Type::Date: return dtoc(v.date());
    default: argumentError(fn);
  }
}

Value pad(const Args& a, const char* fn, int where /* 0 right, 1 left, 2 centre */) {
  std::string s = padSource(a[0], fn);
  int64_t n = needInt(a, 1, fn);
  char fill = a[2].isChar() && !a[2].str().empty() ? a[2].str()[0] : ' ';
  if (n <= 0) return Value::text("");
  checkLength(n, fn);
  size_t w = size_t(n);
  if (s.size() >= w) return Value::text(s.substr(0, w));
  size_t missing = w - s.size();
  size_t left = where == 0 ? 0 : where == 1 ? missing : missing / 2;
  return Value::text(std::string(left, fill) + s + std::string(missing - left, fill));
}

Value charClass(const Args& a, bool (*test)(unsigned char)) {
  if (!a[0].isChar() || a[0].str().empty()) return Value::logical(false);
  return Value::logical(test(static_cast<unsigned char>(a[0].str()[0])));
}

bool isEmptyValue(const Value& v) {
  switch (v.type()) {
    case Type::Nil: return true;
    case Type::Char:
      return std::all_of(v.str().begin(), v.str().end(),
                         [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
    case Type::Num: return v.num() == 0;
    case Type::Date: return v.date() == 0;
    case Type::Logical: return !v.logical();
    case Type::Array: return v.arr().empty();
    case Type::Block: return false;
  }
  return false;
}

std::string strtran(const std::string& s, const std::string& find, const std::string& repl, int64_t first,
                    int64_t count) {
  if (find.empty()) return s;
  std::string out;
  size_t pos = 0;
  int64_t occurrence = 0, replaced = 0;
  while (true) {
    size_t hit = s.find(find, pos);
    if (hit == std::string::npos) break;
    ++occurrence;
    out.append(s, pos, hit - pos);
    if (occurrence >= first && (count < 0 || replaced < count)) {
      out += repl;
      ++replaced;
    } else {
      out += find;
    }
    pos = hit + find.size();
  }
  out.append(s, pos, std::string::npos);
  return out;
}

std::string replaceBreaks(const std::string& s, const std::string& hard, const std::string& soft) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (i + 1 < s.size() && s[i + 1] == '\n' && (s[i] == '\r' || s[i] == kSoftCr)) {
      out += s[i] == '\r' ? hard : soft;
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

std::string rtrim(std::string_view s) { return std::string(trimTrailingBlanks(s)); }

std::string ltrim(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && isLeadingSpace(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string alltrim(std::string_view s) { return rtrim(ltrim(s)); }

std::vector<std::string> memoLines(std::string_view text, int width, int tabSize, bool wrap) {
  std::vector<std::string> lines;
  if (width < 1) width = 1;
  if (tabSize < 1) tabSize = 1;
  size_t pos = 0;
  while (pos < text.size()) {
    std::string line;
    size_t i = pos;
    size_t lastBlankInLine = std::string::npos, lastBlankInText = 0;
    while (true) {
      if (i >= text.size()) {
        pos = i;
        break;
      }
      char c = text[i];
      if ((c == '\r' || c == kSoftCr) && i + 1 < text.size() && text[i + 1] == '\n') {
        pos = i + 2;
        break;
      }
      std::string piece = c == '\t' ? std::string(size_t(tabSize - int(line.size()) % tabSize), ' ') : std::string(1, c);
      if (int(line.size() + piece.size()) > width) {
        if (c == ' ') {  // the line is full exactly; the blank is the break
          pos = i + 1;
        } else if (wrap && lastBlankInLine != std::string::npos) {
          line.resize(lastBlankInLine + 1);
          pos = lastBlankInText + 1;
        } else {
          pos = i;
          if (line.empty()) {  // a tab wider than the line: keep what fits
            line = piece.substr(0, size_t(width));
            pos = i + 1;
          }
        }
        break;
      }
      if (c == ' ' || c == '\t') {
        lastBlankInLine = line.size() + piece.size() - 1;
        lastBlankInText = i;
      }
      line += piece;
      ++i;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

namespace detail {

void registerStringFunctions(Functions& f) {
  f.add("TRIM", [](Args& a) { return Value::text(rtrim(needStr(a, 0, "TRIM"))); });
  f.add("RTRIM", [](Args& a) { return Value::text(rtrim(needStr(a, 0, "RTRIM"))); });
  f.add("LTRIM", [](Args& a) { return Value::text(ltrim(needStr(a, 0, "LTRIM"))); });
  f.add("ALLTRIM", [](Args& a) { return Value::text(alltrim(needStr(a, 0, "ALLTRIM"))); });
  f.add("UPPER", [](Args& a) { return Value::text(upper852(needStr(a, 0, "UPPER"))); });
  f.add("LOWER", [](Args& a) { return Value::text(lower852(needStr(a, 0, "LOWER"))); });

  f.add("SUBSTR", [](Args& a) {
    const std::string& s = needStr(a, 0, "SUBSTR");
    int64_t start = needInt(a, 1, "SUBSTR");
    bool hasCount = !a[2].isNil();
    int64_t count = hasCount ? needInt(a, 2, "SUBSTR") : 0;
    auto [b, e] = substrRange(s.size(), start, count, hasCount);
    return Value::text(s.substr(b, e - b));
  });
  f.add("LEFT", [](Args& a) {
    const std::string& s = needStr(a, 0, "LEFT");
    int64_t n = needInt(a, 1, "LEFT");
    return Value::text(n <= 0 ? std::string() : s.substr(0, size_t(std::min<int64_t>(n, int64_t(s.size())))));
  });
  f.add("RIGHT", [](Args& a) {
    const std::string& s = needStr(a, 0, "RIGHT");
    int64_t n = needInt(a, 1, "RIGHT");
    if (n <= 0) return Value::text("");
    size_t k = size_t(std::min<int64_t>(n, int64_t(s.size())));
    return Value::text(s.substr(s.size() - k));
  });
  f.add("LEN", [](Args& a) {
    if (a[0].isChar()) return integer(int64_t(a[0].str().size()));
    if (a[0].isArray()) return integer(int64_t(a[0].arr().size()));
    argumentError("LEN");
  });
  f.add("AT", [](Args& a) {
    const std::string& needle = needStr(a, 0, "AT");
    const std::string& hay = needStr(a, 1, "AT");
    size_t p = needle.empty() ? std::string::npos : hay.find(needle);
    return integer(p == std::string::npos ? 0 : int64_t(p) + 1);
  });
  f.add("RAT", [](Args& a) {
    const std::string& needle = needStr(a, 0, "RAT");
    const std::string& hay = needStr(a, 1, "RAT");
    size_t p = needle.empty() ? std::string::npos : hay.rfind(needle);
    return integer(p == std::string::npos ? 0 : int64_t(p) + 1);
  });
  f.add("STUFF", [](Args& a) {
    std::string s = needStr(a, 0, "STUFF");
    int64_t start = needInt(a, 1, "STUFF");
    int64_t del = needInt(a, 2, "STUFF");
    std::string ins = a[3].isNil() ? std::string() : needStr(a, 3, "STUFF");
    int64_t n = int64_t(s.size());
    if (start == 0) start = 1;
    if (start < 0 || start > n) start = n + 1;
    if (del < 0 || start - 1 + del > n) del = n - (start - 1);
    s.replace(size_t(start - 1), size_t(del), ins);
    return Value::text(std::move(s));
  });
  f.add("STRTRAN", [](Args& a) {
    const std::string& s = needStr(a, 0, "STRTRAN");
    const std::string& find = needStr(a, 1, "STRTRAN");
    std::string repl = a[2].isChar() ? a[2].str() : std::string();
    int64_t first = optInt(a, 3, 1, "STRTRAN");
    int64_t count = optInt(a, 4, -1, "STRTRAN");
    if (!a[4].isNil() && count <= 0) return Value::text(s);
    return Value::text(strtran(s, find, repl, std::max<int64_t>(first, 1), count));
  });
  f.add("SPACE", [](Args& a) {
    int64_t n = needInt(a, 0, "SPACE");
    checkLength(n, "SPACE");
    return Value::text(std::string(size_t(std::max<int64_t>(n, 0)), ' '));
  });
  f.add("REPLICATE", [](Args& a) {
    const std::string& s = needStr(a, 0, "REPLICATE");
    int64_t n = needInt(a, 1, "REPLICATE");
    std::string out;
    if (n > 0) {
      if (!s.empty() && n > kMaxTextLength / int64_t(s.size())) checkLength(kMaxTextLength + 1, "REPLICATE");
      out.reserve(s.size() * size_t(n));
      for (int64_t i = 0; i < n; ++i) out += s;
    }
    return Value::text(std::move(out));
  });
  f.add("PADR", [](Args& a) { return pad(a, "PADR", 0); });
  f.add("PAD", [](Args& a) { return pad(a, "PAD", 0); });
  f.add("PADL", [](Args& a) { return pad(a, "PADL", 1); });
  f.add("PADC", [](Args& a) { return pad(a, "PADC", 2); });
  f.add("EMPTY", [](Args& a) { return Value::logical(isEmptyValue(a[0])); });
  f.add("ISALPHA", [](Args& a) { return charClass(a, isAlpha852); });
  f.add("ISUPPER", [](Args& a) { return charClass(a, isUpper852); });
  f.add("ISLOWER", [](Args& a) { return charClass(a, isLower852); });
  f.add("ISDIGIT", [](Args& a) { return charClass(a, [](unsigned char c) { return c >= '0' && c <= '9'; }); });
  f.add("CHR", [](Args& a) {
    int64_t n = needInt(a, 0, "CHR");
    return Value::text(std::string(1, char(((n % 256) + 256) % 256)));
  });
  f.add("ASC", [](Args& a) {
    const std::string& s = needStr(a, 0, "ASC");
    return integer(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
  });
  f.add("DESCEND", [](Args& a) {
    const Value& v = a[0];
    switch (v.type()) {
      case Type::Char: {
        std::string s = v.str();
        for (char& c : s) c = char((256 - static_cast<unsigned char>(c)) & 0xFF);
        return Value::text(std::move(s));
      }
      case Type::Num: return Value::number(-v.num(), v.decimals());
      case Type::Date: return integer(5231808 - int64_t(v.date()));
      case Type::Logical: return Value::logical(!v.logical());
      default: return Value();
    }
  });
  f.add("MLCOUNT", [](Args& a) {
    const std::string& s = needStr(a, 0, "MLCOUNT");
    auto lines = memoLines(s, int(optInt(a, 1, 79, "MLCOUNT")), int(optInt(a, 2, 4, "MLCOUNT")),
                           a[3].logicalOr(true));
    return integer(int64_t(lines.size()));
  });
  f.add("MEMOLINE", [](Args& a) {
    const std::string& s = needStr(a, 0, "MEMOLINE");
    int width = int(optInt(a, 1, 79, "MEMOLINE"));
    int64_t n = optInt(a, 2, 1, "MEMOLINE");
    auto lines = memoLines(s, width, int(optInt(a, 3, 4, "MEMOLINE")), a[4].logicalOr(true));
    if (n < 1 || n > int64_t(lines.size())) return Value::text("");
    std::string line = lines[size_t(n - 1)];
    if (int(line.size()) < width) line.append(size_t(width) - line.size(), ' ');
    return Value::text(std::move(line));
  });
  f.add("MEMOTRAN", [](Args& a) {
    const std::string& s = needStr(a, 0, "MEMOTRAN");
    std::string hard = a[1].isChar() ? a[1].str() : ";";
    std::string soft = a[2].isChar() ? a[2].str() : " ";
    return Value::text(replaceBreaks(s, hard, soft));
  });
  f.add("HARDCR", [](Args& a) { return Value::text(replaceBreaks(needStr(a, 0, "HARDCR"), "\r\n", "\r\n")); });
}

}  // namespace detail
}  // namespace rt
