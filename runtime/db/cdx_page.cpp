// Damaged-page errors for the compound index code.
#include "runtime/db/cdx_page.h"

#include "runtime/core/error.h"

namespace rt::db {

void throwCorruptIndex(const PageWhere& where, const std::string& what) {
  throw Error(ErrorKind::Corrupt,
              "Corruption detected: " + what + " at offset " + std::to_string(where.offset),
              "index", std::string(where.file));
}

}  // namespace rt::db
