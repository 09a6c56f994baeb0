// The copy sections: parsing copy lines, company mode and the copies themselves.
#include "patch/copy_section.h"

#include <memory>
#include <utility>

#include "console/copy_file.h"
#include "console/file_utils.h"
#include "patch/company_list.h"
#include "patch/messages.h"
#include "patch/script_block.h"
#include "patch/table_hold.h"
#include "patch/text_utils.h"
#include "runtime/core/file_names.h"
#include "runtime/core/functions.h"

namespace patch {

int attributeNumber(std::string_view text) {
  std::string upper = upperAscii(text);
  if (upper == "NIL") return kKeepAttributes;
  if (upper == "BRAK") return 0;
  int n = 0;
  if (text.find('R') != std::string_view::npos) n += 1;
  if (text.find('H') != std::string_view::npos) n += 2;
  if (text.find('S') != std::string_view::npos) n += 4;
  if (text.find('A') != std::string_view::npos) n += 32;
  return n;
}

namespace {

std::string withoutLeadingBackslash(std::string s) {
  if (!s.empty() && s.front() == '\\') s.erase(0, 1);
  return s;
}

// Splits at the first "|": the text before and, when there is one, the text after.
std::pair<std::string_view, std::optional<std::string_view>> splitBar(std::string_view s) {
  size_t bar = s.find('|');
  if (bar == std::string_view::npos) return {s, std::nullopt};
  return {s.substr(0, bar), s.substr(bar + 1)};
}

std::string today() {
  return rt::functions().call("DTOS", {rt::functions().call("DATE")}).str();
}

}  // namespace

CopyLine parseCopyLine(std::string_view line) {
  CopyLine c;
  auto [source, rest] = splitBar(line);
  if (!rest) return c;  // no "|": an empty source, which the file test does not find
  c.source = withoutLeadingBackslash(trimmed(source));
  std::string after = trimmed(*rest);
  auto [dest, later] = splitBar(after);
  c.destination = withoutLeadingBackslash(std::string(dest));
  if (!later) return c;
  auto [atr, later2] = splitBar(*later);
  c.attributes = attributeNumber(atr);
  if (!later2) return c;
  auto [date, later3] = splitBar(*later2);
  if (date.size() == 8 && date != "NIL") c.date = std::string(date);
  if (!later3) return c;
  auto [time, condition] = splitBar(*later3);
  if (time.size() == 8 && time != "NIL") c.time = std::string(time);
  if (c.time && !c.date) c.date = today();
  if (condition) c.condition = std::string(*condition);
  return c;
}

bool copyIntoPlace(const std::string& source, const std::string& dest, int line,
                   const std::function<void(const std::string& table)>& beforeCopy) {
  std::string table = tableOf(rt::mapPath(dest, rt::PathUse::Create));
  TableHold hold(table);
  if (!hold.held()) {
    std::vector<std::string> lines{scriptLineText(line)};
    for (std::string& l : withPath("Plik docelowy jest uzywany przez inny program: ", dest))
      lines.push_back(std::move(l));
    warn(lines);
    return false;
  }
  if (beforeCopy) beforeCopy(table);
  int code = con::COPYFILE(source, dest, true);
  if (code != con::kCopyOk) {
    warnCopyFailure(line, source, dest, code);
    return false;
  }
  return true;
}

namespace {

class CopySection {
 public:
  CopySection(const std::string& from, const std::string& to) : from_(from), to_(to) {}

  bool run(const SectionLines& dane) {
    for (const ScriptLine& l : dane) {
      std::string line = trimmed(l.text);
      std::string upper = upperAscii(line);
      if (upper == "STATUS=+PRZEDS" && !companies_) {
        auto list = std::make_unique<CompanyList>(to_);
        if (list->state() == CompanyList::State::Busy) return false;
        if (list->open()) {
          // Every company is checked before the first one gets its copies.
          if (std::optional<std::string> bad = list->badName(to_, true)) {
            warnBadCompany(*bad);
            return false;
          }
          companies_ = std::move(list);
          continue;
        }
        // No company list: the line is taken as a copy line, and fails as one.
      } else if (upper == "STATUS=-PRZEDS" && companies_) {
        companies_.reset();
        continue;
      }
      if (!copyLine(line, l.number)) return false;
    }
    return true;
  }

 private:
  bool copyLine(const std::string& line, int number) {
    CopyLine c = parseCopyLine(line);
    // Names relative to the source or the installed system stay inside it; "*" names are whole.
    for (const std::string* name : {&c.source, &c.destination}) {
      if (!startsWith(*name, "*") && climbsOut(*name)) {
        warnScriptFailure(climbingName(number, *name));
        return false;
      }
    }
    std::string sourceFile = startsWith(c.source, "*") ? c.source.substr(1) : from_ + c.source;
    if (!rt::fileExists(sourceFile) || c.source.empty()) {
      warn({"Blad w okresleniu pliku zrodlowego:", pathLine(sourceFile)});
      return false;
    }
    try {
      if (c.condition) {
        ScriptBlock cond = compileScriptBlock(*c.condition, number);
        if (!truthOf(evalScriptBlock(cond))) return true;
      }
    } catch (const ScriptFailure& f) {
      warnScriptFailure(f);
      return false;
    }
    if (!companies_) {
      std::string dest = startsWith(c.destination, "*") ? c.destination.substr(1) : to_ + c.destination;
      return copyOne(sourceFile, dest, c, number);
    }
    if (startsWith(c.destination, "*")) {
      warn({scriptLineText(number), "Plik docelowy z pelna sciezka (*) nie moze byc kopiowany",
            "do katalogow firm: " + c.destination});
      return false;
    }
    for (const std::string& name : companies_->names()) {
      if (blankCompany(name)) continue;
      std::optional<std::string> dir = companyDirectory(name);
      if (!dir) {
        warnBadCompany(name);
        return false;
      }
      if (!copyOne(sourceFile, to_ + *dir + c.destination, c, number)) return false;
    }
    return true;
  }

  bool copyOne(const std::string& source, const std::string& dest, const CopyLine& c, int number) {
    if (!copyIntoPlace(source, dest, number)) return false;
    // The copy keeps the date and time the copying gave it: this system sets no file times.
    if (c.attributes >= 0) con::E_SETFATTR(dest, c.attributes);
    return true;
  }

  std::string from_, to_;
  std::unique_ptr<CompanyList> companies_;
};

}  // namespace

bool KOPIUJ_PLIKI(const SectionLines& dane, const std::string& from, const std::string& to) {
  CopySection section(from, to);
  try {
    return section.run(dane);
  } catch (const rt::Error& e) {
    warn({"Blad w sekcji kopiowania plikow", errorText(e)});
    return false;
  }
}

}  // namespace patch
