// COPYFILE: one file copied to another in blocks of 16384 bytes, optionally with a progress
// window of its own (rows 19-22, the percentage and both names on the title row, a 57-cell bar).
//
// Result codes: 0 copied; 256 a name missing or empty (reported in a warning window); 2 the source
// does not exist; 255 a write stored fewer bytes than asked (disk full); 257 the destination is the
// source itself (refused before anything is touched); any other positive value the system's error
// code of the failing open, create, read or write. The cursor and colours are given back on every
// way out; the destination keeps what was written before a failure.
#pragma once

#include <string>
#include <string_view>

namespace con {

inline constexpr int kCopyOk = 0;
inline constexpr int kCopyNoSource = 2;
inline constexpr int kCopyShortWrite = 255;
inline constexpr int kCopyBadNames = 256;
inline constexpr int kCopyOntoItself = 257;
inline constexpr size_t kCopyBlock = 16384;
inline constexpr const char* kBadCopyNames = "Bl`e`dne przekazanie parametro`w !";

int COPYFILE(std::string_view source, std::string_view destination, bool progress = false);

// A file name as the progress window shows it: longer than 20 characters, "..." and its last 17.
std::string shortCopyName(std::string_view name);

// Writes through this function, so tests can make a write fall short (as on a full disk).
using WriteFunction = long (*)(int fd, const void* data, size_t size);
WriteFunction setCopyWriter(WriteFunction writer);  // nullptr: the system's write

}  // namespace con
