// An order over a table: a sorted sequence of (key, record number) entries, as one tag of a
// compound index holds it. Keys are byte strings of the tag's key length, compared with memcmp;
// equal keys are ordered by record number. A descending tag keeps its entries ascending: the work
// area walks it backwards.
//
// The work-area layer reaches every index through this interface, so skipping, scopes, filters
// and deleted records are handled once, above the page format.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rt::db {

enum class KeyType : char { Char = 'C', Num = 'N', Date = 'D', Logical = 'L' };

struct TagInfo {
  std::string name;      // upper case, at most 10 characters
  std::string keyExpr;   // key expression text, as stored
  std::string forExpr;   // FOR condition text, empty when none
  KeyType type = KeyType::Char;
  int keyLen = 0;        // bytes of an encoded key
  bool unique = false;
  bool descending = false;
};

// A position in an order. A cursor stays usable across changes to the order: when the order
// changed under it, it finds its entry again by (key, record number), or the next one.
class OrderCursor {
 public:
  virtual ~OrderCursor() = default;
  virtual bool first() = 0;
  virtual bool last() = 0;
  virtual bool next() = 0;  // false and invalid past the end
  virtual bool prev() = 0;  // false and invalid before the start
  // Positions on the first entry whose key is >= key compared over key.size() bytes (a key
  // prefix). Returns true when that entry's key starts with key. Invalid when no entry is >= key.
  virtual bool seek(std::string_view key) = 0;
  // Positions on the last entry whose key starts with key (for SEEK ... LAST and scopes).
  virtual bool seekLast(std::string_view key) = 0;
  // Positions exactly on (key, recno); false when that entry is not in the order.
  virtual bool seekEntry(std::string_view key, uint32_t recno) = 0;
  virtual bool valid() const = 0;
  virtual std::string_view key() const = 0;
  virtual uint32_t recno() const = 0;
};

class Order {
 public:
  virtual ~Order() = default;
  virtual const TagInfo& info() const = 0;
  virtual std::unique_ptr<OrderCursor> cursor() = 0;
  // Key maintenance; callers hold the table's write lock.
  virtual void insert(std::string_view key, uint32_t recno) = 0;
  virtual bool remove(std::string_view key, uint32_t recno) = 0;
  // Entries with lo <= key-prefix and key-prefix <= hi (each bound compared over its own length;
  // an empty bound is open).
  virtual uint64_t countRange(std::string_view lo, std::string_view hi) = 0;
};

}  // namespace rt::db
