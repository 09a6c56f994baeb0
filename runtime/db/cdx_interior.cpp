// Interior nodes: checked reads, binary searches on the raw page, and the decoded form.
#include "runtime/db/cdx_interior.h"

#include <cstring>

namespace rt::db {

namespace {

void checkChild(uint32_t child, uint64_t fileSize, const PageWhere& where) {
  if (child == 0 || child % kCdxPageSize != 0 || child >= fileSize)
    throwCorruptIndex(where, "child page offset " + std::to_string(child) + " is invalid");
}

}  // namespace

InteriorView::InteriorView(const uint8_t* page, int keyLen, const PageWhere& where)
    : page_(page), keyLen_(keyLen) {
  NodeHeader h = NodeHeader::decode(page);
  if (h.isLeaf()) throwCorruptIndex(where, "leaf page where a branch page was expected");
  if (h.attributes > 3) throwCorruptIndex(where, "page attributes are invalid");
  if (h.keyCount == 0 || h.keyCount > interiorCapacity(keyLen))
    throwCorruptIndex(where, "branch page key count " + std::to_string(h.keyCount) + " is invalid");
  count_ = h.keyCount;
}

uint32_t InteriorView::childChecked(int i, uint64_t fileSize, const PageWhere& where) const {
  const uint32_t offset = child(i);
  checkChild(offset, fileSize, where);
  return offset;
}

int InteriorView::lowerBoundPrefix(std::string_view prefix) const {
  int lo = 0, hi = count_;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (comparePrefix(key(mid), prefix) < 0) lo = mid + 1; else hi = mid;
  }
  return lo;
}

int InteriorView::upperBoundPrefix(std::string_view prefix) const {
  int lo = 0, hi = count_;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (comparePrefix(key(mid), prefix) <= 0) lo = mid + 1; else hi = mid;
  }
  return lo;
}

int InteriorView::lowerBoundEntry(std::string_view k, uint32_t r) const {
  int lo = 0, hi = count_;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (compareEntry(key(mid), recno(mid), k, r) < 0) lo = mid + 1; else hi = mid;
  }
  return lo;
}

void InteriorNode::insert(int at, std::string_view k, uint32_t recno, uint32_t child) {
  keys.insert(size_t(at) * keyLen, k.data(), size_t(keyLen));
  recnos.insert(recnos.begin() + at, recno);
  children.insert(children.begin() + at, child);
}

void InteriorNode::erase(int at) {
  keys.erase(size_t(at) * keyLen, size_t(keyLen));
  recnos.erase(recnos.begin() + at);
  children.erase(children.begin() + at);
}

void InteriorNode::setKey(int at, std::string_view k, uint32_t recno) {
  keys.replace(size_t(at) * keyLen, size_t(keyLen), k.data(), size_t(keyLen));
  recnos[size_t(at)] = recno;
}

void InteriorNode::moveTail(int from, InteriorNode& into) {
  into.keyLen = keyLen;
  into.keys.assign(keys, size_t(from) * keyLen);
  into.recnos.assign(recnos.begin() + from, recnos.end());
  into.children.assign(children.begin() + from, children.end());
  keys.resize(size_t(from) * keyLen);
  recnos.resize(size_t(from));
  children.resize(size_t(from));
}

InteriorNode InteriorNode::decode(ConstPageBytes page, int keyLen, uint64_t fileSize,
                                  const PageWhere& where) {
  InteriorView view(page.data(), keyLen, where);
  for (int i = 0; i < view.count(); ++i) view.childChecked(i, fileSize, where);
  InteriorNode node;
  node.header = NodeHeader::decode(page.data());
  node.keyLen = keyLen;
  node.keys.reserve(size_t(view.count()) * keyLen);
  for (int i = 0; i < view.count(); ++i) {
    node.keys.append(view.key(i));
    node.recnos.push_back(view.recno(i));
    node.children.push_back(view.child(i));
  }
  return node;
}

void InteriorNode::encode(PageBytes page) const {
  std::memset(page.data(), 0, page.size());
  NodeHeader h = header;
  h.keyCount = uint16_t(count());
  h.attributes &= ~kNodeLeaf;
  h.encode(page.data());
  uint8_t* p = page.data() + 12;
  for (int i = 0; i < count(); ++i, p += keyLen + 8) {
    std::memcpy(p, keys.data() + size_t(i) * keyLen, size_t(keyLen));
    putBe32(p + keyLen, recnos[size_t(i)]);
    putBe32(p + keyLen + 4, children[size_t(i)]);
  }
}

}  // namespace rt::db
