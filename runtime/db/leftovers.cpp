// removeLeftovers: temporary files of dead processes beside a table's files.
#include "runtime/db/leftovers.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/db/file.h"
#include "runtime/db/swap_journal.h"

namespace rt::db {

namespace {

bool gone(pid_t pid) { return pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

// The live files whose temporaries a restructure makes: those a PACK puts in place, the PACK
// journal and the structural index (of the table's base name, in either letter case).
std::vector<std::string> liveFilesOf(const std::string& tablePath) {
  std::vector<std::string> files = SwapJournal::packedFiles(tablePath);
  files.push_back(SwapJournal::pathFor(tablePath));
  for (const char* ext : {".cdx", ".CDX"}) files.push_back(File::withoutExtension(tablePath) + ext);
  return files;
}

}  // namespace

void removeLeftovers(const std::string& tablePath) {
  // One look at each directory: mostly all the files lie in the table's own.
  std::map<std::string, std::vector<std::string>> prefixesByDir;
  for (const std::string& live : liveFilesOf(tablePath)) {
    const std::string target = File::replacementTarget(live);
    prefixesByDir[File::directoryOf(target)].push_back(File::nameOf(target));
  }
  for (const auto& [dir, prefixes] : prefixesByDir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) continue;
    std::vector<std::string> dead;
    while (const dirent* e = ::readdir(d)) {
      const std::string_view name = e->d_name;
      if (!name.ends_with(".tmp")) continue;
      for (const std::string& prefix : prefixes)
        if (name.starts_with(prefix)) {
          const std::optional<pid_t> pid = File::temporaryPid(name.substr(prefix.size()));
          if (pid && gone(*pid)) dead.emplace_back(name);
        }
    }
    ::closedir(d);
    // A file that cannot be removed (a directory we may not write) only takes space.
    for (const std::string& name : dead) ::unlink((dir + "/" + name).c_str());
  }
}

}  // namespace rt::db
