// Memory files of the suite over the runtime's memory files.
#include "suite/company/memory_store.h"

#include "runtime/memfile/memfile.h"
#include "suite/company/file_lookup.h"

namespace suite {

std::string memoryFileExtension() { return std::string(rt::mem::kExtension); }

bool memoryFileExists(const std::string& path) { return fileExistsAnyCase(path); }

// Names reach the runtime complete: the program adds the extension where the suite wants one.
void restoreMemory(const std::string& path) { rt::mem::restore(findPath(path), true); }

void saveMemory(const std::string& path, std::string_view mask) {
  rt::mem::save(findPath(path), mask);
}

}  // namespace suite
