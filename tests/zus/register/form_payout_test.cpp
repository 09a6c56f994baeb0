// The payout date: the nearest hint date, when a hint date counts as out of date, and the
// payout-date check with its list of hint dates and the register's year filter.
#include <gtest/gtest.h>

#include "tests/zus/register/form_fixture.h"
#include "zus/register/form_copies.h"
#include "zus/register/form_payout.h"

namespace form_test {
namespace {

using namespace rt::term;

int32_t d(int y, int m, int dd) { return rt::makeDate(y, m, dd); }

TEST(PayoutHints, NearestDayOfTheMonthWinsAndTheLowerNumberBreaksATie) {
  struct Case {
    std::vector<int32_t> hints;
    int32_t payout;
    int chosen;
  };
  const Case cases[] = {
      {{d(2011, 1, 10), d(2011, 1, 25)}, d(2011, 3, 17), 1},  // distances 7 and 8
      {{d(2011, 1, 10), d(2011, 1, 24)}, d(2011, 3, 17), 1},  // 7 and 7
      {{d(2011, 1, 24), d(2011, 1, 10)}, d(2011, 3, 17), 1},
      {{d(2011, 1, 5), d(2011, 1, 20), d(2011, 1, 28)}, d(2011, 3, 27), 3},
      {{d(2011, 1, 5)}, 0, 1},
      {{}, d(2011, 3, 17), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(zus::nearestHintDate(c.payout, c.hints), c.chosen);
}

TEST(PayoutHints, OutOfDateTestsOfTheProposalAndOfTheChoice) {
  struct Case {
    int32_t hint, working;
    bool staleForProposal, staleOnChoice;
  };
  const Case cases[] = {
      {d(2011, 3, 10), d(2011, 5, 1), false, true},   // same year, earlier month
      {d(2010, 3, 10), d(2011, 5, 1), true, true},    // previous year, earlier month
      {d(2004, 12, 10), d(2005, 1, 1), false, false}, // month 12 is not below month 1
      {d(2005, 3, 10), d(2005, 4, 1), false, true},
      {d(2011, 5, 10), d(2011, 5, 1), false, false},  // the working month itself
      {d(2012, 2, 10), d(2011, 5, 1), false, false},  // a later year
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(rt::dtoc(c.hint) + " / " + rt::dtoc(c.working));
    EXPECT_EQ(zus::hintStaleForProposal(c.hint, c.working), c.staleForProposal);
    EXPECT_EQ(zus::hintStaleOnChoice(c.hint, c.working), c.staleOnChoice);
  }
}

class PayoutCheck : public BenefitForm {
 protected:
  void withCopies(const std::function<void()>& body) {
    inRegister([&] {
      rt::PrivateFrame frame(rt::context().memvars);
      zus::declareWorkingCopies(true);
      working = rt::context().memvars.get("lum_data").date();
      rt::splitDate(working, year, month, dayOfMonth);
      body();
    });
  }
  static void setVar(const char* name, rt::Value v) { rt::context().memvars.assign(name, std::move(v)); }
  static rt::Value getVar(const char* name) { return rt::context().memvars.get(name); }
  void hints(std::vector<rt::Value> dates) {
    setVar("zusx_daty", num(double(dates.size())));
    for (size_t i = 0; i < dates.size(); ++i) setVar(("zusx_d" + std::to_string(i + 1)).c_str(), dates[i]);
  }
  bool check() { return call("DAJ_DATKI").logicalOr(false); }

  int32_t working = 0;
  int year = 0, month = 0, dayOfMonth = 0;
};

TEST_F(PayoutCheck, EmptyPayoutWithoutHintDatesIsRefused) {
  withCopies([&] {
    hints({});
    setVar("_dat_wyp", rt::Value::date(0));
    EXPECT_FALSE(check());
    EXPECT_TRUE(said("Nalex`y wypel`nic` pole data wypl`aty !"));
  });
}

TEST_F(PayoutCheck, EscInTheHintListRefusesWithOneMessageAndTheKeysTypedNextStayForTheDate) {
  withCopies([&] {
    // Messages wait for a key, as their windows do.
    replace("KOM3", [this](rt::Args& a) {
      messages.push_back(company_test::messageText(a[0]));
      rt::term::keyboard().inkey(0);
      return rt::Value();
    });
    hints({day(year, month, 10), day(year, month, 25)});
    setVar("zusx_filtr", rt::Value::logical(true));
    setVar("_dat_wyp", rt::Value::date(0));
    h.keys({K_ESC, K_ENTER, '2', '8'});
    EXPECT_FALSE(check());
    EXPECT_EQ(messages, std::vector<std::string>{"Nalex`y wypel`nic` pole data wypl`aty !"});
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(rt::term::keyboard().inkey(), '2');
    EXPECT_EQ(rt::term::keyboard().inkey(), '8');
  });
}

TEST_F(PayoutCheck, HintDateChosenFromTheList) {
  std::string list;
  withCopies([&] {
    hints({day(year, month, 10), day(year, month, 25)});
    setVar("_dat_wyp", rt::Value::date(0));
    rt::NativeFunction achoice = *rt::functions().find("ACHOICE");
    replace("ACHOICE", [&, achoice](rt::Args& a) {
      rt::Value chosen = achoice(a);
      list = h.text();  // the window is still open
      return chosen;
    });
    h.keys({K_DOWN, K_ENTER});
    EXPECT_TRUE(check());
    EXPECT_EQ(getVar("_dat_wyp").date(), rt::makeDate(year, month, 25));
    EXPECT_TRUE(questions.empty());
  });
  EXPECT_NE(list.find("Wybierz"), std::string::npos) << list;
  EXPECT_NE(list.find(rt::dtoc(rt::makeDate(year, month, 25))), std::string::npos) << list;
}

TEST_F(PayoutCheck, StaleHintDateOffersTheHintDateEditor) {
  withCopies([&] {
    hints({day(year - 1, 1, 10)});
    if (month == 1) GTEST_SKIP() << "no earlier month in January";
    setVar("_dat_wyp", rt::Value::date(0));
    h.keys({K_ENTER});
    h.type("N");
    EXPECT_TRUE(check());
    EXPECT_TRUE(asked("Czy uaktualnic` daty do podpowiedzi ?"));
    EXPECT_EQ(getVar("_dat_wyp").date(), rt::makeDate(year - 1, 1, 10));
  });
}

TEST_F(PayoutCheck, YearFilterAsksToBeSwitchedOffForAnOlderPayoutDate) {
  withCopies([&] {
    setVar("zusx_filtr", rt::Value::logical(true));
    setVar("_do", day(year - 3, 1, 5));
    setVar("_dat_wyp", day(year - 3, 1, 10));
    h.type("N");
    EXPECT_FALSE(check());
    EXPECT_TRUE(getVar("zusx_filtr").logical());

    h.type("T");
    EXPECT_TRUE(check());
    EXPECT_FALSE(getVar("zusx_filtr").logical());
    EXPECT_GE(calls["DAJ_SCOPY"], 1);

    setVar("zusx_filtr", rt::Value::logical(true));
    questions.clear();
    setVar("_dat_wyp", day(year - 1, 12, 10));  // last year passes the filter
    setVar("_do", day(year - 1, 12, 1));
    EXPECT_TRUE(check());
    EXPECT_TRUE(questions.empty());
  });
}

}  // namespace
}  // namespace form_test
