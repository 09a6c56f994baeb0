// The suite's list and label services that the export's settings use: both sides of a
// separator-joined list and a parameter window's label offsets.
#include <gtest/gtest.h>

#include "runtime/core/functions.h"
#include "suite/forms/parameter_label.h"
#include "suite/screen/token_sides.h"

namespace {

TEST(TokenSides, CutAListAroundAnEntry) {
  struct Case {
    const char* text;
    int n;
    const char* left;
    const char* right;
  } cases[] = {
      {"a////b////c", 0, "", "a////b////c"},   {"a////b////c", 1, "a////", "a////b////c"},
      {"a////b////c", 2, "a////b////", "b////c"}, {"a////b////c", 3, "a////b////c", "c"},
      {"a////b////c", 4, "a////b////c", ""},   {"", 1, "", ""},
      {"abc", 1, "abc", "abc"},                {"a///b////c", 1, "a///b////", "a///b////c"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(suite::tokenLeft(c.text, "////", c.n), c.left) << c.text << " " << c.n;
    EXPECT_EQ(suite::tokenRight(c.text, "////", c.n), c.right) << c.text << " " << c.n;
  }
  // Removing the second of three entries as the export's mapping lists do.
  EXPECT_EQ(suite::tokenLeft("a////b////c", "////", 1) + suite::tokenRight("a////b////c", "////", 3), "a////c");
}

TEST(ParameterLabel, GivesTheLabelAndStoresTheValueFieldsOffset) {
  suite::registerParameterLabelFunction();
  rt::Value offsets = rt::Value::newArray(0);
  rt::Value shown = rt::functions().call("_LEN", {rt::Value::text("Nazwa dla grupy:"), rt::Value::integer(3), offsets});
  EXPECT_EQ(shown.str(), "Nazwa dla grupy:");
  ASSERT_EQ(offsets.arr().size(), 3u);
  EXPECT_EQ(offsets.arr()[2].num(), 17);
}

}  // namespace
