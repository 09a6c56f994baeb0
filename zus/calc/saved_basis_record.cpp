// Writing and reading the saved basis record.
#include "zus/calc/saved_basis_record.h"

#include "runtime/core/functions.h"
#include "runtime/core/std_convert.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_strings.h"
#include "runtime/core/value.h"

namespace zus::basis {
namespace {

const char* const kLineBreak = "\r\n";
const char kTab = '\t';

std::string joined(const std::vector<std::string>& parts, const std::string& sep) {
  std::string s;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) s += sep;
    s += parts[i];
  }
  return s;
}

std::vector<std::string> split(const std::string& s, const std::string& sep) {
  std::vector<std::string> parts;
  size_t from = 0;
  while (true) {
    size_t at = s.find(sep, from);
    if (at == std::string::npos) {
      parts.push_back(s.substr(from));
      return parts;
    }
    parts.push_back(s.substr(from, at - from));
    from = at + sep.size();
  }
}

std::vector<std::string> texts(const std::vector<Num>& list, size_t n) {
  std::vector<std::string> out;
  for (size_t i = 0; i < n; ++i) out.push_back(numberText(i < list.size() ? list[i] : Num{}));
  return out;
}

std::vector<std::string> places(const std::array<std::optional<Num>, 12>& list) {
  std::vector<std::string> out;
  for (const auto& p : list) out.push_back(p ? numberText(*p) : "NIL");
  return out;
}

std::vector<Num> numbers(const std::vector<std::string>& fields, size_t n) {
  std::vector<Num> out(n);
  for (size_t i = 0; i < n && i < fields.size(); ++i) out[i] = numberOf(fields[i]);
  return out;
}

}  // namespace

std::string numberText(const Num& n) {
  // STR(n) itself, not called by name: a saved basis holds about ninety numbers.
  return rt::trimmedStrOf(n.value, n.decimals);
}

Num numberOf(const std::string& text) {
  rt::Value v = rt::functions().call("VAL", {rt::Value::text(text)});
  return {v.numOr(0), v.isNum() ? v.decimals() : 0};
}

std::string savedRecordText(const BasisSet& b) {
  size_t n = size_t(b.count() > 0 ? b.count() : 0);
  std::vector<std::string> counts;
  for (size_t i = 0; i < n; ++i) counts.push_back(i < b.counts.size() && b.counts[i] ? "T" : "F");
  std::vector<std::string> lines{
      joined({rt::dtos(b.insuranceStart), b.kindName, numberText(b.startMonth),
              numberText(b.startYear), numberText(b.monthCount), numberText(b.auxiliary),
              numberText(b.daily)},
             std::string(1, kTab)),
      joined(places(b.months), std::string(1, kTab)),
      joined(places(b.years), std::string(1, kTab)),
      joined(texts(b.basis, n), std::string(1, kTab)),
      joined(counts, std::string(1, kTab)),
      joined(texts(b.filledUp, n), std::string(1, kTab)),
      joined(texts(b.daysWorked, n), std::string(1, kTab)),
      joined(texts(b.workingDays, n), std::string(1, kTab)),
      joined(texts(b.calendarDays, n), std::string(1, kTab)),
      joined({b.texts[0], b.texts[1], b.texts[2], b.texts[3]}, std::string(1, kTab)),
      std::string(rt::trimBlanks(b.remark)),
  };
  return joined(lines, kLineBreak);
}

std::optional<BasisSet> parseSavedRecord(const std::string& text) {
  if (text.empty()) return std::nullopt;
  std::vector<std::string> lines = split(text, kLineBreak);
  if (lines.size() < 10) return std::nullopt;
  std::vector<std::vector<std::string>> f;
  for (const std::string& l : lines) f.push_back(split(l, std::string(1, kTab)));
  auto field = [&](size_t line, size_t i) {
    return i < f[line].size() ? f[line][i] : std::string();
  };

  BasisSet b;
  rt::Value start = rt::functions().call("STOD", {rt::Value::text(field(0, 0))});
  b.insuranceStart = start.isDate() ? start.date() : 0;
  b.kindName = field(0, 1);
  b.startMonth = numberOf(field(0, 2));
  b.startYear = numberOf(field(0, 3));
  b.monthCount = numberOf(field(0, 4));
  b.auxiliary = numberOf(field(0, 5));
  b.daily = numberOf(field(0, 6));
  for (size_t i = 0; i < 12; ++i) {
    if (i < f[1].size() && f[1][i] != "NIL") b.months[i] = numberOf(f[1][i]);
    if (i < f[2].size() && f[2][i] != "NIL") b.years[i] = numberOf(f[2][i]);
  }
  // Never more months than the twelve places hold.
  int count = b.count() < 0 ? 0 : (b.count() > 12 ? 12 : b.count());
  b.monthCount.value = count;
  size_t n = size_t(count);
  b.basis = numbers(f[3], n);
  for (size_t i = 0; i < n; ++i) b.counts.push_back(i < f[4].size() && f[4][i] == "T");
  b.filledUp = numbers(f[5], n);
  b.daysWorked = numbers(f[6], n);
  b.workingDays = numbers(f[7], n);
  b.calendarDays = numbers(f[8], n);
  for (size_t i = 0; i < 4; ++i) b.texts[i] = field(9, i);
  if (lines.size() > 10) b.remark = field(10, 0);
  return b;
}

}  // namespace zus::basis
