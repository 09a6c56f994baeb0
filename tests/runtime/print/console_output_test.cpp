// ? and ?? to the screen and the printer, and @ SAY with SET DEVICE TO PRINTER.
#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/print/console_output.h"
#include "runtime/print/print_job.h"
#include "runtime/term/headless.h"
#include "runtime/term/register.h"
#include "runtime/term/terminal.h"
#include "runtime/term/testing/screen_check.h"
#include "temp_dir.h"

namespace rt::print {
namespace {

using rt::term::testing::rowsAre;

class ConsoleOutput : public ::testing::Test {
 protected:
  ConsoleOutput() : saved_(context().settings) {
    term::registerScreenFunctions(f);
    registerPrintFunctions(f);
  }
  ~ConsoleOutput() override { context().settings = saved_; }

  std::unique_ptr<PrintJob> openFile(PageSetup setup = {}) {
    DeviceOptions o;
    o.path = path;
    return std::make_unique<PrintJob>(openDevice(DeviceKind::File, o), std::move(setup));
  }
  static Value t(const char* s) { return Value::text(s); }
  static Value n(int v) { return Value::integer(v); }

  Settings saved_;
  Functions f;
  term::Headless h;
  testing::TempDir dir;
  std::string path = dir.file("out.txt");
};

TEST_F(ConsoleOutput, QuestionMarksOnTheScreenScrollAtTheBottom) {
  term::screen().setCursor(23, 5);
  f.call("QQOUT", {t("a"), t("b")});
  f.call("QOUT", {t("next"), n(7)});
  EXPECT_TRUE(rowsAre(h, 23, {"     a b", "next          7"}));
  f.call("QOUT", {t("last")});
  EXPECT_TRUE(rowsAre(h, 22, {"     a b", "next          7", "last"}));
}

TEST_F(ConsoleOutput, PrinterOnConsoleOffLikeATitleRoutine) {
  auto job = openFile();
  context().settings.printer = true;
  context().settings.console = false;
  f.call("QQOUT", {t("str  "), t("  1")});
  f.call("QOUT", {t("second title line")});
  f.call("QOUT", {t("body")});
  EXPECT_EQ(f.call("PROW").num(), 2);
  EXPECT_EQ(f.call("PCOL").num(), 4);
  job->close();
  EXPECT_EQ(testing::readFile(path), "str     1\nsecond title line\nbody\n");
  EXPECT_TRUE(rowsAre(h, 0, {""}));  // nothing on the screen
}

TEST_F(ConsoleOutput, SayToThePrinterPositionsByLinesAndBlanks) {
  auto job = openFile();
  context().settings.device = "PRINTER";
  f.call("DEVPOS", {n(0), n(3)});
  f.call("DEVOUT", {t("abc")});
  f.call("DEVPOS", {n(0), n(10)});
  f.call("DEVOUT", {t("x")});
  f.call("DEVPOS", {n(2), n(1)});
  f.call("DEVOUT", {t("y")});
  f.call("DEVPOS", {n(1), n(0)});  // above where the printer stands: a new page
  f.call("DEVOUT", {t("z")});
  job->close();
  EXPECT_EQ(testing::readFile(path), "   abc    x\n\n y\n\f\nz\n");
  EXPECT_TRUE(rowsAre(h, 0, {""}));
  context().settings.device = "SCREEN";
  f.call("DEVPOS", {n(0), n(2)});
  f.call("DEVOUT", {t("screen")});
  EXPECT_TRUE(rowsAre(h, 0, {"  screen"}));
}

TEST_F(ConsoleOutput, PrinterSettingWithoutAnOpenJobPrintsNothing) {
  context().settings.printer = true;
  context().settings.device = "PRINTER";
  f.call("QOUT", {t("only screen")});
  f.call("DEVPOS", {n(5), n(0)});
  f.call("DEVOUT", {t("also screen")});
  EXPECT_TRUE(rowsAre(h, 1, {"only screen", "", "", "", "also screen"}));
}

}  // namespace
}  // namespace rt::print
