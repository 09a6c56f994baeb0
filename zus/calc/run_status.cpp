// The record decision of the calculation and the status write of the transfer to payroll.
#include "zus/calc/run_status.h"

#include "zus/calc/run_tables.h"
#include "zus/shell/status_codes.h"

namespace zus::calcrun {

RecordAction recordAction(double status, bool repeat) {
  if (status == stat_const || (status > 90 && statusConst(status))) return RecordAction::NetOnly;
  if (status == stat_n_obl || statusError(status) || (status > 90 && !statusConst(status)))
    return RecordAction::Calculate;
  if (status == stat_sav_c) return repeat ? RecordAction::NetOnly : RecordAction::Leave;
  // 0, calculated, 90 and any code without a row: again only when asked for.
  return repeat ? RecordAction::Calculate : RecordAction::Leave;
}

void writeMonthStatus(double status) {
  SelectedArea selected("nieobec");
  rt::db::WorkArea& n = areaOf("nieobec");
  std::string employee = fieldText(areaOf("main"), "nr_prac");
  int32_t monthEnd = nextMonthStart(dateVar("_miesp"));
  // The walk follows the payout dates: a record paid in a later month is not the transfer's and
  // keeps its status, however its dates lie. The caller's order comes back afterwards.
  int callerOrder = n.order();
  int byPayout = n.orderByName("NIEOB_WYP");
  if (byPayout > 0 && byPayout != callerOrder) n.setOrder(byPayout);
  while (!n.eof() && fieldText(n, "nr_prac") == employee && fieldDate(n, "dat_wyp") < monthEnd) {
    // The record is locked (added to the caller's locks) before it is written; one that another
    // workstation holds keeps its status.
    if (hasKind(fieldText(n, "zasilek")) && !statusConst(fieldNumber(n, "status")) &&
        n.lockRecord(n.recno()))
      putField(n, "status", rt::Value::integer(int64_t(status)));
    n.skip(1);
  }
  if (n.order() != callerOrder) n.setOrder(callerOrder);
}

}  // namespace zus::calcrun
