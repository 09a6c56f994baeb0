// One migration group, single or per company, with its tables set aside until it has succeeded.
#include "patch/group_run.h"

#include <algorithm>
#include <map>
#include <optional>

#include "patch/areas.h"
#include "patch/company_list.h"
#include "patch/copy_section.h"
#include "patch/file_backup.h"
#include "patch/messages.h"
#include "patch/text_utils.h"
#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "runtime/core/file_names.h"
#include "runtime/core/functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/db/work_areas.h"

namespace patch {

namespace {

rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}
rt::Value text(std::string s) { return rt::Value::text(std::move(s)); }

int areaOf(const std::string& alias) {
  rt::Value n = call("SELECT", {text(alias)});
  return n.isNum() ? int(n.num()) : 0;
}

void selectArea(int n) { call("DBSELECTAREA", {rt::Value::number(n)}); }

bool hasDirectory(const std::string& name) {
  return name.find_first_of("\\/:") != std::string::npos;
}

// Default blocks of the record loop, added to the lists the script left empty.
void addDefaults(GroupSettings& g) {
  if (g.loopStart.empty()) g.loopStart.push_back(builtinBlock("{ || dbgotop(),.t. }"));
  if (g.recordCondition.empty()) g.recordCondition.push_back(builtinBlock("{ || .t. }"));
  if (g.loopWhile.empty()) g.loopWhile.push_back(builtinBlock("{ || !eof() }"));
  if (g.loopMove.empty()) g.loopMove.push_back(builtinBlock("{ || dbskip() }"));
  if (g.loopEnd.empty()) g.loopEnd.push_back(builtinBlock("{ || .t. }"));
}

enum class Opened { Ok, Missing, Failed };

class GroupRun {
 public:
  GroupRun(GroupSettings& g, const std::string& src, const std::string& dst, FileBackup& backup)
      : g_(g), src_(src), dst_(dst), backup_(backup) {}

  bool single() {
    bool result = true, missingDestination = false, skip = false;
    try {
      result = openSources();
      if (result) {
        Opened d = openDestinations(dst_, "");
        if (d == Opened::Missing) missingDestination = true;
        result = d == Opened::Ok;
      }
      if (result) buildIndexes();
      if (result) result = entryAndLoop(skip);
    } catch (const ScriptFailure& f) {
      warnScriptFailure(f);
      result = false;
    }
    if (!result && !missingDestination) return fail();
    closeAll();
    if (!finalCopies("")) return fail();
    backup_.noteGroupEnd();
    return true;
  }

  bool perCompany() {
    CompanyList list(dst_);
    if (list.state() == CompanyList::State::Busy) return fail();
    if (!list.open()) {
      closeAll();
      return true;
    }
    // The whole list is checked before any company is touched.
    if (std::optional<std::string> bad = list.badName(dst_, false)) {
      warnBadCompany(*bad);
      return fail();
    }
    bool result = true;
    // The list is walked in its own work area, so the group's blocks see their company's record.
    for (list.first(); !list.atEnd(); list.next()) {
      std::string name = list.current();
      if (blankCompany(name)) continue;
      std::optional<std::string> dir = companyDirectory(name);
      if (!dir) {  // a name a block wrote into the list meanwhile
        warnBadCompany(name);
        return fail();
      }
      if (!rt::fileExists(dst_ + *dir + kCompanyMarker)) continue;
      bool skip = false;
      try {
        result = openSources() && openDestinations(dst_, *dir) == Opened::Ok;
        if (result && !g_.indexes.empty()) buildIndexes();
        if (result) result = entryAndLoop(skip);
      } catch (const ScriptFailure& f) {
        warnScriptFailure(f);
        result = false;
      }
      if (!result) return fail();  // put back while the company's tables are still held
      closeGroupAreas();
      if (!skip && !finalCopies(*dir)) return fail();
      backup_.noteGroupEnd();
    }
    list.close();
    closeAll();
    return true;
  }

  // Puts back what the whole run changed so far, before the tables this group holds are let go;
  // always false, the group's result.
  bool fail() {
    restoreRun(backup_);
    closeAll(false);
    return false;
  }

 private:
  bool openSources() {
    for (const SourceTable& t : g_.sources)
      if (openTable(src_, t.file, t.alias, t.line) != Opened::Ok) return false;
    return true;
  }

  Opened openDestinations(const std::string& root, const std::string& companyDir) {
    for (const DestinationTable& t : g_.destinations) {
      Opened r = openTable(t.perCompany ? root + companyDir : root, t.file, t.alias, t.line);
      if (r != Opened::Ok) return r;
    }
    return Opened::Ok;
  }

  Opened openTable(const std::string& dir, const std::string& file, const std::string& alias,
                   int line) {
    std::string path = dir + file;
    if (!rt::fileExists(path)) return Opened::Missing;
    forScriptLine(line, [&] {
      call("DBUSEAREA", {rt::Value::logical(true), rt::Value(), text(path), text(alias),
                         rt::Value::logical(false), rt::Value::logical(false)});
    });
    // Set aside only once this run holds the table alone: a table another program has open is
    // none of this run's to put back.
    if (areaOf(alias) != 0) {
      rt::db::WorkArea* area = rt::db::workAreas().byAlias(alias);
      if (area) backup_.saveTable(area->table().path());
    }
    if (areaOf(alias) == 0) {
      std::vector<std::string> lines = withPath("Wystapil problem z otwarciem bazy: ", path);
      if (truthOf(call("NETERR"))) lines.push_back("Baza jest uzywana przez inny program.");
      warn(lines);
      return Opened::Failed;
    }
    tableDirs_[upperAscii(alias)] = dir;
    aliases_.push_back(alias);
    return Opened::Ok;
  }

  // An index file named without a directory is made beside its table.
  std::string indexName(const IndexEntry& e) const {
    if (hasDirectory(e.file)) return e.file;
    auto it = tableDirs_.find(upperAscii(e.alias));
    return it == tableDirs_.end() ? e.file : it->second + e.file;
  }

  void buildIndexes() {
    std::vector<IndexEntry> resolved;
    for (const IndexEntry& e : g_.indexes) {
      IndexEntry r = e;
      r.file = indexName(e);
      forScriptLine(e.line, [&] {
        call("DBSELECTAREA", {text(e.alias)});
        rt::db::WorkArea* area = rt::db::workAreas().byAlias(e.alias);
        std::string table = area ? area->table().path() : std::string();
        backup_.save(rt::db::resolveBagName(r.file, table, true), table);
        call("DBCREATEINDEX", {text(r.file), text(e.key), rt::Value::block(rt::compileBlock(e.key)),
                               rt::Value()});
      });
      resolved.push_back(std::move(r));
    }
    OPEN_INDEKS(resolved);
  }

  bool entryAndLoop(bool& skip) {
    if (!g_.entryCondition.block.isNil() && !truthOf(evalScriptBlock(g_.entryCondition))) {
      skip = true;
      return true;
    }
    PRZETWARZAC(g_.tableBlocks);
    if (g_.recordBlocks.empty()) return true;
    addDefaults(g_);
    bool started = truthOf(PRZETWARZAC(g_.loopStart));
    if (started) {
      while (truthOf(PRZETWARZAC(g_.loopWhile))) {
        if (truthOf(PRZETWARZAC(g_.recordCondition))) PRZETWARZAC(g_.recordBlocks);
        PRZETWARZAC(g_.loopMove);
      }
    }
    PRZETWARZAC(g_.loopEnd);
    return started;
  }

  bool finalCopies(const std::string& companyDir) {
    try {
      for (const FinalCopy& c : g_.finalCopies) {
        if (!rt::fileExists(c.source) || !truthOf(evalScriptBlock(c.condition))) continue;
        std::string dest = dst_ + companyDir + c.destination;
        bool copied = copyIntoPlace(c.source, dest, c.line, [&](const std::string& table) {
          backup_.save(rt::mapPath(dest, rt::PathUse::Create), table);
        });
        if (!copied) return false;
      }
    } catch (const ScriptFailure& f) {
      warnScriptFailure(f);
      return false;
    }
    return true;
  }

  void closeGroupAreas() {
    for (const std::string& alias : aliases_) {
      int n = areaOf(alias);
      if (n == 0) continue;
      selectArea(n);
      call("DBCOMMIT");
      call("DBCLOSEAREA");
    }
    aliases_.clear();
  }

  void closeAll(bool report = true) {
    closeAllAreas(report);
    aliases_.clear();
  }

  GroupSettings& g_;
  std::string src_, dst_;
  FileBackup& backup_;
  std::map<std::string, std::string> tableDirs_;  // alias (upper case) -> directory of its table
  std::vector<std::string> aliases_;              // opened for the current company
};

}  // namespace

rt::Value PRZETWARZAC(const std::vector<ScriptBlock>& list) { return evalBlockList(list); }

void OPEN_INDEKS(const std::vector<IndexEntry>& entries) {
  std::vector<std::pair<std::string, std::vector<const IndexEntry*>>> byAlias;
  for (const IndexEntry& e : entries) {
    auto it = std::find_if(byAlias.begin(), byAlias.end(),
                           [&](const auto& p) { return p.first == e.alias; });
    if (it == byAlias.end()) byAlias.push_back({e.alias, {&e}});
    else it->second.push_back(&e);
  }
  for (const auto& group : byAlias) {
    const std::string& alias = group.first;
    const std::vector<const IndexEntry*>& files = group.second;
    if (files.size() < 2) continue;
    forScriptLine(files.front()->line, [&] {
      call("DBSELECTAREA", {text(alias)});
      if (rt::functions().has("CLOSE_IND")) call("CLOSE_IND");
      call("ORDLISTCLEAR");
      for (const IndexEntry* e : files) call("ORDLISTADD", {text(e->file)});
    });
  }
}

void openIndexesByName(const rt::Value& entries) {
  if (!entries.isArray()) return;
  std::vector<IndexEntry> list;
  for (const rt::Value& row : entries.arr()) {
    if (!row.isArray() || row.arr().size() < 2) continue;
    const rt::Array& r = row.arr();
    if (!r[0].isChar() || !r[1].isChar()) continue;
    list.push_back({r[0].str(), r[1].str(), r.size() > 2 && r[2].isChar() ? r[2].str() : "", 0});
  }
  OPEN_INDEKS(list);
}

bool AKTUALIZUJ_BAZY(GroupSettings& g, const std::string& src, const std::string& dst,
                     bool companyMode, FileBackup& backup) {
  // The group's expressions see empty script variables of their own while it runs.
  rt::Memvars& vars = rt::context().memvars;
  rt::PrivateFrame frame(vars);
  for (const char* name : {"u_zm1", "u_zm2", "u_zm3", "u_zm4", "u_zm5", "u_zm6", "u_zm7",
                           "u_zm8", "u_zm9", "u_zm0", "u_zmA", "u_zmB", "u_zmC", "u_zmD",
                           "u_zmE", "u_zmF"})
    vars.declarePrivate(name, rt::Value::text(""));
  vars.declarePrivate("u_dst_path", rt::Value::text(dst));
  try {
    GroupRun run(g, src, dst, backup);
    try {
      return companyMode ? run.perCompany() : run.single();
    } catch (const ScriptFailure& f) {
      warnScriptFailure(f);
      return run.fail();
    } catch (const rt::Error& e) {
      warn({scriptLineText(g.terminatorLine), errorText(e)});
      return run.fail();
    }
  } catch (const rt::Error& e) {
    warn({scriptLineText(g.terminatorLine), errorText(e)});
    restoreRunAndCloseAreas(backup);
    return false;
  }
}

}  // namespace patch
