// Reading the basis history out of a saved basis record.
#include "zus/transfer/reset_basis_history.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace zus::reset_export {
namespace {

std::vector<std::string> split(const std::string& text, const std::string& sep) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t at; (at = text.find(sep, from)) != std::string::npos; from = at + sep.size())
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  return parts;
}

std::string trimmedBlanks(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// VAL of a value; `ok` false for a text that is neither a number nor "NIL".
double valueOf(const std::string& raw, bool& ok) {
  std::string t = trimmedBlanks(raw);
  if (t.empty() || t == "NIL") return 0;
  const char* begin = t.c_str();
  char* end = nullptr;
  double v = std::strtod(begin, &end);
  if (end == begin || *end != '\0' || !std::isfinite(v)) {
    ok = false;
    return 0;
  }
  return v;
}

}  // namespace

BasisHistoryResult readBasisHistory(const std::string& savedBasis) {
  BasisHistoryResult out;
  std::string text = trimmedBlanks(savedBasis);
  if (text.empty()) return out;
  out.reading = BasisReading::Short;
  std::vector<std::string> lines = split(text, "\r\n");
  if (lines.size() < 8) return out;

  bool wellFormed = true;
  // Line n into a row; false when it holds fewer than twelve values.
  auto fill = [&](size_t line, size_t row) {
    std::vector<std::string> values = split(lines[line - 1], "\t");
    if (values.size() < 12) return false;
    for (size_t i = 0; i < 12; ++i) out.history.rows[row][i] = valueOf(values[i], wellFormed);
    return true;
  };
  // The rows read before a short line 2, 3 or 6 stay; nothing after it is read.
  if (!fill(2, 0) || !fill(3, 1) || !fill(6, 2)) return out;
  bool days = fill(7, 3);
  bool working = fill(8, 4);
  if (!days || !working) return out;
  out.reading = wellFormed ? BasisReading::Complete : BasisReading::Malformed;
  return out;
}

}  // namespace zus::reset_export
