// Settings files of the benefit program over the suite's memory files.
#include "zus/shell/memory_files.h"

#include "runtime/core/context.h"
#include "suite/company/memory_store.h"

namespace zus {

std::string memFileExtension() {
  const rt::NativeFunction* f = rt::functions().find("MEMORXPF");
  if (!f) return suite::memoryFileExtension();
  rt::Args none;
  return (*f)(none).strOr(suite::memoryFileExtension());
}

std::string settingsPath(std::string_view name) {
  const rt::Value* dir = rt::context().memvars.tryGet("_path_spec");
  return (dir && dir->isChar() ? dir->str() : std::string()) + std::string(name);
}

bool settingsFileExists(const std::string& path) { return suite::memoryFileExists(path); }

void restoreMemoryFile(const std::string& path) { suite::restoreMemory(path); }

void saveMemoryFile(const std::string& path, std::string_view mask) {
  suite::saveMemory(path, mask);
}

}  // namespace zus
