// WorkArea: orders across bags, key recipes and key values, tag creation, reindex and index
// maintenance through the table's record listener.
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/names.h"
#include "runtime/db/cdx_keys.h"
#include "runtime/db/field_codec.h"
#include "runtime/db/work_area.h"
#include "runtime/db/work_areas.h"

namespace rt::db {

namespace {

// Shared use: a tag added or removed outside a record write changes the bag under its file lock,
// after dropping what another process changed, as the keys of a write do.
class BagChange {
 public:
  BagChange(DbfTable& table, CdxBag& bag) : bag_(table.shared() ? &bag : nullptr) {
    if (!bag_) return;
    if (!bag_->lockFile(true))
      throw Error(ErrorKind::Lock, "Lock failure: an index of the table is being changed elsewhere", "ORDCREATE",
                  bag.path(), 0, true);
    bag_->refresh();
  }
  ~BagChange() {
    if (bag_) bag_->unlockFile();
  }
  BagChange(const BagChange&) = delete;
  BagChange& operator=(const BagChange&) = delete;

 private:
  CdxBag* bag_;
};

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(b, e - b));
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return a == b;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool exists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

}  // namespace

template <class F>
static auto inArea(WorkAreas& w, int n, F&& body) -> decltype(body()) {
  return w.withSelected(n, std::forward<F>(body));
}

// The structural bag's path: the table's name with the extension .cdx in the table's letter case.
static std::string structuralPath(const std::string& table) {
  const std::string base = File::withoutExtension(table);
  const size_t dot = base.size();
  bool upperCase = dot + 1 < table.size() && std::isupper(static_cast<unsigned char>(table[dot + 1]));
  std::string a = base + (upperCase ? ".CDX" : ".cdx"), b = base + (upperCase ? ".cdx" : ".CDX");
  if (exists(a)) return a;
  if (exists(b)) return b;
  return a;
}

std::string structuralBagPath(const std::string& tablePath) { return structuralPath(tablePath); }

// --- key recipes ---

KeyRecipe WorkArea::recipeFor(const std::string& keyText) {
  KeyRecipe r;
  // Simple keys: fields of this table (C fields, DTOS of D fields) joined by '+', or a single N
  // or D field. Anything else is evaluated as an expression.
  std::string text = upperName(keyText);
  std::vector<std::string> parts;
  size_t start = 0;
  int depth = 0;
  bool simple = true;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && (text[i] == '"' || text[i] == '\'' || text[i] == '[')) simple = false;
    if (i < text.size() && text[i] == '(') ++depth;
    if (i < text.size() && text[i] == ')') --depth;
    if (i == text.size() || (text[i] == '+' && depth == 0)) {
      parts.push_back(trim(std::string_view(text).substr(start, i - start)));
      start = i + 1;
    }
  }
  auto fieldOf = [&](std::string name) -> int {
    name = trim(name);
    size_t arrow = name.find("->");
    if (arrow != std::string::npos) {
      std::string a = trim(name.substr(0, arrow));
      if (a != upperName(alias_) && a != "FIELD" && a != "_FIELD") return -1;
      name = trim(name.substr(arrow + 2));
    }
    for (char c : name)
      if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return -1;
    return table_->fieldIndex(name);
  };
  if (simple && !parts.empty()) {
    if (parts.size() == 1) {
      int f = fieldOf(parts[0]);
      if (f >= 0) {
        const FieldDescriptor& fd = table_->field(size_t(f));
        if (fd.type == 'N' || fd.type == 'F') {
          r.kind = KeyRecipe::Kind::NumField;
          r.field = size_t(f);
          return r;
        }
        if (fd.type == 'D') {
          r.kind = KeyRecipe::Kind::DateField;
          r.field = size_t(f);
          return r;
        }
      }
    }
    for (auto& p : parts) {
      int f = -1;
      bool dtos = false;
      if (p.rfind("DTOS", 0) == 0) {
        std::string rest = trim(p.substr(4));
        if (rest.size() >= 2 && rest.front() == '(' && rest.back() == ')') {
          f = fieldOf(rest.substr(1, rest.size() - 2));
          dtos = true;
        }
      } else {
        f = fieldOf(p);
      }
      if (f < 0) {
        simple = false;
        break;
      }
      const FieldDescriptor& fd = table_->field(size_t(f));
      if ((dtos && fd.type != 'D') || (!dtos && fd.type != 'C')) {
        simple = false;
        break;
      }
      r.pieces.push_back({fd.offset, fd.len});
    }
    if (simple) {
      r.kind = KeyRecipe::Kind::Bytes;
      return r;
    }
  }
  r.pieces.clear();
  r.kind = KeyRecipe::Kind::Expression;
  r.expr = compile(keyText);
  return r;
}

std::string WorkArea::encodeValue(const Value& v, const TagInfo& info, bool prefix) const {
  switch (info.type) {
    case KeyType::Char: {
      if (!v.isChar()) throw Error(ErrorKind::Argument, "Data type error", "key", table_->path());
      if (prefix) return v.str().substr(0, size_t(info.keyLen));
      return encodeCharKey(v.str(), info.keyLen);
    }
    case KeyType::Num:
      if (!v.isNum()) throw Error(ErrorKind::Argument, "Data type error", "key", table_->path());
      return encodeNumKey(v.num());
    case KeyType::Date:
      if (!v.isDate()) throw Error(ErrorKind::Argument, "Data type error", "key", table_->path());
      return encodeDateKey(v.date());
    case KeyType::Logical:
      if (!v.isLogical()) throw Error(ErrorKind::Argument, "Data type error", "key", table_->path());
      return encodeLogicalKey(v.logical());
  }
  return {};
}

std::string WorkArea::makeKey(OpenTag& t) {
  const TagInfo& info = t.info();
  const uint8_t* rec = table_->recordBytes();
  switch (t.key.kind) {
    case KeyRecipe::Kind::Bytes: {
      std::string k;
      k.reserve(size_t(info.keyLen));
      for (auto& p : t.key.pieces) k.append(reinterpret_cast<const char*>(rec) + p.offset, p.len);
      k.resize(size_t(info.keyLen), ' ');
      return k;
    }
    case KeyRecipe::Kind::NumField:
      return encodeNumKey(readFieldValue(table_->field(t.key.field), rec).num());
    case KeyRecipe::Kind::DateField:
      return encodeDateKey(readFieldValue(table_->field(t.key.field), rec).date());
    case KeyRecipe::Kind::Expression:
      break;
  }
  Value v = inArea(owner_, number_, [&] { return rt::eval(t.key.expr); });
  return encodeValue(v, info, false);
}

bool WorkArea::included(OpenTag& t) {
  if (t.forExpr.empty()) return true;
  Value v = inArea(owner_, number_, [&] { return rt::eval(t.forExpr); });
  return v.isLogical() && v.logical();
}

std::string WorkArea::currentKey(int n) {
  if (n < 1 || n > orderCount()) return {};
  return makeKey(tags_[size_t(n - 1)]);
}

KeyType WorkArea::probeType(const std::string& keyText, int& len) {
  KeyRecipe r = recipeFor(keyText);
  switch (r.kind) {
    case KeyRecipe::Kind::Bytes:
      len = 0;
      for (auto& p : r.pieces) len += int(p.len);
      return KeyType::Char;
    case KeyRecipe::Kind::NumField:
      len = kNumKeyLen;
      return KeyType::Num;
    case KeyRecipe::Kind::DateField:
      len = kNumKeyLen;
      return KeyType::Date;
    case KeyRecipe::Kind::Expression:
      break;
  }
  Value v = inArea(owner_, number_, [&] { return rt::eval(r.expr); });
  switch (v.type()) {
    case Type::Char:
      len = int(v.str().size());
      if (len == 0 || len > 240)
        throw Error(ErrorKind::Argument, "Invalid key length " + std::to_string(len), "ORDCREATE", table_->path());
      return KeyType::Char;
    case Type::Num: len = kNumKeyLen; return KeyType::Num;
    case Type::Date: len = kNumKeyLen; return KeyType::Date;
    case Type::Logical: len = kLogicalKeyLen; return KeyType::Logical;
    default:
      throw Error(ErrorKind::Argument, "Invalid key type", "ORDCREATE", table_->path());
  }
}

// --- bags and the order list ---

KeyType WorkArea::storedTagType(const TagInfo& info, const std::string& bagPath) {
  auto foreign = [&](const std::string& why) {
    return Error(ErrorKind::Corrupt,
                 "Corruption detected: tag " + info.name + " " + why + "; the index belongs to another table",
                 "open", bagPath);
  };
  auto namesMissingField = [](const Error& e) {
    return e.kind() == ErrorKind::NoVariable || e.kind() == ErrorKind::NoField;
  };
  int len = 0;
  KeyType type = KeyType::Char;
  try {
    type = probeType(info.keyExpr, len);
  } catch (const Error& e) {
    if (namesMissingField(e)) throw foreign("names " + e.operation() + ", a field the table does not have");
    // A key reading an area not open yet, or text that does not parse (reported with the tag).
    return KeyType::Char;
  }
  if (!trim(info.forExpr).empty()) {
    try {
      const Expr condition = compile(info.forExpr);
      inArea(owner_, number_, [&] { return rt::eval(condition); });
    } catch (const Error& e) {
      if (namesMissingField(e)) throw foreign("has a FOR condition naming " + e.operation() + ", a field the table does not have");
    }
  }
  // A character key made by an expression varies in length (TRIM, ALLTRIM, DTOC under another
  // date format): every engine pads or cuts it to the stored length, so only a key of plain fields,
  // whose length the fields fix, and the fixed lengths of the other key types tell another table.
  const bool lengthVaries = type == KeyType::Char && recipeFor(info.keyExpr).kind == KeyRecipe::Kind::Expression;
  if (!lengthVaries && keyLengthFor(type, len) != info.keyLen)
    throw foreign("stores keys of " + std::to_string(info.keyLen) + " bytes, its key makes " +
                  std::to_string(keyLengthFor(type, len)));
  return type;
}

OpenTag WorkArea::makeOpenTag(CdxBag* bag, CdxTag* tag) {
  OpenTag t;
  t.bag = bag;
  t.tag = tag;
  try {
    t.key = recipeFor(tag->info().keyExpr);
    if (!trim(tag->info().forExpr).empty()) t.forExpr = compile(tag->info().forExpr);
  } catch (const Error& e) {
    // A tag whose stored expression does not even parse was damaged on the disk.
    if (e.kind() != ErrorKind::Syntax) throw;
    throw Error(ErrorKind::Corrupt,
                "Corruption detected: the expression of tag " + tag->info().name + " does not parse",
                "open", bag->path());
  }
  return t;
}

bool WorkArea::rebuildTagList() {
  const bool controlled = order_ > 0 && size_t(order_) <= tags_.size();
  const CdxBag* currentBag = controlled ? controllingTag().bag : nullptr;
  const std::string currentName = controlled ? controllingTag().info().name : std::string();
  std::vector<OpenTag> previous = std::move(tags_);
  tags_.clear();
  order_ = 0;
  auto sameDefinition = [](const TagInfo& a, const TagInfo& b) {
    return a.keyExpr == b.keyExpr && a.forExpr == b.forExpr && a.keyLen == b.keyLen && a.type == b.type;
  };
  for (auto& b : bags_)
    for (int i = 0; i < b->tagCount(); ++i) {
      CdxTag* tag = &b->tag(i);
      auto kept = std::find_if(previous.begin(), previous.end(), [&](const OpenTag& o) { return o.tag == tag; });
      if (kept != previous.end()) {
        tags_.push_back(std::move(*kept));
      } else {
        tags_.push_back(makeOpenTag(b.get(), tag));
        // The same tag built anew (another process's REINDEX): a pending change's old key holds.
        auto was = std::find_if(previous.begin(), previous.end(), [&](const OpenTag& o) {
          return o.tag && o.bag == b.get() && o.tag->info().name == tag->info().name && sameDefinition(o.tag->info(), tag->info());
        });
        if (was != previous.end()) {
          tags_.back().oldKey = was->oldKey;
          tags_.back().oldIncluded = was->oldIncluded;
          tags_.back().oldKnown = was->oldKnown;
        }
      }
      if (b.get() == currentBag && tag->info().name == currentName) order_ = int(tags_.size());
    }
  tagListsSeen_ = tagListsVersion();
  cursor_.reset();
  cursorSynced_ = false;
  return !controlled || order_ > 0;
}

uint64_t WorkArea::tagListsVersion() const {
  uint64_t v = 0;
  for (auto& b : bags_) v += b->tagListVersion();
  return v;
}

void WorkArea::followTagLists() {
  if (tagListsVersion() == tagListsSeen_) return;
  const std::string controlling = order_ > 0 ? controllingTag().info().name : std::string();
  const std::string bag = order_ > 0 ? controllingTag().bag->path() : std::string();
  if (rebuildTagList()) return;
  lostOrder_ = controlling;
  lostOrderBag_ = bag;
}

void WorkArea::removeRecord(OpenTag& t, uint32_t recno) {
  auto c = t.tag->cursor();
  for (bool ok = c->first(); ok && c->valid(); ok = c->next())
    if (c->recno() == recno) {
      t.tag->remove(std::string(c->key()), recno);
      return;
    }
}

void WorkArea::loadBag(std::unique_ptr<CdxBag> bag) {
  bags_.push_back(std::move(bag));
  rebuildTagList();
}

void WorkArea::addBag(const std::string& path) {
  for (auto& b : bags_)
    if (sameFile(b->path(), path)) return;  // already open
  auto access = table_->readOnly() ? File::Access::ReadOnly : File::Access::ReadWrite;
  auto resolver = [this, path](const TagInfo& info) { return storedTagType(info, path); };
  bool hadOrders = !tags_.empty();
  size_t first = tags_.size();
  bool structural = sameFile(path, structuralPath(table_->path()));
  loadBag(CdxBag::open(path, access, resolver));
  structural_.push_back(structural);
  // A mark without the structural bag's witness was written back by another engine (see
  // CdxBag::setWriteWitness), not left by a writer of ours that died; the witness without the
  // mark is a write of ours whose mark another engine took off (see checkInterruptedWrite).
  if (structural && witnessLeftByTheDead(*bags_.back())) {
    stale_ = true;
    staleBag_ = path;
  }
  if (!hadOrders && tags_.size() > first && !structural) setOrder(int(first) + 1);
}

// In shared use the witness is on while a writer of another process changes keys under the
// structural index's lock: only under that lock does it tell of a writer that died. A lock held
// elsewhere is a live writer's (it dies with its process), so it is not waited for; a later write
// looks again under it.
bool WorkArea::witnessLeftByTheDead(CdxBag& structuralBag) {
  if (!structuralBag.writeWitnessed()) return false;
  if (!table_->shared()) return true;
  File& index = structuralBag.pager().file();
  if (!index.lockRange(kIndexFileLock.offset, kIndexFileLock.length, false)) return false;
  const bool left = structuralBag.writeWitnessed();
  index.unlockRange(kIndexFileLock.offset, kIndexFileLock.length);
  return left;
}

void WorkArea::clearBags(bool keepStructural) {
  commit();
  std::vector<std::unique_ptr<CdxBag>> kept;
  std::vector<bool> keptFlags;
  for (size_t i = 0; i < bags_.size(); ++i) {
    if (keepStructural && structural_[i]) {
      kept.push_back(std::move(bags_[i]));
      keptFlags.push_back(true);
    } else {
      bags_[i]->close();
    }
  }
  bags_ = std::move(kept);
  structural_ = std::move(keptFlags);
  if (bags_.empty()) stale_ = false;
  order_ = 0;
  rebuildTagList();
}

void WorkArea::setOrder(int n) {
  if (n < 0 || n > orderCount()) throw Error(ErrorKind::Argument, "Argument error", "ORDSETFOCUS", table_->path());
  if (n > 0) checkStale();
  order_ = n;
  cursor_.reset();
  cursorSynced_ = false;
}

int WorkArea::orderByName(std::string_view tagName) const {
  std::string want = upperName(trim(tagName));
  for (size_t i = 0; i < tags_.size(); ++i)
    if (upperName(tags_[i].tag->info().name) == want) return int(i) + 1;
  return 0;
}

const TagInfo* WorkArea::orderInfo(int n) const {
  if (n < 1 || n > orderCount()) return nullptr;
  return &tags_[size_t(n - 1)].tag->info();
}

std::string WorkArea::orderBag(int n) const {
  if (n < 1 || n > orderCount()) return {};
  return tags_[size_t(n - 1)].bag->path();
}

void WorkArea::checkStale() const {
  if (stale_)
    throw Error(ErrorKind::Corrupt,
                "Corruption detected: the index does not match its table (an earlier write was interrupted); "
                "rebuild it with DBREINDEX",
                "index", staleBag_);
}

void WorkArea::fillBatch(OpenTag& t, KeyBatch& batch, const std::function<void(uint64_t)>& progress, uint64_t every) {
  keysIncluded_ = 0;
  const uint32_t total = table_->recCount();
  batch.reserve(total);
  uint64_t done = 0;
  auto tick = [&] {
    ++done;
    if (progress && every && done % every == 0) progress(done);
  };
  if (t.forExpr.empty() && t.key.kind != KeyRecipe::Kind::Expression) {
    // Straight from the record bytes, in long reads.
    const int keyLen = batch.keyLen();
    const FieldDescriptor* fd = t.key.kind == KeyRecipe::Kind::Bytes ? nullptr : &table_->field(t.key.field);
    table_->scan([&](uint32_t recno, const uint8_t* rec) {
      char* slot = batch.addSlot(recno);
      switch (t.key.kind) {
        case KeyRecipe::Kind::Bytes: {
          int at = 0;
          for (auto& p : t.key.pieces) {
            int n = std::min<int>(int(p.len), keyLen - at);
            if (n <= 0) break;
            std::memcpy(slot + at, rec + p.offset, size_t(n));
            at += n;
          }
          break;
        }
        case KeyRecipe::Kind::NumField:
          encodeNumKeyInto(readFieldValue(*fd, rec).num(), slot);
          break;
        case KeyRecipe::Kind::DateField: {
          std::string k = encodeDateKey(readFieldValue(*fd, rec).date());
          std::memcpy(slot, k.data(), k.size());
          break;
        }
        default:
          break;
      }
      ++keysIncluded_;
      tick();
    });
  } else {
    uint32_t keep = table_->recno();
    for (uint32_t r = 1; r <= total; ++r) {
      table_->goTo(r);
      if (!relations_.empty()) settle();  // keys may read related areas (main->nr_pseudo)
      if (included(t)) {
        batch.add(makeKey(t), r);
        ++keysIncluded_;
      }
      tick();
    }
    table_->goTo(keep);
    if (!relations_.empty()) settle();
  }
  if (progress) progress(done);
}

void WorkArea::createTag(const std::string& bagPath, const std::string& tagName, const std::string& keyText,
                         const CreateTagOptions& options) {
  table_->flush();
  std::string path = bagPath.empty() ? structuralPath(table_->path()) : bagPath;
  std::string name = tagName;
  if (name.empty()) {
    size_t slash = path.find_last_of('/');
    name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    size_t dot = name.find('.');
    if (dot != std::string::npos) name.resize(dot);
  }
  name = upperName(trim(name)).substr(0, 10);
  if (name.empty()) throw Error(ErrorKind::Argument, "Argument error: tag name", "ORDCREATE", path);

  // Type and length from the key on the current record (blank at the end of the table).
  int keyLen = 0;
  KeyType type = probeType(keyText, keyLen);
  TagInfo info;
  info.name = name;
  info.keyExpr = keyText;
  info.forExpr = options.forText;
  info.type = type;
  info.keyLen = keyLengthFor(type, keyLen);
  info.unique = options.unique || context().settings.unique;
  info.descending = options.descending;

  CdxBag* bag = nullptr;
  for (auto& b : bags_)
    if (sameFile(b->path(), path)) bag = b.get();
  bool structural = sameFile(path, structuralPath(table_->path())) || bagPath.empty();
  if (!bag) {
    std::unique_ptr<CdxBag> fresh;
    if (exists(path)) {
      auto resolver = [this, path](const TagInfo& ti) { return storedTagType(ti, path); };
      fresh = CdxBag::open(path, File::Access::ReadWrite, resolver);
    } else {
      fresh = CdxBag::create(path, structural);
      if (structural) table_->markStructuralIndex();
      if (structural && table_->markedInProgress()) fresh->setWriteWitness(true);
    }
    bag = fresh.get();
    bags_.push_back(std::move(fresh));
    structural_.push_back(structural);
  }
  OpenTag probe;
  probe.key = recipeFor(keyText);
  probe.pending = info;
  if (!trim(options.forText).empty()) probe.forExpr = compile(options.forText);
  KeyBatch batch(info.keyLen, keyFillByte(info.type));
  fillBatch(probe, batch, options.progress, options.every);
  BagChange change(*table_, *bag);
  CdxTag& tag = bag->addTag(info, batch);
  bag->flush();
  if (structural && stale_ && sameFile(path, staleBag_)) {
    // Every tag of the bag must be rebuilt before it is trusted again: leave that to reindex().
  }
  rebuildTagList();
  for (size_t i = 0; i < tags_.size(); ++i)
    if (tags_[i].tag == &tag) order_ = int(i) + 1;
  cursor_.reset();
  cursorSynced_ = false;
  goTop();
}

bool WorkArea::destroyTag(std::string_view tagName) {
  int n = orderByName(tagName);
  if (n == 0) return false;
  CdxBag* bag = tags_[size_t(n - 1)].bag;
  bool wasCurrent = n == order_;
  bool ok;
  {
    BagChange change(*table_, *bag);
    ok = bag->removeTag(tags_[size_t(n - 1)].tag->info().name);
    bag->flush();
  }
  if (wasCurrent) order_ = 0;
  rebuildTagList();
  return ok;
}

// A failure or a kill leaves the old index whole: in exclusive use every bag is built beside the
// old one and renamed over it; in shared use, where other processes keep the file open, the new
// trees are built inside it and put in use by one header write (CdxBag::reindex).
void WorkArea::rebuildBags() {
  for (auto& b : bags_) {
    BagChange change(*table_, *b);
    b->reindex([&](const TagInfo& info, KeyBatch& batch) {
      OpenTag probe;
      probe.key = recipeFor(info.keyExpr);
      probe.pending = info;
      if (!trim(info.forExpr).empty()) probe.forExpr = compile(info.forExpr);
      fillBatch(probe, batch, {}, 0);
    }, !table_->shared());
    b->flush();
  }
  rebuildTagList();
}

void WorkArea::reindex() {
  table_->flush();
  table_->flushData();
  if (!table_->shared()) {
    // The new index is synced: until it is in place the old one must be flagged, whatever of the
    // records reached the disk. So the table is marked as a write in progress, durably, and the
    // witness that tells the mark ours is on the disk before it. (Shared use syncs nothing, as an
    // ordinary write.)
    setStructuralWitness(true, true);
    table_->markDurably();
  }
  rebuildBags();
  if (stale_) {
    stale_ = false;
    table_->clearInterruptedWrite();
  }
  goTop();
}

// --- index maintenance ---

void WorkArea::beforeChange(DbfTable&) {
  if (tags_.empty()) return;
  checkStale();
  for (auto& t : tags_) {
    t.oldIncluded = included(t);
    if (t.oldIncluded) t.oldKey = makeKey(t);
    t.oldKnown = true;
  }
}

bool WorkArea::indexesChange(DbfTable&) {
  for (auto& t : tags_) {
    const bool in = included(t);
    if (in != t.oldIncluded || (in && makeKey(t) != t.oldKey)) return true;
  }
  return false;
}

CdxBag* WorkArea::structuralBag() const {
  for (size_t i = 0; i < bags_.size(); ++i)
    if (structural_[i]) return bags_[i].get();
  return nullptr;
}

void WorkArea::setStructuralWitness(bool on, bool durable) {
  for (size_t i = 0; i < bags_.size(); ++i)
    if (structural_[i]) bags_[i]->setWriteWitness(on, durable);
}

bool WorkArea::writeWitnessed(DbfTable&) {
  const CdxBag* bag = structuralBag();
  return bag && bag->writeWitnessed();
}

bool WorkArea::indexLocksGuardMark(DbfTable&) { return structuralBag() != nullptr; }

void WorkArea::afterWrite(DbfTable& table, bool appended) {
  if (tags_.empty()) return;
  if (table.shared()) {
    for (auto& b : bags_) b->refresh();
    followTagLists();
  }
  const uint32_t recno = table.recno();
  for (auto& t : tags_) {
    bool in = included(t);
    std::string key = in ? makeKey(t) : std::string();
    if (appended) {
      if (in) t.tag->insert(key, recno);
      continue;
    }
    if (!t.oldKnown) {
      // Made by another process after this change began, from the record as it was on the disk.
      removeRecord(t, recno);
      if (in) t.tag->insert(key, recno);
      continue;
    }
    bool same = in && t.oldIncluded && key == t.oldKey;
    if (same) continue;
    if (t.oldIncluded) t.tag->remove(t.oldKey, recno);
    if (in) t.tag->insert(key, recno);
  }
  if (table.shared())
    for (auto& b : bags_) b->flush();
  cursorSynced_ = false;
}

void WorkArea::afterRestructure(DbfTable&) { rebuildBags(); }

bool WorkArea::toleratesInterruptedWrite(DbfTable&) {
  const CdxBag* bag = structuralBag();
  return bag ? !bag->writeWitnessed() : bags_.empty();
}

void WorkArea::writeInProgress(DbfTable&, bool on) { setStructuralWitness(on); }

}  // namespace rt::db
