// Type strings of the listing catalogue and the texts of column values.
#include "suite/screen/listing_columns.h"

#include <algorithm>
#include <cctype>

#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "suite/forms/display_text.h"

namespace suite {
namespace {

std::string trimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : trimRight(s.substr(b));
}

std::string fit(std::string s, int width) {
  s.resize(size_t(std::max(width, 0)), ' ');
  return s;
}

// The entries of choice list n of `t_glob`, each split into code and label.
struct Choice {
  std::string code, label;
};

std::vector<Choice> choices(const ListingColumnType& t, const rt::Value& lists) {
  std::vector<Choice> out;
  if (!lists.isArray() || t.list < 1 || size_t(t.list) > lists.arr().size()) return out;
  const rt::Value& list = lists.arr()[size_t(t.list - 1)];
  if (!list.isArray()) return out;
  // "s" codes are one character; "S" codes are three, padded with blanks.
  size_t codeLen = t.letter == 's' ? 1 : 3;
  for (const rt::Value& e : list.arr()) {
    std::string entry = e.strOr("");
    out.push_back({trim(entry.substr(0, std::min(codeLen, entry.size()))),
                   entry.size() > codeLen ? displayText(trimRight(entry.substr(codeLen))) : ""});
  }
  return out;
}

std::string codeOf(const rt::Value& v) {
  if (v.isNum()) return std::to_string(int64_t(v.num()));
  return trim(v.strOr(""));
}

std::string dateText(const rt::Value& v) {
  return rt::functions().call("DTOC", {v.isDate() ? v : rt::Value::date(0)}).strOr("");
}

}  // namespace

ListingColumnType parseListingType(const std::string& type) {
  ListingColumnType t;
  t.master = type.empty() || type[0] != '0';
  if (type.size() > 1) t.letter = type[1];
  size_t i = 2;
  std::string digits;
  while (i < type.size() && std::isdigit(static_cast<unsigned char>(type[i]))) digits += type[i++];
  if (t.letter == 'n' && digits.size() >= 3) {
    t.width = std::stoi(digits.substr(0, digits.size() - 1));
    t.decimals = digits.back() - '0';
  } else if (!digits.empty()) {
    (t.letter == 's' || t.letter == 'S' ? t.list : t.width) = std::stoi(digits);
  }
  size_t semi = type.find(';', i);
  std::string rest = semi == std::string::npos ? std::string() : type.substr(semi + 1);
  rest = trimRight(rest);
  if (!rest.empty() && rest.back() == '$') {
    t.totalled = false;
    rest.pop_back();
  }
  t.picker = trim(rest);
  return t;
}

std::vector<ListingColumn> catalogueFrom(const rt::Value& values, const rt::Value& types,
                                         const rt::Value& headings) {
  std::vector<ListingColumn> out;
  if (!values.isArray()) return out;
  const size_t n = values.arr().size();
  for (size_t i = 0; i < n; ++i) {
    ListingColumn c;
    c.value = values.arr()[i];
    if (types.isArray() && i < types.arr().size()) c.type = parseListingType(types.arr()[i].strOr(""));
    if (headings.isArray() && i < headings.arr().size()) c.heading = headings.arr()[i].strOr("");
    out.push_back(std::move(c));
  }
  return out;
}

rt::Value columnValue(const ListingColumn& column) {
  if (column.value.isBlock()) return rt::evalBlock(column.value);
  if (column.value.isChar() && !trim(column.value.str()).empty()) return rt::evalText(column.value.str());
  return rt::Value();
}

int columnWidth(const ListingColumnType& t, const rt::Value& lists) {
  switch (t.letter) {
    case 'd':
    case 'D':
      return std::max<int>(t.width, int(dateText(rt::Value::date(0)).size()));
    case 's':
    case 'S': {
      int w = 1;
      for (const Choice& c : choices(t, lists)) w = std::max(w, int(c.label.size()));
      return w;
    }
    default:
      return std::max(t.width, 1);
  }
}

std::string columnText(const ListingColumnType& t, const rt::Value& v, const rt::Value& lists) {
  const int width = columnWidth(t, lists);
  switch (t.letter) {
    case 'n':
    case 'N': {
      if (!v.isNum()) return fit("", width);
      return rt::functions()
          .call("STR", {v, rt::Value::integer(width), rt::Value::integer(t.decimals)})
          .strOr("");
    }
    case 'd':
    case 'D':
      return fit(dateText(v), width);
    case 'L':
    case 'l': {
      if (!v.isLogical()) return fit("", width);
      if (width >= 3) return fit(v.logical() ? "Tak" : "Nie", width);
      return fit(v.logical() ? "T" : "N", width);
    }
    case 's':
    case 'S': {
      std::string code = codeOf(v);
      for (const Choice& c : choices(t, lists))
        if (c.code == code) return fit(c.label, width);
      return fit(code, width);
    }
    default:
      return fit(displayText(v.isChar() ? v.str() : v.isNum() ? codeOf(v) : ""), width);
  }
}

bool sameColumnValue(const ListingColumnType& t, const rt::Value& a, const rt::Value& b) {
  switch (t.letter) {
    case 's':
    case 'S':
      return codeOf(a) == codeOf(b);
    default:
      break;
  }
  if (a.isNum() && b.isNum()) return a.num() == b.num();
  if (a.isDate() && b.isDate()) return a.date() == b.date();
  if (a.isLogical() && b.isLogical()) return a.logical() == b.logical();
  if (a.isChar() && b.isChar()) return trimRight(a.str()) == trimRight(b.str());
  return false;
}

}  // namespace suite
