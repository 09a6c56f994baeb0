// Message windows and the status line on the headless screen.
#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/register.h"
#include "runtime/term/terminal.h"
#include "suite/forms/display_text.h"
#include "suite/register.h"
#include "suite/screen/messages.h"

namespace {

using namespace rt::term;

class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    registerScreenFunctions();
    suite::registerSuiteFunctions();
    suite::resetStatusLine();
  }
  bool shows(const std::string& stored) const {
    return h.text().find(suite::displayText(stored)) != std::string::npos;
  }
  Headless h;
};

TEST_F(Messages, Kom3ShowsStoredLinesInDisplayFormUntilAKeyAndGivesTheScreenBack) {
  screen().put(12, 0, std::string(80, 'x'), screen().colors().standard());
  std::string before = h.text();
  bool seen = false;
  rt::Value lines = rt::Value::newArray(2);
  lines.arr()[0] = rt::Value::text("Zasil`ek niemox`liwy");
  lines.arr()[1] = rt::Value::text(std::string(90, 'a'));
  // Drawn before the key is read: look at the screen from a hot key that fires in the wait.
  keyboard().setKey(K_F10, HotKey{[&](const WaitState&) {
                      seen = shows("Zasil`ek niemox`liwy") && h.text().find(std::string(70, 'a') + " ...") != std::string::npos;
                    }, rt::Value()});
  h.keys({K_F10, K_ENTER});
  rt::functions().call("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
  EXPECT_TRUE(seen);
  EXPECT_EQ(h.text(), before);
  EXPECT_EQ(keyboard().lastKey(), K_ENTER);
}

TEST_F(Messages, Kom4LeavesItsWindowOpenUntilZwinClosesIt) {
  std::string before = h.text();
  rt::Value handle = rt::functions().call("KOM4", {rt::Value::text("Prosze` czekac` ...")});
  EXPECT_TRUE(shows("Prosze` czekac` ..."));
  rt::functions().call("ZWIN", {handle});
  EXPECT_EQ(h.text(), before);
}

TEST_F(Messages, TheStatusLineComesBackInOrder) {
  rt::functions().call("STATLINE", {rt::Value::text("pierwsza")});
  rt::functions().call("STATLINE", {rt::Value::integer(7)});
  EXPECT_EQ(h.line(24).substr(0, 29), suite::displayText(" Nacis`nij dowolny klawisz ..."));
  rt::functions().call("STATLINE", {rt::Value::integer(-1)});
  EXPECT_EQ(h.line(24).substr(0, 8), "pierwsza");
  rt::functions().call("STATLINE", {rt::Value::integer(-1)});
  rt::functions().call("STATLINE", {rt::Value::integer(-1)});  // more restores than sets: blank
  EXPECT_EQ(h.line(24), std::string(80, ' '));
}

}  // namespace

TEST_F(Messages, MenuShowsItsTitleOverTheItemsAndGivesTheScreenBack) {
  std::string before = h.text();
  rt::Value items = rt::Value::newArray(2);
  items.arr()[0] = rt::Value::text("Data kon`cza`ca zasil`ek");
  items.arr()[1] = rt::Value::text("Data wypl`aty zasil`ku");
  bool titled = false;
  keyboard().setKey(K_F10, HotKey{[&](const WaitState&) { titled = shows("Wybierz rodzaj daty"); },
                                  rt::Value()});
  h.keys({K_F10, K_DOWN, K_ENTER});
  std::vector<rt::Value> args{items, rt::Value::integer(10), rt::Value::integer(30), rt::Value::integer(1)};
  args.resize(10);
  args.push_back(rt::Value::text("Wybierz rodzaj daty"));
  EXPECT_EQ(rt::functions().call("MENU", args).intOr(-1), 2);
  EXPECT_TRUE(titled);
  EXPECT_EQ(h.text(), before);
}
