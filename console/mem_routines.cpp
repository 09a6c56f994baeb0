// READ_MEM, WRITE_MEM and FMEMORXPF.
#include "console/mem_routines.h"

#include <cctype>
#include <optional>
#include <vector>

#include "console/date_version.h"
#include "console/error_text.h"
#include "console/warning.h"
#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/file_names.h"
#include "runtime/core/names.h"
#include "runtime/core/std_strings.h"
#include "runtime/memfile/memfile.h"

namespace con {

namespace {

// Declares the update variables when the scope ends, however it ends.
class UpdateVariablesAfter {
 public:
  UpdateVariablesAfter() = default;
  ~UpdateVariablesAfter() { ensureUpdateVariables(); }
  UpdateVariablesAfter(const UpdateVariablesAfter&) = delete;
  UpdateVariablesAfter& operator=(const UpdateVariablesAfter&) = delete;
};

bool isPlainName(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!(std::isalnum((unsigned char)c) || c == '_')) return false;
  return !std::isdigit((unsigned char)s[0]);
}

rt::mem::Variable* findVariable(std::vector<rt::mem::Variable>& vars, std::string_view name) {
  for (auto& v : vars)
    if (rt::sameName(v.name, name)) return &v;
  return nullptr;
}

// A memory file that cannot be read or written is reported and the call answers as for a
// missing file.
void reportDamaged(std::string_view file, const rt::Error& e) {
  if (e.file().empty())
    showWarning({"Plik: " + std::string(file), errorSummary(e)});
  else
    reportError(e);
}

// The variables of an existing memory file; nullopt when it is missing or cannot be read.
std::optional<std::vector<rt::mem::Variable>> readStored(std::string_view file) {
  if (!rt::fileExists(file)) return std::nullopt;
  try {
    return rt::mem::readFile(file);
  } catch (const rt::Error& e) {
    reportDamaged(file, e);
    return std::nullopt;
  }
}

rt::Value converted(const rt::Value* stored, std::string_view text) {
  if (stored && stored->isNum()) return rt::functions().call("VAL", {rt::Value::text(std::string(text))});
  if (stored && stored->isLogical()) return rt::Value::logical(rt::upperName(text) == ".T.");
  if (stored && stored->isDate()) return rt::Value::date(STOD(text));
  return rt::Value::text(std::string(text));
}

}  // namespace

void ensureUpdateVariables() {
  rt::Memvars& vars = rt::context().memvars;
  for (const char* name : kUpdateVariables) {
    const rt::Value* v = vars.tryGet(name);
    if (!v || v->isNil())
      vars.declarePublic(name, rt::Value::text(""));
  }
}

rt::Value READ_MEM(std::string_view file, std::string_view variable) {
  UpdateVariablesAfter afterwards;
  auto read = readStored(file);
  if (!read) return rt::Value::text("");
  std::vector<rt::mem::Variable>& stored = *read;
  std::string wanted(rt::trimBlanks(variable));
  if (isPlainName(wanted)) {
    rt::mem::Variable* v = findVariable(stored, wanted);
    return v ? v->value : rt::Value::text("");
  }
  // An expression over the file's variables: evaluated in a frame of its own where they are
  // visible as privates, gone again when it returns.
  rt::Memvars& vars = rt::context().memvars;
  rt::PrivateFrame frame(vars);
  for (const auto& v : stored) vars.declarePrivate(v.name, v.value);
  try {
    return rt::evalText(wanted);
  } catch (const rt::Error&) {
    return rt::Value::text("");
  }
}

void WRITE_MEM(std::string_view file, std::string_view variable, std::string_view valueText,
               std::optional<std::string> mask) {
  UpdateVariablesAfter afterwards;
  auto read = readStored(file);
  if (!read) return;
  std::vector<rt::mem::Variable>& stored = *read;
  std::string name(rt::trimBlanks(variable));
  rt::mem::Variable* existing = findVariable(stored, name);
  rt::Value value = converted(existing ? &existing->value : nullptr, valueText);
  if (existing)
    existing->value = value;
  else
    stored.push_back({rt::upperName(name), value});

  std::vector<rt::mem::Variable> written;
  if (mask && !mask->empty()) {
    for (const auto& v : stored)
      if (rt::matchesMask(v.name, *mask)) written.push_back(v);
    // The routine's own working variables are visible to a mask as well, as they always were.
    const rt::mem::Variable working[] = {{"PZMIENNA", rt::Value::text(name)},
                                         {"PSZABLON", rt::Value::text(*mask)}};
    for (const auto& w : working)
      if (rt::matchesMask(w.name, *mask) && !findVariable(written, w.name)) written.push_back(w);
  } else {
    written = std::move(stored);
  }
  try {
    rt::mem::writeFile(file, written);
  } catch (const rt::Error& e) {
    reportDamaged(file, e);
  }
}

std::string FMEMORXPF(std::string_view name) {
  auto dot = name.find('.');
  if (dot == std::string_view::npos) return std::string(name);
  std::string ext(name.substr(dot, 4));
  for (char& c : ext) c = char(std::tolower((unsigned char)c));
  if (ext != ".mem") return std::string(name);
  return std::string(name.substr(0, dot)) + ".xpf";
}

}  // namespace con
