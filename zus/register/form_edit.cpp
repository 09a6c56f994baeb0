// The benefit edit form `ED_NB` (see form_edit.h).
//
// Order of a save: the refusals, then the record lock (or the locked blank append), and only when
// that holds the employee's day counters and the record's fields. A record another workstation
// holds therefore leaves the counters and the employee's start of the sick-pay count as they were.
#include "zus/register/form_edit.h"

#include <exception>
#include <optional>
#include <string>

#include "runtime/db/work_areas.h"
#include "runtime/term/keyboard.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "zus/register/benefit_record.h"
#include "zus/register/field_checks.h"
#include "zus/register/form_copies.h"
#include "zus/register/form_keys.h"
#include "zus/register/form_layout.h"
#include "zus/register/form_payout.h"
#include "zus/register/form_support.h"
#include "zus/shell/kind_predicates.h"

namespace zus {
namespace {

using namespace form;

constexpr int kEsc = 27;
// Every key of the form in the 80 columns of the status line: blanks between the keys.
const char* const kFormStatusLine =
    "Enter-Potwierdzenie F5-Kopia F7-Odl`a`cz Ctrl_F2-Dni poza Esc-Rezygn. Ctrl_W-Zapis";

void restoreBrowseView() { callIfPresent("DAJ_SCOPY", {}, {}); }

// Runs the reader over `getList`, cursor shown, and empties the list afterwards.
void readEntries() {
  rt::term::screen().setCursorShape(rt::term::CursorShape::Normal);
  rt::Value list = var("getList");
  call("READMODAL", {list});
  set("getList", rt::Value::newArray(0));
  rt::term::screen().setCursorShape(rt::term::CursorShape::None);
}

// The refusal that stops a save, or nullptr.
const char* refusal() {
  const std::string kind = text("_zasilek");
  std::string trimmed = kind;
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
  if (trimmed.empty() || kind == text("pustykod"))
    return "Brak wskazania zasil`ku - zapis nie nasta`pi !";
  if (date("_dat_wyp") == 0) return "Nie wprowadzono daty wypl`aty - zapis nie nasta`pi !";
  if (kindIs(KindFamily::CH_ZUS, kind) && !kindOfSlot(27) && !kindOfSlot(20) &&
      text("_przy_pracy") == "N" && text("_czy_100") == "N" && number("_proc") == 100)
    return "Nie zaznaczono wypadku poza praca` lub 100% - zapis nie nasta`pi !";
  return nullptr;
}

// The record to write: a blank one appended and locked, or the edited one locked.
bool takeRecord(bool isNew) {
  rt::db::WorkArea* area = rt::db::workAreas().byAlias("nieobec");
  if (!area) return false;
  rt::db::workAreas().select(area->number());
  if (isNew) {
    // Appended with its fields in one write: a kill cannot leave a blank benefit behind.
    return call("_APPE_BLAN", {newRecordFields()}).logicalOr(false);
  }
  if (editedRecord() != 0 && area->recno() != editedRecord()) area->goTo(editedRecord());
  return call("_REC_LOCK").logicalOr(false);
}

// A form left by an unwinding (a hang-up, a kill) saves nothing: the start of the sick-pay count
// the start-date rule wrote goes back as on Esc, so that closing the tables does not write it.
class StartBackOnUnwinding {
 public:
  ~StartBackOnUnwinding() {
    if (std::uncaught_exceptions() == 0) return;
    try {
      if (sickPayStart() != date("_dat_zus")) setSickPayStart(date("_dat_zus"));
    } catch (...) {  // a destructor never throws
    }
  }
};

}  // namespace

rt::Value ED_NB(bool isNew) {
  rt::PrivateFrame frame(vars());
  declareWorkingCopies(isNew);
  StartBackOnUnwinding startBack;
  FormKeys keys;
  std::optional<ColourSet> colours(std::in_place, 38);

  rt::db::WorkArea* registerArea = rt::db::workAreas().byAlias("nieobec");
  if (isNew && !logical("brak_nb")) set("_dat_wyp", rt::Value::date(proposePayoutDate()));
  if (!isNew && registerArea) {
    rt::db::workAreas().select(registerArea->number());
    loadWorkingCopies();
  }
  EditedRecord edited(!isNew && registerArea ? registerArea->recno() : 0);

  const int wier = int(number("wier", kFormTop)), kol = int(number("kol", kFormLeft));
  StatusLine status(kFormStatusLine);
  FormWindow window(1, wier, kol, wier + int(number("szer", kFormHeight)), 79 - kol, {}, 38);
  set("okno_ed", window.handle());

  say(wier + 1, kol + 2, display("Rodzaj zasil`ku:"));
  if (isNew) {
    addKindEntry();
    readEntries();
    std::string abbreviation = text("skr_zas");
    if (abbreviation.find_first_not_of(' ') == std::string::npos) {
      colours.reset();
      window.close();
      status.restore();
      keys.release();
      return {};
    }
  }
  sayBold(wier + 1, kol + 18, text("skr_zas"));
  if (!isNew) OK_ZAS(wier + 1, kol + 29);
  rt::term::screen().say(wier + 2, kol + 2, std::string(74, char(0xC4)),
                         rt::term::screen().colors().standard());

  buildKindEntries();
  readEntries();
  keys.release();
  colours.reset();

  auto leaveUnsaved = [&] {
    if (sickPayStart() != date("_dat_zus")) setSickPayStart(date("_dat_zus"));
    window.close();
    status.restore();
    restoreBrowseView();
    return rt::Value::logical(false);
  };

  if (rt::term::keyboard().lastKey() == kEsc) {
    if (!OK_PROC()) {
      message(std::vector<std::string>{"Niepoprawna wartos`c` w polu Procent!",
                                       "Zmiana warosci na 0%!",
                                       "Sprawdz` podl`a`czona` tabele` do stax`u,",
                                       "opcja: Narze`dzia->Tabela do stax`u->Odl`a`czenie!"},
              9);
      set("_proc", num(0));
    }
    if (!decide(true, "Czy zapisac` dane ?")) return leaveUnsaved();
  }

  if (const char* refused = refusal()) {
    message(refused, 3);
    return leaveUnsaved();
  }
  if (!takeRecord(isNew)) {
    message(kRecordBusy, 3);
    return leaveUnsaved();
  }

  set("brak_nb", flag(false));
  callIfPresent("AKT_DNI", {var("_old_dni"), var("_old_pom"), var("_old_zas"), var("_old_licz")},
                {});
  window.close();
  status.restore();

  selectAlias("nieobec");
  writeWorkingCopies(isNew);
  reg::commitEmployeeAndRegister();

  rt::term::keyboard().stuff(std::string(1, '\0'));
  restoreBrowseView();
  call("CLEAR_KEYBOARD");
  return rt::Value::logical(true);
}

}  // namespace zus
