// Section dispatch of the update script and its closing section.
#include "patch/interpreter.h"

#include <algorithm>
#include <filesystem>

#include "console/mem_routines.h"
#include "patch/areas.h"
#include "patch/copy_section.h"
#include "patch/file_backup.h"
#include "patch/dbase_section.h"
#include "patch/messages.h"
#include "patch/run_steps.h"
#include "patch/script_block.h"
#include "patch/system_lock.h"
#include "patch/text_utils.h"
#include "patch/version_section.h"
#include "runtime/core/file_names.h"

namespace patch {

std::string withBackslash(std::string dir) {
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  return dir;
}

namespace {

const std::pair<const char*, Section> kHeaders[] = {
    {"[wer]", Section::Wer},           {"[copy]", Section::Copy},
    {"[dbase]", Section::Dbase},       {"[koniec]", Section::Koniec},
    {"[copy_in_src]", Section::CopyInSrc}, {"[copy_in_dst]", Section::CopyInDst}};

}  // namespace

std::optional<Section> sectionOfHeader(std::string_view line) {
  for (const auto& [text, code] : kHeaders)
    if (line == text) return code;
  return std::nullopt;
}

namespace {

// A closing section that failed does not change the status the sections after it see, but the
// installation as a whole then counts as failed (`closingFailed`).
const char* headerText(Section code) {
  for (const auto& [text, c] : kHeaders)
    if (c == code) return text;
  return "";
}

// `headerLine`: the number of the section's header line.
void handleSection(Section code, int headerLine, const SectionLines& lines, UpdateRun& run,
                   bool& closingFailed) {
  if (lines.empty() || code == Section::None) return;
  setCurrentSection(headerText(code));
  if (code == Section::Koniec) {
    if (!KOMUNIKAT(lines, run.status)) {
      closingFailed = true;
      closeAllAreas();
    }
    return;
  }
  if (!run.status) return;  // a failed run handles nothing but its closing sections
  size_t shown = messagesShown();
  run.failedLine = 0;
  switch (code) {
    case Section::Wer: run.status = USTAL_WERSJE(lines, run); break;
    case Section::Copy: run.status = KOPIUJ_PLIKI(lines, run.src, run.dst); break;
    case Section::Dbase:
      run.status = PRZETW_BAZY(lines, run.src, run.dst, *run.backup, &run.failedLine);
      break;
    case Section::CopyInSrc: run.status = KOPIUJ_PLIKI(lines, run.src, run.src); break;
    case Section::CopyInDst: run.status = KOPIUJ_PLIKI(lines, run.dst, run.dst); break;
    default: break;
  }
  // A failed section puts back every table the run changed and leaves no table open behind it.
  if (!run.status) {
    // A step that failed without a word of its own still tells the user where the update stopped.
    if (messagesShown() == shown) {
      int line = run.failedLine ? run.failedLine : headerLine;
      warn({"Uzupelnienie nie zostalo zainstalowane: " + std::string(headerText(code)) + ", linia " +
            std::to_string(line) + " skryptu"});
    }
    restoreRunAndCloseAreas(*run.backup);
  }
}

// The run's outcome is known: its copies go after a success, its tables go back after a failure.
void settleBackup(UpdateRun& run) {
  if (run.status && run.backup->discard()) return;
  if (run.status) {
    warn({"Nie mozna usunac dziennika uzupelnienia " + pathLine(run.backup->journalName()),
          "Uzupelnienie nie zostalo zainstalowane."});
    run.status = false;
  }
  restoreRun(*run.backup);
}

// A journal left by a run that was cut short: its tables go back before anything else is done.
// False when the system cannot be updated now.
bool recoverEarlierRun(const std::string& backupDir, const std::string& updateDir) {
  FileBackup::Recovery r = FileBackup::recoverUnfinished(backupDir, updateDir);
  const std::string journal = FileBackup::journalName(backupDir);
  if (!r.badLine.empty()) {
    for (char& c : r.badLine)
      if (c == '\t') c = ' ';
    warn({"Nie mozna przywrocic plikow sprzed przerwanego uzupelnienia:",
          "dziennik " + pathLine(journal) + " zawiera bledny wiersz", pathLine(r.badLine),
          "Nie zmieniono zadnego pliku."});
    return false;
  }
  if (!r.dropped.empty()) {
    std::vector<std::string> lines{"Pominieto w dzienniku przerwanego uzupelnienia pliki",
                                   "z katalogow, ktore juz nie istnieja:"};
    for (const std::string& file : r.dropped) lines.push_back(pathLine(file));
    inform(lines);
  }
  if (!r.changed.empty()) {
    std::vector<std::string> lines{"Po przerwaniu uzupelnienia zmieniono tabele:"};
    for (const std::string& table : r.changed) lines.push_back(pathLine(table));
    lines.push_back("Nie przywrocono plikow; kopie sprzed uzupelnienia sa w " + pathLine(backupDir));
    warn(lines);
    return false;
  }
  if (r.restored > 0)
    inform({"Poprzednie uzupelnienie zostalo przerwane.",
            "Przywrocono pliki sprzed niego (" + std::to_string(r.restored) + ")."});
  if (r.left.empty()) return true;
  std::vector<std::string> lines{"Nie mozna przywrocic plikow sprzed przerwanego uzupelnienia"};
  addLeftLines(lines, r.left);
  bool held = std::any_of(r.left.begin(), r.left.end(), [](const FileBackup::Left& l) { return l.held; });
  lines.push_back(held ? "Zamknij programy systemu i uruchom uzupelnienie ponownie."
                       : "Usun przyczyne i uruchom uzupelnienie ponownie.");
  warn(lines);
  return false;
}

}  // namespace

bool writePendingVersions(UpdateRun& run) {
  for (const VersionWrite& w : run.pendingWrites) {
    try {
      // The version files are set aside like tables: until the journal goes, a kill puts the
      // old versions back together with the old tables.
      run.backup->save(rt::mapPath(w.file));
      con::WRITE_MEM(w.file, w.variable, w.value);
      reachStep(kStepVersionWritten);
    } catch (const rt::Error& e) {
      warn({scriptLineText(w.line), "Nie mozna zapisac wersji do pliku " + w.file, errorText(e)});
      run.pendingWrites.clear();
      return false;
    }
  }
  run.pendingWrites.clear();
  return true;
}

bool UAKTUALNIENIE(ScriptReader& reader, const std::string& src, const std::string& dst,
                   bool* systemBusy) {
  UpdateRun run;
  run.src = withBackslash(src);
  run.dst = withBackslash(dst);
  std::string backupDir = rt::mapPath(run.dst + kBackupDir, rt::PathUse::Create);
  // One run at a time: the system is held from before its versions are read until the run's
  // journal is gone.
  SystemLock lock(std::filesystem::path(backupDir).parent_path().string());
  if (systemBusy) *systemBusy = !lock.held();
  if (!lock.held()) {
    warn({"Inne uzupelnienie tego systemu jest w toku !", "Uzupelnienie nie zostalo zainstalowane."});
    return false;
  }
  setCurrentSection("");
  run.backup = std::make_unique<FileBackup>(backupDir);
  run.status = recoverEarlierRun(backupDir, rt::mapPath(run.src));
  // The script variables exist from the start, for scripts without a version section too.
  declareScriptVariables(run.dst);
  Section current = Section::None;
  int headerLine = 0;
  SectionLines lines;
  bool closingFailed = false;
  bool anySection = false;
  for (;;) {
    std::optional<ScriptLine> line;
    try {
      line = reader.next();
    } catch (const rt::Error& e) {
      warn({scriptLineText(0), errorText(e)});
      run.status = false;
      line.reset();
    }
    if (line) {
      if (auto header = sectionOfHeader(line->text)) {
        handleSection(current, headerLine, lines, run, closingFailed);
        lines.clear();
        current = *header;
        headerLine = line->number;
        anySection = true;
      } else {
        lines.push_back(std::move(*line));
      }
      continue;
    }
    // A file without a single section header is not an update (most often one not scrambled).
    if (!anySection) {
      warn({"Skrypt update.dat nie zawiera zadnej sekcji - czy zostal zakodowany (-koduj)?"});
      settleBackup(run);
      return false;
    }
    // The script has ended. Version values wait for the run's success; a closing section at the
    // end sees the status that includes writing them.
    if (current == Section::Koniec) {
      if (run.status && !run.pendingWrites.empty()) run.status = writePendingVersions(run);
      settleBackup(run);
      handleSection(current, headerLine, lines, run, closingFailed);
    } else {
      handleSection(current, headerLine, lines, run, closingFailed);
      if (run.status && !run.pendingWrites.empty()) run.status = writePendingVersions(run);
      settleBackup(run);
    }
    return run.status && !closingFailed;
  }
}

bool KOMUNIKAT(const SectionLines& lines, bool status) {
  ScriptBlock ok = builtinBlock("{|| .t. }");
  ScriptBlock error = ok;
  std::vector<ScriptBlock> further;
  bool clean = true;
  // A line that does not compile is reported and left out; the lines that compiled still run.
  for (const ScriptLine& l : lines) {
    try {
      std::string_view text = l.text;
      if (startsWith(text, "ok=")) {
        std::string expr = trimmed(text.substr(3));
        ok = expr.empty() ? builtinBlock("{|| .t. }") : compileScriptBlock(expr, l.number);
      } else if (startsWith(text, "blad=")) {
        std::string expr = trimmed(text.substr(5));
        error = expr.empty() ? builtinBlock("{|| .t. }") : compileScriptBlock(expr, l.number);
      } else if (startsWith(text, "blok=")) {
        std::string expr = trimmed(text.substr(5));
        if (!expr.empty()) further.push_back(compileScriptBlock(expr, l.number));
      }
    } catch (const ScriptFailure& f) {
      warnScriptFailure(f);
      clean = false;
    }
  }
  // Each block runs on its own: one that fails does not keep the others from running.
  auto run = [&](const ScriptBlock& b) {
    try {
      evalScriptBlock(b);
    } catch (const ScriptFailure& f) {
      warnScriptFailure(f);
      clean = false;
    }
  };
  run(status ? ok : error);
  for (const ScriptBlock& b : further) run(b);
  return clean;
}

}  // namespace patch
