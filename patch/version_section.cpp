// The "[wer]" section: version variables, preparatory blocks, the update condition.
#include "patch/version_section.h"

#include <cctype>
#include <vector>

#include "console/mem_routines.h"
#include "patch/messages.h"
#include "patch/script_block.h"
#include "patch/text_utils.h"
#include "runtime/core/context.h"
#include "runtime/core/file_names.h"
#include "runtime/memfile/memfile.h"

namespace patch {

namespace {

const char* const kFillable[] = {"U_ZM0", "U_ZM1", "U_ZM2", "U_ZM3", "U_ZM4", "U_ZM5",
                                 "U_ZM6", "U_ZM7", "U_ZM8", "U_ZM9", "U_ZMA", "U_ZMB",
                                 "U_ZMC", "U_ZMD", "U_ZME", "U_ZMF"};

// Whether the memory file holds a variable of that name (the file's names compared in any case).
// A name that is an expression over the file's variables is left to the reading itself.
bool fileHolds(const std::string& file, const std::string& variable) {
  std::string wanted = upperAscii(trimmed(variable));
  for (char c : wanted)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return true;
  for (const rt::mem::Variable& v : rt::mem::readFile(rt::mapPath(file)))
    if (upperAscii(v.name) == wanted) return true;
  return false;
}

}  // namespace

void declareScriptVariables(const std::string& dst) {
  rt::Memvars& vars = rt::context().memvars;
  for (const char* name : {"u_zm1", "u_zm2", "u_zm3", "u_zm4", "u_zm5", "u_zm6", "u_zm7",
                           "u_zm8", "u_zm9", "u_zm0"})
    vars.declarePublic(name, rt::Value::text(""));
  vars.declarePublic("u_dst_path", rt::Value::text(dst));
  for (const char* name : {"u_zmA", "u_zmB", "u_zmC", "u_zmD", "u_zmE", "u_zmF"})
    vars.declarePublic(name, rt::Value::text(""));
}

bool DOPUBLICA(std::string_view name, const rt::Value& value) {
  std::string wanted = upperAscii(trimmed(name));
  for (const char* fillable : kFillable) {
    if (wanted == fillable) {
      rt::context().memvars.assign(fillable, value);
      return true;
    }
  }
  return false;
}

std::optional<VersionEntry> parseVersionLine(std::string_view line, int number) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  VersionEntry e;
  e.line = number;
  e.variable = trimmed(line.substr(0, eq));
  std::string_view rest = line.substr(eq + 1);
  size_t bar = rest.find('|');
  if (bar == std::string_view::npos) return std::nullopt;
  e.file = trimmed(rest.substr(0, bar));
  rest = rest.substr(bar + 1);
  size_t bar2 = rest.find('|');
  if (bar2 == std::string_view::npos) {
    e.memVariable = trimmed(rest);
  } else {
    e.memVariable = trimmed(rest.substr(0, bar2));
    std::string value = trimmed(rest.substr(bar2 + 1));  // further "|" belong to the value
    if (!value.empty()) e.newValue = value;
  }
  if (e.variable.empty() || e.file.empty() || e.memVariable.empty()) return std::nullopt;
  return e;
}

bool USTAL_WERSJE(const SectionLines& dane, UpdateRun& run) {
  declareScriptVariables(run.dst);
  std::vector<VersionEntry> entries;
  std::vector<ScriptBlock> blocks;
  ScriptBlock condition = builtinBlock("{|| .t. }");
  try {
    for (size_t i = 0; i < dane.size(); ++i) {
      std::string line = trimmed(dane[i].text);
      int number = dane[i].number;
      if (startsWith(line, "warunek")) {
        // Only as the section's last line, "=" right after the key and a block after it.
        if (i + 1 == dane.size() && line.size() > 12 && line[7] == '=')
          condition = compileScriptBlock(line.substr(8), number);
      } else if (startsWith(line, "blok=")) {
        std::string text = trimmed(line.substr(5));
        if (!text.empty()) blocks.push_back(compileScriptBlock(text, number));
      } else if (auto e = parseVersionLine(line, number)) {
        entries.push_back(std::move(*e));
      }
    }
  } catch (const ScriptFailure& f) {
    warnScriptFailure(f);
    return false;
  }

  for (const VersionEntry& e : entries) {
    if (climbsOut(e.file)) {
      warnScriptFailure(climbingName(e.line, e.file));
      return false;
    }
  }
  bool result = true;
  for (const VersionEntry& e : entries) {
    std::string file = run.dst + e.file;
    if (!rt::fileExists(file)) {
      result = false;  // no message of its own: the run names the line when it ends
      run.failedLine = e.line;
      break;
    }
    try {
      if (!fileHolds(file, e.memVariable)) {
        warn({scriptLineText(e.line),
              "Plik " + e.file + " nie zawiera zmiennej " + e.memVariable + " !"});
        return false;
      }
      DOPUBLICA(e.variable, con::READ_MEM(file, e.memVariable));
    } catch (const rt::Error& err) {
      warn({scriptLineText(e.line), errorText(err)});
      return false;
    }
  }
  try {
    for (const ScriptBlock& b : blocks) evalScriptBlock(b);
    if (!result) return false;
    if (!truthOf(evalScriptBlock(condition))) {
      run.failedLine = condition.line;
      return false;
    }
  } catch (const ScriptFailure& f) {
    warnScriptFailure(f);
    return false;
  }
  for (const VersionEntry& e : entries)
    if (e.newValue) run.pendingWrites.push_back({run.dst + e.file, e.memVariable, *e.newValue, e.line});
  return true;
}

}  // namespace patch
