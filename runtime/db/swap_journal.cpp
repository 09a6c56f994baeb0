// SwapJournal: the journal file, its writing, and finishing the renames of a killed process.
#include "runtime/db/swap_journal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "runtime/core/error.h"
#include "runtime/db/file.h"

namespace rt::db {

namespace {

constexpr size_t kMaxJournalBytes = 64 * 1024;

std::string suffixOf(const std::string& temporary) {
  const size_t dot = temporary.size() > 5 ? temporary.rfind('.', temporary.size() - 5) : std::string::npos;
  return dot == std::string::npos ? std::string() : temporary.substr(dot);
}

// The table is not opened while its journal stands; what the user can do is part of the message.
[[noreturn]] void damaged(const std::string& journal) {
  throw Error(ErrorKind::Corrupt,
              "Corruption detected: the journal of an interrupted PACK is damaged; restore the table and its memo "
              "file from a backup copy, or, when both are whole, delete the journal; the indexes must be rebuilt",
              "open", journal)
      .because(ErrorCause::DamagedJournal);
}

}  // namespace

std::string SwapJournal::pathFor(const std::string& tablePath) { return tablePath + ".swap"; }

std::vector<std::string> SwapJournal::packedFiles(const std::string& tablePath) {
  const std::string base = File::withoutExtension(tablePath);
  std::vector<std::string> files{tablePath};
  for (const char* ext : {".fpt", ".FPT", ".dbt", ".DBT"})
    if (base + ext != tablePath) files.push_back(base + ext);
  return files;
}

SwapJournal SwapJournal::begin(const std::string& tablePath, std::vector<Move> moves) {
  std::string text = "SWAP\n";
  // A new file is named by the live name it replaces and its temporary's suffix: beside a
  // symbolic link's target it bears the target's name, which the journal need not know.
  for (const Move& m : moves) {
    const std::string suffix = suffixOf(m.from);
    if (!File::temporaryPid(suffix))
      throw Error(ErrorKind::Argument, "Argument error: not a temporary file", "PACK", m.from);
    text += File::nameOf(m.to) + suffix + "\t" + File::nameOf(m.to) + "\n";
  }
  text += "END\n";
  const std::string journal = pathFor(tablePath);
  File tmp = File::create(File::siblingTemporary(journal));
  try {
    tmp.writeExact(0, text.data(), text.size());
    tmp.sync();
    tmp.renameTo(journal);
  } catch (...) {
    ::unlink(tmp.path().c_str());
    throw;
  }
  File::syncDirectoryOf(journal);
  return SwapJournal(journal);
}

void SwapJournal::end() {
  // The renames must be on disk before the journal that would finish them is gone.
  File::syncDirectoryOf(path_);
  ::unlink(path_.c_str());  // a journal left behind names files no longer there: finishing it only removes it
}

bool SwapJournal::finishInterrupted(const std::string& tablePath) {
  const std::string journal = pathFor(tablePath);
  if (!File::exists(journal)) return false;
  File f;
  try {
    f = File::open(journal);
  } catch (const Error& e) {
    if (e.osCode() == ENOENT) return false;  // finished by another process just now
    throw;
  }
  // Two processes opening the table after the kill may both find the journal: one finishes it.
  if (!f.lockRangeWaiting(0, 1))
    throw Error(ErrorKind::NetErr, "Open error: the table is being repaired by another process", "open", tablePath,
                EWOULDBLOCK, true);
  struct stat st;
  if (::fstat(f.fd(), &st) != 0 || st.st_nlink == 0) return true;  // finished meanwhile: open again
  const uint64_t size = f.size();
  if (size > kMaxJournalBytes) damaged(journal);
  std::string text(size, '\0');
  f.readExact(0, text.data(), text.size());

  const std::vector<std::string> packed = packedFiles(File::nameOf(tablePath));
  std::vector<std::pair<std::string, std::string>> names;
  size_t pos = 0;
  bool started = false, ended = false;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos || ended) damaged(journal);
    std::string line = text.substr(pos, nl - pos);
    pos = nl + 1;
    if (!started) {
      if (line != "SWAP") damaged(journal);
      started = true;
    } else if (line == "END") {
      ended = true;
    } else {
      size_t tab = line.find('\t');
      if (tab == std::string::npos) damaged(journal);
      std::string from = line.substr(0, tab), to = line.substr(tab + 1);
      // A journal naming any file a PACK does not put in place was not written by one.
      if (std::ranges::find(packed, to) == packed.end() || !from.starts_with(to) ||
          !File::temporaryPid(std::string_view(from).substr(to.size())))
        damaged(journal);
      for (const auto& named : names)
        if (named.second == to) damaged(journal);
      names.emplace_back(from.substr(to.size()), std::move(to));
    }
  }
  if (!ended) damaged(journal);

  const std::string dir = File::directoryOf(tablePath);
  for (const auto& [suffix, to] : names) {
    const std::string live = dir + "/" + to;
    const std::string source = File::replacementTarget(live) + suffix;
    if (!File::exists(source)) continue;  // renamed before the kill
    File::putInPlace(source, live);
  }
  SwapJournal(journal).end();
  return true;
}

}  // namespace rt::db
