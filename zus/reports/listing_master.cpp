// G_WYDRZAS2: employees with their benefits.
#include "zus/reports/listing_master.h"

#include "runtime/core/expr.h"
#include "zus/reports/listing_catalogue.h"
#include "zus/reports/listing_support.h"
#include "zus/shell/settings_support.h"

namespace zus {
namespace {

using listing::call;
using listing::num;
using listing::txt;
using listing::varOr;
using listing::vars;

rt::Value nativeCall(rt::Value (*fn)(), const char* text) {
  return rt::Value::block(rt::nativeBlock([fn](std::vector<rt::Value>&) { return fn(); }, text));
}

rt::Value ustawPorz() { return rt::Value::logical(master_listing::USTAW_PORZ()); }
rt::Value getParDod() { return rt::Value::logical(master_listing::GETPARDOD()); }

rt::Value array(std::vector<rt::Value> items) {
  rt::Value a = rt::Value::newArray(0);
  a.arr() = std::move(items);
  return a;
}

}  // namespace

namespace master_listing {

bool GETPARDOD() {
  settings::OpenWindow window(-2, 10, 15, 13, 65, "Parametry dodatkowe", 38);
  settings::ColourSet colours(38);
  call("K_NORM");
  settings::say(12, 17, settings::display("Uporza`dkowanie zasil`ko`w wg: "));
  const int row = int(call("ROW").intOr(12)), col = int(call("COL").intOr(17));
  vars().assign("nporzadek", varOr("zusx_dt_obl", num(1)));
  rt::Value choices = array({txt(" daty do      "), txt(settings::display(" daty wypl`aty "))});
  int option = 1;
  for (;;) {
    while (option == 1) {
      settings::editChoice(row, col, "nporzadek", choices);
      if (settings::navigate(option, 1)) break;
    }
    if (option == 1) break;  // navigate put the option back on 1 when it closed the window
  }
  return true;
}

bool USTAW_PORZ() {
  listing::AreaGuard area;
  call("DBSELECTAREA", {txt("nieobec")});
  call("ORDSETFOCUS", {num(varOr("nporzadek").intOr(1) == 1 ? 1 : 3)});
  return true;
}

rt::Value MY_FUN_G1() {
  listing::setTaxOfCurrentBenefit();
  {
    listing::AreaGuard area;
    rt::Value employee = rt::evalText("main->nr_prac");
    call("DBSELECTAREA", {txt("nieobec")});
    call("DBSEEK", {employee});
  }
  return listing::employeeVisible() ? rt::Value::logical(false) : txt("T");
}

rt::Value TWORZ_TS() {
  rt::Value list = rt::Value::newArray(0);
  listing::TableSet status("STATUS", "S", "STATUS");
  if (!status.open()) return list;
  for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) {
    std::string code = call("LTRIM", {call("STR", {rt::evalText("kod_stat"), num(3)})}).strOr("");
    code.resize(3, ' ');
    list.arr().push_back(txt(code + rt::evalText("nazwa_stat").strOr("")));
  }
  return list;
}

}  // namespace master_listing

rt::Value NB_ZAS2(const rt::Value& kind, const rt::Value& shortOnly) {
  listing::AreaGuard area;
  listing::MainPosition position;
  return call("NB_ZAS", {kind, shortOnly});
}

void G_WYDRZAS2() {
  listing::AreaGuard area;
  rt::PrivateFrame frame(vars());
  listing::declareRunVariables();
  vars().declarePrivate("nporzadek", num(1));
  vars().declarePrivate("tbl_stat", rt::Value::newArray(0));
  vars().declarePrivate("kod", num(1));
  rt::Value statuses = master_listing::TWORZ_TS();
  vars().assign("tbl_stat", statuses);
  vars().get("t_glob").arr().push_back(statuses);

  listing::TableSet set("MAIN|SLOWNIK|NIEOBEC", "SSS", "MAIN", /*sayWhy=*/true);
  if (!set.open()) return;
  call("DBSELECTAREA", {txt("main")});
  call("ORDSETFOCUS", {txt("MAINPRAC")});
  listing::MainFacts facts = listing::readMainFacts();
  listing::publishMainFacts(facts);

  vars().declarePrivate("wartosci", rt::Value::newArray(0));
  vars().declarePrivate("typy", rt::Value::newArray(0));
  vars().declarePrivate("naglowki", rt::Value::newArray(0));
  vars().declarePrivate("extension", txt(".ZU2"));
  listing::publishCatalogue(listing::masterCatalogue(facts));

  // Each browse column stands under its own heading: the employee number under "Numer", the
  // additional number (when MAIN has it) under "Nr dod.", then the names.
  rt::Value browse = rt::Value::newArray(0), browseNames = rt::Value::newArray(0);
  browse.arr().push_back(listing::exprBlock("main->nr_prac"));
  if (facts.pseudo) browse.arr().push_back(listing::exprBlock("main->nr_pseudo"));
  for (const char* v : {"main->nazwisko", "main->imie"}) browse.arr().push_back(listing::exprBlock(v));
  browseNames.arr().push_back(txt("Numer"));
  if (facts.pseudo) browseNames.arr().push_back(txt("Nr dod."));
  for (const char* h : {"Nazwisko", "Imie", "Zasil`ek", "Data do", "Data wyp."})
    browseNames.arr().push_back(txt(h));

  rt::Value orderNames = rt::Value::newArray(0), orderBlocks = rt::Value::newArray(0);
  auto addOrder = [&](const char* name, int order) {
    orderNames.arr().push_back(txt(name));
    orderBlocks.arr().push_back(listing::constantBlock(num(order)));
  };
  const bool alpha = varOr("lum_alfa").logicalOr(false);
  if (alpha) {
    addOrder("Wg nazwiska i imienia", 2);
    addOrder("Wg numeru", 1);
    if (facts.pseudo) addOrder("Wg numeru dodatkowego", 3);
  } else {
    if (facts.pseudo) addOrder("Wg numeru dodatkowego", 3);
    addOrder("Wg numeru", 1);
    addOrder("Wg nazwiska i imienia", 2);
  }

  call("DBSELECTAREA", {txt("nieobec")});
  call("CMFILTER", {txt("nieobec->nr_prac < 'dummy'")});
  call("DBGOTOP");
  call("DBSELECTAREA", {txt("main")});

  rt::Args a;
  for (rt::Value v : {num(8),
                      rt::Value(),
                      vars().get("wartosci"),
                      vars().get("typy"),
                      vars().get("naglowki"),
                      rt::Value(),
                      txt("Zestawienie zasil`ko`w ZUS"),
                      orderBlocks,
                      orderNames,
                      browse,
                      browseNames,
                      listing::constantBlock(txt("")),
                      listing::constantBlock(rt::Value::logical(true)),
                      txt("  1  2  3  4  0  5  6  7  8  9 10 11"),
                      nativeCall(&master_listing::MY_FUN_G1, "{|| my_fun_g1() }"),
                      txt(""),
                      txt("nieobec"),
                      listing::exprBlock("nieobec->nr_prac"),
                      listing::exprBlock("main->nr_prac"),
                      rt::Value(),
                      rt::Value(),
                      rt::Value(),
                      nativeCall(&ustawPorz, "{|| ustaw_porz() }"),
                      rt::Value(),
                      rt::Value(),
                      rt::Value(),
                      rt::Value(),
                      array({txt("Par. dod.")}),
                      array({nativeCall(&getParDod, "{|| getpardod() }")})})
    a.push(v);
  rt::functions().call("GENERUJ", a);

  // The filter was set on the benefits, so it is cleared there, whatever the generator left
  // selected.
  call("DBSELECTAREA", {txt("nieobec")});
  call("CMFILTER");
}

void registerMasterListing() {
  rt::Functions& f = rt::functions();
  f.add("G_WYDRZAS2", [](rt::Args&) {
    G_WYDRZAS2();
    return rt::Value();
  });
  f.add("NB_ZAS2", [](rt::Args& a) { return NB_ZAS2(a[0], a[1]); });
}

}  // namespace zus
