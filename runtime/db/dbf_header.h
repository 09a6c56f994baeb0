// The on-disk header of a DBF table: the 32-byte file header and the 32-byte field descriptors.
//
// DbfHeader (32 bytes, integers little-endian):
//   0  version: 0x03 no memo, 0x83 dBASE III + DBT, 0xF5 FoxPro 2.x + FPT, 0x30/0x31 Visual FoxPro
//   1  last update YY MM DD (YY = year - 1900; some writers store year - 2000)
//   4  record count (4)       8  header length (2)       10 record length incl. delete flag (2)
//   28 table flags (0x01 structural CDX, 0x02 memo)    29 code-page mark (0x64 = 852)
// FieldDescriptor (32 bytes each from offset 32, the list ends with 0x0D):
//   0  name, 11 bytes NUL-padded      11 type letter
//   12 offset in the record (4; 0 from some writers)
//   16 length (1)                     17 decimals (1; for C fields the high byte of the length)
//   18 field flags (Visual FoxPro)
// Visual FoxPro tables carry a 263-byte backlink after the 0x0D terminator.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rt::db {

inline constexpr uint8_t kDbfPlain = 0x03;
inline constexpr uint8_t kDbfFoxProMemo = 0xF5;
inline constexpr uint8_t kDbfDbaseMemo = 0x83;
inline constexpr uint8_t kDbfVisualFoxPro = 0x30;
inline constexpr uint8_t kDbfVisualFoxProAuto = 0x31;
inline constexpr uint8_t kCodePage852 = 0x64;
inline constexpr uint8_t kFlagStructuralCdx = 0x01;
inline constexpr uint8_t kFlagMemo = 0x02;

struct DbfHeader {
  uint8_t version = kDbfPlain;
  int year = 2000, month = 1, day = 1;
  uint32_t recCount = 0;
  uint16_t headerLen = 0;
  uint16_t recordLen = 0;
  uint8_t flags = 0;
  uint8_t codePage = 0;

  static constexpr size_t kSize = 32;
  static DbfHeader decode(std::span<const uint8_t, kSize> bytes);
  void encode(std::span<uint8_t, kSize> bytes) const;
  bool isVisualFoxPro() const { return version == kDbfVisualFoxPro || version == kDbfVisualFoxProAuto || version == 0x32; }
};

struct FieldDescriptor {
  std::string name;       // upper case as stored, no NULs
  char type = 'C';        // C N D L M F I Y T B G ...
  uint32_t offset = 0;    // in the record, the delete flag at 0
  uint32_t len = 0;       // bytes in the record (C fields may exceed 255)
  uint8_t dec = 0;        // decimals (0 for C fields whose length used this byte)
  uint8_t fieldFlags = 0;

  static constexpr size_t kSize = 32;
  static FieldDescriptor decode(std::span<const uint8_t, kSize> bytes);
  void encode(std::span<uint8_t, kSize> bytes) const;
  bool isMemo() const { return type == 'M' || type == 'G' || type == 'P' || (type == 'B' && len == 10); }
};

// The whole header region: file header, fields and what follows the terminator.
struct DbfLayout {
  DbfHeader header;
  std::vector<FieldDescriptor> fields;

  // Decodes the header region of `file` (its name is used in errors); checks every length
  // against the file's size and the record length against the fields.
  static DbfLayout decode(std::span<const uint8_t> region, uint64_t fileSize, const std::string& file);
  // Encodes to exactly header.headerLen bytes (fields, terminator, zero-filled rest).
  std::vector<uint8_t> encode() const;
  // Fills offsets, record length and header length from the fields (for a new table).
  void layOut();
};

}  // namespace rt::db
