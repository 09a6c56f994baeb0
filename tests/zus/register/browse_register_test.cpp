// The register browse: entry without a link, the employee's records in the browse with and
// without the year filter, deletion and its counters, the question for an empty scope, the start
// date of the sick-pay count (F8) and the kind column's text.
#include "runtime/core/expr.h"
#include "runtime/term/keyboard.h"
#include "runtime/term/terminal.h"
#include "tests/support/scoped_functions.h"
#include "tests/zus/register/browse_fixture.h"
#include "zus/register/browse_delete.h"
#include "zus/register/form_edit.h"
#include "zus/register/nb_zas.h"

namespace register_test {
namespace {

using namespace rt::term;

class RegisterBrowse : public RegisterCompany {
 protected:
  void SetUp() override {
    RegisterCompany::SetUp();
    employee("    1", "Nowak",
             {{"dni_ch", num(20)},
              {"dni_op", num(10)},
              {"dni_rdz", num(4)},
              {"dni_poza", num(3)},
              {"data_zus", day(2024, 1, 2)}});
    employee("    2", "Kowalska", {{"data_zus", day(2024, 1, 1)}});
    employee("    3", "Wisniewski", {{"data_zus", day(2024, 1, 1)}});
    add("MAIN_2", {{"nr_prac", txt("    1")}, {"data_ur", day(1970, 5, 5)}});
    add("MAIN_2", {{"nr_prac", txt("    3")}});
    benefit("    1", 10, day(2024, 1, 2), day(2024, 1, 11), day(2024, 2, 10));
    benefit("    1", 1, day(2024, 2, 1), day(2024, 2, 10), day(2024, 3, 10),
            {{"czy_korekt", flag(true)}});
    benefit("    1", 2, day(2024, 2, 12), day(2024, 2, 15), day(2024, 3, 11));
    benefit("    3", 10, day(2022, 5, 2), day(2022, 5, 4), day(2022, 5, 10));
    benefit("    3", 10, day(2023, 5, 2), day(2023, 5, 4), day(2023, 5, 10));
    // A status no message belongs to still shows in the browse.
    benefit("    3", 10, day(2024, 2, 2), day(2024, 2, 4), day(2024, 2, 10), {{"status", num(91)}});
  }

  // Records the browse can show: those of the scope that are not marked deleted.
  static int64_t keysInScope() {
    rt::Value here = call("RECNO");
    int64_t n = 0;
    for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) ++n;
    call("DBGOTO", {here});
    return n;
  }
  static std::string currentKind() {
    return call("FIELDGET", {call("FIELDPOS", {txt("ZASILEK")})}).strOr("");
  }
  // Goes to the employee's record of the kind slot within the browse's scope.
  static void goToKind(int slot) {
    for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP"))
      if (currentKind() == kind(slot)) return;
    FAIL() << "no record of kind " << slot;
  }
};

TEST_F(RegisterBrowse, WithoutLinkTheMessageIsShownAndNoTableOpened) {
  vars().assign("czy_jest_mem", flag(false));
  chosen = {"    1"};
  zus::WPROW_NB();
  EXPECT_TRUE(said("Nie dokonano pol`a`czenia modul`o`w ZUS i PL`ACE !"));
  EXPECT_EQ(call("SELECT", {txt("nieobec")}).intOr(-1), 0);
  EXPECT_EQ(chosen.size(), 1u) << "the employee choice must not run";
}

TEST_F(RegisterBrowse, ShowsTheChosenEmployeesRecordsAndHeader) {
  int64_t shown = -1;
  std::string screen, counters, outside;
  inBrowse("    1", [&](int) {
    shown = keysInScope();
    screen = h.textUtf8();
    counters = h.lineUtf8(4);
    outside = h.lineUtf8(5);
    return zus::kLeaveBrowse;
  });
  EXPECT_EQ(shown, 3);
  EXPECT_NE(screen.find("Dane o zasiłkach"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Nowak  Jan      Nr:     1"), std::string::npos) << screen;
  EXPECT_NE(counters.find("Dni do okr.zasił.:  20"), std::string::npos) << counters;
  EXPECT_NE(counters.find("Dni op. (ogół):  10"), std::string::npos) << counters;
  EXPECT_NE(outside.find("33 lub 14 dni):  3 Data urodz.: 05.05.1970"), std::string::npos)
      << outside;
  EXPECT_TRUE(messages.empty()) << messages.front();
  // The register ends when the choice is left: its tables are closed.
  EXPECT_EQ(call("SELECT", {txt("nieobec")}).intOr(-1), 0);
}

// A start of the sick-pay count from an earlier year: the warning names the menu option that sets
// it for everybody as the menu shows it.
TEST_F(RegisterBrowse, AnOldStartOfTheCountLeadsToTheMenuOptionThatSetsIt) {
  employee("    4", "Zielinski", {{"data_zus", day(2023, 1, 1)}});
  benefit("    4", 10, day(2024, 2, 2), day(2024, 2, 4), day(2024, 2, 10));
  inBrowse("    4", [&](int) { return zus::kLeaveBrowse; });
  EXPECT_TRUE(said("\"Narze`dzia\\Pocza`tek roku kontrolnego\""));
}

TEST_F(RegisterBrowse, YearFilterLimitsTheScopeToThePreviousAndCurrentYear) {
  struct Case {
    bool filter;
    int64_t records;
    const char* note;
  };
  for (const Case& c : {Case{false, 3, ""}, Case{true, 2, "FILTR na lata: 2023-2024"}}) {
    vars().assign("zusx_filtr", flag(c.filter));
    int64_t shown = -1;
    std::string header;
    inBrowse("    3", [&](int) {
      shown = keysInScope();
      header = h.line(3);
      // Every column of every record can be shown.
      rt::Value columns = vars().get("pola");
      for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP"))
        for (const rt::Value& column : columns.arr())
          EXPECT_NO_THROW(rt::evalText(column.str())) << column.str();
      return zus::kLeaveBrowse;
    });
    EXPECT_EQ(shown, c.records) << "filter " << c.filter;
    if (*c.note)
      EXPECT_NE(header.find(c.note), std::string::npos) << header;
    else
      EXPECT_EQ(header.find("FILTR"), std::string::npos) << header;
  }
  // Employee 3 has a personnel record without a birth date.
  EXPECT_TRUE(said("Pracownik nie ma wprowadzonej daty urodzenia!"));
}

struct DeleteCase {
  const char* name;
  int slot;
  Fields employeeFields;  // counters before
  Fields recordFields;    // more fields of the deleted record
  double sick, care, family;
  bool startDateEmptied;
};

TEST_F(RegisterBrowse, DeletionTakesTheDaysBackFromTheCounters) {
  const DeleteCase cases[] = {
      {"sick pay starting the count", 10, {}, {}, 10, 10, 4, true},
      {"counter never below zero", 10, {{"dni_ch", num(5)}}, {}, 0, 10, 4, true},
      {"kept out of the counters", 10, {}, {{"o_zlicz", flag(true)}}, 20, 10, 4, false},
      {"care of another family member", 2, {}, {}, 20, 0, 0, false},
      {"care of a child", 2, {{"dni_op", num(12)}}, {{"czy_dz", flag(true)}}, 20, 2, 4, false},
  };
  for (const DeleteCase& c : cases) {
    SCOPED_TRACE(c.name);
    call("DBCLOSEALL");
    for (const char* t : {"MAIN", "NIEOBEC"})
      suite::createTable(suite::tablePath(*suite::findTable(t)), *suite::findTable(t));
    Fields counters{{"dni_ch", num(20)},
                    {"dni_op", num(10)},
                    {"dni_rdz", num(4)},
                    {"data_zus", day(2024, 1, 2)}};
    for (auto& f : c.employeeFields) counters.push_back(f);
    employee("    1", "Nowak", counters);
    benefit("    1", 1, day(2024, 1, 20), day(2024, 1, 25), day(2024, 2, 10));
    benefit("    1", c.slot, day(2024, 1, 2), day(2024, 1, 11), day(2024, 1, 12), c.recordFields);
    benefit("    1", 1, day(2024, 2, 20), day(2024, 2, 25), day(2024, 3, 10));
    int64_t after = -1;
    bool brak = true;
    inBrowse("    1", [&](int) {
      goToKind(c.slot);
      zus::KAS_ZASILEK();
      after = keysInScope();
      brak = vars().get("brak_nb").logicalOr(true);
      // The browse is left on the next record of the scope.
      EXPECT_EQ(call("DTOS", {call("FIELDGET", {call("FIELDPOS", {txt("OD")})})}).strOr(""),
                "20240120");
      return zus::kLeaveBrowse;
    });
    EXPECT_EQ(after, 2);
    EXPECT_FALSE(brak);
    EXPECT_EQ(employeeField("    1", "dni_ch").numOr(-1), c.sick);
    EXPECT_EQ(employeeField("    1", "dni_op").numOr(-1), c.care);
    EXPECT_EQ(employeeField("    1", "dni_rdz").numOr(-1), c.family);
    EXPECT_EQ(employeeField("    1", "data_zus").date() == 0, c.startDateEmptied);
  }
}

TEST_F(RegisterBrowse, DeletingTheLastRecordAsksForANewOneAtTheNextCall) {
  int answer = -1;
  inBrowse("    2", [&](int) {
    // Employee 2 has no record: the first call asks; Yes opens the form for a new record.
    answers = {true};
    EXPECT_EQ(zus::DBE_NB(zus::kBrowseIdle), zus::kRedraw);
    EXPECT_EQ(formCalls, std::vector<bool>{true});
    return zus::kLeaveBrowse;
  });
  EXPECT_TRUE(asked("Czy wprowadzic` nowy zasil`ek ?"));

  call("DBCLOSEALL");
  benefit("    2", 10, day(2024, 2, 2), day(2024, 2, 4), day(2024, 2, 10));
  questions.clear();
  inBrowse("    2", [&](int) {
    EXPECT_FALSE(vars().get("brak_nb").logicalOr(true));
    // Del and Yes deletes the only record; the next call of the handler asks, and No leaves.
    keyboard().setLastKey(K_DEL);
    answers = {true};
    EXPECT_EQ(zus::DBE_NB(zus::kBrowseKey), zus::kRedraw);
    EXPECT_TRUE(vars().get("brak_nb").logicalOr(false));
    answers = {false};
    answer = zus::DBE_NB(zus::kBrowseIdle);
    return zus::kLeaveBrowse;
  });
  EXPECT_EQ(answer, zus::kLeaveBrowse);
  EXPECT_TRUE(asked("Czy chcesz usuna`c` wskazany zapis o nieobecnos`ci ?"));
  EXPECT_TRUE(asked("Czy wprowadzic` nowy zasil`ek ?"));
}

TEST_F(RegisterBrowse, KeysOfTheHandler) {
  struct KeyCase {
    int key, mode, answer;
  };
  const KeyCase cases[] = {
      {K_ENTER, zus::kBrowseKey, zus::kRedraw},
      {K_INS, zus::kBrowseKey, zus::kRedraw},
      {K_ESC, zus::kBrowseKey, zus::kLeaveBrowse},
      {K_DOWN, zus::kBrowseKey, zus::kGoOn},
      {K_CTRL_W, zus::kBrowseIdle, zus::kLeaveBrowse},
      {K_DOWN, zus::kBrowseIdle, zus::kGoOn},
      {K_ESC, 3, zus::kGoOn},
  };
  inBrowse("    1", [&](int) {
    for (const KeyCase& c : cases) {
      keyboard().setLastKey(c.key);
      EXPECT_EQ(zus::DBE_NB(c.mode), c.answer) << "key " << c.key << " mode " << c.mode;
    }
    // Del answered No keeps the record.
    keyboard().setLastKey(K_DEL);
    answers = {false};
    EXPECT_EQ(zus::DBE_NB(zus::kBrowseKey), zus::kGoOn);
    EXPECT_EQ(keysInScope(), 3);
    return zus::kLeaveBrowse;
  });
  EXPECT_EQ(formCalls, (std::vector<bool>{false, true}));
}

TEST_F(RegisterBrowse, F8WritesTheStartDateUnderTheEmployeesLock) {
  bool lockedWhileWritten = false;
  inBrowse("    1", [&](int) {
    std::string typed = call("DTOC", {day(2024, 2, 1)}).strOr("");
    for (char ch : typed)
      if (ch >= '0' && ch <= '9') h.keys({ch});
    h.keys({K_ENTER});
    keyboard().setLastKey(K_F8);
    EXPECT_EQ(zus::DBE_NB(zus::kBrowseKey), zus::kGoOn);
    call("DBSELECTAREA", {txt("main")});
    rt::Value locks = call("DBRLOCKLIST");
    lockedWhileWritten = locks.isArray() && locks.arr().size() == 1 &&
                         locks.arr()[0].intOr(0) == call("RECNO").intOr(-1);
    // Esc leaves the date as it is.
    h.keys({'9', K_ESC});
    keyboard().setLastKey(K_F8);
    zus::DBE_NB(zus::kBrowseKey);
    return zus::kLeaveBrowse;
  });
  EXPECT_TRUE(lockedWhileWritten);
  EXPECT_EQ(employeeField("    1", "data_zus").date(), day(2024, 2, 1).date());
}

TEST_F(RegisterBrowse, ARecordLockedElsewhereIsNeitherDeletedNorGivenRemarks) {
  inBrowse("    1", [&](int) {
    goToKind(10);
    rt::Value record = call("RECNO");
    // Another user holds the record.
    EXPECT_TRUE(
        call("_OPEN_LOCAL", {txt(dir.string()), txt("NIEOBEC"), txt("other")}).logicalOr(false));
    call("DBGOTO", {record});
    EXPECT_TRUE(call("RLOCK").logicalOr(false));
    call("DBSELECTAREA", {txt("nieobec")});
    zus::KAS_ZASILEK();
    EXPECT_EQ(keysInScope(), 3);
    EXPECT_EQ(numVar("suma_dni1"), 20);
    EXPECT_TRUE(said(zus::kRecordBusyNoDelete));  // the confirmed deletion does not pass for done
    h.keys({'x', K_CTRL_W});
    zus::DAJ_UWAGI();
    EXPECT_EQ(call("FIELDGET", {call("FIELDPOS", {txt("UWAGI")})}).strOr("?"), "");
    EXPECT_TRUE(said(zus::kRecordBusy));  // the typed remarks are not lost silently
    call("DBSELECTAREA", {txt("other")});
    call("DBCLOSEAREA");
    call("DBSELECTAREA", {txt("nieobec")});
    return zus::kLeaveBrowse;
  });
  EXPECT_EQ(employeeField("    1", "dni_ch").numOr(-1), 20);
}

TEST_F(RegisterBrowse, AnEmployeeHeldElsewhereEndsTheRegisterWithAMessage) {
  // Another workstation has employee 1 in its register.
  ASSERT_TRUE(call("_OPEN_LOCAL", {txt(dir.string()), txt("MAIN"), txt("other")}).logicalOr(false));
  call("ORDSETFOCUS", {num(1)});
  ASSERT_TRUE(call("DBSEEK", {txt("    1")}).logicalOr(false));
  ASSERT_TRUE(call("RLOCK").logicalOr(false));
  chosen = {"    1", "    2"};
  bool browsed = false;
  test_support::ScopedFunctions stand_dbe_nb("DBE_NB", [&](rt::Args&) {
    browsed = true;
    return num(zus::kLeaveBrowse);
  });
  zus::WPROW_NB();
  EXPECT_FALSE(browsed);
  EXPECT_TRUE(said(zus::kEmployeeBusy));
  EXPECT_EQ(chosen.size(), 1u) << "the register ends at the refused employee";
  EXPECT_EQ(call("SELECT", {txt("nieobec")}).intOr(-1), 0) << "the table set is closed";
  // The other workstation's lock is untouched.
  call("DBSELECTAREA", {txt("other")});
  EXPECT_TRUE(call("DBRLOCKLIST").isArray() && call("DBRLOCKLIST").arr().size() == 1);
  call("DBCLOSEAREA");
}

TEST_F(RegisterBrowse, ARecordLockedInTheBrowseGoesFreeWhenTheBrowseIsLeft) {
  rt::Value record;
  int choices = 0;
  bool freeAtNextChoice = false;
  test_support::ScopedFunctions stand_wyb_prac("WYB_PRAC", [&](rt::Args&) {
    if (++choices == 1) {
      call("DBSELECTAREA", {txt("main")});
      call("ORDSETFOCUS", {num(1)});
      call("DBSEEK", {txt("    1")});
      return txt("    1");
    }
    // Back at the employee choice: another workstation can take the record.
    call("_OPEN_LOCAL", {txt(dir.string()), txt("NIEOBEC"), txt("other")});
    call("DBGOTO", {record});
    freeAtNextChoice = call("RLOCK").logicalOr(false);
    call("DBCLOSEAREA");
    return txt("");
  });
  inBrowse("    1", [&](int) {
    goToKind(10);
    record = call("RECNO");
    EXPECT_TRUE(call("RLOCK").logicalOr(false));  // as the form keeps it after a save
    return zus::kLeaveBrowse;
  });
  EXPECT_EQ(choices, 2);
  EXPECT_TRUE(freeAtNextChoice);
}

TEST_F(RegisterBrowse, RemarksAreKeptWithCtrlWAndNotWithEsc) {
  std::string kept, afterEsc;
  inBrowse("    1", [&](int) {
    call("DBGOTOP");
    h.type("Zwolnienie od lekarza");
    h.keys({K_CTRL_W});
    zus::DAJ_UWAGI();
    kept = call("FIELDGET", {call("FIELDPOS", {txt("UWAGI")})}).strOr("");
    h.type("xyz");
    h.keys({K_ESC});  // no question: a key it waited for would run past the script's end
    zus::DAJ_UWAGI();
    afterEsc = call("FIELDGET", {call("FIELDPOS", {txt("UWAGI")})}).strOr("");
    return zus::kLeaveBrowse;
  });
  EXPECT_EQ(kept, "Zwolnienie od lekarza");
  EXPECT_EQ(afterEsc, kept);
}

TEST_F(RegisterBrowse, EmployeeWithoutPersonnelRecordHasNoBirthDate) {
  // Employee 1 has a birth date, employee 2 no personnel record at all.
  chosen = {"    1", "    2"};
  std::vector<int32_t> born;
  test_support::ScopedFunctions stand_dbe_nb("DBE_NB", [&](rt::Args&) {
    born.push_back(vars().get("_data_ur").date());
    return num(zus::kLeaveBrowse);
  });
  zus::WPROW_NB();
  EXPECT_EQ(born, (std::vector<int32_t>{day(1970, 5, 5).date(), 0}));
  EXPECT_FALSE(said("Pracownik nie ma wprowadzonej daty urodzenia!"));
}

TEST_F(RegisterBrowse, KindTextOfTheDictionary) {
  open("SLOWNIK");
  open("NIEOBEC");
  call("DBSELECTAREA", {txt("nieobec")});
  call("DBGOTOP");
  EXPECT_EQ(zus::NB_ZAS(kind(10)), "RODZ10     - Rodzaj zasi\x88ku");
  EXPECT_EQ(zus::NB_ZAS(kind(10), true), "RODZ10    ");
  EXPECT_EQ(zus::NB_ZAS("Z99"), std::string(28, ' '));
  EXPECT_EQ(call("ALIAS").strOr(""), "NIEOBEC");
  // A correction record names the kind as a correction; the browse's column width applies.
  call("DBSKIP");
  vars().declarePrivate("pict", rt::Value::newArray(4));
  vars().get("pict").arr()[3] = txt(std::string(20, 'X'));
  EXPECT_EQ(zus::NB_ZAS(kind(1)), "RODZ1      - wyr.Rod");
  EXPECT_EQ(call("NB_ZAS", {txt(kind(1)), flag(true)}).strOr(""), "RODZ1     ");
}

}  // namespace
}  // namespace register_test
