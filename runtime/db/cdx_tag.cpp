// B-tree maintenance and searches of one compound index tag: see cdx_tag.h.
#include "runtime/db/cdx_tag.h"

#include <cstring>
#include <type_traits>

#include "runtime/core/error.h"
#include "runtime/db/cdx_cursor.h"
#include "runtime/db/cdx_keys.h"

namespace rt::db {

namespace {
constexpr int kMaxDepth = 32;  // far beyond any real tree; deeper means a cycle in a damaged file

ConstPageBytes pageSpan(const uint8_t* p) { return ConstPageBytes(p, kCdxPageSize); }
}  // namespace

CdxTag::CdxTag(CdxPager& pager, uint32_t headerOffset, TagInfo info)
    : pager_(pager), headerOffset_(headerOffset), info_(std::move(info)), fill_(keyFillByte(info_.type)) {}

void CdxTag::setKeyType(KeyType type) {
  info_.type = type;
  fill_ = keyFillByte(type);
  ++mods_;
}

std::unique_ptr<OrderCursor> CdxTag::cursor() { return std::make_unique<CdxCursor>(*this); }

std::string_view CdxTag::normalize(std::string_view key, std::string& buffer) const {
  if (int(key.size()) == info_.keyLen) return key;
  buffer.assign(size_t(info_.keyLen), fill_);
  if (!key.empty()) std::memcpy(buffer.data(), key.data(), std::min(key.size(), buffer.size()));
  return buffer;
}

uint32_t CdxTag::rootOffset() { return getLe32(pager_.read(headerOffset_)); }

void CdxTag::setRootOffset(uint32_t offset) { putLe32(pager_.write(headerOffset_), offset); }

uint32_t CdxTag::descend(Find how, std::string_view key, uint32_t recno, std::vector<Step>* path) {
  uint32_t offset = rootOffset();
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    const uint8_t* page = pager_.read(offset);
    const NodeHeader header = NodeHeader::decode(page);
    // The root is the page the tag's header points at; a root bit anywhere else, or missing
    // there, would make a split or an emptied page rebuild the tree around the wrong page.
    if (header.isRoot() != (depth == 0))
      throwCorruptIndex(pager_.where(offset), "root flag contradicts the page's place in the tree");
    if (header.isLeaf()) return offset;
    InteriorView view(page, info_.keyLen, pager_.where(offset));
    int i = 0;
    switch (how) {
      case Find::LowerPrefix: i = view.lowerBoundPrefix(key); break;
      case Find::UpperPrefix: i = view.upperBoundPrefix(key); break;
      case Find::Entry: i = view.lowerBoundEntry(key, recno); break;
      case Find::First: i = 0; break;
      case Find::Last: i = view.count() - 1; break;
    }
    if (i >= view.count()) i = view.count() - 1;
    if (path) path->push_back({offset, i});
    offset = view.childChecked(i, pager_.size(), pager_.where(offset));
  }
  throwCorruptIndex(pager_.where(offset), "index tree is too deep");
}

uint32_t CdxTag::findLeaf(Find how, std::string_view key, uint32_t recno) {
  return descend(how, key, recno, nullptr);
}

void CdxTag::loadLeaf(uint32_t offset, LeafNode& into) {
  into.assign(pageSpan(pager_.read(offset)), info_.keyLen, fill_, pager_.where(offset));
}

void CdxTag::loadLeaf(uint32_t offset, LeafDecoder& into) {
  into.load(pager_.read(offset), info_.keyLen, fill_, pager_.where(offset));
}

InteriorNode CdxTag::loadInterior(uint32_t offset) {
  return InteriorNode::decode(pageSpan(pager_.read(offset)), info_.keyLen, pager_.size(),
                              pager_.where(offset));
}

void CdxTag::storeLeaf(uint32_t offset, const LeafNode& leaf) {
  leaf.encode(PageBytes(pager_.write(offset), kCdxPageSize));
}

void CdxTag::storeInterior(uint32_t offset, const InteriorNode& node) {
  node.encode(PageBytes(pager_.write(offset), kCdxPageSize));
}

void CdxTag::setSibling(uint32_t offset, bool left, uint32_t value) {
  putLe32(pager_.write(offset) + (left ? 4 : 8), value);
}

void CdxTag::unlinkAndFree(uint32_t offset, const NodeHeader& header) {
  if (header.left != kNoPage) setSibling(header.left, false, header.right);
  if (header.right != kNoPage) setSibling(header.right, true, header.left);
  pager_.release(offset);
}

bool CdxTag::containsKey(std::string_view key) {
  loadLeaf(findLeaf(Find::LowerPrefix, key, 0), scratch_);
  int pos = scratch_.lowerBoundPrefix(key);
  return pos < scratch_.count() && scratch_.key(pos) == key;
}

void CdxTag::insert(std::string_view rawKey, uint32_t recno) {
  std::string_view key = normalize(rawKey, keyBuffer_);
  if (info_.unique && containsKey(key)) return;
  path_.clear();
  const uint32_t leafOffset = descend(Find::Entry, key, recno, &path_);
  LeafDecoder& decoded = decoder_;
  loadLeaf(leafOffset, decoded);
  const int pos = decoded.lowerBoundEntry(key, recno);  // decodes through pos
  if (pos < decoded.count() && decoded.recno(pos) == recno && decoded.key(pos) == key) return;
  ++mods_;
  decoded.measureAll();
  // Most inserts fit the page as it is laid out: patch it in place.
  if (decoded.insertInPlace(pager_.write(leafOffset), pos, key, recno)) {
    if (pos == decoded.count()) setMaxUpward(int(path_.size()) - 1, key, recno);
    return;
  }
  LeafNode& leaf = scratch_;
  decoded.decodeAll();
  leaf.assign(decoded);
  leaf.insert(pos, key, recno);
  if (!leaf.encodeIfFits(PageBytes(pager_.write(leafOffset), kCdxPageSize))) {
    splitLeaf(leafOffset, leaf);
    return;
  }
  if (pos == leaf.count() - 1) setMaxUpward(int(path_.size()) - 1, key, recno);
}

void CdxTag::setMaxUpward(int level, std::string_view key, uint32_t recno) {
  const std::string max(key);
  for (; level >= 0; --level) {
    InteriorNode node = loadInterior(path_[size_t(level)].page);
    const int index = path_[size_t(level)].index;
    node.setKey(index, max, recno);
    storeInterior(path_[size_t(level)].page, node);
    if (index != node.count() - 1) return;
  }
}

void CdxTag::splitLeaf(uint32_t offset, LeafNode& leaf) {
  // Split where both halves fit, as near the middle in bytes as possible.
  LeafNode right;
  right.keyLen = leaf.keyLen;
  right.fill = leaf.fill;
  const int n = leaf.count();
  int best = -1;
  for (int delta = 0; delta < n && best < 0; ++delta) {
    for (int split : {n / 2 + delta, n / 2 - delta}) {
      if (split < 1 || split >= n) continue;
      LeafNode left = leaf;
      left.moveTail(split, right);
      if (left.fits() && right.fits()) {
        best = split;
        break;
      }
    }
  }
  if (best < 0) throw Error(ErrorKind::Other, "Index key does not fit a page", "index", pager_.path());
  leaf.moveTail(best, right);
  finishSplit(int(path_.size()) - 1, offset, leaf, right, kNodeLeaf);
}

template <class Node>
void CdxTag::finishSplit(int parentLevel, uint32_t offset, Node& left, Node& right, uint16_t kind) {
  const uint32_t rightOffset = pager_.allocate();
  const bool wasRoot = parentLevel < 0;  // the top of the descent path, whatever its flag says
  right.header = {kind, 0, offset, left.header.right};
  if (left.header.right != kNoPage) setSibling(left.header.right, true, rightOffset);
  left.header.right = rightOffset;
  left.header.attributes = kind;
  if constexpr (std::is_same_v<Node, LeafNode>) {
    storeLeaf(offset, left);
    storeLeaf(rightOffset, right);
  } else {
    storeInterior(offset, left);
    storeInterior(rightOffset, right);
  }
  std::string leftKey(left.key(left.count() - 1)), rightKey(right.key(right.count() - 1));
  const uint32_t leftRecno = left.recnos.back(), rightRecno = right.recnos.back();
  if (wasRoot)
    newRoot(leftKey, leftRecno, offset, rightKey, rightRecno, rightOffset);
  else
    insertSplit(parentLevel, std::move(leftKey), leftRecno, std::move(rightKey), rightRecno,
                rightOffset);
}

void CdxTag::insertSplit(int level, std::string leftKey, uint32_t leftRecno, std::string rightKey,
                         uint32_t rightRecno, uint32_t rightOffset) {
  const uint32_t offset = path_[size_t(level)].page;
  const int index = path_[size_t(level)].index;
  InteriorNode node = loadInterior(offset);
  node.setKey(index, leftKey, leftRecno);
  node.insert(index + 1, rightKey, rightRecno, rightOffset);
  if (node.fits()) {
    storeInterior(offset, node);
    if (index + 1 == node.count() - 1) setMaxUpward(level - 1, rightKey, rightRecno);
    return;
  }
  InteriorNode right;
  node.moveTail(node.count() / 2, right);
  finishSplit(level - 1, offset, node, right, kNodeInterior);
}

void CdxTag::newRoot(const std::string& leftKey, uint32_t leftRecno, uint32_t leftOffset,
                     const std::string& rightKey, uint32_t rightRecno, uint32_t rightOffset) {
  InteriorNode root;
  root.header = {kNodeRoot, 0, kNoPage, kNoPage};
  root.keyLen = info_.keyLen;
  root.insert(0, leftKey, leftRecno, leftOffset);
  root.insert(1, rightKey, rightRecno, rightOffset);
  const uint32_t offset = pager_.allocate();
  storeInterior(offset, root);
  setRootOffset(offset);
}

bool CdxTag::remove(std::string_view rawKey, uint32_t recno) {
  std::string_view key = normalize(rawKey, keyBuffer_);
  path_.clear();
  const uint32_t leafOffset = descend(Find::Entry, key, recno, &path_);
  LeafDecoder& decoded = decoder_;
  loadLeaf(leafOffset, decoded);
  const int pos = decoded.lowerBoundEntry(key, recno);  // decodes through pos
  if (pos >= decoded.count() || decoded.recno(pos) != recno || decoded.key(pos) != key) return false;
  ++mods_;
  const int n = decoded.count();
  if (pos + 1 < n) decoded.decodeThrough(pos + 1);
  decoded.measureAll();
  if (decoded.removeInPlace(pager_.write(leafOffset), pos)) {
    if (pos == n - 1) setMaxUpward(int(path_.size()) - 1, decoded.key(n - 2), decoded.recno(n - 2));
    return true;
  }
  LeafNode& leaf = scratch_;
  decoded.decodeAll();
  leaf.assign(decoded);
  leaf.erase(pos);
  if (leaf.count() == 0 && !path_.empty()) {
    unlinkAndFree(leafOffset, leaf.header);
    removeFromParent(int(path_.size()) - 1);
    return true;
  }
  // The key after the removed one may now store more than the removed entry gave back (a blank
  // key removed before keys that begin with blanks): a full page then no longer holds the rest.
  if (!leaf.fits()) {
    splitLeaf(leafOffset, leaf);
    return true;
  }
  storeLeaf(leafOffset, leaf);
  if (pos == leaf.count() && pos > 0)
    setMaxUpward(int(path_.size()) - 1, leaf.key(pos - 1), leaf.recnos[size_t(pos - 1)]);
  return true;
}

void CdxTag::removeFromParent(int level) {
  const uint32_t offset = path_[size_t(level)].page;
  const int index = path_[size_t(level)].index;
  InteriorNode node = loadInterior(offset);
  node.erase(index);
  if (node.count() == 0) {
    if (level == 0) {
      LeafNode empty;
      empty.header = {kNodeRoot | kNodeLeaf, 0, kNoPage, kNoPage};
      empty.keyLen = info_.keyLen;
      empty.fill = fill_;
      storeLeaf(offset, empty);
      return;
    }
    unlinkAndFree(offset, node.header);
    removeFromParent(level - 1);
    return;
  }
  storeInterior(offset, node);
  if (index == node.count()) {
    std::string max(node.key(index - 1));
    setMaxUpward(level - 1, max, node.recnos[size_t(index - 1)]);
  }
}

uint64_t CdxTag::countRange(std::string_view lo, std::string_view hi) {
  // The first leaf is decoded from lo on; after it, a leaf whose largest key (its entry in the
  // level above) is within hi counts by its header, and only the leaf where hi ends is decoded.
  path_.clear();
  const uint32_t first = lo.empty() ? descend(Find::First, {}, 0, &path_) : descend(Find::LowerPrefix, lo, 0, &path_);
  LeafDecoder& leaf = decoder_;
  loadLeaf(first, leaf);
  auto countUpToHi = [&](int from) {
    uint64_t n = 0;
    for (int i = from; i < leaf.count(); ++i) {
      leaf.decodeThrough(i);
      if (!hi.empty() && comparePrefix(leaf.key(i), hi) > 0) return std::pair{n, true};
      ++n;
    }
    return std::pair{n, false};
  };
  auto [count, done] = countUpToHi(lo.empty() ? 0 : leaf.lowerBoundPrefix(lo));
  if (done || path_.empty()) return count;  // hi ends in this leaf, or it is the only one
  uint32_t parent = path_.back().page;
  int index = path_.back().index + 1;
  for (uint64_t guard = 0; guard <= pager_.size() / kCdxPageSize; ++guard) {
    const uint8_t* page = pager_.read(parent);
    InteriorView view(page, info_.keyLen, pager_.where(parent));
    for (int i = index; i < view.count(); ++i) {
      const uint32_t child = view.childChecked(i, pager_.size(), pager_.where(parent));
      if (hi.empty() || comparePrefix(view.key(i), hi) <= 0) {
        const NodeHeader h = NodeHeader::decode(pager_.read(child));
        if (!h.isLeaf()) throwCorruptIndex(pager_.where(child), "branch page where a leaf page was expected");
        count += h.keyCount;  // cached pages stay in place, so page and view stay valid
        continue;
      }
      loadLeaf(child, leaf);
      return count + countUpToHi(0).first;
    }
    parent = NodeHeader::decode(page).right;
    if (parent == kNoPage) return count;
    index = 0;
  }
  throwCorruptIndex(pager_.where(parent), "sibling links form a cycle");
}

void CdxTag::collectPages(std::vector<uint32_t>& out) {
  // Level by level: the leftmost page of each level, then its right siblings.
  uint32_t levelStart = rootOffset();
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    const uint8_t* first = pager_.read(levelStart);
    if (NodeHeader::decode(first).isRoot() != (depth == 0))
      throwCorruptIndex(pager_.where(levelStart), "root flag contradicts the page's place in the tree");
    const bool leafLevel = NodeHeader::decode(first).isLeaf();
    uint32_t nextLevel = 0;
    if (!leafLevel)
      nextLevel = InteriorView(first, info_.keyLen, pager_.where(levelStart)).childChecked(0, pager_.size(), pager_.where(levelStart));
    for (uint32_t offset = levelStart; offset != kNoPage;) {
      out.push_back(offset);
      if (out.size() > pager_.size() / kCdxPageSize)
        throwCorruptIndex(pager_.where(offset), "sibling links form a cycle");
      offset = NodeHeader::decode(pager_.read(offset)).right;
    }
    if (leafLevel) return;
    levelStart = nextLevel;
  }
  throwCorruptIndex(pager_.where(levelStart), "index tree is too deep");
}

uint64_t CdxTag::verify() {
  struct Checker {
    CdxTag& tag;
    std::string lastKey;
    uint32_t lastRecno = 0;
    bool any = false;
    uint64_t entries = 0;
    uint32_t prevLeaf = kNoPage;
    // Returns the largest entry of the subtree at offset.
    std::pair<std::string, uint32_t> walk(uint32_t offset, int depth, bool isRoot) {
      if (depth > kMaxDepth) throwCorruptIndex(tag.pager_.where(offset), "index tree is too deep");
      const uint8_t* page = tag.pager_.read(offset);
      NodeHeader h = NodeHeader::decode(page);
      if (h.isRoot() != isRoot) throwCorruptIndex(tag.pager_.where(offset), "root flag is wrong");
      if (h.isLeaf()) {
        LeafNode leaf;
        tag.loadLeaf(offset, leaf);
        if (leaf.count() == 0 && !isRoot) throwCorruptIndex(tag.pager_.where(offset), "empty leaf page");
        if (h.left != prevLeaf) throwCorruptIndex(tag.pager_.where(offset), "leaf sibling link is wrong");
        if (prevLeaf != kNoPage && NodeHeader::decode(tag.pager_.read(prevLeaf)).right != offset)
          throwCorruptIndex(tag.pager_.where(prevLeaf), "leaf sibling link is wrong");
        prevLeaf = offset;
        for (int i = 0; i < leaf.count(); ++i) {
          if (any && compareEntry(lastKey, lastRecno, leaf.key(i), leaf.recnos[size_t(i)]) >= 0)
            throwCorruptIndex(tag.pager_.where(offset), "keys out of order");
          lastKey.assign(leaf.key(i));
          lastRecno = leaf.recnos[size_t(i)];
          any = true;
          ++entries;
        }
        return {lastKey, lastRecno};
      }
      InteriorNode node = tag.loadInterior(offset);
      std::pair<std::string, uint32_t> max;
      for (int i = 0; i < node.count(); ++i) {
        max = walk(node.children[size_t(i)], depth + 1, false);
        if (max.first != node.key(i) || max.second != node.recnos[size_t(i)])
          throwCorruptIndex(tag.pager_.where(offset), "branch key differs from its subtree");
      }
      return max;
    }
  } checker{*this, {}, 0, false, 0, kNoPage};
  checker.walk(rootOffset(), 0, true);
  if (checker.prevLeaf != kNoPage && NodeHeader::decode(pager_.read(checker.prevLeaf)).right != kNoPage)
    throwCorruptIndex(pager_.where(checker.prevLeaf), "last leaf has a right sibling");
  return checker.entries;
}

}  // namespace rt::db
