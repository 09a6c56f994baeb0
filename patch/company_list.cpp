// Opening the company list and turning company names into directories.
#include "patch/company_list.h"

#include "console/file_utils.h"
#include "patch/messages.h"
#include "runtime/db/work_areas.h"
#include "runtime/core/file_names.h"
#include "runtime/core/functions.h"

namespace patch {

namespace {

rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}

int areaOf(const char* alias) {
  rt::Value n = call("SELECT", {rt::Value::text(alias)});
  return n.isNum() ? int(n.num()) : 0;
}

}  // namespace

CompanyList::CompanyList(const std::string& root) {
  std::string file = root + kCompanyListFile;
  if (!rt::fileExists(file)) return;
  int previous = int(call("SELECT").num());
  call("DBUSEAREA", {rt::Value::logical(true), rt::Value(), rt::Value::text(file),
                     rt::Value::text(kCompanyAlias), rt::Value::logical(false),
                     rt::Value::logical(false)});
  if (areaOf(kCompanyAlias) == 0) {
    if (truthOf(call("NETERR"))) {
      state_ = State::Busy;
      std::vector<std::string> lines = withPath("Lista firm ", file);
      lines.push_back("jest uzywana przez inny program !");
      lines.push_back("Zamknij programy systemu i uruchom uzupelnienie ponownie.");
      warn(lines);
    } else {
      state_ = State::NotOpened;
    }
    return;
  }
  state_ = State::Open;
  // The names are read in the list's own work area; the selected area stays what it was.
  call("DBGOTOP");
  rt::Value pos = call("FIELDPOS", {rt::Value::text("PRZEDS")});
  while (!call("EOF").logical()) {
    rt::Value v = pos.isNum() && pos.num() > 0 ? call("FIELDGET", {pos}) : rt::Value::text("");
    names_.push_back(v.isChar() ? v.str() : std::string());
    call("DBSKIP");
  }
  call("DBSELECTAREA", {rt::Value::number(previous)});
}

CompanyList::~CompanyList() { close(); }

std::optional<std::string> CompanyList::badName(const std::string& root, bool needDirectories) const {
  for (const std::string& name : names_) {
    if (blankCompany(name)) continue;
    std::optional<std::string> dir = companyDirectory(name);
    if (!dir || (needDirectories && !con::ISDIR(root + *dir))) return name;
  }
  return std::nullopt;
}

namespace {

rt::db::WorkArea* listArea() { return rt::db::workAreas().byAlias(kCompanyAlias); }

}  // namespace

void CompanyList::first() {
  if (rt::db::WorkArea* a = listArea()) a->goTop();
}

bool CompanyList::atEnd() {
  rt::db::WorkArea* a = listArea();
  return !a || a->eof();
}

std::string CompanyList::current() {
  rt::db::WorkArea* a = listArea();
  if (!a) return {};
  int pos = a->fieldIndex("PRZEDS");
  if (pos < 0) return {};
  rt::Value v = a->get(size_t(pos));
  return v.isChar() ? v.str() : std::string();
}

void CompanyList::next() {
  if (rt::db::WorkArea* a = listArea()) a->skip(1);
}

void CompanyList::close() {
  if (state_ != State::Open) return;
  state_ = State::Missing;
  try {
    int n = areaOf(kCompanyAlias);
    if (n == 0) return;
    int previous = int(call("SELECT").num());
    call("DBSELECTAREA", {rt::Value::number(n)});
    call("DBCLOSEAREA");
    if (previous != n) call("DBSELECTAREA", {rt::Value::number(previous)});
  } catch (const rt::Error&) {
    // closing in a destructor must not throw; the area is gone or was closed by the script
  }
}

bool blankCompany(const std::string& name) {
  return name.find_first_not_of(' ') == std::string::npos;
}

std::optional<std::string> companyDirectory(const std::string& name) {
  if (name.find_first_of("\\/:") != std::string::npos || name.find("..") != std::string::npos)
    return std::nullopt;
  std::string dir = name;
  for (char& c : dir)
    if (c == ' ') c = '_';
  return "PRZEDS\\" + dir + "\\";
}

void warnBadCompany(const std::string& name) {
  std::optional<std::string> dir = companyDirectory(name);
  if (!dir)
    warn({"Niedozwolona nazwa firmy w " + std::string(kCompanyListFile) + ":", name,
          "Uzupelnienie zostalo przerwane."});
  else
    warn({"Brak katalogu firmy " + name + ":", *dir, "Uzupelnienie zostalo przerwane."});
}

}  // namespace patch
