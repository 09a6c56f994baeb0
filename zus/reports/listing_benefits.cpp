// G_WYDR_ZAS: the benefit listing of one row per benefit.
#include "zus/reports/listing_benefits.h"

#include <algorithm>
#include <filesystem>

#include "runtime/core/expr.h"
#include "runtime/db/work_areas.h"
#include "zus/reports/listing_catalogue.h"
#include "zus/reports/listing_support.h"
#include "zus/shell/settings_support.h"

namespace zus {
namespace {

using listing::call;
using listing::num;
using listing::txt;
using listing::vars;

// The temporary bag: a leftover of an ended process with the same number is erased before the
// run builds its tags; the bag is erased again when the guard goes, after the set has closed.
class TemporaryBag {
 public:
  explicit TemporaryBag(std::string path) : path_(std::move(path)) { erase(); }
  ~TemporaryBag() { erase(); }
  TemporaryBag(const TemporaryBag&) = delete;
  TemporaryBag& operator=(const TemporaryBag&) = delete;
  const std::string& path() const { return path_; }

 private:
  void erase() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  std::string path_;
};

// A progress window, closed with ZWIN.
class ProgressWindow {
 public:
  ProgressWindow() : handle_(call("INITPROGRES")) {}
  ~ProgressWindow() {
    try {
      call("ZWIN", {handle_});
    } catch (...) {
    }
  }
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

 private:
  rt::Value handle_;
};

// Builds the tags "jeden" and "dwa" on NIEOBEC (selected, related to MAIN) in the bag; returns
// the number of orders NIEOBEC had before. One bar runs over both tags, moved once per hundredth
// of the records.
int buildTemporaryTags(const std::string& bagPath) {
  settings::WaitMessage working("przygotowanie danych");
  ProgressWindow progress;
  rt::db::WorkArea& nieobec = rt::db::workAreas().need("G_WYDR_ZAS");
  const int ordersBefore = nieobec.orderCount();
  const uint64_t records = nieobec.table().recCount();
  const double total = double(records) * 2;
  rt::db::CreateTagOptions options;
  options.every = std::max<uint64_t>(1, records / 100);
  options.progress = [&](uint64_t done) { call("GOPROGRES", {num(double(done)), num(total)}); };
  nieobec.createTag(bagPath, "jeden", "main->nr_pseudo + DTOS(nieobec->do)", options);
  options.progress = [&](uint64_t done) { call("GOPROGRES", {num(double(records + done)), num(total)}); };
  nieobec.createTag(bagPath, "dwa", "main->nr_pseudo + DTOS(nieobec->dat_wyp)", options);
  return ordersBefore;
}

rt::Value display(const std::string& stored) { return txt(settings::display(stored)); }

rt::Value orderBlock(int order) { return listing::constantBlock(num(order)); }

}  // namespace

std::string temporaryBagPath() {
  std::string name = call("NAZWA_PROCESU").strOr("zus") + "z.cdx";
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  return ec ? name : (dir / name).string();
}

void PRZYG_WYD() { listing::publishCatalogue(listing::benefitCatalogue(listing::mainFactsFromVars())); }

rt::Value MY_FUN_G() {
  listing::setTaxOfCurrentBenefit();
  return listing::employeeVisible() ? rt::Value::logical(false) : txt("T");
}

void G_WYDR_ZAS() {
  listing::AreaGuard area;
  rt::PrivateFrame frame(vars());
  listing::declareRunVariables();
  vars().declarePrivate("kod", num(1));
  TemporaryBag bag(temporaryBagPath());
  listing::TableSet set("MAIN|SLOWNIK|NIEOBEC", "SSS", "MAIN", /*sayWhy=*/true);
  if (!set.open()) return;

  call("DBSELECTAREA", {txt("main")});
  call("ORDSETFOCUS", {txt("MAINPRAC")});
  listing::MainFacts facts = listing::readMainFacts();
  listing::publishMainFacts(facts);

  call("DBSELECTAREA", {txt("nieobec")});
  call("DBCLEARRELATION");
  call("DBSETRELATION", {txt("main"), listing::exprBlock("nieobec->nr_prac"), txt("nieobec->nr_prac")});
  call("DBGOTOP");

  int ordersBefore = 0;
  if (facts.pseudo) ordersBefore = buildTemporaryTags(bag.path());

  if (call("EOF").logicalOr(true)) {
    call("KOM3", {txt("Baza zasil`ko`w jest pusta !"), num(0), num(0), num(3)});
    call("DBSELECTAREA", {txt("nieobec")});
    call("DBCLEARRELATION");
    return;
  }

  vars().declarePrivate("wartosci", rt::Value::newArray(0));
  vars().declarePrivate("typy", rt::Value::newArray(0));
  vars().declarePrivate("naglowki", rt::Value::newArray(0));
  vars().declarePrivate("extension", txt(".ZUS"));
  PRZYG_WYD();

  rt::Value browse = rt::Value::newArray(0), browseNames = rt::Value::newArray(0);
  auto addBrowse = [&](const char* value, const char* heading) {
    browse.arr().push_back(listing::exprBlock(value));
    browseNames.arr().push_back(txt(heading));
  };
  addBrowse("main->nr_prac", "Numer");
  if (facts.pseudo) addBrowse("main->nr_pseudo", "Nr dod.");
  addBrowse("main->nazwisko", "Nazwisko");
  addBrowse("main->imie", "Imie");
  addBrowse("nb_zas ( nieobec->zasilek )", "Zasil`ek");
  addBrowse("nieobec->do", "Data do");
  addBrowse("nieobec->dat_wyp", "Data wyp.");

  rt::Value orderNames = rt::Value::newArray(0), orderBlocks = rt::Value::newArray(0);
  auto addOrder = [&](const char* name, int order) {
    orderNames.arr().push_back(display(name));
    orderBlocks.arr().push_back(orderBlock(order));
  };
  addOrder("Wedl`ug nr pracownika i daty do", 1);
  addOrder("Wedl`ug nr L-4", 2);
  addOrder("Wedl`ug nr pracownika i daty wypl`aty", 3);
  if (facts.pseudo) {
    addOrder("Wedl`ug nr dod.pracownika i daty do", ordersBefore + 1);
    addOrder("Wedl`ug nr dod.pracownika i daty wyp.", ordersBefore + 2);
  }

  call("CMFILTER", {txt("nieobec->nr_prac < 'dummy'")});
  call("DBGOTOP");
  rt::Value callback = rt::Value::block(
      rt::nativeBlock([](std::vector<rt::Value>&) { return MY_FUN_G(); }, "{|| my_fun_g() }"));
  call("GENERUJ",
       {num(8), rt::Value(), vars().get("wartosci"), vars().get("typy"), vars().get("naglowki"), rt::Value(),
        txt("Zestawienie zasil`ko`w ZUS"), orderBlocks, orderNames, browse, browseNames,
        listing::constantBlock(txt("")), listing::constantBlock(rt::Value::logical(true)),
        txt("  1  2  3  0  4  5  6  7  8  9 10"), callback, txt(""), txt("")});
  call("DBSELECTAREA", {txt("nieobec")});
  call("CMFILTER");
  call("DBCLEARRELATION");
}

void registerBenefitListing() {
  rt::Functions& f = rt::functions();
  f.add("G_WYDR_ZAS", [](rt::Args&) {
    G_WYDR_ZAS();
    return rt::Value();
  });
  f.add("PRZYG_WYD", [](rt::Args&) {
    PRZYG_WYD();
    return rt::Value();
  });
  f.add("MY_FUN_G", [](rt::Args&) { return MY_FUN_G(); });
}

}  // namespace zus
