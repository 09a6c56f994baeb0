// Compound index micro-benchmark: the index side of the table workload (bench-workload phases
// W2-W6) on the same keys, without the table. Builds TAG1 (NR_PRAC+DTOS(DO), 13 bytes), TAG2
// (KW, numeric) and TAG3 (NAZW, 30 bytes) over 1,000,000 records, reopens the file and seeks
// 200,000 TAG1 keys, walks TAG1, inserts the keys of 100,000 more records, then changes 50,000
// TAG2 keys with a flush and a refresh around each, and checks the expected first and last keys.
//
// Usage: cdx_bench [directory]   (default: /tmp)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <sys/resource.h>
#include <time.h>

#include "runtime/db/cdx_bag.h"
#include "runtime/db/cdx_keys.h"

using namespace rt::db;

namespace {

struct Minstd {
  uint64_t s;
  uint32_t draw(uint32_t n) {
    s = s * 48271 % 2147483647;
    return uint32_t(s % n);
  }
};

struct Record {
  char tag1[13];
  double kw;
  char nazw[30];
};

constexpr int32_t kJan2020 = 2458850;  // Julian day of 2020-01-01

void makeRecords(std::vector<Record>& out, Minstd& rng, const std::string& pool, uint32_t from, uint32_t to) {
  for (uint32_t n = from; n <= to; ++n) {
    Record r;
    char nr[8];
    std::snprintf(nr, sizeof nr, "%5u", n % 20000);
    const int32_t od = kJan2020 + int32_t(rng.draw(2557));
    const int32_t dO = od + int32_t(rng.draw(31));
    r.kw = (double(rng.draw(5500001)) - 500000) / 100;
    const uint32_t a = rng.draw(4082), b = rng.draw(4082);
    if (n % 100 == 0) rng.draw(3897);
    std::memcpy(r.tag1, nr, 5);
    std::memcpy(r.tag1 + 5, keyToText(encodeDateKey(dO), KeyType::Date).data(), 8);
    std::memcpy(r.nazw, pool.data() + a, 15);
    std::memcpy(r.nazw + 15, pool.data() + b, 15);
    out.push_back(r);
  }
}

double msSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Processor time of this process (user and system), shown beside the wall time because shared
// machines stretch wall times.
double cpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

KeyType typeOf(const TagInfo& info) { return info.keyExpr == "KW" ? KeyType::Num : KeyType::Char; }

bool check(bool ok, const char* what) {
  if (!ok) std::printf("CHECK FAILED: %s\n", what);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = std::string(argc > 1 ? argv[1] : "/tmp") + "/cdx_bench.cdx";
  Minstd rng{12345};
  std::string pool;
  for (int i = 0; i < 4096; ++i) pool += char('A' + rng.draw(26));
  std::vector<Record> recs;
  recs.reserve(1100000);
  makeRecords(recs, rng, pool, 1, 1000000);
  Minstd rng2{34567};
  makeRecords(recs, rng2, pool, 1000001, 1100000);
  auto rec = [&](uint32_t n) -> Record& { return recs[n - 1]; };
  bool ok = true;

  // W2: three tags built from their entries.
  auto t0 = std::chrono::steady_clock::now();
  double c0 = cpuMs();
  {
    auto bag = CdxBag::create(path);
    const TagInfo infos[] = {{"TAG1", "NR_PRAC+DTOS(DO)", "", KeyType::Char, 13, false, false},
                             {"TAG2", "KW", "", KeyType::Num, 8, false, false},
                             {"TAG3", "NAZW", "", KeyType::Char, 30, false, false}};
    for (const auto& info : infos) {
      auto t = std::chrono::steady_clock::now();
      KeyBatch batch(info.keyLen, keyFillByte(info.type));
      batch.reserve(1000000);
      for (uint32_t n = 1; n <= 1000000; ++n) {
        char* slot = batch.addSlot(n);
        if (info.name == "TAG1") std::memcpy(slot, rec(n).tag1, 13);
        else if (info.name == "TAG2") encodeNumKeyInto(rec(n).kw, slot);
        else std::memcpy(slot, rec(n).nazw, 30);
      }
      bag->addTag(info, batch);
      std::printf("W2 %s %.0f ms\n", info.name.c_str(), msSince(t));
    }
    bag->close();
  }
  std::printf("W2 total %.0f ms (cpu %.0f ms)\n", msSince(t0), cpuMs() - c0);

  // W3: seeks of full TAG1 keys.
  t0 = std::chrono::steady_clock::now();
  c0 = cpuMs();
  {
    auto bag = CdxBag::open(path, File::Access::ReadWrite, typeOf);
    auto cursor = bag->find("TAG1")->cursor();
    Minstd seeks{23456};
    int found = 0;
    for (int i = 0; i < 200000; ++i)
      found += cursor->seek(std::string_view(rec(1 + seeks.draw(1000000)).tag1, 13));
    std::printf("W3 %.0f ms (cpu %.0f ms, %d found)\n", msSince(t0), cpuMs() - c0, found);
    ok &= check(found == 200000, "W3 finds every key");

    // W4: walk TAG1 from the top.
    t0 = std::chrono::steady_clock::now();
    c0 = cpuMs();
    uint64_t count = 0;
    for (bool more = cursor->first(); more; more = cursor->next()) ++count;
    std::printf("W4 %.0f ms (cpu %.0f ms, %llu keys)\n", msSince(t0), cpuMs() - c0, (unsigned long long)count);
    ok &= check(count == 1000000, "W4 counts 1,000,000");

    // W5: keys of 100,000 appended records.
    t0 = std::chrono::steady_clock::now();
    c0 = cpuMs();
    CdxTag& tag1 = *bag->find("TAG1");
    CdxTag& tag2 = *bag->find("TAG2");
    CdxTag& tag3 = *bag->find("TAG3");
    char num[8];
    for (uint32_t n = 1000001; n <= 1100000; ++n) {
      tag1.insert(std::string_view(rec(n).tag1, 13), n);
      encodeNumKeyInto(rec(n).kw, num);
      tag2.insert(std::string_view(num, 8), n);
      tag3.insert(std::string_view(rec(n).nazw, 30), n);
    }
    bag->close();
    std::printf("W5 %.0f ms (cpu %.0f ms)\n", msSince(t0), cpuMs() - c0);
  }

  // W6: numeric key changes, each published with a flush and preceded by a refresh.
  t0 = std::chrono::steady_clock::now();
  c0 = cpuMs();
  {
    auto bag = CdxBag::open(path, File::Access::ReadWrite, typeOf);
    CdxTag& tag2 = *bag->find("TAG2");
    Minstd upd{45678};
    char oldKey[8], newKey[8];
    for (int i = 0; i < 50000; ++i) {
      bag->refresh();
      Record& r = rec(1 + upd.draw(1100000));
      const double kw = (double(upd.draw(5500001)) - 500000) / 100;
      encodeNumKeyInto(r.kw, oldKey);
      encodeNumKeyInto(kw, newKey);
      if (!tag2.remove(std::string_view(oldKey, 8), uint32_t(&r - recs.data() + 1))) ok = check(false, "W6 old key");
      tag2.insert(std::string_view(newKey, 8), uint32_t(&r - recs.data() + 1));
      r.kw = kw;
      bag->flush();
    }
    bag->close();
  }
  std::printf("W6 %.0f ms (cpu %.0f ms)\n", msSince(t0), cpuMs() - c0);

  auto bag = CdxBag::open(path, File::Access::ReadOnly, typeOf);
  auto c1 = bag->find("TAG1")->cursor();
  auto c2 = bag->find("TAG2")->cursor();
  ok &= check(c1->first() && c1->key() == "    020200208" && c1->recno() == 740000, "TAG1 first");
  ok &= check(c1->last() && c1->key() == "1999920270123" && c1->recno() == 859999, "TAG1 last");
  ok &= check(c2->first() && c2->recno() == 662863 && decodeNumKey(c2->key()) == -4999.99, "TAG2 first");
  ok &= check(c2->last() && c2->recno() == 954284 && decodeNumKey(c2->key()) == 49999.97, "TAG2 last");
  for (int i = 0; i < bag->tagCount(); ++i)
    ok &= check(bag->tag(i).countRange("", "") == 1100000, "1,100,000 keys per tag");
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory %ld MB (records kept for the checks included)\n", usage.ru_maxrss / 1024);
  std::remove(path.c_str());
  std::printf(ok ? "all checks passed\n" : "CHECKS FAILED\n");
  return ok ? 0 : 1;
}
