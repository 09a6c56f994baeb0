// The work-time fraction from the personnel module's FTE dictionary.
#include "suite/payroll/work_fraction.h"

#include <sys/stat.h>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/names.h"
#include "runtime/core/std_strings.h"
#include "runtime/db/work_areas.h"
#include "runtime/memfile/memfile.h"
#include "suite/company/file_lookup.h"
#include "suite/company/memory_store.h"
#include "suite/payroll/payroll_values.h"

namespace suite {
namespace {

// The symbol of the FTE dictionary in the personnel parameters at `path`; "" when none.
std::string symbolIn(const std::string& path) {
  try {
    for (const rt::mem::Variable& v : rt::mem::readFile(path))
      if (rt::sameName(v.name, "symbol_eta") && v.value.isChar()) return std::string(rt::trimBlanks(v.value.str()));
  } catch (const rt::Error&) {
    // Damaged or unreadable parameters name no dictionary: the fraction is not set.
  }
  return "";
}

}  // namespace

std::string fteFieldName() {
  // A run asks once per benefit record: the file is looked for once per personnel directory and
  // read again only when it is another file or was written since.
  static std::string cachedDir, cachedPath, cachedField;
  static struct stat cachedStat {};
  const rt::Value* dir = rt::context().memvars.tryGet("_path_kadr");
  std::string dirText = dir && dir->isChar() ? dir->str() : "";
  if (cachedPath.empty() || dirText != cachedDir) {
    cachedDir = dirText;
    cachedPath = findPath(dirText + "kadry_pp" + memoryFileExtension());
    cachedStat = {};
  }
  struct stat now {};
  if (::stat(cachedPath.c_str(), &now) != 0) return "";
  if (now.st_ino != cachedStat.st_ino || now.st_dev != cachedStat.st_dev ||
      now.st_mtim.tv_sec != cachedStat.st_mtim.tv_sec || now.st_mtim.tv_nsec != cachedStat.st_mtim.tv_nsec ||
      now.st_size != cachedStat.st_size) {
    std::string symbol = symbolIn(cachedPath);
    cachedField = symbol.empty() ? "" : "SL_" + symbol;
    cachedStat = now;
  }
  return cachedField;
}

std::optional<FteEntry> employeeFteEntry() {
  rt::db::WorkArea* main = rt::db::workAreas().byAlias("main");
  rt::db::WorkArea* dictionary = rt::db::workAreas().byAlias("sl");
  if (!main || !dictionary || main->eof()) return std::nullopt;
  std::string field = fteFieldName();
  int index = field.empty() ? -1 : main->fieldIndex(field);
  if (index < 0) return std::nullopt;
  rt::Value code = main->get(size_t(index));
  if (!code.isChar() || rt::trimBlanks(code.str()).empty()) return std::nullopt;

  const int order = dictionary->order();
  const uint32_t record = dictionary->recno();
  std::optional<FteEntry> entry;
  dictionary->setOrder(1);
  if (dictionary->seek(code, false)) {
    int wart = dictionary->fieldIndex("wart");
    rt::Value stored = wart < 0 ? rt::Value() : dictionary->get(size_t(wart));
    entry = FteEntry{field, std::string(rt::trimBlanks(code.str())),
                     decodeInputValue(stored.isChar() ? stored.str() : "") / 1000.0};
  }
  dictionary->setOrder(order);
  dictionary->goTo(record);
  return entry;
}

bool plausibleFte(double fte) { return fte > 0 && fte <= 1; }

double workFraction() {
  std::optional<FteEntry> entry = employeeFteEntry();
  return entry ? entry->fte : 1.0;
}

}  // namespace suite
