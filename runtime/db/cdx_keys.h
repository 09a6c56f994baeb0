// Index keys as sortable bytes.
//
// Every key of a compound index tag is a byte string of the tag's key length, and the tree orders
// keys with memcmp. The encoders here turn plain values into such strings so that byte order is
// value order:
//   C  the text's bytes, blank-padded (or cut) to the key length;
//   N  an 8-byte IEEE double, big-endian, made sortable: for values >= 0 the sign bit is set,
//      for negative values every bit is inverted;
//   D  the Julian day number as a double with the N transform (the empty date is day 0, so it
//      sorts before every real date);
//   L  one byte, 'T' or 'F'.
// The decoders invert them, for tests and for showing keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/db/order.h"

namespace rt::db {

inline constexpr int kNumKeyLen = 8;   // N and D keys
inline constexpr int kLogicalKeyLen = 1;

std::string encodeCharKey(std::string_view text, int keyLen);
std::string encodeNumKey(double value);
std::string encodeDateKey(int32_t julianDay);
std::string encodeLogicalKey(bool value);

// Writes the 8 sortable bytes of value into out (no allocation; for bulk key building).
void encodeNumKeyInto(double value, char* out);

std::string_view decodeCharKey(std::string_view key);
double decodeNumKey(std::string_view key);      // key must hold 8 bytes
int32_t decodeDateKey(std::string_view key);    // key must hold 8 bytes
bool decodeLogicalKey(std::string_view key);

// The byte that fills a key's unused tail, and that compressed leaves cut from key ends:
// a blank for C and L keys, 0x00 for N and D keys.
char keyFillByte(KeyType type);

// The key length a tag of this type has (C keys: the given text length).
int keyLengthFor(KeyType type, int charLen);

// The key as readable text: C as is, N as a number, D as YYYYMMDD (blank when empty), L as T/F.
std::string keyToText(std::string_view key, KeyType type);

}  // namespace rt::db
