// rt::db::WorkAreas: the process's numbered work areas, the selected one, aliases, and the field
// resolver through which expression text reads and writes fields (`name`, `alias->name`,
// `alias->(expr)`).
//
// Areas are numbered from 1; selecting 0 selects the lowest free number. An alias is unique
// among open areas (case-insensitive). The selected area may be empty (no table open).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/core/context.h"
#include "runtime/db/work_area.h"

namespace rt::db {

struct UseOptions {
  bool newArea = true;     // open in the lowest free area (else the selected one, closing it)
  bool shared = false;
  bool readOnly = false;
  std::string alias;       // empty: the file's base name, upper case
};

class WorkAreas final : public FieldResolver {
 public:
  WorkAreas() = default;
  ~WorkAreas() override;

  // Opens a table (a real path) with its structural index; the new area becomes selected.
  // A refused shared/exclusive opening sets netErr() and throws rt::Error NetErr.
  WorkArea& use(const std::string& path, const UseOptions& options);
  void close(int number);
  void closeAll();

  int selectedNumber() const { return selected_; }
  WorkArea* selected() { return byNumber(selected_); }
  // The selected area, or rt::Error NoAlias ("Alias does not exist") when none is open there.
  WorkArea& need(std::string_view operation);
  WorkArea* byNumber(int n);
  WorkArea* byAlias(std::string_view alias);
  // Selects area n (0: the lowest free one); returns the number selected.
  int select(int n);
  int freeNumber() const;
  // Number of the area with this alias, 0 when none.
  int numberOf(std::string_view alias) const;
  template <class F>
  auto withSelected(int number, F&& body) -> decltype(body()) {
    struct Restore {
      WorkAreas& w;
      int prev;
      ~Restore() { w.selected_ = prev; }
    } restore{*this, selected_};
    selected_ = number;
    return body();
  }
  std::map<int, std::unique_ptr<WorkArea>>& areas() { return areas_; }

  bool netErr() const { return netErr_; }
  void setNetErr(bool v) { netErr_ = v; }

  // FieldResolver
  bool readField(std::string_view name, Value& out) override;
  bool writeField(std::string_view name, const Value& v) override;
  Value readAliasField(std::string_view alias, std::string_view field) override;
  void writeAliasField(std::string_view alias, std::string_view field, const Value& v) override;
  Value withAlias(std::string_view alias, const std::function<Value()>& body) override;
  std::string fieldType(std::string_view alias, std::string_view field) override;

 private:
  WorkArea& aliasArea(std::string_view alias);
  std::map<int, std::unique_ptr<WorkArea>> areas_;
  int selected_ = 1;
  bool netErr_ = false;
};

// The process's work areas; the first call installs them as the runtime's field resolver.
WorkAreas& workAreas();

}  // namespace rt::db
