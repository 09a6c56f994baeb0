// Shared steps of the yearly resets.
#include "zus/register/resets_common.h"

#include "zus/register/benefit_record.h"

namespace zus::resets {

using namespace reg;

bool openEmployeesExclusively() {
  if (call("_OPEN_SET", {txt("MAIN"), txt("e")}).logicalOr(false)) {
    selectAlias("main");
    return true;
  }
  // The suite's table set says nothing of a refused opening; the user must know why nothing was
  // reset.
  tell("Baza MAIN.DBF jest ux`ywana na innym stanowisku - opcja niewykonana !", 6);
  return false;
}

void forEveryRecord(const std::function<void()>& body) {
  for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP", {num(1)})) body();
}

void tell(const std::string& stored, int kind) {
  call("KOM3", {txt(stored), num(0), num(0), num(kind)});
}

void tellMissingField(const std::string& upperName) {
  tell("Brak pola \"" + upperName + " \" w bazie MAIN.DBF !", 6);
}

}  // namespace zus::resets
