// Compound index files: tag directory, tag creation and removal, reindexing. See cdx_bag.h.
#include "runtime/db/cdx_bag.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>

#include "runtime/core/error.h"
#include "runtime/db/cdx_cursor.h"
#include "runtime/db/cdx_keys.h"
#include "runtime/db/lock_scheme.h"

namespace rt::db {

namespace {

TagInfo directoryInfo() {
  TagInfo info;
  info.type = KeyType::Char;
  info.keyLen = kTagNameLen;
  return info;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = char(std::toupper(uint8_t(c)));
  return out;
}

std::string trimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
  return std::string(s.substr(0, n));
}

}  // namespace

std::string tagDirectoryKey(std::string_view name) {
  std::string key = upper(name.substr(0, std::min<size_t>(name.size(), kTagNameLen)));
  key.resize(kTagNameLen, ' ');
  return key;
}

CdxBag::CdxBag(File file, TypeResolver resolver)
    : pager_(std::make_unique<CdxPager>(std::move(file))), resolver_(std::move(resolver)) {}

CdxBag::~CdxBag() {
  try {
    if (pager_ && !pager_->readOnly()) pager_->flush();
  } catch (...) {
    // A destructor never throws; close() reports the failure.
  }
}

void CdxBag::close() {
  if (!pager_->readOnly()) pager_->flush();
}

std::unique_ptr<CdxBag> CdxBag::open(const std::string& path, File::Access access,
                                     TypeResolver resolver) {
  std::unique_ptr<CdxBag> bag(new CdxBag(File::open(path, access), std::move(resolver)));
  if (bag->pager_->size() < kCdxHeaderSize + kCdxPageSize)
    throwCorruptIndex(bag->pager_->where(0), "index file is too short");
  std::array<uint8_t, kCdxHeaderSize> bytes;
  bag->pager_->readHeader(0, bytes);
  CdxHeader header = CdxHeader::decode(bytes, bag->pager_->where(0));
  if (header.keyLen != kTagNameLen) throwCorruptIndex(bag->pager_->where(12), "tag directory key length is not 10");
  bag->directory_ = std::make_unique<CdxTag>(*bag->pager_, 0, directoryInfo());
  bag->loadTags();
  return bag;
}

std::unique_ptr<CdxBag> CdxBag::create(const std::string& path, bool structural,
                                       TypeResolver resolver) {
  std::unique_ptr<CdxBag> bag(new CdxBag(File::create(path), std::move(resolver)));
  bag->initEmpty(structural);
  bag->pager_->flush();
  return bag;
}

void CdxBag::initEmpty(bool structural) {
  const uint32_t headerOffset = pager_->allocateAtEnd(2);
  KeyBatch none(kTagNameLen, ' ');
  const uint32_t root = buildTree(*pager_, none);
  CdxHeader header;
  header.root = root;
  header.keyLen = kTagNameLen;
  header.options = uint8_t(kTagCompact | kTagCompound | (structural ? kTagStructural : 0));
  header.changeCounter = pager_->changeCounter();
  std::array<uint8_t, kCdxHeaderSize> bytes;
  header.encode(bytes);
  pager_->writeHeader(headerOffset, bytes);
  if (directory_) directory_->rebind(0);
  else directory_ = std::make_unique<CdxTag>(*pager_, 0, directoryInfo());
}

void CdxBag::loadTags() {
  std::vector<std::unique_ptr<CdxTag>> loaded;
  bool changed = false;
  CdxCursor cursor(*directory_);
  for (bool ok = cursor.first(); ok; ok = cursor.next()) {
    const std::string name = trimRight(cursor.key());
    const uint32_t offset = cursor.recno();
    if (offset < kCdxHeaderSize || offset % kCdxPageSize != 0 ||
        uint64_t(offset) + kCdxHeaderSize > pager_->size())
      throwCorruptIndex(pager_->where(offset), "tag " + name + " header offset is invalid");
    std::array<uint8_t, kCdxHeaderSize> bytes;
    pager_->readHeader(offset, bytes);
    TagHeader header = TagHeader::decode(bytes, pager_->where(offset));
    TagInfo info;
    info.name = name;
    info.keyExpr = header.keyExpr;
    info.forExpr = header.forExpr;
    info.keyLen = header.keyLen;
    info.unique = header.unique();
    info.descending = header.descending;
    // A tag kept where it was, as it was, stays the same object; one dropped and made again in the
    // pages it had may have another key.
    auto same = std::find_if(tags_.begin(), tags_.end(), [&](const auto& t) {
      if (!t || t->headerOffset() != offset) return false;
      const TagInfo& was = t->info();
      return was.name == name && was.keyExpr == info.keyExpr && was.forExpr == info.forExpr &&
             was.keyLen == info.keyLen && was.unique == info.unique && was.descending == info.descending;
    });
    if (same != tags_.end()) {
      loaded.push_back(std::move(*same));
      continue;
    }
    info.type = resolver_ ? resolver_(info) : KeyType::Char;
    loaded.push_back(std::make_unique<CdxTag>(*pager_, offset, std::move(info)));
    changed = true;
  }
  for (auto& old : tags_)
    if (old) {
      retired_.push_back(std::move(old));
      changed = true;
    }
  if (changed) ++tagListVersion_;
  std::sort(loaded.begin(), loaded.end(),
            [](const auto& a, const auto& b) { return a->headerOffset() < b->headerOffset(); });
  tags_ = std::move(loaded);
}

CdxTag* CdxBag::find(std::string_view name) {
  const std::string wanted = trimRight(upper(name));
  for (auto& tag : tags_)
    if (tag->info().name == wanted) return tag.get();
  return nullptr;
}

std::vector<TagInfo> CdxBag::tagInfos() const {
  std::vector<TagInfo> infos;
  for (const auto& tag : tags_) infos.push_back(tag->info());
  return infos;
}

uint32_t CdxBag::writeTagHeader(const TagInfo& info, uint32_t root) {
  const uint32_t offset = pager_->allocateAtEnd(2);
  TagHeader header;
  header.root = root;
  header.keyLen = uint16_t(info.keyLen);
  header.options = uint8_t(kTagCompact | kTagCompound | (info.unique ? kTagUnique : 0) |
                           (info.forExpr.empty() ? 0 : kTagFor));
  header.descending = info.descending;
  header.keyExpr = info.keyExpr;
  header.forExpr = info.forExpr;
  std::array<uint8_t, kCdxHeaderSize> bytes;
  header.encode(bytes);
  pager_->writeHeader(offset, bytes);
  return offset;
}

CdxTag& CdxBag::addTag(TagInfo info, KeyBatch& entries) {
  info.name = trimRight(upper(info.name));
  const std::string why =
      info.name.empty() || info.name.size() > size_t(kTagNameLen) ? "tag name must have 1 to 10 characters"
      : info.keyLen < 1 || info.keyLen > kCdxMaxKeyLen            ? "key length must be 1 to 240"
      : info.keyLen != entries.keyLen()                           ? "key length differs from the entries"
      : entries.fill() != keyFillByte(info.type)                  ? "key fill differs from the key type"
      : info.keyExpr.size() + info.forExpr.size() + 2 > 512       ? "key and FOR expressions are too long"
                                                                  : "";
  if (!why.empty()) throw Error(ErrorKind::Argument, "Argument error: " + why, "INDEX ON", path());
  removeTag(info.name);
  entries.sort(info.unique);
  const uint32_t root = buildTree(*pager_, entries);
  const uint32_t offset = writeTagHeader(info, root);
  directory_->insert(tagDirectoryKey(info.name), offset);
  tags_.push_back(std::make_unique<CdxTag>(*pager_, offset, std::move(info)));
  ++tagListVersion_;
  return *tags_.back();
}

bool CdxBag::removeTag(std::string_view name) {
  CdxTag* tag = find(name);
  if (!tag) return false;
  std::vector<uint32_t> pages;
  tag->collectPages(pages);
  directory_->remove(tagDirectoryKey(tag->info().name), tag->headerOffset());
  for (uint32_t page : pages) pager_->release(page);
  pager_->release(tag->headerOffset());
  pager_->release(tag->headerOffset() + kCdxPageSize);
  auto it = std::find_if(tags_.begin(), tags_.end(), [&](const auto& t) { return t.get() == tag; });
  tag->rebind(tag->headerOffset());  // cursors on it see a change
  retired_.push_back(std::move(*it));
  tags_.erase(it);
  ++tagListVersion_;
  return true;
}

void CdxBag::reindex(const KeySource& source, bool replaceFile) {
  std::array<uint8_t, kCdxHeaderSize> bytes;
  pager_->readHeader(0, bytes);
  const bool structural = bytes[14] & kTagStructural;
  auto build = [&] {
    initEmpty(structural);
    for (auto& tag : tags_) {
      KeyBatch batch(tag->info().keyLen, tag->fill());
      source(tag->info(), batch);
      batch.sort(tag->info().unique);
      const uint32_t root = buildTree(*pager_, batch);
      const uint32_t offset = writeTagHeader(tag->info(), root);
      directory_->insert(tagDirectoryKey(tag->info().name), offset);
      tag->rebind(offset);
    }
    pager_->flush();
  };
  if (!replaceFile) {
    rebuildAtEnd(source);
    return;
  }
  const std::string path = pager_->path();
  const std::string tmp = File::siblingTemporary(path);
  std::vector<uint32_t> offsets;
  for (auto& tag : tags_) offsets.push_back(tag->headerOffset());
  const bool witnessed = writeWitnessed();
  File old = pager_->swapFile(File::create(tmp));
  try {
    build();
    // A write in progress on the table stays told: the new file may reach the disk before the
    // table's mark comes off.
    if (witnessed) setWriteWitness(true);
    pager_->file().sync();
    pager_->file().replace(path);
  } catch (...) {
    pager_->swapFile(std::move(old));
    ::unlink(tmp.c_str());
    directory_->rebind(0);
    for (size_t i = 0; i < tags_.size(); ++i) tags_[i]->rebind(offsets[i]);
    throw;
  }
  File::syncDirectoryOf(path);
}

void CdxBag::rebuildAtEnd(const KeySource& source) {
  // The old pages, to be given back once the new trees are in use. A damaged old tree (what a
  // REINDEX is for) keeps its pages: they are only lost space.
  std::vector<uint32_t> old;
  try {
    directory_->collectPages(old);
    for (auto& tag : tags_) {
      tag->collectPages(old);
      old.push_back(tag->headerOffset());
      old.push_back(tag->headerOffset() + kCdxPageSize);
    }
  } catch (const Error&) {
    old.clear();
  }
  std::vector<uint32_t> offsets;
  try {
    // New pages come from the end of the file only: the free list stays as the old header has it.
    const uint32_t freeList = getLe32(pager_->read(0) + 4);
    putLe32(pager_->write(0) + 4, 0);
    KeyBatch directory(kTagNameLen, ' ');
    for (auto& tag : tags_) {
      KeyBatch batch(tag->info().keyLen, tag->fill());
      source(tag->info(), batch);
      batch.sort(tag->info().unique);
      offsets.push_back(writeTagHeader(tag->info(), buildTree(*pager_, batch)));
      directory.add(tagDirectoryKey(tag->info().name), offsets.back());
    }
    directory.sort(false);
    const uint32_t root = buildTree(*pager_, directory);
    uint8_t* head = pager_->write(0);
    putLe32(head, root);
    putLe32(head + 4, freeList);
    pager_->flush();  // the header page last: until it is written the old trees are the index
  } catch (...) {
    pager_->discardChanges();
    throw;
  }
  directory_->rebind(0);
  for (size_t i = 0; i < tags_.size(); ++i) tags_[i]->rebind(offsets[i]);
  try {
    for (uint32_t page : old) pager_->release(page);
    pager_->flush();
  } catch (const Error&) {
    // The new index is in place; old pages not given back are only lost space.
    pager_->discardChanges();
  }
}

bool CdxBag::lockFile(bool forWriting) {
  return pager_->file().lockRangeWaiting(kIndexFileLock.offset, kIndexFileLock.length, forWriting);
}

void CdxBag::unlockFile() noexcept { pager_->file().unlockRange(kIndexFileLock.offset, kIndexFileLock.length); }

namespace {
constexpr uint64_t kWriteWitnessOffset = kCdxHeaderSize - 1;
}

// The byte lies in the file's mapped first page: setting and clearing it on every shared write
// costs no system call.
void CdxBag::setWriteWitness(bool on, bool durable) {
  if (pager_->readOnly()) return;
  const uint8_t b = on ? 1 : 0;
  pager_->file().writeHead(kWriteWitnessOffset, &b, 1);
  if (durable) pager_->file().sync();
}

bool CdxBag::writeWitnessed() const {
  uint8_t b = 0;
  pager_->file().readHead(kWriteWitnessOffset, &b, 1);
  return b == 1;
}

bool CdxBag::refresh() {
  if (!pager_->refresh()) return false;
  loadTags();
  return true;
}

void CdxBag::verify() {
  directory_->verify();
  for (auto& tag : tags_) tag->verify();
}

}  // namespace rt::db
