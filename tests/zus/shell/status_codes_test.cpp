// Status codes: the four tests over every code a record can hold, the table order and texts.
#include <gtest/gtest.h>

#include "suite/forms/display_text.h"
#include "zus/shell/status_codes.h"

namespace {

struct StatusCase {
  double code;
  bool ok, saved, error, constant;
};

TEST(StatusTests, EveryCodeAgainstTheFourTests) {
  const StatusCase cases[] = {
      {0, false, false, false, false},  {1, true, false, false, true},
      {2, false, false, false, false},  {3, true, true, false, true},
      {4, true, true, false, false},    {5, false, false, true, false},
      {6, false, false, true, false},   {7, false, false, true, false},
      {8, false, false, true, false},   {9, false, false, true, false},
      {90, false, false, false, false}, {93, true, true, false, true},
      {94, true, true, false, false},   {95, false, false, true, false},
      {96, false, false, true, false},  {97, false, false, true, false},
      {98, false, false, true, false},  {99, false, false, true, false},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(zus::statusOk(c.code), c.ok);
    EXPECT_EQ(zus::statusSaved(c.code), c.saved);
    EXPECT_EQ(zus::statusError(c.code), c.error);
    EXPECT_EQ(zus::statusConst(c.code), c.constant);
  }
}

TEST(StatusTable, CodeNineStandsAfterTheChangedMarks) {
  EXPECT_EQ(zus::statusPosition(9), 17);
  EXPECT_EQ(zus::statusPosition(99), 18);
  EXPECT_EQ(zus::statusPosition(90), 10);
  EXPECT_EQ(zus::statusPosition(0), 1);
  EXPECT_EQ(zus::statusPosition(91), 0);
  const int order[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 90, 93, 94, 95, 96, 97, 98, 9, 99};
  for (int i = 0; i < zus::kStatusCount; ++i) EXPECT_EQ(zus::statusTable()[size_t(i)].code, order[i]);
}

TEST(StatusTable, MessagesAreDisplayFormsAndUnknownCodesAreSafe) {
  EXPECT_EQ(zus::statusMessage(4), " Obliczony                           ");
  EXPECT_EQ(zus::statusMessage(5), suite::displayText(" Bl`a`d-brak w archiwum (dni robocze)  "));
  EXPECT_EQ(zus::statusMessage(5).find('`'), std::string::npos);
  // A code no record should hold (a damaged table, a later version) gets a text, never a crash.
  for (double odd : {91.0, 92.0, -1.0, 100.0, 4.5}) {
    SCOPED_TRACE(odd);
    EXPECT_NE(zus::statusMessage(odd).find("Nieznany status"), std::string::npos);
  }
}

}  // namespace
