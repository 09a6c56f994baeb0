// Deletion of the current benefit record with its counter adjustment.
#include "zus/register/browse_delete.h"

#include <algorithm>

#include "zus/register/benefit_record.h"
#include "zus/register/browse_state.h"
#include "zus/register/form_support.h"
#include "zus/shell/kind_predicates.h"

namespace zus {

using namespace reg;

namespace {

// Takes `days` from a header counter (never below 0), writes it to the employee record and
// redraws it.
void takeBack(const CounterPlace& place, double days) {
  double left = std::max(0.0, numVar(place.var) - days);
  vars().assign(place.var, num(left));
  setField("main", place.field, num(left));
  showCounter(place);
}

// The record's days leave the employee's counters, unless the record was kept out of them.
void adjustCounters() {
  if (fieldFlag("nieobec", "o_zlicz")) return;
  std::string kind = fieldText("nieobec", "zasilek");
  double days = fieldNum("nieobec", "l_dni");
  if (kindIs(KindFamily::CHOROBOWY, kind) || kindIs(KindFamily::REHAB, kind)) {
    takeBack(kSickDays, days);
    // The count started with this absence: it has to start again.
    if (fieldType("main", "data_zus") == "D" &&
        fieldDate("main", "data_zus") == fieldDate("nieobec", "od") &&
        fieldDate("main", "data_zus") != 0)
      setField("main", "data_zus", rt::Value::date(0));
  } else if (kind == elementText("zas_zus", 2)) {
    takeBack(kCareDays, days);
    if (!fieldFlag("nieobec", "czy_dz")) takeBack(kFamilyCareDays, days);
  }
}

int64_t recno() { return call("RECNO").intOr(0); }
bool atEof() { return call("EOF").logicalOr(true); }
bool atBof() { return call("BOF").logicalOr(true); }

// The record the browse shows once the current one is gone: the next one of the scope, else the
// previous one; 0 when the record is the only one.
int64_t neighbour() {
  const int64_t here = recno();
  int64_t keep = 0;
  call("DBSKIP", {num(1)});
  if (!atEof() && recno() != here) {
    keep = recno();
  } else {
    call("DBGOTO", {num(double(here))});
    call("DBSKIP", {num(-1)});
    if (!atBof() && recno() != here) keep = recno();
  }
  call("DBGOTO", {num(double(here))});
  return keep;
}

}  // namespace

void KAS_ZASILEK() {
  selectAlias("nieobec");
  if (!call("_REC_LOCK").logicalOr(false)) {
    // Held at another workstation: the record stays, and the confirmed deletion does not pass
    // for done.
    form::message(kRecordBusyNoDelete, 3);
    return;
  }
  selectAlias("main");
  adjustCounters();

  selectAlias("nieobec");
  int64_t keep = neighbour();
  call("DBDELETE");
  commitEmployeeAndRegister();
  call("DBSKIP", {num(0)});
  call("DBGOTOP");
  if (atEof()) vars().assign("brak_nb", yes(true));
  if (keep > 0) call("DBGOTO", {num(double(keep))});
}

}  // namespace zus
