// Opening and closing table sets by name.
#include "suite/tables/table_sets.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "suite/company/file_lookup.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

struct OpenSet {
  std::string first;                 // upper-case first name
  std::vector<std::string> aliases;  // opened tables
  rt::Value previousArea;            // work area selected before the set opened
};

std::string& missingTable() {
  static std::string name;
  return name;
}

std::vector<OpenSet>& sets() {
  static std::vector<OpenSet> s;
  return s;
}

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
  return s;
}

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

void closeAlias(const std::string& alias) {
  rt::Value area = call("SELECT", {rt::Value::text(alias)});
  if (area.intOr(0) <= 0) return;
  call("DBSELECTAREA", {area});
  call("DBCLOSEAREA");
}

void reselect(const rt::Value& area) {
  if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
}

// A set is found by its first table's name or that table's alias.
std::vector<OpenSet>::iterator findSet(const std::string& name) {
  std::string key = upper(trim(name));
  return std::find_if(sets().begin(), sets().end(), [&](const OpenSet& s) {
    if (s.first == key) return true;
    return !s.aliases.empty() && upper(s.aliases.front()) == key;
  });
}

// Closes what a set had opened when the set could not be opened whole.
void closeAll(const OpenSet& set) {
  for (auto it = set.aliases.rbegin(); it != set.aliases.rend(); ++it) closeAlias(*it);
  reselect(set.previousArea);
}

}  // namespace

std::vector<std::string> splitSetNames(const std::string& names) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t bar = names.find('|', start);
    std::string part = trim(names.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (!part.empty()) out.push_back(upper(part));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return out;
}

bool openSet(const std::string& names, const std::string& modes) {
  std::vector<std::string> tables = splitSetNames(names);
  if (tables.empty()) return false;
  OpenSet set{tables.front(), {}, call("SELECT")};
  missingTable().clear();
  for (size_t i = 0; i < tables.size(); ++i) {
    const TableDef* def = findTable(tables[i]);
    char mode = i < modes.size() ? modes[i] : 'S';
    bool shared = mode != 'e' && mode != 'E';
    bool opened = false;
    try {
      opened = def && openTable(*def, shared);
    } catch (const rt::Error&) {
      closeAll(set);
      // A table that is not there at all is a refusal the callers explain by its name; any
      // other failure (its memo or index missing, a damaged file) goes on with its error.
      if (!fileExistsAnyCase(tablePath(*def) + ".dbf")) {
        missingTable() = def->name + ".dbf";
        return false;
      }
      throw;
    }
    if (!opened) {
      closeAll(set);
      return false;
    }
    set.aliases.push_back(def->alias);
  }
  sets().push_back(std::move(set));
  return true;
}

void closeSet(const std::string& firstName) {
  auto it = findSet(firstName);
  if (it == sets().end()) return;
  OpenSet set = std::move(*it);
  sets().erase(it);
  // A table that fails to close (its last write refused) is closed all the same, with its locks
  // released; the rest of the set still closes, and the first failure is reported afterwards.
  std::exception_ptr failure;
  for (auto a = set.aliases.rbegin(); a != set.aliases.rend(); ++a) {
    try {
      closeAlias(*a);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  reselect(set.previousArea);
  if (failure) std::rethrow_exception(failure);
}

void closeOnly(const std::string& name) {
  auto it = findSet(name);
  if (it != sets().end()) {
    closeSet(name);
    return;
  }
  const TableDef* def = findTable(trim(name));
  closeAlias(def ? def->alias : trim(name));
}

const std::string& missingTableOfLastSet() { return missingTable(); }

std::vector<std::string> openSets() {
  std::vector<std::string> names;
  for (const OpenSet& s : sets()) names.push_back(s.first);
  return names;
}

void registerTableSetFunctions() {
  rt::Functions& f = rt::functions();
  f.add("_OPEN_SET", [](rt::Args& a) {
    return rt::Value::logical(openSet(a[0].strOr(""), a[1].strOr("")));
  });
  f.add("_CLOSE_SET", [](rt::Args& a) {
    closeSet(a[0].strOr(""));
    return rt::Value();
  });
  f.add("_CLOSE_ONLY", [](rt::Args& a) {
    closeOnly(a[0].strOr(""));
    return rt::Value();
  });
}

}  // namespace suite
