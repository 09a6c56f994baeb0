// The company list of a multi-company installation: PRZEDS.DBF in a root directory, one company
// per record in its character field PRZEDS. A company's directory is the root, "PRZEDS\", the
// field at its full width with every blank turned into "_", and "\".
//
// The list is opened exclusively under the alias PRZEDS in a work area of its own and closed when
// the CompanyList goes. The names are read once on opening, in record order (deleted records are
// hidden by the installer's settings), so that the whole list can be checked before any company is
// touched; records with an empty name are kept as "" for the caller to pass. A migration then walks
// the open list record by record, so that its blocks see their company as PRZEDS->PRZEDS.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace patch {

inline constexpr const char* kCompanyListFile = "PRZEDS.DBF";
inline constexpr const char* kCompanyAlias = "PRZEDS";
inline constexpr const char* kCompanyMarker = "ZAKLAD.DBF";

class CompanyList {
 public:
  enum class State { Open, Missing, Busy, NotOpened };

  // Opens root + "PRZEDS.DBF". Missing file: Missing; held by another program: Busy (its own
  // message already shown); no work area afterwards for another reason: NotOpened.
  explicit CompanyList(const std::string& root);
  ~CompanyList();
  CompanyList(const CompanyList&) = delete;
  CompanyList& operator=(const CompanyList&) = delete;

  State state() const { return state_; }
  bool open() const { return state_ == State::Open; }
  // The PRZEDS field of every visible record, in record order, at full width.
  const std::vector<std::string>& names() const { return names_; }
  // Closes the list now (also done by the destructor).
  void close();

  // The first company name that is refused (see companyDirectory), or with `needDirectories` the
  // first whose directory below `root` does not exist; nothing when every name is fine.
  std::optional<std::string> badName(const std::string& root, bool needDirectories) const;

  // Walking the open list in its own work area; the selected area stays what it was.
  void first();
  bool atEnd();
  std::string current();  // the PRZEDS field of the current record, at full width
  void next();

 private:
  State state_ = State::Missing;
  std::vector<std::string> names_;
};

// The directory part of a company: "PRZEDS\" + name with blanks as "_" + "\". Nothing for a name
// that could lead out of the company directories ("\", "/", ":" or ".."); the caller refuses it.
std::optional<std::string> companyDirectory(const std::string& name);

// The name is blank: no company.
bool blankCompany(const std::string& name);

// Shows the message for a company name that is refused.
void warnBadCompany(const std::string& name);

}  // namespace patch
