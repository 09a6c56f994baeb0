// A scripted environment for the entry rules' tests: messages and drawings are recorded,
// questions take scripted answers (the default answer when none is left), and the neighbouring
// routines give values the test sets.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/std_dates.h"
#include "zus/register/rules_copies.h"
#include "zus/register/rules_env.h"

namespace rules_test {

struct Shown {
  std::vector<std::string> lines;
  int kind;
};

class ScriptedEnv : public zus::RuleEnv {
 public:
  void message(const std::vector<std::string>& lines, int kind) override {
    messages.push_back({lines, kind});
  }
  bool ask(const std::string& question, const std::vector<std::string>& comment,
           bool yesByDefault) override {
    questions.push_back(question);
    comments.push_back(comment);
    defaults.push_back(yesByDefault);
    if (answers.empty()) return yesByDefault;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void statusLine(int n) override { statusLines.push_back(n); }
  void restoreStatusLine() override { statusLines.push_back(-1); }
  void say(int row, int col, const std::string& text, zus::RuleColour, bool) override {
    drawn.push_back(std::to_string(row) + "," + std::to_string(col) + ":" + text);
  }
  int sickPayDays(const std::string&, bool, int32_t, int32_t) override { return sickDays; }
  double seniorityPercent(int32_t) override { return seniority; }
  std::optional<double> tableFunction(const std::string&, double x) override {
    tableArgument = x;
    return tableValue;
  }
  bool familyCareCheck() override {
    ++familyChecks;
    return true;
  }
  int counterWithoutThisRecord(int counter) override { return counter - storedDays; }
  int chainDays(const std::string&, const std::string&, int32_t) override { return chain; }
  bool continuity(int32_t, bool, int32_t& previousEnd) override {
    previousEnd = continuityEnd;
    return continuityAccepts;
  }
  void dropYearFilter() override { ++filterDrops; }

  bool said(const std::string& text) const {
    for (const Shown& m : messages)
      for (const std::string& l : m.lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
  }

  std::vector<Shown> messages;
  std::vector<std::string> questions, drawn;
  std::vector<std::vector<std::string>> comments;
  std::vector<bool> defaults;
  std::deque<bool> answers;
  std::vector<int> statusLines;
  int sickDays = 0, chain = 0, storedDays = 0, familyChecks = 0, filterDrops = 0;
  double seniority = 77;
  std::optional<double> tableValue;
  double tableArgument = -1;
  bool continuityAccepts = true;
  int32_t continuityEnd = 0;
};

inline int32_t d(int y, int m, int day) { return rt::makeDate(y, m, day); }

// Kind codes: slot n is linked to "Z" + two digits; days slots 5, 7 and 8 are linked.
inline std::string kind(int slot) {
  return "Z" + std::string(slot < 10 ? "0" : "") + std::to_string(slot);
}

inline zus::RuleContext context() {
  zus::RuleContext c;
  for (int n = 1; n <= 33; ++n) c.program.zas_zus.push_back(rt::Value::text(kind(n)));
  for (int n = 1; n <= 33; ++n)
    c.program.zas_dni.push_back(
        rt::Value::text(n == 5 || n == 7 || n == 8 ? "D0" + std::to_string(n) : ""));
  c.program.lum_data = d(2011, 2, 15);
  c.reg.nr_pracusia = "    1";
  c.employee.nr_prac = "    1";
  c.employee.hasDataZus = true;
  return c;
}

}  // namespace rules_test
