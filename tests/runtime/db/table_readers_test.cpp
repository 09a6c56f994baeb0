// A table with memos and its structural index, written through work areas, read back by Perl
// XBase (tags, keys in order, record numbers) and python3-dbf (data and memos).
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::runCommand;
using testing::TempDir;

// Record numbers of a tag as Perl XBase lists them.
std::vector<uint32_t> perlRecnos(const std::string& cdx, const std::string& tag, const char* type) {
  std::string out = runCommand("perl -MXBase::Index -e '$t=XBase::Index->new(\"" + cdx + "\",tag=>\"" + tag +
                               "\",type=>\"" + type + "\") or die; $t->prepare_select; "
                               "while(($k,$r)=$t->fetch){print \"$r\\n\"}' 2>&1");
  std::vector<uint32_t> r;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) r.push_back(uint32_t(std::stoul(line)));
  return r;
}

std::vector<uint32_t> ourRecnos(WorkArea& w, int order) {
  w.setOrder(order);
  std::vector<uint32_t> r;
  for (w.goTop(); !w.eof(); w.skip(1)) r.push_back(w.recno());
  return r;
}

TEST(TableReaders, PerlXBaseAndPythonDbfReadWhatWorkAreasWrite) {
  registerStandardFunctions();
  context().settings.deleted = false;  // the other readers list every record
  TempDir dir;
  std::string path = dir.file("wyplaty.dbf");
  DbfTable::create(path, {{"NR_PRAC", 'C', 5, 0}, {"DO", 'D', 8, 0}, {"KW", 'N', 12, 2}, {"UW", 'M', 10, 0}});
  WorkArea& w = workAreas().use(path, {});
  std::mt19937 rng(7);
  const int kRecords = 3000;  // enough keys for interior pages in every tag
  for (int n = 1; n <= kRecords; ++n) {
    w.append();
    char nr[8];
    std::snprintf(nr, sizeof nr, "%5d", n % 700);
    w.put(0, Value::text(nr));
    w.put(1, Value::date(n % 13 == 0 ? 0 : makeDate(2020, 1, 1) + int32_t(rng() % 2000)));
    w.put(2, Value::number(double(int64_t(rng() % 2000000) - 1000000) / 100.0, 2));
    if (n % 10 == 0) w.put(3, Value::text("uwaga " + std::to_string(n)));
  }
  w.createTag("", "NRP", "nr_prac+DTOS(do)");
  w.createTag("", "KWOTA", "kw");
  w.createTag("", "DATA", "do");
  CreateTagOptions plus;
  plus.forText = "kw > 0";
  w.createTag("", "DODATNIE", "nr_prac", plus);
  // Keys deleted and inserted again by writes.
  for (uint32_t r = 5; r <= 3000; r += 37) {
    w.goTo(r);
    w.put(0, Value::text("    0"));
    w.put(2, Value::number(-w.get(2).num(), 2));
  }
  w.commit();
  std::vector<uint32_t> nrp = ourRecnos(w, 1), kwota = ourRecnos(w, 2), data = ourRecnos(w, 3), plusOnly = ourRecnos(w, 4);
  workAreas().closeAll();

  std::string cdx = dir.file("wyplaty.cdx");
  std::string tags = runCommand("perl -MXBase::Index -e '$i=XBase::Index->new(\"" + cdx +
                                "\",type=>\"C\"); print join(\",\",$i->tags),\"\\n\"' 2>&1");
  EXPECT_EQ(tags, "DATA,DODATNIE,KWOTA,NRP\n");
  EXPECT_EQ(perlRecnos(cdx, "NRP", "C"), nrp);
  EXPECT_EQ(perlRecnos(cdx, "KWOTA", "N"), kwota);
  EXPECT_EQ(perlRecnos(cdx, "DATA", "C"), data);
  EXPECT_EQ(perlRecnos(cdx, "DODATNIE", "C"), plusOnly);
  EXPECT_LT(plusOnly.size(), size_t(kRecords));
  EXPECT_EQ(nrp.size(), size_t(kRecords));

  // python3-dbf: the memos and a few fields of the same table.
  std::string py = runCommand("/usr/bin/python3 -c \"import dbf; t=dbf.Table('" + path +
                              "', default_data_types={'C': str}); t.open(); "
                              "print(len(t), repr(t[9].uw), repr(t[699].nr_prac), repr(t[0].uw))\" 2>&1");
  EXPECT_EQ(py, "3000 'uwaga 10' '    0' ''\n");
}

}  // namespace
}  // namespace rt::db
