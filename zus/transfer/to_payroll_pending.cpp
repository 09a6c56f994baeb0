// Settling a payroll call left pending by a killed transfer or take-back.
#include "zus/transfer/to_payroll_pending.h"

#include <cmath>
#include <filesystem>

#include "runtime/core/error.h"
#include "runtime/db/file.h"
#include "zus/transfer/payroll_journal.h"
#include "zus/transfer/payroll_marks.h"
#include "zus/transfer/to_payroll_loop.h"

namespace zus {
namespace {

using namespace transfer_run;

std::string hundredthsText(const std::optional<int64_t>& v) {
  return v ? amountText(double(*v) / 100) : "brak pozycji";
}

// Writes the noted marks to the record; "" when they are on disk.
std::string writeNotedMarks(const PayrollIntent& intent) {
  rt::db::WorkArea& nieobec = areaOf("nieobec");
  DeletedHidden shown(false);  // a record the register deleted since keeps what payroll holds of it
  const uint32_t previous = nieobec.recno();
  struct Back {
    rt::db::WorkArea& area;
    uint32_t recno;
    ~Back() { area.goTo(recno); }
  } back{nieobec, previous};
  nieobec.goTo(intent.recno);
  if (nieobec.eof() || textOf(nieobec, "nr_prac") != intent.nr)
    return "dziennik wskazuje zapis innego pracownika";
  if (!nieobec.table().recordLocked(intent.recno) && !nieobec.lockRecord(intent.recno))
    return "zapis zasil`ku jest ux`ywany na innym stanowisku";
  putTransferMarks(nieobec, intent.place, intent.kind, intent.amount, intent.days, intent.arrearsMark);
  std::string why;
  commitRecord(nieobec, why);
  return why;
}

}  // namespace

std::string payrollJournalPath(const std::string& nr) {
  return PayrollJournal::pathFor(rt::db::File::directoryOf(areaOf("nieobec").table().path()), nr);
}

std::optional<int64_t> payrollItemValue(const std::string& nr, const std::string& item) {
  const int previous = selectedArea();
  selectAlias("dane_we");
  rt::Value value = rt::Value::number(0, 2);
  rt::Args a;
  a.push(rt::Value::text(nr));
  a.push(rt::Value::text(item));
  a.push(value, &value);
  bool held = rt::functions().call("WEZ_WE", a).logicalOr(false);
  selectAreaNumber(previous);
  if (!held) return std::nullopt;
  return int64_t(std::llround(value.numOr(0) * 100));
}

std::string settlePendingPayrollCall(const std::string& nr) {
  const std::string path = payrollJournalPath(nr);
  std::optional<PayrollIntent> intent;
  try {
    intent = PayrollJournal::read(path);
  } catch (const rt::Error& e) {
    if (e.kind() != rt::ErrorKind::Corrupt) return failureText(e);
    return "uszkodzony plik dziennika " + std::filesystem::path(path).filename().string();
  }
  if (!intent) {
    PayrollJournal::removeIfClear(path);
    return "";
  }
  if (intent->nr != nr) return "dziennik " + path + " nalez`y do innego pracownika";
  std::optional<int64_t> now = payrollItemValue(nr, intent->item);
  // The item as before: the call never reached payroll (a call that changes nothing ends here
  // too, and is harmless to make again).
  if (now != intent->before) {
    if (now != intent->after)
      return "pozycja " + intent->item + " w PL`ACACH ma " + hundredthsText(now) + ", a przed przesl`aniem " +
             hundredthsText(intent->before) + " i po nim " + hundredthsText(intent->after);
    std::string why = writeNotedMarks(*intent);
    if (!why.empty()) return why;
  }
  PayrollJournal::clear(path);
  PayrollJournal::removeIfClear(path);
  return "";
}

}  // namespace zus
