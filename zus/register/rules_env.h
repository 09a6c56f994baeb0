// What the entry rules need from around them: message windows and questions, drawing into the
// form, and the neighbouring routines of the register (sick-pay day count, percentage by years of
// service, care checks, chain days, the continuity check, the register's scope).
//
// The rules take this as an interface so that they are tested with a scripted stand-in; the
// program uses RuleEnvByName, which reaches the suite's dialogs and the other routines by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zus/register/rules_copies.h"

namespace zus {

enum class RuleColour { Normal, Bold, Pair5 };  // colours of colour set 38

class RuleEnv {
 public:
  virtual ~RuleEnv() = default;

  // A message window that waits for a key (KOM3 with the lines, 0, 0 and the kind).
  virtual void message(const std::vector<std::string>& lines, int kind) = 0;
  // A yes/no dialog (DECYZJA); true for "Tak".
  virtual bool ask(const std::string& question, const std::vector<std::string>& comment,
                   bool yesByDefault) = 0;
  virtual void statusLine(int number) = 0;
  virtual void restoreStatusLine() = 0;
  // Writes text at a screen position; `stored` texts pass through the display routine first.
  virtual void say(int row, int col, const std::string& text, RuleColour colour,
                   bool stored = false) = 0;

  // ZLICZ_CHOR: the sick-pay days of the control year, capped.
  virtual int sickPayDays(const std::string& employee, bool isNew, int32_t from, int32_t to) = 0;
  // SZUK_PROC: the percentage by years of service for rights before 1 March 1995.
  virtual double seniorityPercent(int32_t from) = 0;
  // _OBLICZ_FT: the attached table function's value; none after its own message.
  virtual std::optional<double> tableFunction(const std::string& code, double x) = 0;
  // OK_POM_DZ: the care limit for a family member other than a child.
  virtual bool familyCareCheck() = 0;
  // SUMA_DN: a counter without the stored days of the record being edited.
  virtual int counterWithoutThisRecord(int counter) = 0;
  // DNI_REH_SZP: days of the chain of records before the start.
  virtual int chainDays(const std::string& employee, const std::string& kind, int32_t start) = 0;
  // CZY_MOZNA: the continuity check; sets `previousEnd`.
  virtual bool continuity(int32_t start, bool isNew, int32_t& previousEnd) = 0;
  // The year filter was switched off: clear the header note and scope the register to the
  // employee alone.
  virtual void dropYearFilter() = 0;
};

// The program's environment: the suite's dialogs and the register's routines by name. The rule
// context is stored into the memory variables before each call of a routine that reads them.
class RuleEnvByName : public RuleEnv {
 public:
  // `live` is the context the rule works on; `stored` what the variables hold (kept up to date).
  RuleEnvByName(RuleContext& live, RuleContext& stored) : live_(live), stored_(stored) {}

  void message(const std::vector<std::string>& lines, int kind) override;
  bool ask(const std::string& question, const std::vector<std::string>& comment,
           bool yesByDefault) override;
  void statusLine(int number) override;
  void restoreStatusLine() override;
  void say(int row, int col, const std::string& text, RuleColour colour,
           bool stored = false) override;
  int sickPayDays(const std::string& employee, bool isNew, int32_t from, int32_t to) override;
  double seniorityPercent(int32_t from) override;
  std::optional<double> tableFunction(const std::string& code, double x) override;
  bool familyCareCheck() override;
  int counterWithoutThisRecord(int counter) override;
  int chainDays(const std::string& employee, const std::string& kind, int32_t start) override;
  bool continuity(int32_t start, bool isNew, int32_t& previousEnd) override;
  void dropYearFilter() override;

  // Stores what changed since the last store.
  void flush();

 private:
  RuleContext& live_;
  RuleContext& stored_;
};

// Runs `rule` on the context loaded from the variables, with the by-name environment, and stores
// what it changed.
template <class Rule>
auto runRuleByName(Rule&& rule) {
  RuleContext stored = loadRuleContext();
  RuleContext live = stored;
  RuleEnvByName env(live, stored);
  auto result = rule(live, env);
  env.flush();
  return result;
}

// Text forms the rules build messages from.
std::string ruleDateText(int32_t day);  // DTOC
std::string ruleNumberText(double v,
                           int width);    // STR(v, width) of a whole number; stars when too wide
std::string ruleTrimmedNumber(double v);  // ALLTRIM(STR(v))

}  // namespace zus
