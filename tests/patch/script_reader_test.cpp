// The script reader: lines, comments, trimming, chunk boundaries, scrambling, the last line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "patch/interpreter.h"
#include "patch/script_reader.h"

namespace {

std::vector<patch::ScriptLine> readAll(const std::string& bytes, bool scrambled = false) {
  std::string stored = bytes;
  if (scrambled)
    for (char& c : stored) c = char(255 - static_cast<unsigned char>(c));
  size_t pos = 0;
  patch::ScriptReader reader(
      [&](char* into, size_t n) {
        size_t k = std::min(n, stored.size() - pos);
        std::copy_n(stored.data() + pos, k, into);
        pos += k;
        return k;
      },
      scrambled);
  std::vector<patch::ScriptLine> lines;
  while (auto l = reader.next()) lines.push_back(*l);
  return lines;
}

std::vector<std::string> texts(const std::vector<patch::ScriptLine>& lines) {
  std::vector<std::string> t;
  for (const auto& l : lines) t.push_back(l.text);
  return t;
}

struct Case {
  const char* name;
  std::string bytes;
  std::vector<std::string> expected;
};

TEST(ScriptReader, LinesAsTheHandlersReceiveThem) {
  const std::vector<Case> cases = {
      {"comments cut, blanks trimmed, empty lines skipped",
       "  [copy] ; pliki\r\n\r\n   ; uwaga\r\na|b ; c\r\n", {"[copy]", "a|b"}},
      {"a semicolon inside quotes still starts a comment", "ok={|| KOM(\"a;b\")}\r\n", {"ok={|| KOM(\"a"}},
      {"the last line without CR LF comes as it stands", "x\r\n[koniec] ", {"x", "[koniec] "}},
      {"a blank last line ends the script", "x\r\n   \t", {"x"}},
      {"LF alone is an ordinary character", "[wer]\nu_zm1=a|b\n", {"[wer]\nu_zm1=a|b\n"}},
      {"lone CR stays in the line", "a\rb\r\n", {"a\rb"}},
      {"tabs only: skipped", "\t\t\r\nz\r\n", {"z"}},
      {"empty file", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(texts(readAll(c.bytes)), c.expected) << c.name;
}

TEST(ScriptReader, LineSpanningAChunkBoundaryComesWhole) {
  // Lines 1-3 fill up to byte 4090; line 4 runs over the 4096-byte boundary.
  std::string bytes = "x\r\n" + std::string(4083, 'b') + "\r\n" + "long-line-across-the-boundary" + "\r\nlast";
  auto lines = readAll(bytes + std::string(10000 - bytes.size() % 10000, ' ') + "\r\nend\r\n");
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[2].text, "long-line-across-the-boundary");
  EXPECT_EQ(lines[2].number, 3);
  // A CR LF split between two chunks is joined before the line is cut.
  std::string split = std::string(4095, 'c') + "\r\nnext\r\n";
  auto s = texts(readAll(split));
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].size(), 4095u);
  EXPECT_EQ(s[1], "next");
}

TEST(ScriptReader, ReadsOnPastAChunkOfBlanksAndLineEnds) {
  std::string blanks;
  while (blanks.size() < 3 * 4096) blanks += "    \r\n";
  auto lines = readAll("[koniec]\r\n" + blanks + "ok={|| .t.}\r\n", true);
  EXPECT_EQ(texts(lines), (std::vector<std::string>{"[koniec]", "ok={|| .t.}"}));
  EXPECT_EQ(lines[1].number, 2 + int(blanks.size() / 6));
}

TEST(ScriptReader, ScrambledScriptGivesThePlainLinesWithTheirNumbers) {
  auto lines = readAll("; title\r\n[wer]\r\n\r\nu_zm1=V.XPF|wersja\r\n", true);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "[wer]");
  EXPECT_EQ(lines[0].number, 2);
  EXPECT_EQ(lines[1].text, "u_zm1=V.XPF|wersja");
  EXPECT_EQ(lines[1].number, 4);
}

TEST(ScriptReader, SectionHeadersAreExact) {
  for (const char* h : {"[wer]", "[copy]", "[dbase]", "[koniec]", "[copy_in_src]", "[copy_in_dst]"})
    EXPECT_TRUE(patch::sectionOfHeader(h)) << h;
  for (const char* h : {"[Copy]", "[COPY]", "[copy] x", "[pliki]", "[WER]", "[koniec] "})
    EXPECT_FALSE(patch::sectionOfHeader(h)) << h;
}

}  // namespace
