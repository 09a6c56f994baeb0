// READ_MEM, WRITE_MEM and FMEMORXPF on memory files built in a temporary directory.
#include "console/mem_routines.h"

#include <gtest/gtest.h>

#include "console/date_version.h"
#include "console/register.h"
#include "console/warning.h"
#include "runtime/core/context.h"
#include "runtime/core/names.h"
#include "runtime/core/std_functions.h"
#include "runtime/memfile/memfile.h"
#include "temp_dir.h"

namespace {

using contest::TempDir;
using rt::Value;

class MemRoutines : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::registerStandardFunctions();
    con::registerConsoleFunctions();
    cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    file = dir.file("WERSJA.mem");
    rt::mem::writeFile(file, {{"WER_PLACE", Value::number(12.5, 2)},
                              {"DATA_WER", Value::date(con::julianDay(2024, 3, 1))},
                              {"CZY_NOWA", Value::logical(false)},
                              {"OPIS", Value::text("stara")}});
  }
  void TearDown() override { std::filesystem::current_path(cwd_); }
  rt::Memvars& vars() { return rt::context().memvars; }
  Value stored(const char* name) {
    for (const auto& v : rt::mem::readFile(file))
      if (rt::sameName(v.name, name)) return v.value;
    return Value();
  }
  std::vector<std::string> storedNames() {
    std::vector<std::string> n;
    for (const auto& v : rt::mem::readFile(file)) n.push_back(v.name);
    return n;
  }
  // Nothing but the memory file in the directory: no temporary file left behind.
  void expectOnlyTheFile() {
    for (auto& e : std::filesystem::directory_iterator(dir.path()))
      EXPECT_EQ(e.path().filename(), "WERSJA.mem");
  }

  TempDir dir;
  std::string file;
  std::filesystem::path cwd_;
};

TEST_F(MemRoutines, FmemorxpfRenamesOnlyMemFiles) {
  const std::pair<const char*, const char*> cases[] = {
      {"zef_tmp.mem", "zef_tmp.xpf"}, {"WERSJA.MEM", "WERSJA.xpf"}, {"a.memo", "a.xpf"},
      {"wersja.xpf", "wersja.xpf"},   {"wersja", "wersja"},         {"dir.d\\wersja.mem", "dir.d\\wersja.mem"},
  };
  for (auto [in, out] : cases) EXPECT_EQ(con::FMEMORXPF(in), out) << in;
}

TEST_F(MemRoutines, ReadingKeepsTheCallersVariables) {
  rt::PrivateFrame caller(vars());
  vars().declarePublic("u_zm1", Value::text("1.0"));
  vars().declarePrivate("u_zm2", Value::text("private"));
  vars().declarePublic("u_inna", Value::text("mine"));
  vars().declarePrivate("OPIS", Value::text("caller's"));

  Value v = con::READ_MEM(file, "wer_place");
  EXPECT_EQ(v.num(), 12.5);
  EXPECT_EQ(con::READ_MEM(file, "DATA_WER").date(), con::julianDay(2024, 3, 1));
  EXPECT_EQ(con::READ_MEM(file, "OPIS + \"!\"").str(), "stara!");  // an expression
  EXPECT_EQ(con::READ_MEM(file, "BRAK").str(), "");
  EXPECT_EQ(con::READ_MEM(dir.file("none.mem"), "OPIS").str(), "");

  EXPECT_EQ(vars().get("u_zm1").str(), "1.0");
  EXPECT_EQ(vars().get("u_zm2").str(), "private");
  EXPECT_EQ(vars().get("u_inna").str(), "mine");
  EXPECT_EQ(vars().get("OPIS").str(), "caller's");
  EXPECT_FALSE(vars().exists("WER_PLACE"));
  for (const char* name : con::kUpdateVariables) EXPECT_TRUE(vars().exists(name)) << name;
  EXPECT_EQ(vars().get("u_zmF").str(), "");
  EXPECT_TRUE(vars().isPublic("u_zmF"));
  expectOnlyTheFile();
}

TEST_F(MemRoutines, WritingConvertsByTheStoredType) {
  con::WRITE_MEM(file, "wer_place", "13.75");
  con::WRITE_MEM(file, "DATA_WER", "20250208");
  con::WRITE_MEM(file, "CZY_NOWA", ".t.");
  con::WRITE_MEM(file, "NOWA", "12");
  EXPECT_EQ(stored("WER_PLACE").num(), 13.75);
  EXPECT_EQ(stored("DATA_WER").date(), con::julianDay(2025, 2, 8));
  EXPECT_TRUE(stored("CZY_NOWA").logical());
  EXPECT_EQ(stored("NOWA").str(), "12");  // a name the file lacked is added as text
  EXPECT_EQ(stored("OPIS").str(), "stara");
  con::WRITE_MEM(file, "CZY_NOWA", "T");
  EXPECT_FALSE(stored("CZY_NOWA").logical());
  expectOnlyTheFile();
}

TEST_F(MemRoutines, WritingWithAMaskKeepsOnlyWhatMatches) {
  con::WRITE_MEM(file, "OPIS", "nowa", std::string("O*"));
  EXPECT_EQ(storedNames(), std::vector<std::string>{"OPIS"});
  // The routine's working variables are written when the mask takes them in.
  con::WRITE_MEM(file, "PLIK", "x", std::string("p*"));
  auto names = storedNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "PZMIENNA"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "PSZABLON"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "OPIS"), names.end());
}

TEST_F(MemRoutines, MissingOrDamagedFilesChangeNothing) {
  con::WRITE_MEM(dir.file("none.mem"), "A", "1");
  EXPECT_FALSE(std::filesystem::exists(dir.file("none.mem")));
  std::string damaged = dir.write("zly.mem", "not a memory file");
  con::WarningCapture warnings;
  vars().declarePublic("u_zm3", Value::text("3"));
  EXPECT_EQ(con::READ_MEM(damaged, "A").str(), "");
  con::WRITE_MEM(damaged, "A", "1");
  EXPECT_EQ(warnings.messages().size(), 2u);
  EXPECT_EQ(dir.read("zly.mem"), "not a memory file");
  EXPECT_EQ(vars().get("u_zm3").str(), "3");
}

TEST_F(MemRoutines, ByName) {
  EXPECT_EQ(rt::functions().call("READ_MEM", {Value::text(file), Value::text("OPIS")}).str(),
            "stara");
  rt::functions().call("WRITE_MEM",
                       {Value::text(file), Value::text("OPIS"), Value::text("nowa"), Value()});
  EXPECT_EQ(stored("OPIS").str(), "nowa");
  EXPECT_EQ(rt::functions().call("FMEMORXPF", {Value::text("a.mem")}).str(), "a.xpf");
}

}  // namespace
