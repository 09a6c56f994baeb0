// Calls by name, as expression text and update scripts make them: every public routine is there,
// and arguments of the wrong type or missing ones take the routine's defaults.
#include <gtest/gtest.h>

#include "console/date_version.h"
#include "console/palette.h"
#include "console/register.h"
#include "console/settings_file.h"
#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/std_functions.h"
#include "temp_dir.h"

namespace {

using rt::Value;

class ByName : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::registerStandardFunctions();
    con::registerConsoleFunctions();
  }
  Value call(const char* name, std::vector<Value> args = {}) {
    return rt::functions().call(name, std::move(args));
  }
};

TEST_F(ByName, EveryPublicRoutineIsRegistered) {
  const char* names[] = {
      "NOWY_GEN", "STARY_GEN", "CZY_NOWY", "FMEMORXPF", "XGETENV", "CLOSE_IND", "K_ZMIEN_PALETE",
      "K_CLEAR", "K_DAJ_PALETE", "K_SET_KOLOR", "K_SET_ZESTAW", "K_INV", "K_NORM", "K_NORM_",
      "K_SPEC_MEN", "K_BOLD", "K_CIEN", "K_DAJ_RAMKI", "K_DAJ_CIEN", "K_KODUJ_KOL",
      "K_DEKODUJ_KOL", "READ_REKORD", "WRITE_REKORD", "ZASZYFR", "SZYFR", "DIRNAME", "ISDIR",
      "E_SETFDATI", "E_SETFATTR", "CZYTZMSR", "_KAT_INI", "FILE2ARRAY", "ARRAY2FILE",
      "ASCAN_EXACT", "E_INT", "READ_LINE", "DISKNAME", "DBOPEN", "DBLOCATE", "DBINDEX", "DBCLOSE",
      "_P", "_DB_REPL", "_SAY", "_DB_ZAP", "_DB_PACK", "_CLR_SCR", "_PRINT", "_SET_ORDER",
      "_SET_INDEX", "N_ISDIR", "KOM", "COPYFILE", "READ_MEM", "WRITE_MEM", "STOD", "POR_STR",
      "A_KODUJ", "A_DEKODUJ", "ROZWIN", "ZWIN", "KODY_RAMEK", "K_DAJ_NOWE", "INITDBASE",
      "GODBASE", "INITPROGRES", "GOPROGRES", "_ASCAN", "SETFILTER", "_ALERT", "DECYZJA",
      "SZUK_ACHOICE", "CTON", "NTOC", "N2BIN", "BIN2N", "ZEF_RAND", "_ROZWIN"};
  for (const char* n : names) EXPECT_TRUE(rt::functions().has(n)) << n;
}

TEST_F(ByName, ConversionsFromExpressionText) {
  struct Case {
    const char* expr;
    const char* expected;  // the value's text as STR/DTOS/logical letters give it
  } cases[] = {
      {"NTOC(255, 16)", "FF"},
      {"NTOC(7, 1)", ""},
      {"STR(CTON('FF', 16))", "       255"},
      {"STR(BIN2N(N2BIN(258, 2)))", "       258"},
      {"A_DEKODUJ(A_KODUJ('abc', 2), 2)", "abc"},
      {"SZYFR(ZASZYFR('tekst'))", "tekst"},
      {"STR(SZYFR(ZASZYFR(12.5)), 5, 1)", " 12.5"},
      {"ZASZYFR(.T.)", ""},
      {"SZYFR(5)", ""},
      {"DTOS(STOD('20050208'))", "20050208"},
      {"DTOS(STOD(20050208))", "        "},
      {"IIF(POR_STR('10.2', '9.15', '>'), 'T', 'F')", "T"},
      {"IIF(POR_STR('1.0\"', '1.0', '='), 'T', 'F')", "T"},
      {"STR(E_INT(-2.7))", "        -2"},
      {"FMEMORXPF('a.mem')", "a.xpf"},
      {"KODY_RAMEK('x', 'zly')", "x"},
  };
  for (const auto& c : cases) {
    Value v = rt::evalText(c.expr);
    ASSERT_TRUE(v.isChar()) << c.expr;
    EXPECT_EQ(v.str(), c.expected) << c.expr;
  }
}

TEST_F(ByName, ScriptErrorsAreTheRuntimes) {
  EXPECT_THROW(rt::evalText("NTOC('x', 16)"), rt::Error);
  EXPECT_THROW(rt::evalText("CTON('FF')"), rt::Error);
  // An operator that is no comparison is refused rather than run as expression text.
  EXPECT_THROW(rt::evalText("POR_STR('1', '2', ') .OR. (.T.')"), rt::Error);
}

TEST_F(ByName, LineReaderThroughReferencesWithDefaultSettings) {
  contest::TempDir dir;
  std::string file = dir.write("a.txt", "pierwsza\r\ndruga");
  // No caller declared the line end or the chunk size: CR LF and 4096 bytes.
  EXPECT_EQ(rt::context().memvars.tryGet("zn_konca"), nullptr);
  rt::PrivateFrame frame(rt::context().memvars);
  auto& vars = rt::context().memvars;
  vars.declarePrivate("we", Value::number(-999));
  vars.declarePrivate("buf", Value::text(""));
  vars.declarePrivate("plik", Value::text(file));
  EXPECT_EQ(rt::evalText("READ_LINE(@we, @buf, plik)").str(), "pierwsza");
  EXPECT_EQ(vars.get("we").num(), con::kReadAtEnd);
  EXPECT_EQ(vars.get("buf").str(), "druga");
  EXPECT_EQ(rt::evalText("READ_LINE(@we, @buf, plik)").str(), "druga");
  EXPECT_EQ(rt::evalText("READ_LINE(@we, @buf, plik)").str(), "");

  // A caller's own terminator and chunk size are honoured.
  vars.declarePrivate("zn_konca", Value::text("|"));
  vars.declarePrivate("buff_wlk", Value::number(3));
  dir.write("b.txt", "ab|cdefg|h");
  Value lines = rt::evalText("FILE2ARRAY('" + dir.file("b.txt") + "')");
  ASSERT_EQ(lines.arr().size(), 3u);
  EXPECT_EQ(lines.arr()[1].str(), "cdefg");
}

TEST_F(ByName, SettingsAndExactScan) {
  contest::TempDir dir;
  contest::ScopedEnv env("ZEF_KAT_INI", dir.path());
  dir.write("FIRMA.INI", "[Default]\r\nKatalog=C:\\ZEF\r\n");
  EXPECT_EQ(rt::evalText("XGETENV('katalog')").str(), "C:\\ZEF");
  EXPECT_EQ(rt::evalText("CZYTZMSR('katalog', 5, 7)").str(), "C:\\ZEF");  // defaults
  EXPECT_EQ(rt::evalText("_KAT_INI()").str(), dir.path());
  rt::context().settings.exact = false;
  EXPECT_EQ(rt::evalText("ASCAN_EXACT({'abc', 'ab'}, 'ab')").num(), 2);
  EXPECT_EQ(rt::evalText("ASCAN({'abc', 'ab'}, 'ab')").num(), 1);
  EXPECT_FALSE(rt::context().settings.exact);
}

}  // namespace

#include <cerrno>

#include "console/error_text.h"

namespace {

TEST(ErrorText, LinesFromTheErrorsFields) {
  rt::Error e(rt::ErrorKind::Open, "Open error", "DBUSEAREA", "C:\\DANE\\MAIN.DBF", ENOENT);
  auto lines = con::errorLines(e);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Nie mox`na otworzyc` pliku: DBUSEAREA");
  EXPECT_EQ(lines[1], "Plik: C:\\DANE\\MAIN.DBF");
  EXPECT_EQ(lines[2], "Kod bl`e`du systemu: 2 (nie ma takiego pliku lub katalogu)");
  EXPECT_EQ(con::errorLines(rt::Error(rt::ErrorKind::ZeroDivisor, "Zero divisor")),
            std::vector<std::string>{"Dzielenie przez zero"});
}

// The runtime's English description never reaches the screen: each kind has its Polish heading,
// the common system codes their Polish text, and the few details worth keeping are translated.
TEST(ErrorText, EveryKindAndCommonSystemCodeReadsInPolish) {
  struct Case {
    rt::ErrorKind kind;
    std::string description;
    int osCode;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {rt::ErrorKind::Corrupt,
       "Corruption detected: the index holds record 17 of a table with 12 records; rebuild it with DBREINDEX", 0,
       {"Uszkodzony plik: index", "indeks wskazuje nieistnieja`cy rekord 17",
        "trzeba odbudowac` indeksy (DBREINDEX)", "Plik: A.CDX"}},
      {rt::ErrorKind::Corrupt,
       "Corruption detected: the journal of an interrupted PACK is damaged; restore the table and its memo file "
       "from a backup copy, or, when both are whole, delete the journal; the indexes must be rebuilt",
       0,
       {"Uszkodzony plik: index", "uszkodzony dziennik przerwanego pakowania bazy",
        "przywro`c` baze` i notatki z kopii lub, gdy sa` cal`e, usun` dziennik",
        "trzeba odbudowac` indeksy (DBREINDEX)", "Plik: A.CDX"}},
      {rt::ErrorKind::Lock, "Lock failure: the table is busy (its header lock is held elsewhere)", 0,
       {"Plik lub rekord ux`ywany na innym stanowisku: index", "Plik: A.CDX"}},
      {rt::ErrorKind::Write, "Write error: ", ENOSPC,
       {"Bl`a`d zapisu: index", "Plik: A.CDX", "Kod bl`e`du systemu: " + std::to_string(ENOSPC) +
                                                   " (brak miejsca na dysku)"}},
      {rt::ErrorKind::Write, "Write error: the memo file is full", 0,
       {"Bl`a`d zapisu: index", "plik notatek jest pel`ny", "Plik: A.CDX"}},
      {rt::ErrorKind::Read, "Read error: ", EIO,
       {"Bl`a`d odczytu: index", "Plik: A.CDX",
        "Kod bl`e`du systemu: " + std::to_string(EIO) + " (bl`a`d wejs`cia-wyjs`cia dysku)"}},
      {rt::ErrorKind::Create, "Create error: ", EACCES,
       {"Nie mox`na utworzyc` pliku: index", "Plik: A.CDX",
        "Kod bl`e`du systemu: " + std::to_string(EACCES) + " (brak uprawnien` do pliku)"}},
      {rt::ErrorKind::NetErr, "Open error: the table is in use", EAGAIN,
       {"Plik ux`ywany na innym stanowisku: index", "Plik: A.CDX",
        "Kod bl`e`du systemu: " + std::to_string(EAGAIN) + " (zaso`b chwilowo niedoste`pny)"}},
      {rt::ErrorKind::Other, "Internal error", 9999,
       {"Bl`a`d programu: index", "Plik: A.CDX", "Kod bl`e`du systemu: 9999 (bl`a`d systemu nr 9999)"}},
      {rt::ErrorKind::Other, "The program needs a terminal: its input or output is not one.", 0,
       {"Bl`a`d programu: index", "program wymaga terminala (wejs`cie lub wyjs`cie nie jest terminalem)",
        "Plik: A.CDX"}},
      {rt::ErrorKind::Argument, "Nazwa pliku wychodzi poza swoj katalog", 0,
       {"Nazwa pliku wychodzi poza swoj katalog: index", "Plik: A.CDX"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(con::errorLines(rt::Error(c.kind, c.description, "index", "A.CDX", c.osCode)), c.lines)
        << c.description;
  for (auto kind : {rt::ErrorKind::DataWidth, rt::ErrorKind::Syntax, rt::ErrorKind::NoVariable,
                    rt::ErrorKind::NoFunction, rt::ErrorKind::NoAlias, rt::ErrorKind::NoField,
                    rt::ErrorKind::Bound, rt::ErrorKind::Argument})
    EXPECT_NE(con::errorHeading(kind), con::errorHeading(rt::ErrorKind::Other));
  for (int code : {ENOENT, EACCES, EPERM, ENOSPC, EROFS, EIO, EAGAIN, EEXIST, EISDIR, ENOTDIR,
                   EMFILE, EDQUOT, EBUSY})
    EXPECT_EQ(con::systemErrorText(code).find("nr"), std::string::npos) << code;
}

}  // namespace
