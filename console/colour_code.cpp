// Encoding and decoding colour codes.
#include "console/colour_code.h"

#include <cmath>

#include "console/by_name.h"
#include "console/register.h"
#include "runtime/core/names.h"
#include "runtime/core/std_strings.h"

namespace con {

namespace {

int nameNumber(std::string_view name) {
  int current = 0, position = 0, marker = 0;
  for (char c : name) {
    if (c == '+' || c == '*') {
      marker = 8;
    } else {
      current = K_SPRAWDZ(c, position);
      ++position;
    }
  }
  return current + marker;
}

char byteOf(int fore, int back) { return char(((back & 0x0F) << 4) | (fore & 0x0F)); }

}  // namespace

int K_SPRAWDZ(char letter, int position) {
  char c = rt::upperAscii(letter);
  if (position == 0) {
    switch (c) {
      case 'N': return 0;
      case 'B': return 1;
      case 'G': return 2;
      case 'R': return 4;
      case 'W': return 7;
      default: return 0;
    }
  }
  switch (c) {
    case 'G': return 3;
    case 'B': return 5;
    case 'R': return 6;
    default: return 0;
  }
}

std::string K_KOL(int number) {
  static const char* kLetters[] = {"N", "B", "G", "BG", "R", "RB", "GR", "W"};
  return number >= 0 && number <= 7 ? kLetters[number] : "";
}

std::string encodeColourString(std::string_view text) {
  text = rt::trimBlanks(text);
  std::string code;
  int current = 0, position = 0, marker = 0, pendingFore = 0, pairs = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == ' ') continue;
    if (c == '+' || c == '*') {
      marker = 8;
    } else if (c == '/') {
      pendingFore = current + marker;
      position = 0;
      marker = 0;
    } else if (c != ',') {
      current = K_SPRAWDZ(c, position);
      ++position;
    }
    bool last = i + 1 == text.size();
    if (c == ',' || (last && c != '/')) {
      code += byteOf(pendingFore, current + marker);
      ++pairs;
      pendingFore = 0;
      marker = 0;
      position = 0;
      // The empty border and background slots of a console colour string give no bytes.
      if (pairs == 2 && c == ',' && text.substr(i + 1, 2) == ",,") i += 2;
    }
  }
  return code;
}

std::string encodeColourNumbers(const std::vector<double>& n) {
  std::string code;
  for (size_t k = 0; k + 1 < n.size(); k += 2)
    code += char(int(std::trunc(n[k + 1] * 16 + n[k])) & 0xFF);
  return code;
}

std::string encodeColourNames(const std::vector<std::string>& names) {
  std::string code;
  for (size_t k = 0; k + 1 < names.size(); k += 2)
    code += byteOf(nameNumber(names[k]), nameNumber(names[k + 1]));
  return code;
}

std::vector<std::string> decodeColourCode(std::string_view code) {
  std::vector<std::string> names;
  for (unsigned char b : code) {
    int back = b / 16, fore = b % 16;
    names.push_back(K_KOL(fore & 7) + (fore > 7 ? "+" : ""));
    names.push_back(K_KOL(back & 7) + (back > 7 ? "*" : ""));
  }
  return names;
}

int decodeColourElement(std::string_view code, double element) {
  if (element < 1 || element > 12) return -1;
  size_t index = size_t((int(element) - 1) / 2);
  unsigned char b = index < code.size() ? static_cast<unsigned char>(code[index]) : 0;
  return int(element) % 2 == 0 ? b / 16 : b % 16;
}

void registerColourCodeFunctions(rt::Functions& f) {
  using namespace byname;
  f.add("K_KODUJ_KOL", [](rt::Args& a) {
    if (a[0].isChar()) return text(encodeColourString(a[0].str()));
    if (!a[0].isArray() || a[0].arr().empty()) return text("");
    const rt::Array& arr = a[0].arr();
    if (arr[0].isNum()) {
      std::vector<double> n;
      for (const rt::Value& e : arr) n.push_back(e.isNum() ? e.num() : 0);
      return text(encodeColourNumbers(n));
    }
    if (arr[0].isChar()) {
      std::vector<std::string> names;
      for (const rt::Value& e : arr) names.push_back(e.isChar() ? e.str() : std::string());
      return text(encodeColourNames(names));
    }
    return text("");
  });
  f.add("K_DEKODUJ_KOL", [](rt::Args& a) {
    std::string code = textOr(a, 0, "");
    if (a[1].isNum()) return number(decodeColourElement(code, a[1].num()));
    return textArray(decodeColourCode(code));
  });
}

}  // namespace con
