// Access routines of the card and settlement prints: variables, suite routines and tables by name.
#include "zus/reports/print_setup_access.h"

#include "runtime/core/std_dates.h"

namespace zus::cards {

std::string varText(std::string_view name, std::string_view fallback) {
  return var(name).strOr(fallback);
}

rt::Value element(std::string_view arrayName, size_t n) {
  rt::Value a = var(arrayName);
  if (!a.isArray() || n < 1 || n > a.arr().size()) return rt::Value();
  return a.arr()[n - 1];
}

bool hasField(std::string_view alias, std::string_view field) {
  rt::FieldResolver* r = rt::context().fields;
  return r && !field.empty() && r->fieldType(alias, field) != "U";
}

int selectedArea() { return int(call("SELECT").intOr(0)); }

void selectArea(int area) {
  if (area > 0) call("DBSELECTAREA", {rt::Value::integer(area)});
}

int currentOrder() { return int(call("INDEXORD").intOr(0)); }

void setOrder(int order) { call("DBSETORDER", {rt::Value::integer(order)}); }

bool seek(const std::string& key) { return call("DBSEEK", {rt::Value::text(key)}).logicalOr(false); }

void skip() { call("DBSKIP"); }

void goTop() { call("DBGOTOP"); }

bool atEof() { return call("EOF").logicalOr(true); }

uint32_t recno() { return uint32_t(call("RECNO").intOr(0)); }

void goTo(uint32_t record) { call("DBGOTO", {rt::Value::integer(record)}); }

std::string dtos(int32_t day) { return call("DTOS", {rt::Value::date(day)}).strOr(""); }

std::string dtoc(int32_t day) { return call("DTOC", {rt::Value::date(day)}).strOr(""); }

int32_t addMonths(int32_t day, int months) {
  rt::Value v = call("DOD_MIES", {rt::Value::date(day), rt::Value::integer(months)});
  return v.isDate() ? v.date() : 0;
}

int32_t dayOf(int y, int m, int d) { return rt::makeDate(y, m, d); }

std::string str(double value, int width, int decimals) {
  return call("STR", {rt::Value::number(value, decimals), rt::Value::integer(width),
                      rt::Value::integer(decimals)})
      .strOr("");
}

std::string transform(double value, const std::string& picture, int decimals) {
  return call("E_TRANSFOR", {rt::Value::number(value, decimals), rt::Value::text(picture)}).strOr("");
}

// A stored text goes into its column in display form, so that it is padded, centred or cut by
// the characters it prints (a letter and a backtick print as one Polish letter).
std::string centr(const std::string& text, int width) {
  return call("CENTR", {rt::Value::text(display(text)), rt::Value::integer(width)}).strOr("");
}

std::string rownaj(const std::string& text, int width) {
  return call("ROWNAJ", {rt::Value::text(display(text)), rt::Value::integer(width)}).strOr("");
}

std::string rownajL(const std::string& text, int width) {
  return call("ROWNAJ_L", {rt::Value::text(display(text)), rt::Value::integer(width)}).strOr("");
}

std::string repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

void devLine(const std::string& line) { call("DEV_LINIA", {rt::Value::text(line)}); }

SoftSeekOn::SoftSeekOn() : previous_(rt::context().settings.softSeek) {
  rt::context().settings.softSeek = true;
}

SoftSeekOn::~SoftSeekOn() { rt::context().settings.softSeek = previous_; }

}  // namespace zus::cards
