// Sick-note numbers, chains of sick notes and the 90-day rule.
#include "zus/register/counters_notes.h"

#include <cstdio>
#include <optional>
#include <set>
#include <vector>

#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "zus/register/benefit_record.h"
#include "zus/register/browse_state.h"
#include "zus/shell/kind_predicates.h"
#include "zus/shell/settings_support.h"

namespace zus {

using namespace reg;

namespace {

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

bool blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// Seeks a sick-note number in the controlling order (order 2): true only for that exact number.
bool seekNote(const std::string& note) {
  if (!call("DBSEEK", {txt(note)}).logicalOr(false)) return false;
  return trimmed(fieldText("nieobec", "nr_l_4")) == trimmed(note);
}

void clearScopes() {
  call("CMXCLRSCOPE", {num(0)});
  call("CMXCLRSCOPE", {num(1)});
}

// Days along the chain that starts with `note`, in the controlling order.
double walkChain(std::string note) {
  double days = 0;
  std::set<int64_t> visited;
  while (seekNote(note)) {
    if (!visited.insert(call("RECNO").intOr(0)).second) break;  // the chain came back on itself
    days += fieldNum("nieobec", "l_dni");
    note = fieldText("nieobec", "poprz_l_4");
    if (blank(note)) break;
  }
  return days;
}

// The scopes of a work area hold whatever order is controlling: the browse's employee scope
// would hide every sick-note number from the walk. Without the browse's view restored afresh
// (`restoreScope` false), the scopes are put aside for the walk and given back as they were.
double chainDays(bool restoreScope, const std::string& note, const rt::Value& record) {
  double days = 0;
  {
    std::optional<ScopesAside> aside;
    if (restoreScope)
      clearScopes();
    else
      aside.emplace();
    const rt::Value order = call("INDEXORD");
    call("ORDSETFOCUS", {num(kOrderNote)});
    days = walkChain(note);
    call("ORDSETFOCUS", {order});
  }
  if (restoreScope) DAJ_SCOPY();
  call("DBGOTO", {record});
  return days;
}

void message(const std::vector<std::string>& lines, int kind) {
  rt::Value a = rt::Value::newArray(0);
  for (const std::string& l : lines) a.arr().push_back(txt(l));
  call("KOM3", {a, num(0), num(0), num(kind)});
}

// The 90-day rule for rights before 8 February 2005: a sickness longer than 90 days along its
// chain of sick notes is split, or paid at 100% once the 90 days are behind.
void ninetyDayRule() {
  const double days = numVar("_l_dni");
  const double total = days + ILE_TYCH_DNI(true, textVar("_poprz_l_4"));
  const double before = total - days;
  if (total > 90 && before < 90) {
    std::string day =
        call("DTOC", {rt::Value::date(dateVar("_do") - int32_t(total) + 90)}).strOr("");
    message({"Zasil`ek ma wie`cej nix` 90 dni !", "90 dzien` przypada " + day + "r.",
             "Zasil`ek nalex`y wprowadzic` w dwo`ch pozycjach !"},
            5);
  } else if (before >= 90 && numVar("_proc") != 100) {
    call("KOM3", {txt("Zasil`ek ma l`a`cznie wie`cej nix` 90 dni. Program wpisze 100% zasil`ku."),
                  num(0), num(0), num(3)});
    vars().assign("_proc", num(100));
    std::string colour = call("K_SET_KOLOR", {num(0), num(38), num(5)}).strOr("");
    settings::sayIn(int(numVar("wier")) + 5, int(numVar("kol")) + 11, "100", colour);
  }
}

}  // namespace

bool CZY_JEST_L_4(const std::string& note, bool mustExist, bool newRecord) {
  bool exists = mustExist;
  if (!blank(note)) {
    const rt::Value record = call("RECNO");
    clearScopes();
    call("ORDSETFOCUS", {num(kOrderNote)});
    // Every record with the number counts but the edited record itself, which keeps its own.
    const int64_t own = newRecord ? 0 : record.intOr(0);
    exists = false;
    if (call("DBSEEK", {txt(note)}).logicalOr(false))
      for (; !call("EOF").logicalOr(true) &&
             trimmed(fieldText("nieobec", "nr_l_4")) == trimmed(note);
           call("DBSKIP", {num(1)}))
        if (call("RECNO").intOr(0) != own) {
          exists = true;
          break;
        }
    DAJ_SCOPY();
    call("DBGOTO", {record});
    rt::term::Screen& s = rt::term::screen();
    rt::term::CursorShape shape = s.cursorShape();
    s.setCursorShape(rt::term::CursorShape::None);
    if (!exists && mustExist) call("KOM3", {txt("Nie ma jeszcze takiego numeru L-4 !")});
    if (exists && !mustExist) call("KOM3", {txt("Taki numer L-4 jux` jest !")});
    s.setCursorShape(shape == rt::term::CursorShape::None ? rt::term::CursorShape::Normal : shape);
  }
  if (mustExist && dateVar("_data_prawa") < dateOf(2005, 2, 8) &&
      kindIs(KindFamily::CHOROBOWY, textVar("_zasilek")))
    ninetyDayRule();
  return exists;
}

double ILE_TYCH_DNI(bool restoreScope, std::optional<std::string> note) {
  const rt::Value record = call("RECNO");
  std::string start = note ? *note : fieldText("nieobec", "poprz_l_4");
  if (blank(start)) return 0;
  return chainDays(restoreScope, start, record);
}

double ILE_DNI(bool restoreScope, std::optional<bool> flag) {
  const rt::Value record = call("RECNO");
  bool on = flag ? *flag : fieldFlag("nieobec", "okr_zas");
  if (!on) return 0;
  rt::Value start = var("to_l_4");
  if (!start.isChar() || blank(start.str())) return 0;
  return chainDays(restoreScope, start.str(), record);
}

}  // namespace zus
