// Where record, file and header locks sit in a table file: one setting for the process.
//
// The default is the FoxPro family, whose offsets depend on the table. With a structural compound
// index record n is one byte at 0x7FFFFFFE - n, the file lock covers 0x77FFFFFF..0x7FFFFFFD (every
// record byte), and the header/append lock is one byte at 0x7FFFFFFE. Without one the header/append
// lock is the byte 0x40000000, record n the byte at 0x40000000 + its own place in the file, and the
// file lock runs from 0x40000001. The Clipper-style scheme locks record n at 1,000,000,000 + n.
// Other engines writing the same files serialise index changes on one byte of the index file and
// memo block allocation on one byte of the memo file: those bytes are kept here too.
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
        return {0x40000001ull, 0x3FFFFFFDull};
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
        return {0x40000000ull, 1};
      case LockSchemeKind::Clipper:
        return {1000000000ull, 1};
      case LockSchemeKind::FoxProCdx:
      default:
        return {0x7FFFFFFEull, 1};
    }
  }
};

// The process's scheme family (FoxPro unless changed before tables are opened).
inline LockScheme& lockScheme() {
  static LockScheme scheme;
  return scheme;
}

// The scheme for one table: in the FoxPro family the member follows whether the table has a
// structural compound index, as other engines of the family decide when they open it.
inline LockScheme lockSchemeFor(bool structuralIndex) {
  LockScheme s = lockScheme();
  if (s.kind != LockSchemeKind::Clipper) s.kind = structuralIndex ? LockSchemeKind::FoxProCdx : LockSchemeKind::FoxProPlain;
  return s;
}

// An index file's lock: written around every change of its pages, read-locked around reading them.
inline constexpr LockRange kIndexFileLock{0x7FFFFFFEull, 1};
// A memo file's lock: held around allocating and writing memo blocks.
inline constexpr LockRange kMemoFileLock{0, 1};

}  // namespace rt::db
