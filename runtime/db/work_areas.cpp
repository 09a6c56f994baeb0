// WorkAreas: numbered areas, selection, aliases and the field resolver.
#include "runtime/db/work_areas.h"

#include <sys/stat.h>

#include <algorithm>

#include "runtime/core/error.h"
#include "runtime/core/names.h"
#include "runtime/core/std_strings.h"
#include "runtime/db/field_codec.h"

namespace rt::db {

std::string structuralBagPath(const std::string& tablePath);

namespace {

std::string trimmed(std::string_view s) { return std::string(trimBlanks(s)); }

// The number of a field named after an alias; an unknown name is a missing variable.
size_t aliasedFieldIndex(WorkArea& a, std::string_view field) {
  int f = a.fieldIndex(field);
  if (f < 0) throw Error(ErrorKind::NoField, "Variable does not exist", upperName(trimmed(field)));
  return size_t(f);
}

std::string aliasFromPath(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  return upperName(name);
}

}  // namespace

WorkAreas::~WorkAreas() {
  try {
    closeAll();
  } catch (...) {
    // Process end: nothing left to report to.
  }
  if (context().fields == this) installFieldResolver(nullptr);
}

WorkArea& WorkAreas::use(const std::string& path, const UseOptions& options) {
  netErr_ = false;
  std::string alias = upperName(trimmed(options.alias.empty() ? aliasFromPath(path) : options.alias));
  int number = options.newArea ? freeNumber() : selected_;
  if (!options.newArea && areas_.count(number)) close(number);
  if (numberOf(alias) != 0)
    throw Error(ErrorKind::Open, "Alias already in use", alias, path).because(ErrorCause::AliasInUse);
  std::unique_ptr<DbfTable> table;
  try {
    table = DbfTable::open(path, {options.shared, options.readOnly});
  } catch (const Error& e) {
    if (e.kind() == ErrorKind::NetErr) netErr_ = true;
    throw;
  }
  auto area = std::make_unique<WorkArea>(*this, number, alias, std::move(table));
  WorkArea& ref = *area;
  selected_ = number;
  areas_[number] = std::move(area);
  try {
    struct stat st;
    std::string bag = structuralBagPath(path);
    if (::stat(bag.c_str(), &st) == 0) ref.addBag(bag);
    ref.goTop();
  } catch (...) {
    areas_.erase(number);
    throw;
  }
  return ref;
}

void WorkAreas::close(int number) {
  auto it = areas_.find(number);
  if (it == areas_.end()) return;
  // Relations into the closing area go with it.
  for (auto& [n, a] : areas_)
    if (n != number)
      for (int r = 1; a->relationTarget(r) != 0; ++r)
        if (a->relationTarget(r) == number) {
          a->clearRelations();
          break;
        }
  // The pending record goes out while the area can still be reached by its number: its index
  // keys are evaluated with this area selected, whichever area the caller had selected.
  std::exception_ptr failure;
  try {
    it->second->close();
  } catch (...) {
    failure = std::current_exception();
  }
  areas_.erase(number);
  if (failure) std::rethrow_exception(failure);
}

void WorkAreas::closeAll() {
  std::exception_ptr first;
  while (!areas_.empty()) {
    try {
      close(areas_.begin()->first);
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  selected_ = 1;
  if (first) std::rethrow_exception(first);
}

WorkArea& WorkAreas::need(std::string_view operation) {
  WorkArea* a = selected();
  if (!a) throw Error(ErrorKind::NoAlias, "Workarea not in use", std::string(operation));
  return *a;
}

WorkArea* WorkAreas::byNumber(int n) {
  auto it = areas_.find(n);
  return it == areas_.end() ? nullptr : it->second.get();
}

WorkArea* WorkAreas::byAlias(std::string_view alias) {
  int n = numberOf(alias);
  return n ? byNumber(n) : nullptr;
}

int WorkAreas::numberOf(std::string_view alias) const {
  std::string a = trimmed(alias);
  for (auto& [n, area] : areas_)
    if (sameName(area->alias(), a)) return n;
  return 0;
}

int WorkAreas::freeNumber() const {
  int n = 1;
  while (areas_.count(n)) ++n;
  return n;
}

int WorkAreas::select(int n) {
  selected_ = n <= 0 ? freeNumber() : n;
  return selected_;
}

// --- FieldResolver ---

WorkArea& WorkAreas::aliasArea(std::string_view alias) {
  std::string a = trimmed(alias);
  if (sameName(a, "FIELD") || sameName(a, "_FIELD")) {
    if (WorkArea* w = selected()) return *w;
  } else if (WorkArea* w = byAlias(a)) {
    return *w;
  } else if (!a.empty() && std::all_of(a.begin(), a.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    if (WorkArea* w = byNumber(std::stoi(a))) return *w;
  }
  throw Error(ErrorKind::NoAlias, "Alias does not exist", upperName(a));
}

bool WorkAreas::readField(std::string_view name, Value& out) {
  WorkArea* a = selected();
  if (!a) return false;
  int f = a->fieldIndex(name);
  if (f < 0) return false;
  out = a->get(size_t(f));
  return true;
}

bool WorkAreas::writeField(std::string_view name, const Value& v) {
  WorkArea* a = selected();
  if (!a) return false;
  int f = a->fieldIndex(name);
  if (f < 0) return false;
  a->put(size_t(f), v);
  return true;
}

Value WorkAreas::readAliasField(std::string_view alias, std::string_view field) {
  WorkArea& a = aliasArea(alias);
  return a.get(aliasedFieldIndex(a, field));
}

void WorkAreas::writeAliasField(std::string_view alias, std::string_view field, const Value& v) {
  WorkArea& a = aliasArea(alias);
  a.put(aliasedFieldIndex(a, field), v);
}

Value WorkAreas::withAlias(std::string_view alias, const std::function<Value()>& body) {
  WorkArea& a = aliasArea(alias);
  return withSelected(a.number(), body);
}

std::string WorkAreas::fieldType(std::string_view alias, std::string_view field) {
  WorkArea* a = nullptr;
  if (trimmed(alias).empty()) {
    a = selected();
  } else {
    try {
      a = &aliasArea(alias);
    } catch (const Error&) {
      return "U";
    }
  }
  if (!a) return "U";
  int f = a->fieldIndex(field);
  if (f < 0) return "U";
  return std::string(1, valueTypeOf(a->table().field(size_t(f))));
}

WorkAreas& workAreas() {
  // The runtime context is made first, so it outlives the areas; the areas' destructor closes
  // every table (writing what is pending) at process end.
  static Context& runtime = context();
  (void)runtime;
  static WorkAreas areas;
  static bool installed = [] {
    installFieldResolver(&areas);
    return true;
  }();
  (void)installed;
  return areas;
}

}  // namespace rt::db
