// Line reading, line arrays written back, and the settings-file lookup.
#include "console/settings_file.h"

#include <gtest/gtest.h>

#include "console/warning.h"
#include "temp_dir.h"

namespace {

using contest::TempDir;

std::vector<std::string> readAll(const std::string& file, con::LineFormat format) {
  std::vector<std::string> lines;
  con::ReadState st;
  for (int guard = 0; guard < 1000; ++guard) {
    std::string l = con::READ_LINE(st, file, format);
    if (st.handle < 0 && con::isBlankText(st.buffer) && con::isBlankText(l)) break;
    lines.push_back(l);
  }
  con::closeReadState(st);
  return lines;
}

TEST(SettingsFile, LinesComeBackWholeAcrossChunkBoundaries) {
  TempDir dir;
  std::string text = "first line\r\nsecond, a much longer line\r\nx\r\nlast without end";
  std::string file = dir.write("a.txt", text);
  const std::vector<std::string> expected = {"first line", "second, a much longer line", "x",
                                             "last without end"};
  // Every chunk size from 1 byte up cuts lines and CR LF pairs at every place.
  for (size_t chunk = 1; chunk <= text.size() + 1; ++chunk)
    EXPECT_EQ(readAll(file, {"\r\n", chunk}), expected) << "chunk " << chunk;
}

TEST(SettingsFile, ReaderStatesAfterTheEnd) {
  TempDir dir;
  std::string file = dir.write("a.txt", "one\r\n");
  con::ReadState st;
  EXPECT_EQ(con::READ_LINE(st, file), "one");
  EXPECT_EQ(st.handle, con::kReadAtEnd);
  EXPECT_EQ(con::READ_LINE(st, file), "");
  EXPECT_EQ(con::READ_LINE(st, file), "");

  con::WarningCapture warnings;
  con::ReadState missing;
  EXPECT_EQ(con::READ_LINE(missing, dir.file("none.txt")), "");
  EXPECT_EQ(missing.handle, con::kReadFailed);
  EXPECT_EQ(con::READ_LINE(missing, dir.file("none.txt")), "");
  ASSERT_EQ(warnings.messages().size(), 1u);
  EXPECT_EQ(warnings.messages()[0][0], "Na dysku nie znaleziono pliku:");
  EXPECT_EQ(warnings.messages()[0][1], "\"" + dir.file("none.txt") + "\"");

  con::ReadState directory;
  EXPECT_EQ(con::READ_LINE(directory, dir.path()), "");
  EXPECT_EQ(directory.handle, con::kReadFailed);
  ASSERT_EQ(warnings.messages().size(), 2u);
  EXPECT_EQ(warnings.messages()[1][0], "Brak mox`liwos`ci otwarcia pliku:");
}

TEST(SettingsFile, File2ArrayDropsBlankLinesUnlessAskedToKeepThem) {
  TempDir dir;
  std::string file = dir.write("a.txt", "a\r\n\r\n  \r\nb\r\n\r\n  \r\n");
  EXPECT_EQ(con::FILE2ARRAY(file), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(con::FILE2ARRAY(file, true), (std::vector<std::string>{"a", "", "  ", "b"}));
  EXPECT_TRUE(con::FILE2ARRAY(dir.write("empty.txt", "")).empty());
}

TEST(SettingsFile, File2ArrayLineLimit) {
  TempDir dir;
  std::string exactly, over;
  for (int i = 0; i < 4096; ++i) exactly += "l" + std::to_string(i) + "\r\n\r\n";
  over = exactly + "one too many\r\n";
  con::WarningCapture warnings;
  EXPECT_EQ(con::FILE2ARRAY(dir.write("ok.txt", exactly)).size(), 4096u);
  EXPECT_TRUE(warnings.messages().empty());
  EXPECT_TRUE(con::FILE2ARRAY(dir.write("over.txt", over)).empty());
  ASSERT_EQ(warnings.messages().size(), 1u);
  EXPECT_EQ(warnings.messages()[0][1], "Ilos`c` linii w pliku przekracza 4096 !");
}

TEST(SettingsFile, File2ArrayClosesTheFileCutAtTheLimit) {
  TempDir dir;
  std::string over;
  for (int i = 0; i < 5000; ++i) over += "line\r\n";
  std::string file = dir.write("over.txt", over);
  con::WarningCapture warnings;
  auto countOpen = [] {
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator("/proc/self/fd")) (void)e, ++n;
    return n;
  };
  int before = countOpen();
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(con::FILE2ARRAY(file, false, {"\r\n", 64}).empty());
  EXPECT_EQ(countOpen(), before);
}

TEST(SettingsFile, Array2FileEndsEveryLineWithCrLf) {
  TempDir dir;
  EXPECT_TRUE(con::ARRAY2FILE(dir.file("o.txt"), {"a", "bc", "\r\nd"}));
  EXPECT_EQ(dir.read("o.txt"), "a\r\nbc\r\n\r\nd");
  EXPECT_TRUE(con::ARRAY2FILE(dir.file("e.txt"), {}));
  EXPECT_EQ(dir.read("e.txt"), "");
  con::WarningCapture warnings;
  EXPECT_FALSE(con::ARRAY2FILE(dir.file("no/such/dir.txt"), {"a"}));
  ASSERT_EQ(warnings.messages().size(), 1u);
  EXPECT_EQ(warnings.messages()[0][1], "Bl`a`d otwarcia pliku do zapisu tablicy linii !");
}

TEST(SettingsFile, SectionAndKeyLookup) {
  const std::vector<std::string> lines = {
      "top=0",        "[DEFAULT] trailing", "Baza = C:\\DANE", "baza=second", "x=a=b",
      "[Defaultx]",   "only=later",         "[Inna]",        "only=other",  "  [Nie]",
  };
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> expected;
  } cases[] = {
      {"[Default]", "BAZA", " C:\\DANE"},  // first line wins; the blank after "=" stays
      {"Default", " baza ", " C:\\DANE"},  // brackets may be left out
      {"[Default", "x", "b"},              // the value begins after the last "="
      {"Default]", "only", std::nullopt},  // "[Defaultx]" ends the range, and is no match itself
      {"Inna", "only", "other"},
      {"Inna", "[Nie]", std::nullopt},     // an indented bracket line is no header and no key
      {"Brak", "baza", std::nullopt},
      {"Default", "", "[DEFAULT] trailing"},  // an empty key meets the header line itself
      {"", "top", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(con::XCZYTPARAM(lines, c.section, c.key), c.expected)
        << c.section << " / " << c.key;
}

TEST(SettingsFile, SettingsFileIsTakenFromTheSettingsDirectory) {
  TempDir dir;
  contest::ScopedEnv env("ZEF_KAT_INI", dir.path());
  dir.write("FIRMA.INI", "[Default]\r\nDane=D:\\FIRMY\r\n[Inna]\r\nDane=X\r\n");
  dir.write("INNY.INI", "[Sekcja]\r\nklucz= v \r\n");
  EXPECT_EQ(con::_KAT_INI(), dir.path());
  EXPECT_EQ(con::XGETENV("dane"), "D:\\FIRMY");
  EXPECT_EQ(con::CZYTZMSR("DANE", "Inna"), "X");
  // Directory and extension of the caller's name are ignored: only the base name counts.
  EXPECT_EQ(con::CZYTZMSR("klucz", "Sekcja", "Q:\\gdzies\\inny.txt"), " v ");
  EXPECT_EQ(con::CZYTZMSR("klucz", "Sekcja", "brak"), "");
}

}  // namespace
