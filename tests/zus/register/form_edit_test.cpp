// The benefit edit form on a register: a new record entered and saved, an existing one edited,
// left with Esc, refused, or held by another workstation; the keys bound while it is open.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "runtime/db/file.h"
#include "runtime/term/keyboard.h"
#include "runtime/term/leave_request.h"
#include "tests/runtime/db/helpers/child_process.h"
#include "tests/zus/register/form_fixture.h"
#include "zus/register/form_edit.h"

namespace form_test {
namespace {

using namespace rt::term;

constexpr int kCtrlF3 = -22;

class EditForm : public BenefitForm {
 protected:
  uint32_t calculatedSickness(double percent = 80, const char* kind = "Z01") {
    rt::Value first = rt::context().memvars.get("lum_data");
    return addBenefit({{"zasilek", txt(kind)},
                       {"od", first},
                       {"do", rt::Value::date(first.date() + 4)},
                       {"l_dni", num(5)},
                       {"procent", num(percent)},
                       {"dat_wyp", rt::Value::date(first.date() + 9)},
                       {"data_prawa", first},
                       {"status", num(4)},
                       {"wartosc", num(250, 2)},
                       {"nr_stat", txt("AB")}});
  }
};

TEST_F(EditForm, NewRecordIsEnteredAndSavedWithItsFieldsAndCounters) {
  std::string formScreen, statusLine;
  onCall["OK_DO"] = [&] {
    formScreen = h.textUtf8();
    statusLine = h.line(24);
  };
  inRegister([&] {
    const rt::Value first = rt::context().memvars.get("lum_data");
    const rt::Value payout = rt::Value::date(first.date() + 9);
    std::vector<int> keys = join({text("CHOR_ZUS"), {K_ENTER},         // kind
                                  {K_ENTER, K_ENTER, K_ENTER, K_ENTER},  // od, do, days, right
                                  text("80"), {K_ENTER},               // percentage
                                  dateKeys(payout), {K_CTRL_W}});
    rt::Value saved = edit(true, keys);
    EXPECT_TRUE(saved.logicalOr(false));

    EXPECT_FALSE(rt::context().memvars.get("brak_nb").logical());
    select("nieobec");
    area().goTop();
    ASSERT_FALSE(area().eof());
    EXPECT_EQ(field("nr_prac").str(), kEmployee);
    EXPECT_EQ(field("zasilek").str(), "Z01");
    EXPECT_EQ(field("od").date(), first.date());
    EXPECT_EQ(field("l_dni").num(), 1);
    EXPECT_EQ(field("procent").num(), 80);
    EXPECT_EQ(field("dat_wyp").date(), payout.date());
    EXPECT_EQ(field("status").num(), 2);
    EXPECT_FALSE(field("o_zlicz").logical());
    EXPECT_TRUE(field("czy_dz").logical());
    EXPECT_FALSE(field("place").logical());
    EXPECT_EQ(field("old_dni").num(), 0);
    // The first benefit of an employee without a start of the sick-pay count starts it.
    EXPECT_EQ(mainField("data_zus").date(), first.date());
    EXPECT_EQ(calls["AKT_DNI"], 1);
    ASSERT_EQ(lastArgs["AKT_DNI"].size(), 4u);
    EXPECT_EQ(lastArgs["AKT_DNI"][0].num(), 0);
    EXPECT_EQ(lastArgs["AKT_DNI"][1].str(), "T");
    // A new record held nothing in the counters.
    EXPECT_EQ(lastArgs["AKT_DNI"][3].str(), "N");
  });
  EXPECT_NE(formScreen.find("Rodzaj zasiłku: CHOR_ZUS"), std::string::npos) << formScreen;
  EXPECT_NE(formScreen.find("Data od:"), std::string::npos);
  EXPECT_NE(formScreen.find("Data wypłaty:"), std::string::npos);
  EXPECT_NE(formScreen.find("Czy wypadek poza pracą ?"), std::string::npos);
  EXPECT_NE(formScreen.find("Stawka dzienna kwotowo:  Nie"), std::string::npos) << formScreen;
  // Every key of the form, the saving Ctrl+W last, within the status line's 80 columns.
  for (const char* key : {"Enter-", "F5-", "F7-", "Ctrl_F2-", "Esc-", "Ctrl_W-Zapis"})
    EXPECT_NE(statusLine.find(key), std::string::npos) << key << " in " << statusLine;
}

// A new benefit's save killed at each write into the register table in turn, as a power cut
// could stop it: no blank benefit is left behind, only none or the whole one.
TEST_F(EditForm, ANewRecordKilledAtAnyWriteOfItsSaveLeavesNoBlankBenefit) {
  const std::string table = (std::filesystem::path(dir) / "NIEOBEC.dbf").string();
  int kills = 0;
  for (int k = 1; k < 100; ++k) {
    SCOPED_TRACE("killed at write " + std::to_string(k));
    rt::db::testing::Child saving([&](int, int) {
      inRegister([&] {
        const rt::Value first = rt::context().memvars.get("lum_data");
        std::vector<int> keys = join({text("CHOR_ZUS"), {K_ENTER}, {K_ENTER, K_ENTER, K_ENTER, K_ENTER},
                                      text("80"), {K_ENTER}, dateKeys(rt::Value::date(first.date() + 9))});
        // Every write of the save from the k-th on is cut short by the kill.
        int writes = 0;
        h.keys(keys);
        rt::db::File::setWriteFault([&](const std::string& path, uint64_t, size_t) {
          if (path.ends_with("NIEOBEC.dbf") && ++writes == k) ::raise(SIGKILL);
          return 0;
        });
        edit(true, {K_CTRL_W});
      });
      return 0;
    });
    if (saving.wait() == 0) break;  // the save ended before its k-th write
    ++kills;
    call("DBUSEAREA", {rt::Value::logical(true), rt::Value(), txt(table), txt("reader"), rt::Value::logical(true),
                       rt::Value::logical(true)});
    for (call("DBGOTOP"); !call("EOF").logical(); call("DBSKIP")) {
      EXPECT_NE(suite::field("nr_prac").strOr("").find_first_not_of(' '), std::string::npos) << "a blank benefit";
      EXPECT_NE(suite::field("zasilek").strOr("").find_first_not_of(' '), std::string::npos) << "a benefit without its kind";
    }
    call("DBCLOSEAREA");
  }
  EXPECT_GE(kills, 3) << "the save was killed at each of its writes";
}

TEST_F(EditForm, ExistingCalculatedRecordIsSavedWithTheEditedMark) {
  inRegister([&] {
    uint32_t recno = calculatedSickness();
    EXPECT_TRUE(edit(false, {K_CTRL_W}).logicalOr(false));
    area().goTo(recno);
    EXPECT_EQ(field("status").num(), 94);
    EXPECT_EQ(field("procent").num(), 80);
    EXPECT_EQ(field("l_dni").num(), 5);
    EXPECT_EQ(field("nr_stat").str(), "AB  ");
    // An existing record never starts the sick-pay count.
    EXPECT_EQ(mainField("data_zus").date(), 0);
    EXPECT_EQ(calls["AKT_DNI"], 1);
    EXPECT_EQ(lastArgs["AKT_DNI"][0].num(), 5);
  });
}

TEST_F(EditForm, EscapeAndNoLeavesRecordStatusAndStartDateAsTheyWere) {
  onCall["OK_OD"] = [] { setMain("data_zus", day(2000, 1, 3)); };
  inRegister([&] {
    uint32_t recno = calculatedSickness();
    rt::Value result = edit(false, join({{K_ENTER, K_ESC}, text("N")}));
    EXPECT_TRUE(result.isLogical() && !result.logical());
    EXPECT_TRUE(asked("Czy zapisac` dane ?"));
    area().goTo(recno);
    EXPECT_EQ(field("status").num(), 4);
    EXPECT_EQ(mainField("data_zus").date(), 0);
    EXPECT_EQ(calls["AKT_DNI"], 0);
    EXPECT_GE(calls["DAJ_SCOPY"], 1);
  });
}

// A hang-up in the form: the start of the count the start-date rule wrote goes back, as on Esc.
TEST_F(EditForm, AHangUpInTheFormLeavesTheStartDateAsItWas) {
  onCall["OK_OD"] = [] {
    setMain("data_zus", day(2000, 1, 3));
    rt::term::requestLeave(SIGHUP);
  };
  inRegister([&] {
    calculatedSickness();
    EXPECT_THROW(edit(false, {K_ENTER, K_ENTER}), rt::term::LeaveRequested);
    rt::term::clearLeaveRequest();
    EXPECT_EQ(mainField("data_zus").date(), 0);
  });
}

TEST_F(EditForm, EscapeAndYesSaves) {
  inRegister([&] {
    uint32_t recno = calculatedSickness();
    EXPECT_TRUE(edit(false, join({{K_ESC}, text("T")})).logicalOr(false));
    area().goTo(recno);
    EXPECT_EQ(field("status").num(), 94);
  });
}

TEST_F(EditForm, RecordLockedByAnotherHandleIsNotSavedAndTheFormSaysSo) {
  inRegister([&] {
    uint32_t recno = calculatedSickness();
    rt::db::UseOptions other;
    other.shared = true;
    other.alias = "OBCY";
    rt::db::WorkArea& foreign = rt::db::workAreas().use(area().table().path(), other);
    foreign.goTo(recno);
    ASSERT_TRUE(foreign.lockCurrent());

    rt::Value result = edit(false, {K_CTRL_W});
    EXPECT_TRUE(result.isLogical() && !result.logical());
    EXPECT_TRUE(said(zus::kRecordBusy));
    EXPECT_EQ(calls["AKT_DNI"], 0);
    area().goTo(recno);
    EXPECT_EQ(field("status").num(), 4);
    rt::db::workAreas().close(foreign.number());
  });
}

TEST_F(EditForm, EscapeInTheKindOfANewRecordLeavesNoTrace) {
  inRegister([&] {
    const std::string before = h.line(24);
    rt::Value result = edit(true, {K_ESC});
    EXPECT_TRUE(result.isNil());
    EXPECT_EQ(h.line(24), before);
    EXPECT_EQ(h.line(7).find("Rodzaj"), std::string::npos);
    for (int key : {-4, -6, -21, -22}) EXPECT_EQ(keyboard().hotKey(key), nullptr) << key;
    select("nieobec");
    area().goTop();
    EXPECT_TRUE(area().eof());
  });
}

TEST_F(EditForm, SaveIsRefusedOnlyWhereTheRulesSay) {
  struct Case {
    double percent;
    const char* kind;
    bool saved;
    const char* message;
  };
  const Case cases[] = {
      {100, "Z01", false, "Nie zaznaczono wypadku poza praca` lub 100% - zapis nie nasta`pi !"},
      {80, "Z01", true, nullptr},     // sickness benefit at 80%
      {100, "Z27", true, nullptr},    // accident at work
      {100, "Z10", true, nullptr},    // sick pay of the employer
  };
  inRegister([&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.kind) + " at " + std::to_string(int(c.percent)));
      messages.clear();
      uint32_t recno = calculatedSickness(c.percent, c.kind);
      rt::Value result = edit(false, {K_CTRL_W});
      EXPECT_EQ(result.logicalOr(false), c.saved);
      area().goTo(recno);
      EXPECT_EQ(field("status").num(), c.saved ? 94 : 4);
      if (c.message) {
        EXPECT_TRUE(said(c.message));
      }
    }
  });
}

TEST_F(EditForm, NewRecordWithoutPayoutDateIsRefused) {
  inRegister([&] {
    rt::Value result = edit(true, join({text("CHOR_ZUS"), {K_ENTER, K_CTRL_W}}));
    EXPECT_TRUE(result.isLogical() && !result.logical());
    EXPECT_TRUE(said("Nie wprowadzono daty wypl`aty - zapis nie nasta`pi !"));
    select("nieobec");
    area().goTop();
    EXPECT_TRUE(area().eof());
  });
}

TEST_F(EditForm, CtrlF3MarksTheRecordForANewTransferEvenWhenTheFormIsAbandoned) {
  inRegister([&] {
    uint32_t recno = calculatedSickness();
    ASSERT_TRUE(area().lockCurrent());
    rt::context().fields->writeAliasField("nieobec", "place", rt::Value::logical(true));
    rt::context().fields->writeAliasField("nieobec", "old_zas", txt("Z01"));
    rt::context().fields->writeAliasField("nieobec", "old_dni", num(5));
    rt::context().fields->writeAliasField("nieobec", "old_wart", num(250, 2));
    call("DBCOMMIT");
    area().unlockAll();

    edit(false, join({{kCtrlF3}, text("T"), {K_ESC}, text("N")}));
    EXPECT_TRUE(asked("Czy oznaczyc` zasil`ek do bezwarunkowego przepisania do PL`AC ?"));
    area().goTo(recno);
    EXPECT_FALSE(field("place").logical());
    EXPECT_EQ(field("old_zas").str(), "   ");
    EXPECT_EQ(field("old_dni").num(), 0);
    EXPECT_EQ(field("old_wart").num(), 0);
    EXPECT_EQ(field("status").num(), 4);
  });
}

TEST_F(EditForm, CtrlF3OnARecordHeldElsewhereSaysItWasNotMarked) {
  inRegister([&] {
    uint32_t recno = calculatedSickness();
    ASSERT_TRUE(area().lockCurrent());
    rt::context().fields->writeAliasField("nieobec", "place", rt::Value::logical(true));
    call("DBCOMMIT");
    area().unlockAll();
    // Another workstation holds the record.
    ASSERT_TRUE(call("_OPEN_LOCAL", {txt(dir), txt("NIEOBEC"), txt("other")}).logicalOr(false));
    call("DBGOTO", {num(recno)});
    ASSERT_TRUE(call("RLOCK").logicalOr(false));
    select("nieobec");
    area().goTo(recno);

    edit(false, join({{kCtrlF3}, text("T"), {K_ESC}, text("N")}));
    EXPECT_TRUE(said("Zapis jest ux`ywany na innym stanowisku - oznaczenie nie nasta`pi !"));
    call("DBSELECTAREA", {txt("other")});
    call("DBCLOSEAREA");
    select("nieobec");
    area().goTo(recno);
    EXPECT_TRUE(field("place").logical());
  });
}

TEST_F(EditForm, PayoutDateOfANewRecordIsProposedFromTheNearestHintDate) {
  inRegister([&] {
    const rt::Value first = rt::context().memvars.get("lum_data");
    int y, m, d;
    rt::splitDate(first.date(), y, m, d);
    calculatedSickness();  // its payout date is the 10th
    rt::Memvars& v = rt::context().memvars;
    v.assign("zusx_daty", num(2));
    v.assign("zusx_d1", day(y, m, 8));
    v.assign("zusx_d2", day(y, m, 25));
    std::string proposed;
    onCall["OK_DO"] = [&] { proposed = rt::dtoc(rt::context().memvars.get("_dat_wyp").date()); };
    edit(true, join({text("CHOR_ZUS"), {K_ENTER, K_ENTER, K_ENTER, K_ESC}, text("N")}));
    EXPECT_EQ(proposed, rt::dtoc(rt::makeDate(y, m, 8)));
  });
}

}  // namespace
}  // namespace form_test

namespace form_test {
namespace {

using namespace rt::term;

class EditFormKinds : public BenefitForm {
 protected:
  uint32_t benefit(const char* kind, Fields more = {}) {
    rt::Value first = rt::context().memvars.get("lum_data");
    Fields fields{{"zasilek", txt(kind)},   {"od", first},
                  {"do", first},            {"l_dni", num(1)},
                  {"procent", num(80)},     {"dat_wyp", rt::Value::date(first.date() + 9)},
                  {"data_prawa", first},    {"status", num(4)}};
    fields.insert(fields.end(), more.begin(), more.end());
    return addBenefit(fields);
  }
};

TEST_F(EditFormKinds, AverageBasisKindAsksOnlyForItsMonths) {
  std::string formScreen;
  onCall["OK_MIES"] = [&] { formScreen = h.textUtf8(); };
  inRegister([&] {
    const rt::Value payout = rt::Value::date(rt::context().memvars.get("lum_data").date() + 9);
    // Kind, first and last day; the day count is not entered; payout date; months; save.
    std::vector<int> keys = join({text("SR_WYCH"), {K_ENTER, K_ENTER, K_ENTER},
                                  dateKeys(payout), {K_ENTER, K_ENTER, K_CTRL_W}});
    EXPECT_TRUE(edit(true, keys).logicalOr(false));
    select("nieobec");
    area().goTop();
    ASSERT_FALSE(area().eof());
    EXPECT_EQ(field("zasilek").str(), "Z05");
    EXPECT_TRUE(field("o_zlicz").logical());  // its days are never counted
  });
  EXPECT_EQ(calls["OK_MIES"], 2);  // shown once, then checked
  EXPECT_NE(formScreen.find("Czy wskazać miesiące do podst.?"), std::string::npos) << formScreen;
  for (const char* absent : {"Procent:", "Czy uwzględniać", "Kod liter.:", "Czy korekta?",
                             "Stawka dzienna:"})
    EXPECT_EQ(formScreen.find(absent), std::string::npos) << absent;
}

TEST_F(EditFormKinds, AccidentKindsAlwaysStartWithTheAccidentAnswered) {
  inRegister([&] {
    for (const char* kind : {"Z27", "Z28", "Z20"}) {
      uint32_t recno = benefit(kind, {{"przy_pracy", rt::Value::logical(false)}});
      EXPECT_TRUE(edit(false, {K_CTRL_W}).logicalOr(false)) << kind;
      area().goTo(recno);
      EXPECT_TRUE(field("przy_pracy").logical()) << kind;
    }
  });
}

TEST_F(EditFormKinds, BasisFieldsOfAnAmountRateAndOfADetachedBasis) {
  inRegister([&] {
    const Fields basis{{"nieobec", txt("PBZ")},     {"suma", num(3000, 2)},
                       {"fakt_mies", txt(" 1 2")},  {"druk_podst", num(100, 2)},
                       {"zapis_pod", txt("saved basis")}};
    Fields amount = basis;
    amount.push_back({"czy_kwot", rt::Value::logical(true)});
    uint32_t byAmount = benefit("Z01", amount);
    EXPECT_TRUE(edit(false, {K_CTRL_W}).logicalOr(false));
    area().goTo(byAmount);
    EXPECT_EQ(field("nieobec").str(), "PBZ");
    EXPECT_EQ(field("suma").num(), 0);
    EXPECT_EQ(field("fakt_mies").str().find_first_not_of(' '), std::string::npos);
    EXPECT_EQ(field("druk_podst").num(), 100);
    EXPECT_EQ(field("zapis_pod").str(), "");

    uint32_t detached = benefit("Z01", amount);
    EXPECT_TRUE(edit(false, join({{-6}, text("T"), {K_CTRL_W}})).logicalOr(false));
    area().goTo(detached);
    EXPECT_EQ(field("nieobec").str().find_first_not_of(' '), std::string::npos);
    EXPECT_EQ(field("suma").num(), 0);
    EXPECT_EQ(field("druk_podst").num(), 0);

    uint32_t kept = benefit("Z01", basis);
    EXPECT_TRUE(edit(false, {K_CTRL_W}).logicalOr(false));
    area().goTo(kept);
    EXPECT_EQ(field("suma").num(), 3000);
    EXPECT_EQ(field("fakt_mies").str().substr(0, 4), " 1 2");
    EXPECT_EQ(field("zapis_pod").str(), "saved basis");
  });
}

TEST_F(EditFormKinds, EscWithAPercentageOutOfRangeSetsItToZeroBeforeTheQuestion) {
  inRegister([&] {
    uint32_t recno = benefit("Z01", {{"procent", num(120)}});
    EXPECT_TRUE(edit(false, join({{K_ESC}, text("T")})).logicalOr(false));
    EXPECT_TRUE(said("Niepoprawna wartos`c` w polu Procent!"));
    area().goTo(recno);
    EXPECT_EQ(field("procent").num(), 0);
  });
}

}  // namespace
}  // namespace form_test
