// The byte layout of a memory file: encoding and decoding of a set of named values.
//
// Layout (all integers little-endian; docs/memory-file-format.md is the reference):
//
//   offset  size  meaning
//   0       8     magic "ZEFMEMF" followed by 0x1A
//   8       2     format version (1)
//   10      2     flags (0)
//   12      4     number of records
//   16      ...   records, each:
//                   1  type letter 'C', 'N', 'D' or 'L'
//                   2  name length n (1..65535), then n bytes of name
//                   C: 4 length m, then m bytes (any byte values)
//                   N: 2 width (signed; -1 = none), 2 decimals, 8 IEEE-754 double
//                   D: 4 day number (signed; 0 = the empty date)
//                   L: 1 byte 0 or 1
//   end-4   4     CRC-32 (IEEE 802.3) of every byte before it
//
// Decoding checks every length against the bytes that remain and the checksum over the whole
// file, so a damaged or truncated file is reported, never half read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/value.h"

namespace rt::mem {

inline constexpr char kMagic[8] = {'Z', 'E', 'F', 'M', 'E', 'M', 'F', '\x1A'};
inline constexpr uint16_t kVersion = 1;

// One stored variable: a name (as saved, full length) and a value of type C, N, D or L.
struct Variable {
  std::string name;
  Value value;
};

// The file's bytes for these variables. Values of other types are an rt::Error (Argument):
// callers choose what to store.
std::string encode(const std::vector<Variable>& vars);

// The variables of a file's bytes. Throws rt::Error(Corrupt, "Damaged memory file: <what>",
// "RESTORE", fileName) when the bytes are not a whole, intact memory file.
std::vector<Variable> decode(std::string_view bytes, std::string_view fileName);

uint32_t crc32(std::string_view bytes);

}  // namespace rt::mem
