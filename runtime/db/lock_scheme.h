// Where record, file and header locks sit in a table file: one setting for the process.
//
// The default is the scheme of FoxPro tables with a structural compound index: record n is one
// byte at 0x7FFFFFFE - n, the file lock covers 0x77FFFFFF..0x7FFFFFFD (every record byte), and the
// header/append lock, which also guards the indexes, is one byte at 0x7FFFFFFE. The same family
// without an index uses a base of 0x40000000 past the record's own place; the Clipper-style scheme
// locks record n at 1,000,000,000 + n.
#pragma once

#include <cstdint>

namespace rt::db {

enum class LockSchemeKind { FoxProCdx, FoxProPlain, Clipper };

struct LockRange {
  uint64_t offset;
  uint64_t length;
};

struct LockScheme {
  LockSchemeKind kind = LockSchemeKind::FoxProCdx;

  LockRange record(uint32_t recno, uint32_t headerLen, uint32_t recordLen) const {
    switch (kind) {
      case LockSchemeKind::FoxProPlain:
        return {0x40000000ull + uint64_t(recno - 1) * recordLen + headerLen, 1};
      case LockSchemeKind::Clipper:
        return {1000000000ull + recno, 1};
      case LockSchemeKind::FoxProCdx:
      default:
        return {0x7FFFFFFEull - recno, 1};
    }
  }
  LockRange file() const {
    switch (kind) {
      case LockSchemeKind::FoxProPlain:
        return {0x40000000ull, 0x3FFFFFFFull};
      case LockSchemeKind::Clipper:
        return {1000000000ull, 1000000000ull};
      case LockSchemeKind::FoxProCdx:
      default:
        return {0x77FFFFFFull, 0x7FFFFFFDull - 0x77FFFFFFull + 1};
    }
  }
  // The header/append lock; also taken by whoever changes the indexes.
  LockRange header() const {
    switch (kind) {
      case LockSchemeKind::FoxProPlain:
        return {0x40000000ull - 1, 1};
      case LockSchemeKind::Clipper:
        return {1000000000ull, 1};
      case LockSchemeKind::FoxProCdx:
      default:
        return {0x7FFFFFFEull, 1};
    }
  }
};

// The process's scheme (FoxProCdx unless changed before tables are opened).
inline LockScheme& lockScheme() {
  static LockScheme scheme;
  return scheme;
}

}  // namespace rt::db
