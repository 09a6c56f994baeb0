// removeLeftovers: temporary files of dead processes beside a table's files.
#include "runtime/db/leftovers.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <string_view>
#include <vector>

#include "runtime/db/file.h"
#include "runtime/db/swap_journal.h"

namespace rt::db {

namespace {

std::string nameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The pid in "<digits>.tmp"; 0 when `rest` is not that.
pid_t pidOf(std::string_view rest) {
  constexpr std::string_view tail = ".tmp";
  if (!rest.ends_with(tail) || rest.size() == tail.size() || rest.size() > tail.size() + 9) return 0;
  pid_t pid = 0;
  for (char c : rest.substr(0, rest.size() - tail.size())) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

bool gone(pid_t pid) { return pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

// The live files whose temporaries a restructure makes: the table, the memo and structural index
// files of its base name (either letter case), and the PACK journal.
std::vector<std::string> liveFilesOf(const std::string& tablePath) {
  const size_t dot = tablePath.find_last_of('.'), slash = tablePath.find_last_of('/');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string base = hasExt ? tablePath.substr(0, dot) : tablePath;
  std::vector<std::string> files{tablePath, SwapJournal::pathFor(tablePath)};
  for (const char* ext : {".fpt", ".FPT", ".dbt", ".DBT", ".cdx", ".CDX"})
    if (base + ext != tablePath) files.push_back(base + ext);
  return files;
}

}  // namespace

void removeLeftovers(const std::string& tablePath) {
  // One look at each directory: mostly all the files lie in the table's own.
  std::map<std::string, std::vector<std::string>> prefixesByDir;
  for (const std::string& live : liveFilesOf(tablePath)) {
    const std::string target = File::replacementTarget(live);
    prefixesByDir[File::directoryOf(target)].push_back(nameOf(target) + ".");
  }
  for (const auto& [dir, prefixes] : prefixesByDir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) continue;
    std::vector<std::string> dead;
    while (const dirent* e = ::readdir(d)) {
      const std::string_view name = e->d_name;
      if (!name.ends_with(".tmp")) continue;
      for (const std::string& prefix : prefixes)
        if (name.starts_with(prefix) && gone(pidOf(name.substr(prefix.size())))) dead.emplace_back(name);
    }
    ::closedir(d);
    // A file that cannot be removed (a directory we may not write) only takes space.
    for (const std::string& name : dead) ::unlink((dir + "/" + name).c_str());
  }
}

}  // namespace rt::db
