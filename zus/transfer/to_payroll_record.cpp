// The transfer to payroll for one employee: each benefit record paid in the month is compared
// with its transfer marks, the old values are taken back and the new ones written, and the marks
// are set to what payroll holds afterwards.
//
// What payroll holds of a record is described by its marks alone: `place` true means payroll
// holds `old_wart` in the amount item and, where days go to payroll for its kind, `old_dni` in
// the days item, both of the kind `old_zas` (or of `zasilek` while `old_zas` is empty). A record
// is booked (counted as transferred) only when everything went through; after a partial failure
// the marks still say exactly what was taken back and what was written, so that the next run
// neither takes a value back twice nor sends one twice.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/rounding.h"
#include "runtime/core/std_dates.h"
#include "runtime/db/file.h"
#include "runtime/db/work_areas.h"
#include "suite/payroll/transfer_units.h"
#include "suite/screen/services.h"
#include "zus/shell/kind_predicates.h"
#include "zus/shell/status_codes.h"
#include "zus/transfer/payroll_journal.h"
#include "zus/transfer/payroll_marks.h"
#include "zus/transfer/to_payroll.h"
#include "zus/transfer/to_payroll_loop.h"
#include "zus/transfer/to_payroll_pending.h"

namespace zus {
namespace {

using namespace transfer_run;

rt::Memvars& vars() { return rt::context().memvars; }

bool sameAmount(double a, double b) { return rt::roundHalfAway(a - b, 2) == 0; }

// Statuses whose value may go to payroll: constant, constant saved, calculated, too much input
// data, and the saved and calculated ones edited since.
bool sendable(double status) {
  for (int pos : {2, 4, 5, 8, 11, 12})
    if (statusTable()[size_t(pos - 1)].code == status) return true;
  return false;
}

bool doneOrNothing(int result) { return result == 0 || result == 4; }

// Days go to payroll for calculated kinds, or for every kind once slot 33 is linked, and never
// for a correction record or when only amounts are sent.
bool daysGoToPayroll(int slot, bool correction) {
  if (runNum("zusx_plc") != 1 || correction || slot == 0) return false;
  return kindIs(KindFamily::OBLI, linkText("zas_zus", slot)) || !blank(linkText("zas_zus", 33));
}

void seekKind(const std::string& kind) {
  rt::db::WorkArea& sl = areaOf("sl");
  sl.seek(rt::Value::text(kind), false);
}

void wrongDictionaryMessage(const std::string& nr) {
  rt::Value lines = rt::Value::newArray(0);
  lines.arr().push_back(rt::Value::text("Pracownik nr " + trimmed(nr) + " ma przypisany nieprawidl`owy sl`ownik: " +
                                        textOf(areaOf("sl"), "skrot")));
  lines.arr().push_back(rt::Value::text("Sprawdz` poprawnos`c` przypisania sl`owniko`w w opcji " +
                                        std::string("\"Pol`a`czenie ZUS/PL`ACE\"")));
  callByName("STATLINE", {rt::Value::integer(7)});
  callByName("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(0)});
  callByName("STATLINE", {rt::Value::integer(-1)});
}

int payrollCall(const char* routine, const std::string& item, const std::string& nr, double value) {
  return int(callByName(routine, {rt::Value::text(item), rt::Value::text(""), rt::Value::text(nr),
                                  rt::Value::number(value, 2)})
                 .intOr(3));
}

// A benefit record as the transfer sees it, and what happened to it in this run.
struct RecordSend {
  std::string nr, kind, oldKind;
  double amount = 0, days = 0, arrears = 0;
  double oldAmount = 0, oldDays = 0;
  bool sent = false, correction = false, removed = false;
  int32_t from = 0;

  int ok = 0, ok1 = 0, okX = 0, ok1X = 0;  // writes of amount and days, take-backs of both
  // What payroll holds of the record, and of which kind; the marks on disk always say so.
  double heldAmount = 0, heldDays = 0;
  std::string heldKind;
  ArrearsSent heldArrears;  // the part of heldDays in an arrears-days item
  // A mark could not be written: nothing more of the record goes to payroll in this run.
  bool stopped = false;
};

RecordSend readRecord(rt::db::WorkArea& nieobec, bool removed) {
  RecordSend r;
  r.nr = textOf(nieobec, "nr_prac");
  r.kind = textOf(nieobec, "zasilek");
  r.oldKind = textOf(nieobec, "old_zas");
  r.amount = fieldOf(nieobec, "wartosc").numOr(0);
  r.days = fieldOf(nieobec, "l_dni").numOr(0);
  r.arrears = fieldOf(nieobec, "dni_rob").numOr(0);
  r.oldAmount = fieldOf(nieobec, "old_wart").numOr(0);
  r.oldDays = fieldOf(nieobec, "old_dni").numOr(0);
  r.sent = fieldOf(nieobec, "place").logicalOr(false);
  r.correction = fieldOf(nieobec, "czy_korekt").logicalOr(false);
  rt::Value from = fieldOf(nieobec, "od");
  r.from = from.isDate() ? from.date() : 0;
  r.removed = removed;
  r.heldAmount = r.sent ? r.oldAmount : 0;
  r.heldDays = r.sent ? r.oldDays : 0;
  r.heldKind = r.sent ? (blank(r.oldKind) ? r.kind : r.oldKind) : "";
  r.heldArrears = r.sent ? arrearsFromMark(textOf(nieobec, "old_nr")) : ArrearsSent{};
  return r;
}

// Where the record's days go when sent now: the arrears days to the arrears item of its slot
// when that item is linked, the rest to the current-days item.
ArrearsSent arrearsTarget(int slot, double arrears) {
  std::string item = trimmed(linkText("zas_dni", JAKI_IND(slot)));
  if (item.empty() || arrears == 0) return {true, "", 0};
  return {true, item, arrears};
}

void putMarks(rt::db::WorkArea& nieobec, bool place, const std::string& kind, double amount, double days,
              const ArrearsSent& arrears) {
  putTransferMarks(nieobec, place, kind, amount, days, arrearsMark(arrears));
}

// The marks of what payroll holds now; a record of which payroll holds nothing is unsent.
void heldMarks(const RecordSend& r, PayrollIntent& marks) {
  const bool held = r.heldAmount != 0 || r.heldDays != 0;
  marks.place = held;
  marks.kind = held ? r.heldKind : "";
  marks.amount = held ? r.heldAmount : 0;
  marks.days = held ? r.heldDays : 0;
  marks.arrearsMark = arrearsMark(held ? r.heldArrears : ArrearsSent{});
}

void putHeldMarks(rt::db::WorkArea& nieobec, const RecordSend& r) {
  PayrollIntent m;
  heldMarks(r, m);
  putTransferMarks(nieobec, m.place, m.kind, m.amount, m.days, m.arrearsMark);
}

std::string benefitName(const RecordSend& r) {
  return "Pracownik nr " + trimmed(r.nr) + ", zasil`ek " + trimmed(r.kind) + " od " + rt::dtoc(r.from);
}

void message(const std::vector<std::string>& texts) {
  rt::Value lines = rt::Value::newArray(0);
  for (const std::string& t : texts) lines.arr().push_back(rt::Value::text(t));
  callByName("STATLINE", {rt::Value::integer(7)});
  callByName("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(0)});
  callByName("STATLINE", {rt::Value::integer(-1)});
}

// Notes in the employee's journal the call about to be made: the item's value before and after
// it, and the record's marks once it went through. False, with why, when the journal cannot be
// written (nothing may be sent then).
bool noteIntent(rt::db::WorkArea& nieobec, const RecordSend& r, const char* routine, const std::string& item,
                double value, const std::function<void(RecordSend&)>& applied, const std::string& journal,
                std::string& why) {
  PayrollIntent intent;
  intent.nr = r.nr;
  intent.recno = nieobec.recno();
  intent.routine = routine;
  intent.item = item;
  intent.change = int64_t(rt::roundHalfAway(value * 100, 0));
  intent.before = payrollItemValue(r.nr, item);
  if (intent.routine == "SAV_SKL") intent.after = intent.before.value_or(0) + intent.change;
  else if (intent.before) intent.after = *intent.before - intent.change;
  RecordSend after = r;
  applied(after);
  heldMarks(after, intent);
  try {
    // A call left pending by a failure earlier in this run must not be written over: the next
    // run settles it first.
    if (PayrollJournal::read(journal)) {
      why = "poprzednie przesl`anie pracownika nie jest rozliczone";
      return false;
    }
    PayrollJournal::write(journal, intent);
    return true;
  } catch (const rt::Error& e) {
    why = failureText(e);
    return false;
  }
}

// One call of the payroll library, its effect on what payroll holds, and the marks written to
// the disk at once. When the marks cannot be written the call is given back (the value is
// known), so that the marks on disk and payroll still agree; the record then stops with a
// critical error and a message naming the employee and the benefit. Returns the call's result,
// 3 after such a stop.
int payrollStep(rt::db::WorkArea& nieobec, RecordSend& r, const char* routine, const std::string& item,
                double value, const std::function<void(RecordSend&)>& applied) {
  if (r.stopped) return 3;
  const std::string journal = payrollJournalPath(r.nr);
  std::string why;
  if (!noteIntent(nieobec, r, routine, item, value, applied, journal, why)) {
    r.stopped = true;
    message({benefitName(r) + ": nie zapisano dziennika przesl`ania do PL`AC (" + why + ").",
             "Nic nie przesl`ano; zasil`ek zostanie przesl`any ponownie."});
    return 3;
  }
  payrollStepReached("intent");
  int result = payrollCall(routine, item, r.nr, value);
  payrollStepReached("payroll");
  if (!doneOrNothing(result)) {
    PayrollJournal::clear(journal);
    return result;
  }
  RecordSend before = r;
  applied(r);
  putHeldMarks(nieobec, r);
  if (commitRecord(nieobec, why)) {
    payrollStepReached("marks");
    PayrollJournal::clear(journal);
    return result;
  }
  bool changed = result == 0;
  bool givenBack = !changed || payrollCall(std::string(routine) == "SAV_SKL" ? "DEL_SKL" : "SAV_SKL", item, r.nr,
                                           value) == 0;
  // Given back, payroll holds what the marks on disk say; otherwise the journal stays, and the
  // next run that takes the employee writes the marks of the call.
  if (givenBack) PayrollJournal::clear(journal);
  r.heldAmount = before.heldAmount;
  r.heldDays = before.heldDays;
  r.heldKind = before.heldKind;
  r.heldArrears = before.heldArrears;
  r.stopped = true;
  message({benefitName(r) + ": nie zapisano znacznika przesl`ania do PL`AC (" + why + ").",
           givenBack ? std::string("Wartos`c` przesl`ana` do PL`AC cofnie`to; zasil`ek zostanie przesl`any ponownie.")
                     : "Nie udal`o sie` cofna`c` wartos`ci " + amountText(value) + " pozycji " + item +
                           "; znacznik zostanie zapisany przy naste`pnym przepisywaniu."});
  return 3;
}

// Takes back what payroll holds of the record when the record changed (or is gone). DANE_WE is
// selected.
void takeBack(rt::db::WorkArea& nieobec, RecordSend& r) {
  if (!r.sent) return;
  int slot = transferSlotOfKind(r.heldKind);
  bool daysHeld = slot != 0 && daysGoToPayroll(slot, r.correction);
  if (!daysHeld) {
    r.heldDays = 0;
    r.heldArrears = ArrearsSent{};
  }
  bool kindChanged = r.heldKind != r.kind;
  bool amountChanged = r.removed || kindChanged || !sameAmount(r.oldAmount, r.amount);
  bool splitChanged = r.heldArrears.known && daysGoToPayroll(slot, r.correction) &&
                      arrearsMark(r.heldArrears) != arrearsMark(arrearsTarget(slot, r.arrears));
  bool daysChanged = r.removed || kindChanged || r.oldDays != r.days || splitChanged;
  bool takeDays = daysHeld && daysChanged && r.heldDays != 0;
  if (!amountChanged && !takeDays) return;
  vars().assign("indeksik", rt::Value::integer(slot));
  seekKind(r.oldKind);
  if (slot == 0) {
    wrongDictionaryMessage(r.nr);
    r.okX = 3;
    return;
  }
  int check = SPRAWDZ_POLACZENIE(slot);
  if (check == 1) r.okX = 3;
  if (check == 2) r.ok1X = 3;
  if (check != 0) return;
  double mianownik = runNum("mianownik");
  if (amountChanged) {
    double old = r.oldAmount;
    double zabezp = old > suite::payrollOldAmountLimit() / mianownik ? rt::roundHalfAway(old / mianownik, 2) : old;
    vars().assign("zabezp", rt::Value::number(zabezp, 2));
    r.okX = payrollStep(nieobec, r, "DEL_SKL", linkText("zas_place", slot), zabezp,
                        [](RecordSend& s) { s.heldAmount = 0; });
  }
  if (!takeDays) return;
  if (!r.heldArrears.known) {
    // Sent before the split was kept: all the days are taken from the current-days item, which
    // is right only when none went to the arrears item then.
    if (r.arrears != 0 && !blank(linkText("zas_dni", JAKI_IND(slot))))
      vars().get("uwagi_dni").arr().push_back(rt::Value::text(
          benefitName(r) + ": dni cofnie`to z pozycji dni biex`a`cych - sprawdz` dni zalegl`e w PL`ACACH"));
  }
  double current = r.heldDays - r.heldArrears.days;
  if (current != 0) {
    r.ok1X = payrollStep(nieobec, r, "DEL_SKL", linkText("zas_dni", DAJ_IND(slot)), current,
                         [current](RecordSend& s) { s.heldDays -= current; });
    if (!doneOrNothing(r.ok1X)) return;
  }
  if (r.heldArrears.days != 0) {
    double arrears = r.heldArrears.days;
    r.ok1X = payrollStep(nieobec, r, "DEL_SKL", r.heldArrears.item, arrears, [arrears](RecordSend& s) {
      s.heldDays -= arrears;
      s.heldArrears = ArrearsSent{};
    });
  }
}

// Writes what payroll does not hold yet; only after every take-back went through, so that a
// value is never sent while the old one is still there. DANE_WE is selected. What is still held
// at this point equals what is to be sent (anything that differed was taken back).
void write(rt::db::WorkArea& nieobec, RecordSend& r) {
  if (r.removed || r.stopped || !doneOrNothing(r.okX) || !doneOrNothing(r.ok1X)) return;
  int slot = transferSlotOfKind(r.kind);
  vars().assign("indeksik", rt::Value::integer(slot));
  seekKind(r.kind);
  if (slot == 0) {
    wrongDictionaryMessage(r.nr);
    r.ok = 3;
    return;
  }
  int check = SPRAWDZ_POLACZENIE(slot);
  if (check == 1) r.ok = 3;
  if (check == 2) r.ok1 = 3;
  if (check != 0) return;
  if (!sameAmount(r.heldAmount, r.amount)) {
    double amount = r.amount;
    std::string kind = r.kind;
    r.ok = payrollStep(nieobec, r, "SAV_SKL", linkText("zas_place", slot), amount, [amount, kind](RecordSend& s) {
      s.heldAmount = amount;
      s.heldKind = kind;
    });
    if (r.ok != 0) return;
  }
  if (daysGoToPayroll(slot, r.correction) && r.heldDays != r.days) {
    ArrearsSent target = arrearsTarget(slot, r.arrears);
    std::string kind = r.kind;
    // The current days go first and the arrears days after them; the marks follow each step.
    double current = r.days - target.days;
    vars().assign("dni_wysl", rt::Value::number(current));
    if (current != 0) {
      r.ok1 = payrollStep(nieobec, r, "SAV_SKL", linkText("zas_dni", DAJ_IND(slot)), current,
                          [current, kind](RecordSend& s) {
                            s.heldDays += current;
                            s.heldKind = kind;
                            s.heldArrears = ArrearsSent{};
                          });
      if (r.ok1 != 0) return;
    }
    if (target.days != 0) {
      r.ok1 = payrollStep(nieobec, r, "SAV_SKL", target.item, target.days, [target, kind](RecordSend& s) {
        s.heldDays += target.days;
        s.heldKind = kind;
        s.heldArrears = target;
      });
    }
  }
}

// The marks after the run. A booked record remembers what it was sent as; otherwise the marks
// say what payroll still holds, and a record of which payroll holds nothing is unsent again.
void writeMarks(rt::db::WorkArea& nieobec, const RecordSend& r, bool booked) {
  if (booked && !r.removed) {
    int slot = transferSlotOfKind(r.kind);
    bool days = daysGoToPayroll(slot, r.correction);
    putMarks(nieobec, true, r.kind, r.amount, r.days, days ? arrearsTarget(slot, r.arrears) : ArrearsSent{});
    return;
  }
  if (!r.sent && r.heldAmount == 0 && r.heldDays == 0) return;
  putHeldMarks(nieobec, r);
}

// Whether the record is unchanged since it was booked: kind, amount (also in the old units),
// days as sent, and where the arrears days went when that is known.
bool unchangedSinceSent(rt::db::WorkArea& nieobec) {
  if (!fieldOf(nieobec, "place").logicalOr(false)) return false;
  double amount = fieldOf(nieobec, "wartosc").numOr(0), old = fieldOf(nieobec, "old_wart").numOr(0);
  std::string kind = textOf(nieobec, "zasilek");
  bool same = kind == textOf(nieobec, "old_zas") &&
              (sameAmount(amount, old) || sameAmount(amount * runNum("mianownik"), old)) &&
              fieldOf(nieobec, "l_dni").numOr(0) == fieldOf(nieobec, "old_dni").numOr(0);
  if (!same) return false;
  ArrearsSent held = arrearsFromMark(textOf(nieobec, "old_nr"));
  int slot = transferSlotOfKind(kind);
  if (!held.known || slot == 0 || !daysGoToPayroll(slot, fieldOf(nieobec, "czy_korekt").logicalOr(false)))
    return true;
  return arrearsMark(held) == arrearsMark(arrearsTarget(slot, fieldOf(nieobec, "dni_rob").numOr(0)));
}

enum class Outcome { Next, LeaveEmployee };

// Sends one locked record (or takes back a removed one) and settles its marks and counters.
Outcome settleRecord(rt::db::WorkArea& nieobec, RecordSend& r, bool removed, bool& bookedAny) {
  for (const char* name : {"ok", "ok1", "ok_x", "ok1_x"}) vars().assign(name, rt::Value::integer(0));
  vars().assign("zabezp", rt::Value::number(r.oldAmount, 2));
  selectAlias("dane_we");
  takeBack(nieobec, r);
  write(nieobec, r);
  selectAlias("nieobec");
  vars().assign("ok", rt::Value::integer(r.ok));
  vars().assign("ok1", rt::Value::integer(r.ok1));
  vars().assign("ok_x", rt::Value::integer(r.okX));
  vars().assign("ok1_x", rt::Value::integer(r.ok1X));

  if (r.stopped) {
    // Payroll and the marks on disk agree as before the failed write; the record waits.
    addToRunVar("bylybledy", 1);
    return Outcome::Next;
  }
  bool booked = r.ok == 0 && r.ok1 == 0 && doneOrNothing(r.okX) && doneOrNothing(r.ok1X);
  writeMarks(nieobec, r, booked && !removed);
  if (booked) {
    if (removed) addToRunVar("razem_usun", 1);
    else {
      addToRunVar("razem_zas", 1);
      bookedAny = true;
    }
    return Outcome::Next;
  }
  int codes[] = {r.ok, r.ok1, r.okX, r.ok1X};
  if (removed) {
    // A removed record has no status to give and no following records to stop.
    bool network = std::find(std::begin(codes), std::end(codes), 1) != std::end(codes);
    addToRunVar(network ? "fatal" : "bylybledy", 1);
    return Outcome::Next;
  }
  for (int c : codes)
    if (c == 1) {
      putField(nieobec, "status", rt::Value::integer(stat_dost));
      addToRunVar("fatal", 1);
      return Outcome::Next;
    }
  if (r.ok == 2 || r.ok1 == 2) {
    callByName("WPISZ_STAT", {rt::Value::integer(stat_dwej)});
    return Outcome::LeaveEmployee;
  }
  if (r.okX == 2 || r.ok1X == 2) {
    callByName("WPISZ_STAT", {rt::Value::integer(stat_dost)});
    return Outcome::LeaveEmployee;
  }
  for (int c : codes)
    if (c == 3) {
      addToRunVar("bylybledy", 1);
      return Outcome::Next;
    }
  return Outcome::Next;
}

Outcome sendRecord(rt::db::WorkArea& nieobec, bool removed, bool& bookedAny) {
  RecordSend r = readRecord(nieobec, removed);
  Outcome outcome = settleRecord(nieobec, r, removed, bookedAny);
  std::string why;
  if (!commitRecord(nieobec, why)) {
    // Every payroll call already has its marks on disk; what is lost is the booking or status.
    message({benefitName(r) + ": nie zapisano stanu zasil`ku (" + why + ")."});
    addToRunVar("bylybledy", 1);
  }
  return outcome;
}

std::string monthKey(int32_t day) { return rt::dtos(day).substr(0, 6); }

// Walks the employee's records paid in the month, from the current NIEOBEC position, and calls
// `body` for each; `body` returns false to stop.
template <typename Body>
void walkMonth(rt::db::WorkArea& nieobec, const std::string& nr, int32_t monthEnd, Body body) {
  while (!nieobec.eof() && textOf(nieobec, "nr_prac") == nr) {
    rt::Value paid = fieldOf(nieobec, "dat_wyp");
    if (!paid.isDate() || paid.date() >= monthEnd) break;
    if (!body()) break;
    nieobec.skip(1);
  }
}

// Records of the month the register deleted while payroll still holds their values.
bool hasRemovedSent(rt::db::WorkArea& nieobec, const std::string& key, const std::string& nr, int32_t monthEnd) {
  DeletedHidden shown(false);
  bool any = false;
  if (nieobec.seek(rt::Value::text(key), false))
    walkMonth(nieobec, nr, monthEnd, [&] {
      any = nieobec.deleted() && fieldOf(nieobec, "place").logicalOr(false);
      return !any;
    });
  return any;
}

void takeBackRemoved(rt::db::WorkArea& nieobec, const std::string& key, const std::string& nr, int32_t monthEnd) {
  DeletedHidden shown(false);
  bool unused = false;
  if (!nieobec.seek(rt::Value::text(key), false)) return;
  walkMonth(nieobec, nr, monthEnd, [&] {
    if (nieobec.deleted() && fieldOf(nieobec, "place").logicalOr(false) &&
        callByName("_REC_LOCK").logicalOr(false))
      sendRecord(nieobec, true, unused);
    return true;
  });
}

std::string payrollFailure(int code) {
  switch (code) {
    case 1: return "bl`a`d doste`pu w sieci";
    case 2: return "brak doste`pu do danych pl`acowych pracownika";
    default: return "bl`a`d krytyczny";
  }
}

}  // namespace

std::string takeBackForResend() {
  rt::PrivateFrame frame(vars());
  for (const char* name : {"indeksik", "ok_x", "ok1_x", "zabezp"}) vars().declarePrivate(name, rt::Value::integer(0));
  vars().declarePrivate("mianownik", rt::Value::integer(int64_t(suite::payrollAmountDivisor())));
  vars().declarePrivate("uwagi_dni", rt::Value::newArray(0));
  int previous = selectedArea();
  rt::db::WorkArea& nieobec = areaOf("nieobec");
  bool ownInput = rt::db::workAreas().byAlias("dane_we") == nullptr;
  if (ownInput && !callByName("_OPEN_SET", {rt::Value::text("DANE_WE"), rt::Value::text("S")}).logicalOr(false)) {
    selectAreaNumber(previous);
    return "nie mox`na otworzyc` danych pl`acowych (DANE_WE)";
  }
  const std::string nr = textOf(nieobec, "nr_prac");
  RecordSend r;
  std::string why;
  try {
    // The register holds the employee: a call a killed run left pending is settled first, so
    // that the marks read here say what payroll holds.
    why = settlePendingPayrollCall(nr);
    if (!why.empty()) why = "przerwane wczes`niej przesl`anie nie jest rozliczone: " + why;
    else {
      r = readRecord(nieobec, true);
      selectAlias("dane_we");
      takeBack(nieobec, r);
      PayrollJournal::removeIfClear(payrollJournalPath(nr));
    }
  } catch (const rt::Error& e) {
    why = failureText(e);
  }
  if (ownInput) callByName("_CLOSE_SET", {rt::Value::text("DANE_WE")});
  selectAreaNumber(previous);
  if (!why.empty()) return why;
  if (r.stopped) return "nie zapisano znacznika przesl`ania";
  if (!doneOrNothing(r.okX)) return payrollFailure(r.okX);
  if (!doneOrNothing(r.ok1X)) return payrollFailure(r.ok1X);
  putMarks(nieobec, false, "", 0, 0, ArrearsSent{});
  if (!commitRecord(nieobec, why)) return why;
  std::vector<std::string> notes;
  for (const rt::Value& n : vars().get("uwagi_dni").arr()) notes.push_back(n.strOr(""));
  if (!notes.empty()) message(notes);
  return "";
}

void WRITE_FACETA() {
  rt::PrivateFrame frame(vars());
  for (const char* name : {"indeksik", "if_write", "ok", "ok1", "ok_x", "ok1_x", "dni_wysl", "zabezp"})
    vars().declarePrivate(name, rt::Value::integer(0));
  rt::db::WorkArea& main = areaOf("main");
  rt::db::WorkArea& nieobec = areaOf("nieobec");
  showEmployeeName(main);
  addToRunVar("razem_prac", 1);

  std::string nr = textOf(main, "nr_prac");
  int32_t month = runVar("_miesp").isDate() ? runVar("_miesp").date() : 0;
  int32_t monthEnd = suite::addMonths(month, 1);
  std::string key = nr + monthKey(month);
  selectAlias("nieobec");
  bool removedSent = hasRemovedSent(nieobec, key, nr, monthEnd);
  bool live = nieobec.seek(rt::Value::text(key), false);
  const std::string journal = payrollJournalPath(nr);
  const bool pending = rt::db::File::exists(journal);
  if (!live && !removedSent && !pending) {
    selectAlias("main");
    return;
  }
  selectAlias("main");
  if (!callByName("_REC_LOCK").logicalOr(false)) {
    addToRunVar("razem_lock", 1);
    return;
  }
  selectAlias("nieobec");
  if (pending) {
    // A call of a killed run: payroll and the marks are brought to agree before anything else of
    // the employee goes to payroll, or the employee waits.
    std::string why = settlePendingPayrollCall(nr);
    if (!why.empty()) {
      message({"Pracownik nr " + trimmed(nr) + ": nie rozliczono przerwanego przesl`ania do PL`AC (" + why + ").",
               "Zasil`ki pracownika nie zostal`y przepisane."});
      addToRunVar("bylybledy", 1);
      nieobec.unlockAll();
      selectAlias("main");
      return;
    }
    removedSent = hasRemovedSent(nieobec, key, nr, monthEnd);
  }
  if (removedSent) takeBackRemoved(nieobec, key, nr, monthEnd);

  bool bookedAny = false;
  if (nieobec.seek(rt::Value::text(key), false)) {
    walkMonth(nieobec, nr, monthEnd, [&] {
      bool ifWrite = sendable(fieldOf(nieobec, "status").numOr(0));
      vars().assign("if_write", rt::Value::logical(ifWrite));
      if (!ifWrite || unchangedSinceSent(nieobec)) return true;
      if (!callByName("_REC_LOCK").logicalOr(false)) return true;
      return sendRecord(nieobec, false, bookedAny) == Outcome::Next;
    });
  }
  PayrollJournal::removeIfClear(journal);
  nieobec.unlockAll();
  selectAlias("main");
  if (bookedAny) putField(main, "stat_obl", rt::Value::integer(1));
}

}  // namespace zus
