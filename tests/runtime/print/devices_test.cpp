// The screen device and its viewer (scrolling, styles as attributes, page rules) and the printer
// device handing its text to `lp`, or refusing clearly when there is none.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "runtime/core/cp852.h"
#include "runtime/core/error.h"
#include "runtime/print/device.h"
#include "runtime/print/print_job.h"
#include "runtime/print/styled_text.h"
#include "runtime/print/viewer.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/term/testing/screen_check.h"
#include "temp_dir.h"

namespace rt::print {
namespace {

using namespace rt::term;
using rt::term::testing::attrsAre;
using rt::term::testing::rowsAre;

// Records the shown screen each time the hot key K_F12 is pressed inside the viewer.
struct Snapshots {
  explicit Snapshots(Headless& h) {
    keyboard().setKey(K_F12, HotKey{[this, &h](const WaitState&) { shots.push_back(h.lines()); }, {}});
  }
  std::vector<std::vector<std::string>> shots;
};

PrintedDocument longDocument() {
  PrintedDocument doc;
  doc.title = "Karty zasilkowe";
  for (int i = 1; i <= 40; ++i) {
    std::string n = std::to_string(i);
    doc.addLine("Line " + n + std::string(150, '.') + "end" + n);
    if (i == 30) doc.addPageBreak();
  }
  return doc;
}

TEST(Viewer, ScrollsDownSidewaysAndToTheEnd) {
  Headless h;
  screen().say(5, 5, "beneath", makeAttr(7, 0));
  Snapshots snap(h);
  PrintedDocument doc = longDocument();
  h.keys({K_F12, K_DOWN, K_F12, K_PGDN, K_F12, K_RIGHT, K_CTRL_RIGHT, K_CTRL_RIGHT, K_CTRL_RIGHT,
          K_F12, K_END, K_F12, K_HOME, K_LEFT, K_CTRL_LEFT, K_CTRL_LEFT, K_UP, K_F12, K_ESC});
  Viewer viewer(doc);
  viewer.run();
  ASSERT_EQ(snap.shots.size(), 6u);
  EXPECT_EQ(snap.shots[0][0].substr(0, 16), " Karty zasilkowe");
  EXPECT_EQ(snap.shots[0][1].substr(0, 8), "Line 1..");
  EXPECT_EQ(snap.shots[1][1].substr(0, 8), "Line 2..");
  // 40 lines and a page rule: a screenful down stops at the last screenful, from line 19.
  EXPECT_EQ(snap.shots[2][1].substr(0, 9), "Line 19..");
  EXPECT_EQ(snap.shots[2][12].substr(0, 7), "Line 30");
  EXPECT_EQ(snap.shots[2][13].substr(0, 6), "\xC4\xC4\xC4 2 ");
  EXPECT_EQ(snap.shots[2][14].substr(0, 7), "Line 31");
  // Sideways moves stop where the widest line (162 characters) ends at the last column.
  EXPECT_EQ(snap.shots[3][1], std::string(75, '.') + "end19");
  EXPECT_EQ(snap.shots[4][23], std::string(75, '.') + "end40");
  EXPECT_NE(snap.shots[4][24].find("str. 1/2  wiersze 19-41/41  kol. 83"), std::string::npos)
      << snap.shots[4][24];
  EXPECT_EQ(snap.shots[5][1].substr(0, 8), "Line 1..");
  // The screen beneath is back.
  EXPECT_TRUE(rowsAre(h, 5, {"     beneath"}));
  EXPECT_TRUE(rowsAre(h, 0, {""}));
}

TEST(Viewer, BoldAndUnderlineShowAsAttributes) {
  Headless h;
  const StyleCodes& c = styleCodes();
  PrintedDocument doc;
  doc.addLine("n" + c.boldOn + "b" + c.underlineOn + "x" + c.boldOff + "u");
  doc.addLine("u" + c.underlineOff + "n");  // underline carried over from the line before
  Snapshots snap(h);
  std::vector<Attr> attrs;
  keyboard().setKey(K_F11, HotKey{[&](const WaitState&) {
                                    for (int col = 0; col < 4; ++col) attrs.push_back(h.attrAt(1, col));
                                    for (int col = 0; col < 2; ++col) attrs.push_back(h.attrAt(2, col));
                                  },
                                  {}});
  h.keys({K_F11, K_ESC});
  Viewer(doc).run();
  ASSERT_EQ(attrs.size(), 6u);
  Attr plain = attrs[0], bold = attrs[1], both = attrs[2], under = attrs[3];
  EXPECT_NE(plain, bold);
  EXPECT_NE(plain, under);
  EXPECT_NE(bold, under);
  EXPECT_NE(both, bold);
  EXPECT_NE(both, under);
  EXPECT_EQ(attrs[4], under);
  EXPECT_EQ(attrs[5], plain);
}

TEST(ScreenDevice, ShowsTheViewerAtCloseButNotWhenCutShort) {
  Headless h;
  {
    DeviceOptions o;
    o.title = "Test";
    PrintJob job(openDevice(DeviceKind::Screen, o), {2, "", [](PrintJob& j) { j.line("==title=="); }, true});
    job.line("first");
    job.line("second");
    Snapshots snap(h);
    h.keys({K_F12, K_ESC});
    job.close();
    ASSERT_EQ(snap.shots.size(), 1u);
    EXPECT_EQ(snap.shots[0][1].substr(0, 9), "==title==");
    EXPECT_EQ(snap.shots[0][2].substr(0, 5), "first");
    EXPECT_EQ(snap.shots[0][3].substr(0, 8), "\xC4\xC4\xC4 2 \xC4\xC4");
    EXPECT_EQ(snap.shots[0][4].substr(0, 9), "==title==");
    EXPECT_EQ(snap.shots[0][5].substr(0, 6), "second");
  }
  {
    PrintJob job(openDevice(DeviceKind::Screen, {}), {});
    job.line("x");
    keyboard().push(K_ESC);
    EXPECT_THROW(job.line("y"), PrintCancelled);
    EXPECT_EQ(h.keysLeft(), 0u);  // no viewer waited for keys
  }
}

// Puts a fake `lp` first on PATH for the test's lifetime.
class FakeLp {
 public:
  explicit FakeLp(const std::string& script) {
    std::string lp = dir.file("lp");
    std::ofstream(lp) << "#!/bin/sh\n" << script;
    std::filesystem::permissions(lp, std::filesystem::perms::owner_all);
    const char* path = std::getenv("PATH");
    oldPath_ = path ? path : "";
    setenv("PATH", (dir.path().string() + ":" + oldPath_).c_str(), 1);
  }
  ~FakeLp() { setenv("PATH", oldPath_.c_str(), 1); }
  testing::TempDir dir;

 private:
  std::string oldPath_;
};

TEST(PrinterDevice, HandsTheTextToLp) {
  Headless h;
  FakeLp lp("out=\"$(dirname \"$0\")/printed\"\n"
            "echo \"$@\" > \"$out.args\"\n"
            "for last; do :; done\n"
            "cat \"$last\" > \"$out\"\n");
  ASSERT_TRUE(printerAvailable());
  DeviceOptions o;
  o.title = "Rozliczenie";
  {
    PrintJob job(openDevice(DeviceKind::Printer, o), {1, "", nullptr, true});
    job.line(styleCodes().boldOn + "\xB3 one" + styleCodes().boldOff);
    job.line("two");
    job.close();
  }
  EXPECT_EQ(testing::readFile(lp.dir.file("printed")), "│ one\n\ftwo\n");
  std::string args = testing::readFile(lp.dir.file("printed.args"));
  const std::string options = "-t Rozliczenie -o portrait -o cpi=10 -- ";
  EXPECT_EQ(args.substr(0, options.size()), options);
  // The temporary file is gone after the print.
  std::string tmp = args.substr(options.size(), args.size() - options.size() - 1);
  EXPECT_FALSE(std::filesystem::exists(tmp)) << tmp;
}

// The sheet's orientation and the pitch follow the widest line of the print, so that no line
// wraps: the cards' 171 and 183 columns across the sheet in condensed print, the settlement's 96
// and the basis print's 104 upright.
TEST(PrinterDevice, TheLpCommandLineFitsTheWidestLine) {
  Headless h;
  FakeLp lp("echo \"$@\" > \"$(dirname \"$0\")/printed.args\"\n");
  struct Case {
    int width;
    const char* options;
  } cases[] = {
      {171, "-t Karty -o landscape -o cpi=17 -o lpi=9 -- "},
      {183, "-t Karty -o landscape -o cpi=17 -o lpi=9 -- "},
      {96, "-t Karty -o portrait -o cpi=13 -o lpi=6 -- "},
      {104, "-t Karty -o portrait -o cpi=14 -o lpi=6 -- "},
      {75, "-t Karty -o portrait -o cpi=10 -o lpi=6 -- "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    DeviceOptions o;
    o.title = "Karty";
    o.pageLength = 64;
    PrintJob job(openDevice(DeviceKind::Printer, o), {64, "", nullptr, true});
    job.line("narrow");
    // Style codes and Polish letters count as what they print.
    job.line(styleCodes().boldOn + "\xA5" + std::string(size_t(c.width - 1), '-') + styleCodes().boldOff);
    job.close();
    std::string args = testing::readFile(lp.dir.file("printed.args"));
    EXPECT_EQ(args.substr(0, std::string(c.options).size()), c.options);
  }
}

TEST(PrinterDevice, LpFailureIsReported) {
  Headless h;
  FakeLp lp("exit 3\n");
  PrintJob job(openDevice(DeviceKind::Printer, {}), {});
  job.line("x");
  try {
    job.close();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.description(), utf8ToCp852("Drukarka nie przyjęła wydruku (polecenie lp zakończone kodem 3)"));
  }
  EXPECT_FALSE(job.isOpen());
}

TEST(PrinterDevice, NoLpIsAClearMessage) {
  testing::TempDir empty;
  const char* path = std::getenv("PATH");
  std::string old = path ? path : "";
  setenv("PATH", empty.path().c_str(), 1);
  EXPECT_FALSE(printerAvailable());
  try {
    openDevice(DeviceKind::Printer, {});
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.description(), noPrinterMessage());
  }
  setenv("PATH", old.c_str(), 1);
}

}  // namespace
}  // namespace rt::print
