// Prints to a file: pages against the page length, the title routine called by name at each
// page, style codes dropped, box characters in UTF-8 or ASCII, Esc cutting the print short.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <vector>

#include "runtime/core/cp852.h"
#include "runtime/core/error.h"
#include "runtime/core/functions.h"
#include "runtime/print/print_job.h"
#include "runtime/print/styled_text.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "temp_dir.h"
#include "tests/support/scoped_functions.h"

namespace rt::print {
namespace {

using testing::readFile;
using testing::TempDir;

const std::string kBold = styleCodes().boldOn, kUnbold = styleCodes().boldOff;
const std::string kUnder = styleCodes().underlineOn, kUnunder = styleCodes().underlineOff;

class FilePrint : public ::testing::Test {
 protected:
  std::unique_ptr<PrintJob> open(PageSetup setup, bool asciiBoxes = false) {
    DeviceOptions o;
    o.path = path;
    o.asciiBoxes = asciiBoxes;
    return std::make_unique<PrintJob>(openDevice(DeviceKind::File, o), std::move(setup));
  }

  term::Headless h;
  TempDir dir;
  std::string path = dir.file("wydruk.txt");
};

TEST_F(FilePrint, TwoPagesWithTitleRoutineCalledByName) {
  PrintJob* job = nullptr;
  std::vector<int> titledPages;
  test_support::ScopedFunctions stand__test_tytul("_TEST_TYTUL", [&](Args&) {
    titledPages.push_back(job->page());
    job->text("str  " + std::to_string(job->page()));
    job->text("       Karty");
    job->endLine();
    job->line(kBold + "Nazwisko" + kUnbold);
    return Value();
  });
  auto owned = open({5, "_test_tytul", nullptr, true});
  job = owned.get();
  for (int i = 1; i <= 6; ++i) job->line("linia " + std::to_string(i));
  EXPECT_EQ(job->page(), 2);
  EXPECT_EQ(job->lineOnPage(), 5);
  job->close();
  EXPECT_FALSE(job->isOpen());
  EXPECT_EQ(titledPages, (std::vector<int>{1, 2}));
  EXPECT_EQ(readFile(path),
            "str  1       Karty\nNazwisko\nlinia 1\nlinia 2\nlinia 3\n"
            "\fstr  2       Karty\nNazwisko\nlinia 4\nlinia 5\nlinia 6\n");
}

TEST_F(FilePrint, NoPageLengthMeansOnePageAndEjectStartsANewOne) {
  int titles = 0;
  auto job = open({0, "", [&](PrintJob& j) { ++titles; j.line("T"); }, true});
  for (int i = 0; i < 100; ++i) job->line("x");
  EXPECT_EQ(job->page(), 1);
  job->newPage();
  job->newPage();  // twice in a row still makes one page
  EXPECT_EQ(job->page(), 1);  // begun by the next output only
  job->line("y");
  EXPECT_EQ(job->page(), 2);
  job->close();
  EXPECT_EQ(titles, 2);
  std::string text = readFile(path);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 1);
  EXPECT_EQ(text.substr(text.size() - 7), "x\n\fT\ny\n");
}

TEST_F(FilePrint, WideLinesWithBoxCharactersInUtf8OrAscii) {
  // A frame line of 171 printed characters with underline codes inside.
  std::string frame = "\xDA" + std::string(169, '\xC4') + "\xBF";
  std::string titled = "\xB3" + kUnder + "Wynagrodzenie" + kUnunder + std::string(156, ' ') + "\xB3";
  ASSERT_EQ(printedWidth(titled), 171);
  {
    auto job = open({});
    job->line(frame);
    job->line(titled);
    job->line("Zasi\x88\x65k chorobowy");  // ł in code page 852
    job->close();
  }
  std::string utf8 = readFile(path);
  std::string expectFrame = "┌";
  for (int i = 0; i < 169; ++i) expectFrame += "─";
  expectFrame += "┐\n";
  EXPECT_EQ(utf8.substr(0, expectFrame.size()), expectFrame);
  EXPECT_NE(utf8.find("│Wynagrodzenie" + std::string(156, ' ') + "│\n"), std::string::npos);
  EXPECT_NE(utf8.find("Zasiłek chorobowy\n"), std::string::npos);
  {
    auto job = open({}, /*asciiBoxes=*/true);
    job->line(frame);
    job->close();
  }
  EXPECT_EQ(readFile(path), "+" + std::string(169, '-') + "+\n");
}

TEST_F(FilePrint, EscCutsShortAndTheFileIsClosedWithWhatWasPrinted) {
  auto job = open({3, "", nullptr, true});
  job->line("a");
  job->line("b");
  h.keys({'x'});  // other keys do not stop the print
  job->line("c");
  term::keyboard().push(term::K_ESC);
  EXPECT_THROW(job->line("d"), PrintCancelled);
  EXPECT_FALSE(job->isOpen());
  EXPECT_TRUE(job->cutShort());
  // What was printed stays, and its last line says the print was cut short.
  EXPECT_EQ(readFile(path), "a\nb\nc\n*** Wydruk przerwany ***\n");
  EXPECT_EQ(term::keyboard().inkey(), 'x');
  job->line("e");  // a closed job takes no more output and does not fail
  job->close();
}

TEST_F(FilePrint, AnyFailureInsideTheLoopStillClosesTheDevice) {
  try {
    auto job = open({});
    job->text("half");
    job->line(" line");
    throw std::runtime_error("boom");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(readFile(path), "half line\n*** Wydruk przerwany ***\n");
}

// Lists the names in the print's folder.
std::vector<std::string> namesIn(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(FilePrint, ThePreviousPrintStaysWholeUntilTheNewOneIsWritten) {
  std::ofstream(path) << "poprzedni wydruk\n";
  {
    auto job = open({});
    job->line("nowy");
    EXPECT_EQ(readFile(path), "poprzedni wydruk\n");  // written under another name meanwhile
    EXPECT_EQ(namesIn(dir.path()).size(), 2u);
    job->close();
  }
  EXPECT_EQ(readFile(path), "nowy\n");
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"wydruk.txt"});
}

TEST_F(FilePrint, AFailingWriteLeavesThePreviousPrintAndNoTemporaryFile) {
  std::ofstream(path) << "poprzedni wydruk\n";
  struct Fault {
    Fault() {
      setWriteFault([](const std::string&) { return ENOSPC; });
    }
    ~Fault() { setWriteFault(nullptr); }
  };
  {
    auto job = open({});
    Fault full;
    try {
      job->line("nowy");
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.description(), utf8ToCp852("Nie można zapisać pliku wydruku"));
      EXPECT_EQ(e.file(), path);
      EXPECT_EQ(e.osCode(), ENOSPC);
    }
    job->abandon();
    EXPECT_FALSE(job->isOpen());
  }
  EXPECT_EQ(readFile(path), "poprzedni wydruk\n");
  EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"wydruk.txt"});
}

TEST_F(FilePrint, ActiveJobIsTheInnermostOpenOne) {
  EXPECT_EQ(activeJob(), nullptr);
  {
    auto outer = open({});
    EXPECT_EQ(activeJob(), outer.get());
    {
      DeviceOptions o;
      o.path = dir.file("inner.txt");
      PrintJob inner(openDevice(DeviceKind::File, o), {});
      EXPECT_EQ(activeJob(), &inner);
    }
    EXPECT_EQ(activeJob(), outer.get());
  }
  EXPECT_EQ(activeJob(), nullptr);
}

TEST(StyledText, RunsCarryStyleAcrossLines) {
  StyleState state;
  auto runs = splitStyled("a" + kBold + "b" + kUnder + "c" + kUnbold + "d", state);
  EXPECT_EQ(runs, (std::vector<StyledRun>{{"a", false, false},
                                          {"b", true, false},
                                          {"c", true, true},
                                          {"d", false, true}}));
  runs = splitStyled("e" + kUnunder + "f", state);
  EXPECT_EQ(runs, (std::vector<StyledRun>{{"e", false, true}, {"f", false, false}}));
  EXPECT_EQ(stripCodes(kBold + kUnder + "x" + kUnunder + kUnbold), "x");
}

TEST(FileDevice, UncreatableFileIsAClearError) {
  DeviceOptions o;
  o.path = "/nonexistent-dir/out.txt";
  try {
    openDevice(DeviceKind::File, o);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.description(), utf8ToCp852("Nie można utworzyć pliku wydruku"));
    EXPECT_EQ(e.file(), "/nonexistent-dir/out.txt");
    EXPECT_EQ(e.osCode(), ENOENT);
  }
}

}  // namespace
}  // namespace rt::print
