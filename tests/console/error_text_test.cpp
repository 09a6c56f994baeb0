// The user's text of a runtime error: Polish lines from the error's kind, cause, operation, file
// and system code, whatever the runtime's English description says.
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include "console/error_text.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/file.h"
#include "runtime/db/work_areas.h"
#include "tests/console/temp_dir.h"

namespace {

using rt::ErrorCause;
using rt::ErrorKind;

TEST(ErrorText, LinesFromTheErrorsFields) {
  rt::Error e(ErrorKind::Open, "Open error", "DBUSEAREA", "C:\\DANE\\MAIN.DBF", ENOENT);
  EXPECT_EQ(con::errorLines(e),
            (std::vector<std::string>{"Nie mox`na otworzyc` pliku (DBUSEAREA)", "Plik: C:\\DANE\\MAIN.DBF",
                                      "Przyczyna: nie ma takiego pliku lub katalogu (kod 2)"}));
  EXPECT_EQ(con::errorLines(rt::Error(ErrorKind::ZeroDivisor, "Zero divisor")),
            std::vector<std::string>{"Dzielenie przez zero"});
  EXPECT_EQ(con::errorSummary(e), "Nie mox`na otworzyc` pliku; nie ma takiego pliku lub katalogu");
}

// The description plays no part: a reworded English text cannot drop a Polish line.
TEST(ErrorText, KindCauseAndCodeGiveTheLinesWhateverTheDescription) {
  struct Case {
    ErrorKind kind;
    ErrorCause cause;
    int osCode;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {ErrorKind::Corrupt, ErrorCause::None, 0,
       {"Uszkodzony plik (indeks)", "Plik: A.CDX", "Przyczyna: uszkodzony indeks",
        "Nalex`y odbudowac` indeksy (DBREINDEX)."}},
      {ErrorKind::Corrupt, ErrorCause::InterruptedWrite, 0,
       {"Uszkodzony plik (indeks)", "Plik: A.CDX", "Przyczyna: przerwany wczes`niej zapis",
        "Nalex`y odbudowac` indeksy (DBREINDEX)."}},
      {ErrorKind::Corrupt, ErrorCause::DamagedJournal, 0,
       {"Uszkodzony plik (indeks)", "Plik: A.CDX", "Przyczyna: uszkodzony dziennik przerwanego pakowania bazy",
        "Przywro`c` baze` i notatki z kopii lub, gdy sa` cal`e, usun` dziennik;",
        "potem nalex`y odbudowac` indeksy (DBREINDEX)."}},
      {ErrorKind::Lock, ErrorCause::None, 0, {"Plik lub rekord ux`ywany na innym stanowisku (indeks)", "Plik: A.CDX"}},
      {ErrorKind::Write, ErrorCause::None, ENOSPC,
       {"Bl`a`d zapisu (indeks)", "Plik: A.CDX",
        "Przyczyna: brak miejsca na dysku (kod " + std::to_string(ENOSPC) + ")"}},
      {ErrorKind::Write, ErrorCause::Full, 0,
       {"Bl`a`d zapisu (indeks)", "Plik: A.CDX", "Przyczyna: plik osia`gna`l` najwie`kszy rozmiar"}},
      {ErrorKind::Write, ErrorCause::ReadOnly, EBADF,
       {"Bl`a`d zapisu (indeks)", "Plik: A.CDX", "Przyczyna: plik otwarty tylko do odczytu"}},
      {ErrorKind::NetErr, ErrorCause::None, EAGAIN,
       {"Plik ux`ywany na innym stanowisku (indeks)", "Plik: A.CDX",
        "Przyczyna: zaso`b chwilowo niedoste`pny (kod " + std::to_string(EAGAIN) + ")"}},
      {ErrorKind::Other, ErrorCause::None, 9999,
       {"Bl`a`d programu (indeks)", "Plik: A.CDX", "Przyczyna: bl`a`d systemu nr 9999 (kod 9999)"}},
  };
  for (const Case& c : cases)
    for (const char* description : {"Corruption detected: whatever", "", "Nowy opis"}) {
      rt::Error e = rt::Error(c.kind, description, "index", "A.CDX", c.osCode).because(c.cause);
      EXPECT_EQ(con::errorLines(e), c.lines) << description;
    }
  EXPECT_EQ(con::errorLines(rt::userError(ErrorKind::Argument, "Nazwa pliku wychodzi poza swoj katalog", "open",
                                          "A.CDX")),
            (std::vector<std::string>{"Nazwa pliku wychodzi poza swoj katalog", "Plik: A.CDX"}));
  for (auto kind : {ErrorKind::DataWidth, ErrorKind::Syntax, ErrorKind::NoVariable, ErrorKind::NoFunction,
                    ErrorKind::NoAlias, ErrorKind::NoField, ErrorKind::Bound, ErrorKind::Argument})
    EXPECT_NE(con::errorHeading(kind), con::errorHeading(ErrorKind::Other));
  for (int code : {ENOENT, EACCES, EPERM, ENOSPC, EROFS, EIO, EAGAIN, EEXIST, EISDIR, ENOTDIR, EMFILE, EDQUOT, EBUSY})
    EXPECT_EQ(con::systemErrorText(code).find("nr"), std::string::npos) << code;
}

TEST(ErrorText, ALongPathKeepsTheFilesName) {
  const std::string path = "/" + std::string(90, 'k') + "/NIEOBEC.DBF";
  std::vector<std::string> lines = con::errorLines(rt::Error(ErrorKind::Open, "", "open", path, ENOENT));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_LE(lines[1].size(), 74u);
  EXPECT_TRUE(lines[1].starts_with("Plik: ...")) << lines[1];
  EXPECT_TRUE(lines[1].ends_with("kkk/NIEOBEC.DBF")) << lines[1];
}

// Failures caused on real files: every line of the window is Polish and says why.
class ErrorWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::registerStandardFunctions();
    table = dir.file("NIEOBEC.dbf");
    rt::db::DbfTable::create(table, {{"NR_PRAC", 'C', 5, 0}});
    rt::db::WorkArea& area = rt::db::workAreas().use(table, {});
    for (const char* nr : {"    1", "    2", "    3"}) {
      area.append();
      area.put(0, rt::Value::text(nr));
    }
    area.createTag("", "NR", "nr_prac");
    rt::db::workAreas().closeAll();
  }
  void TearDown() override {
    rt::db::File::setWriteFault(nullptr);
    rt::db::workAreas().closeAll();
  }
  static std::vector<std::string> linesOf(const std::function<void()>& failing) {
    try {
      failing();
    } catch (const rt::Error& e) {
      return con::errorLines(e);
    }
    ADD_FAILURE() << "no error";
    return {};
  }

  contest::TempDir dir;
  std::string table;
};

TEST_F(ErrorWindow, MissingReadOnlyRefusedAndDamagedIndexSayWhyInPolish) {
  struct Case {
    const char* what;
    std::function<void()> failing;
    std::vector<std::string> lines;
  };
  const std::string cdx = dir.file("NIEOBEC.cdx");
  const Case cases[] = {
      {"missing table", [&] { rt::db::workAreas().use(dir.file("MAIN.dbf"), {}); },
       {"Nie mox`na otworzyc` pliku (otwarcie pliku)", "Plik: " + dir.file("MAIN.dbf"),
        "Przyczyna: nie ma takiego pliku lub katalogu (kod " + std::to_string(ENOENT) + ")"}},
      {"table open read-only",
       [&] {
         rt::db::UseOptions readOnly;
         readOnly.readOnly = true;
         rt::db::workAreas().use(table, readOnly).append();
       },
       {"Bl`a`d zapisu (dopisanie rekordu)", "Plik: " + table, "Przyczyna: plik otwarty tylko do odczytu"}},
      {"write refused by the system",
       [&] {
         rt::db::WorkArea& area = rt::db::workAreas().use(table, {});
         rt::db::File::setWriteFault([](const std::string& path, uint64_t, size_t) {
           return path.ends_with(".dbf") ? EACCES : 0;
         });
         area.append();
         area.put(0, rt::Value::text("    9"));
         area.commit();
       },
       {"Bl`a`d zapisu (zapis)", "Plik: " + table,
        "Przyczyna: brak uprawnien` do pliku (kod " + std::to_string(EACCES) + ")"}},
      {"damaged index",
       [&] {
         {
           std::fstream damaged(cdx, std::ios::binary | std::ios::in | std::ios::out);
           damaged.seekp(1024);
           damaged << std::string(200, '\xab');
         }
         rt::db::workAreas().use(table, {}).seek(rt::Value::text("    2"), false);
       },
       {"Uszkodzony plik (indeks)", "Plik: " + cdx, "Przyczyna: uszkodzony indeks",
        "Nalex`y odbudowac` indeksy (DBREINDEX)."}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(linesOf(c.failing), c.lines) << c.what;
    rt::db::File::setWriteFault(nullptr);
    rt::db::workAreas().closeAll();
  }
}

}  // namespace
