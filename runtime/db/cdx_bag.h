// CdxBag: one compound index file (a "bag" of tags).
//
// The file header at offset 0 heads the tag directory, a tree of its own whose keys are the tag
// names (10 bytes, upper case, blank-padded) and whose record numbers are the offsets of the
// tags' headers. Tags are listed in the order they were created (by header offset), which is
// the order numbers count in.
//
// The bag owns its page cache: changes stay in memory until flush(), which publishes them with
// one bump of the change counter; refresh() (to be called after taking the table's lock) drops
// the cache when another process changed the file, and reloads the tag list when the directory
// changed. Tag objects stay alive as long as the bag, so orders held elsewhere never dangle; their
// holders follow tagListVersion() to find the tags by name again.
//
// The file does not record key types (C, N, D or L); the opener supplies them from the key
// expressions through a resolver. Without one every tag reads as C.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/db/cdx_build.h"
#include "runtime/db/cdx_pager.h"
#include "runtime/db/cdx_tag.h"
#include "runtime/db/file.h"
#include "runtime/db/order.h"

namespace rt::db {

class CdxBag {
 public:
  using TypeResolver = std::function<KeyType(const TagInfo&)>;
  // Fills a batch with the (key, record number) entries of a tag, for building it.
  using KeySource = std::function<void(const TagInfo&, KeyBatch&)>;

  static std::unique_ptr<CdxBag> open(const std::string& path, File::Access access = File::Access::ReadWrite,
                                      TypeResolver resolver = {});
  static std::unique_ptr<CdxBag> create(const std::string& path, bool structural = true,
                                        TypeResolver resolver = {});
  // Flushes what is left; errors at this point are swallowed (call close() to see them).
  ~CdxBag();
  void close();

  const std::string& path() const { return pager_->path(); }
  bool readOnly() const { return pager_->readOnly(); }

  int tagCount() const { return int(tags_.size()); }
  CdxTag& tag(int index) { return *tags_.at(size_t(index)); }
  CdxTag* find(std::string_view name);  // case-insensitive; nullptr when missing
  std::vector<TagInfo> tagInfos() const;
  // Moves whenever the tag list changes: a tag added or removed here, or, seen by refresh(), a tag
  // added, removed or made again by another process (a REINDEX builds every tag anew). Tag objects
  // no longer listed stay alive but belong to no tree of the file.
  uint64_t tagListVersion() const { return tagListVersion_; }

  // Creates (or replaces) a tag holding the batch's entries (sorting the batch in place).
  // info.keyLen must match the batch.
  CdxTag& addTag(TagInfo info, KeyBatch& entries);
  // false when there is no such tag. Its pages go to the free list.
  bool removeTag(std::string_view name);
  // Rebuilds every tag from its entries; a failure or a kill leaves the old index whole. With
  // `replaceFile` (exclusive use) the new index is built in a file beside this one, with the old
  // one's write witness, synced and renamed over it when whole. Otherwise (shared use: other
  // processes keep the file open) the new trees go past the end of the file, one write of the
  // header page turns the file over to them, and the old pages then go to the free list.
  void reindex(const KeySource& source, bool replaceFile = false);

  void flush() { pager_->flush(); }
  bool refresh();
  // Shared use: the index file's own lock, as every engine writing the file takes it: held for
  // writing around a change of its pages, for reading around reading them (so a page half-written
  // by another process is never read). Waits about two seconds at most; false when not granted.
  // Call refresh() after taking it.
  bool lockFile(bool forWriting);
  void unlockFile() noexcept;
  uint32_t changeCounter() const { return pager_->changeCounter(); }
  // The witness of a table write in progress: the last byte of the file header's expression
  // pool, set while the table's write-in-progress mark is on and cleared after it. Other engines
  // write the table header back from the copy they read when they opened the table, so a mark
  // they read during one of our writes comes back later on its own; they never set this byte
  // (they rewrite the file header from scratch, which only clears it).
  // With `durable` the byte is on the disk when this returns.
  void setWriteWitness(bool on, bool durable = false);
  bool writeWitnessed() const;
  CdxPager& pager() { return *pager_; }
  // Walks the directory and every tag; a damaged tree is rt::Error(Corrupt).
  void verify();

 private:
  explicit CdxBag(File file, TypeResolver resolver);
  void loadTags();
  void initEmpty(bool structural);
  uint32_t writeTagHeader(const TagInfo& info, uint32_t root);
  void rebuildAtEnd(const KeySource& source);

  std::unique_ptr<CdxPager> pager_;
  TypeResolver resolver_;
  std::unique_ptr<CdxTag> directory_;
  std::vector<std::unique_ptr<CdxTag>> tags_;
  std::vector<std::unique_ptr<CdxTag>> retired_;  // removed tags, kept for references held elsewhere
  uint64_t tagListVersion_ = 0;
};

// The tag name as the directory stores it: upper case, blank-padded to 10 bytes.
std::string tagDirectoryKey(std::string_view name);

}  // namespace rt::db
