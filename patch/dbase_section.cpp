// Reading the "[dbase]" section into group settings and running its groups.
#include "patch/dbase_section.h"

#include "patch/group_run.h"
#include "patch/messages.h"
#include "patch/text_utils.h"

namespace patch {

namespace {

// "file|alias": the first "|" after the key; both parts trimmed and non-empty.
bool splitFileAlias(const std::string& line, size_t keyLen, std::string& file, std::string& rest) {
  size_t bar = line.find('|');
  if (bar == std::string::npos || bar < keyLen) return false;
  file = trimmed(std::string_view(line).substr(keyLen, bar - keyLen));
  rest = trimmed(std::string_view(line).substr(bar + 1));
  return !file.empty() && !rest.empty();
}

void addBlock(std::vector<ScriptBlock>& list, const std::string& text, int line) {
  if (!text.empty()) list.push_back(compileScriptBlock(text, line));
}

}  // namespace

bool readGroupLine(const ScriptLine& sl, GroupSettings& g, bool& companyMode) {
  std::string line = trimmed(sl.text);
  int n = sl.number;
  if (startsWith(upperAscii(line), "STATUS=+PRZEDS")) {
    companyMode = true;
    return true;
  }
  if (startsWith(line, "src_base=")) {
    std::string file, alias;
    if (splitFileAlias(line, 9, file, alias)) {
      if (climbsOut(file)) throw climbingName(n, file);
      g.sources.push_back({file, alias, n});
    }
    return true;
  }
  if (startsWith(line, "dst_base=")) {
    std::string file, rest;
    if (!splitFileAlias(line, 9, file, rest)) return true;
    if (climbsOut(file)) throw climbingName(n, file);
    DestinationTable t{file, rest, false, n};
    size_t bar = rest.find('|');
    if (bar != std::string::npos) {
      t.alias = rest.substr(0, bar);
      t.perCompany = upperAscii(trimmed(std::string_view(rest).substr(bar + 1))) == "PRZEDS";
    }
    if (!t.alias.empty()) g.destinations.push_back(t);
    return true;
  }
  if (startsWith(line, "index=")) {
    size_t bar = line.find('|');
    if (bar == std::string::npos || bar < 6) return true;
    std::string alias = trimmed(std::string_view(line).substr(6, bar - 6));
    std::string rest = line.substr(bar + 1);
    size_t bar2 = rest.find('|');
    if (bar2 == std::string::npos) return true;
    std::string file = trimmed(std::string_view(rest).substr(0, bar2));
    std::string key = trimmed(std::string_view(rest).substr(bar2 + 1));
    if (climbsOut(file)) throw climbingName(n, file);
    if (!alias.empty() && !file.empty() && !key.empty()) g.indexes.push_back({alias, file, key, n});
    return true;
  }
  if (startsWith(line, "war_we=")) {
    std::string text = trimmed(line.substr(7));
    if (!text.empty()) g.entryCondition = compileScriptBlock(text, n);
    return true;
  }
  static const std::pair<const char*, std::vector<ScriptBlock> GroupSettings::*> blockKeys[] = {
      {"base_blok=", &GroupSettings::tableBlocks},   {"rek_pocz=", &GroupSettings::loopStart},
      {"rek_war=", &GroupSettings::recordCondition}, {"rek_blok=", &GroupSettings::recordBlocks},
      {"rek_przetw=", &GroupSettings::loopWhile},    {"rek_mov=", &GroupSettings::loopMove},
      {"rek_kon=", &GroupSettings::loopEnd}};
  for (const auto& [key, list] : blockKeys) {
    if (startsWith(line, key)) {
      addBlock(g.*list, trimmed(line.substr(std::string_view(key).size())), n);
      return true;
    }
  }
  if (startsWith(line, "kon_copy=")) {
    std::string value = trimmed(line.substr(9));
    size_t bar = value.find('|');
    if (bar == std::string::npos) return true;
    std::string source = value.substr(0, bar);
    std::string rest = value.substr(bar + 1);
    std::string condition = "{||.t.}";
    size_t bar2 = rest.find('|');
    std::string destination = rest.substr(0, bar2);
    if (bar2 != std::string::npos) condition = rest.substr(bar2 + 1);
    if (source.empty() || destination.empty()) return true;
    if (climbsOut(source)) throw climbingName(n, source);
    if (climbsOut(destination)) throw climbingName(n, destination);
    g.finalCopies.push_back({source, destination, compileScriptBlock(condition, n), n});
    return true;
  }
  return false;
}

bool PRZETW_BAZY(const SectionLines& dane, const std::string& src, const std::string& dst,
                 FileBackup& backup, int* failedLine) {
  GroupSettings group;
  bool companyMode = false;
  for (const ScriptLine& l : dane) {
    std::string line = trimmed(l.text);
    if (startsWith(line, "-")) {
      group.terminatorLine = l.number;
      if (!AKTUALIZUJ_BAZY(group, src, dst, companyMode, backup)) {
        if (failedLine) *failedLine = l.number;
        return false;
      }
      // Every group starts from the start values, so no group runs an earlier group's blocks.
      group = GroupSettings();
      continue;
    }
    try {
      readGroupLine(l, group, companyMode);
    } catch (const ScriptFailure& f) {
      warnScriptFailure(f);
      return false;
    }
  }
  return true;
}

}  // namespace patch
