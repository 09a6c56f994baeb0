// The entry rules' environment in the program: the suite's dialogs, the screen and the register's
// routines reached by name (see rules_env.h).
#include "zus/register/rules_env.h"

#include <cstdio>

#include "runtime/core/context.h"
#include "runtime/core/rounding.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_strings.h"
#include "zus/register/continuity_check.h"
#include "zus/register/continuity_table.h"

namespace zus {
namespace {

rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}

rt::Value linesValue(const std::vector<std::string>& lines) {
  rt::Value array = rt::Value::newArray(0);
  for (const std::string& line : lines) array.arr().push_back(rt::Value::text(line));
  return array;
}

}  // namespace

std::string ruleDateText(int32_t day) { return rt::dtoc(day); }

std::string ruleNumberText(double v, int width) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.0f", width, rt::roundHalfAway(v, 0));
  std::string text = buf;
  return int(text.size()) > width ? std::string(size_t(width), '*') : text;
}

std::string ruleTrimmedNumber(double v) { return rt::alltrim(ruleNumberText(v, 20)); }

void RuleEnvByName::message(const std::vector<std::string>& lines, int kind) {
  rt::Value text = lines.size() == 1 ? rt::Value::text(lines[0]) : linesValue(lines);
  call("KOM3", {text, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(kind)});
}

bool RuleEnvByName::ask(const std::string& question, const std::vector<std::string>& comment,
                        bool yesByDefault) {
  std::vector<rt::Value> args{rt::Value::logical(yesByDefault), rt::Value::text(question),
                              rt::Value::integer(0), rt::Value::integer(0)};
  if (comment.size() == 1) args.push_back(rt::Value::text(comment[0]));
  if (comment.size() > 1) args.push_back(linesValue(comment));
  return call("DECYZJA", std::move(args)).logicalOr(false);
}

void RuleEnvByName::statusLine(int number) { call("STATLINE", {rt::Value::integer(number)}); }
void RuleEnvByName::restoreStatusLine() { call("STATLINE", {rt::Value::integer(-1)}); }

void RuleEnvByName::say(int row, int col, const std::string& text, RuleColour colour, bool stored) {
  rt::Value shown = stored ? call("_P", {rt::Value::text(text)}) : rt::Value::text(text);
  std::vector<rt::Value> args{rt::Value::integer(row), rt::Value::integer(col), shown};
  if (colour == RuleColour::Bold)
    args.push_back(call("K_BOLD", {rt::Value::integer(0), rt::Value::integer(38)}));
  if (colour == RuleColour::Pair5)
    args.push_back(call("K_SET_KOLOR",
                        {rt::Value::integer(0), rt::Value::integer(38), rt::Value::integer(5)}));
  call("DISPOUTAT", std::move(args));
}

int RuleEnvByName::sickPayDays(const std::string& employee, bool isNew, int32_t from, int32_t to) {
  flush();
  rt::Value days = call("ZLICZ_CHOR", {rt::Value::text(employee), rt::Value::logical(isNew),
                                       rt::Value::date(from), rt::Value::date(to)});
  return int(days.intOr(0));
}

double RuleEnvByName::seniorityPercent(int32_t from) {
  flush();
  return call("SZUK_PROC", {rt::Value::date(from)}).numOr(100);
}

std::optional<double> RuleEnvByName::tableFunction(const std::string& code, double x) {
  rt::Value v = call("_OBLICZ_FT", {rt::Value::text(code), rt::Value::number(x, 4)});
  if (!v.isNum()) return std::nullopt;
  return v.num();
}

bool RuleEnvByName::familyCareCheck() {
  flush();
  return call("OK_POM_DZ").logicalOr(true);
}

int RuleEnvByName::counterWithoutThisRecord(int counter) {
  flush();
  return int(call("SUMA_DN", {rt::Value::integer(counter)}).intOr(counter));
}

int RuleEnvByName::chainDays(const std::string& employee, const std::string& kind, int32_t start) {
  return chainDaysInRegister(live_.program, live_.form.czy_new, employee, kind, start);
}

bool RuleEnvByName::continuity(int32_t start, bool isNew, int32_t& previousEnd) {
  return continuityInRegister(live_, *this, start, isNew, previousEnd);
}

void RuleEnvByName::dropYearFilter() {
  flush();
  say(3, 54, std::string(24, ' '), RuleColour::Normal);
  call("CMXCLRSCOPE", {rt::Value::integer(0)});
  call("CMXCLRSCOPE", {rt::Value::integer(1)});
  call("DAJ_SCOPY");
}

void RuleEnvByName::flush() {
  storeRuleContext(stored_, live_);
  stored_ = live_;
}

}  // namespace zus
