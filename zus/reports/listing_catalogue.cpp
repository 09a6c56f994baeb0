// The catalogue rows of both benefit listings.
#include "zus/reports/listing_catalogue.h"

#include "runtime/core/expr.h"

namespace zus::listing {
namespace {

const char* const kStatusValue =
    "rownaj_l ( ltrim ( stat_mess [ ascan ( stat_err, nieobec->status )] ), 40 )";
const char* const kTransferValue =
    "zczyt_stat ( nieobec->place, nieobec->zasilek, nieobec->old_zas, nieobec->l_dni, "
    "nieobec->old_dni, nieobec->wartosc, nieobec->old_wart )";

CatalogueColumn column(const std::string& heading, const std::string& value, const std::string& type) {
  return {exprBlock(value), type, heading};
}

// The status column: the text of the record's status code; a code the status table does not
// know shows as the code instead of failing on a subscript of 0.
CatalogueColumn statusColumn(const std::string& type) {
  rt::Value block = rt::Value::block(rt::nativeBlock(
      [](std::vector<rt::Value>&) { return txt(statusColumnText(rt::evalText("nieobec->status").numOr(0))); },
      kStatusValue));
  return {block, type, "Status zasil`ku"};
}

// Widths of the benefit-kind columns from the dictionary's fields.
int shortLen() { return int(rt::evalText("LEN( sl->skrot )").intOr(10)); }
int nameLen() { return int(rt::evalText("LEN( sl->nazwa )").intOr(40)); }

std::string kindShortType(char level, const std::string& nb) {
  return std::string(1, level) + "c" + digits(shortLen()) + "  ;" + nb +
         " ( pobslowo ( 8, 30, 10, zas_slow [ 1 ], .f. ), .t. )";
}
std::string kindNameType(char level, const std::string& nb) {
  return std::string(1, level) + "c" + digits(shortLen() + nameLen() + 5) + " ;" + nb +
         " ( pobslowo ( 8, 30, 10, zas_slow [ 1 ], .f. ), .f. )";
}
std::string kindNameValue(const std::string& nb) {
  return "padr( " + nb + " ( nieobec->zasilek ), len ( sl->skrot ) + len ( sl->nazwa ) + 5 )";
}

CatalogueColumn pseudoColumn(const MainFacts& f) {
  std::string d = digits(f.pseudoLen);
  return column("Numer dodatkowy pracownika", "main->nr_pseudo",
                "1c" + d + (d.size() == 1 ? "  " : " ") + "; wyb_nr_ps ( \"\", 12 )$");
}

CatalogueColumn dataZusColumn() {
  std::string days = rt::functions().call("STR", {varOr("zusx_chzk", num(33)), num(2)}).strOr("33");
  return column("Data pocza`tkuja`ca okres zliczania " + days + " dni", "main->data_zus", "1d8  ;");
}

// The tax columns of the detail rows: the tax of the benefit on that row. Reading the run's
// `podatek` there would show, on every benefit of an employee, the tax of whichever benefit was
// current when the employee's row was offered to the callback.
CatalogueColumn detailTaxColumn(const std::string& heading, bool amountOnly) {
  rt::Value block = rt::Value::block(rt::nativeBlock([amountOnly](std::vector<rt::Value>&) {
    double tax =
        benefitTax(rt::evalText("nieobec->wartosc").numOr(0), rt::evalText("nieobec->podat").numOr(0));
    if (amountOnly && tax < 0) tax = 0;
    return rt::Value::number(tax, 2);
  }));
  return {block, "0n132;", heading};
}

// The columns both listings end with, from the payout date on: the record's dates, numbers and
// statuses at `level` (1 on the employee's row, 0 on each benefit's row), the counting start date
// where MAIN has it, the record's flags and the dictionary's columns. `transferPicker` is the
// condition picker of the payroll transfer status; `nb` the kind text routine.
void appendRecordTail(std::vector<CatalogueColumn>& c, const MainFacts& f, char level,
                      const std::string& transferPicker, const std::string& nb) {
  auto type = [level](const std::string& rest) { return std::string(1, level) + rest; };
  std::vector<CatalogueColumn> tail{
      column("Data wypl`aty", "nieobec->dat_wyp", type("d8  ;")),
      column("Numer L-4", "nieobec->nr_l_4", type("c14 ;")),
      column("Numer poprzedniego L-4", "nieobec->poprz_l_4", type("c14 ;")),
      column("Kod literowy", "nieobec->nr_stat", type("c4  ;")),
      statusColumn(type("c40 ;wybor_stat ()")),
      column("Status przepisania zasil`ku do Pl`ac", kTransferValue, type("c20 ;" + transferPicker)),
      column("Status przepisania zasil`ku do Kadr", "iif( !empty( nieobec->kod_wew ), \"1\", \"2\" )",
             type("s1 ;")),
      column("Czy zasil`ek ma wczytana` podstawe` z poprzedniego zasil`ku ?",
             "iif ( nieobec->nieobec == \"PBZ\", \"Tak\", \"Nie\" )", type("c3  ;")),
      column("Data otrzymania L-4", "nieobec->data_otrz", type("d8  ;")),
      column("Data dostarczenia L-4", "nieobec->data_dost", type("d8  ;")),
      column("Dni obnix`ki (o 25%)", "nieobec->dni_obniz", type("n3  ;")),
  };
  c.insert(c.end(), tail.begin(), tail.end());
  if (f.dataZus) c.push_back(dataZusColumn());
  std::vector<CatalogueColumn> flags{
      column("Czy 100% ?", "nieobec->czy_100", type("L1  ;")),
      column("Czy wypadek przy pracy ?", "nieobec->przy_pracy", type("L1  ;")),
      column("Czy nadux`ycie alkoholu ?", "nieobec->czy_alk", type("L1  ;")),
      column("Czy opieka nad dzieckiem ?", "nieobec->czy_dz", type("L3  ;")),
      column("Czy podstawa kwotowo ?", "nieobec->czy_kwot", type("L3  ;")),
  };
  c.insert(c.end(), flags.begin(), flags.end());
  std::vector<CatalogueColumn> dict = dictionaryColumns(nb);
  c.insert(c.end(), dict.begin(), dict.end());
}

}  // namespace

std::vector<CatalogueColumn> benefitCatalogue(const MainFacts& f) {
  std::vector<CatalogueColumn> c{
      column("Numer pracownika", "val ( nieobec->nr_prac )", "1n5  ; val ( wyb_prac ( \"\", 12 ) )$"),
      column("Nazwisko pracownika", "main->nazwisko", "1c25 ;my_wyb_prac ( )"),
      column("Imie` pracownika", "main->imie", "1c12 ;"),
      column("Skro`t zasil`ku", "nb_zas ( nieobec->zasilek, .t. )", kindShortType('1', "nb_zas")),
      column("Nazwa zasil`ku", kindNameValue("nb_zas"), kindNameType('1', "nb_zas")),
      column("Data od", "nieobec->od", "1d8;"),
      column("Data do", "nieobec->do", "1d8;"),
      column("Liczba dni zasil`ku", "nieobec->l_dni", "1n6  ;"),
      column("Stawka dzienna zasil`ku", "nieobec->podst_zas", "1n132;$"),
      column("Wartos`c` zasil`ku", "nieobec->wartosc", "1n132;"),
  };
  if (f.pseudo) c.push_back(pseudoColumn(f));
  std::vector<CatalogueColumn> rest{
      column("Procent zasil`ku", "nieobec->procent", "1n3  ;$"),
      column("Miesia`ce do podstawy", "load_tekst ( nieobec->fakt_mies, 24 )", "1c24 ;"),
      column("Przycho`d przecie`tny", "nieobec->suma", "1n132;"),
      column("Przypis podatku", "podatek", "1n132;"),
      column("Kwota podatku", "iif ( podatek < 0, 0, podatek )", "1n132;"),
      column("Wartos`c` zasil`ku NETTO", "nieobec->netto", "1n132;"),
      column("Suma dni chorobowego", "main->dni_ch", "1n3  ;$"),
      column("Suma dni opieki", "main->dni_op", "1n3  ;$"),
      column("Suma dni opieki nad innym czl`onkiem nix` dziecko", "main->dni_rdz", "1n3  ;$"),
  };
  c.insert(c.end(), rest.begin(), rest.end());
  appendRecordTail(c, f, '1', "", "nb_zas");
  return c;
}

std::vector<CatalogueColumn> masterCatalogue(const MainFacts& f) {
  std::vector<CatalogueColumn> c{
      column("Status", "alltrim (str (main->status, 3))", "1S2"),
      column("Numer pracownika", "val ( main->nr_prac )", "1n5  ; val ( wyb_prac ( \"\", 12 ) )$"),
  };
  if (f.pseudo) c.push_back(pseudoColumn(f));
  std::vector<CatalogueColumn> rest{
      column("Nazwisko pracownika", "main->nazwisko", "1c25 ;my_wyb_prac ( )"),
      column("Imie` pracownika", "main->imie", "1c12 ;"),
      column("Skro`t zasil`ku", "nb_zas2 ( nieobec->zasilek, .t. )", kindShortType('0', "nb_zas2")),
      column("Nazwa zasil`ku", kindNameValue("nb_zas2"), kindNameType('0', "nb_zas2")),
      column("Data od", "nieobec->od", "0d8;"),
      column("Data do", "nieobec->do", "0d8;"),
      column("Liczba dni zasil`ku", "nieobec->l_dni", "0n6  ;"),
      column("Stawka dzienna zasil`ku", "nieobec->podst_zas", "0n132;$"),
      column("Wartos`c` zasil`ku", "nieobec->wartosc", "0n132;"),
      column("Procent zasil`ku", "nieobec->procent", "0n3  ;$"),
      column("Miesia`ce do podstawy", "load_tekst ( nieobec->fakt_mies, 24 )", "0c24 ;"),
      column("Przycho`d przecie`tny", "nieobec->suma", "0n132;"),
      detailTaxColumn("Przypis podatku", false),
      detailTaxColumn("Kwota podatku", true),
      column("Wartos`c` zasil`ku NETTO", "nieobec->netto", "0n132;"),
      column("Suma dni chorobowego", "main->dni_ch", "1n3  ;$"),
      column("Suma dni opieki", "main->dni_op", "1n3  ;$"),
      column("Suma dni opieki nad innym czl`onkiem nix` dziecko", "main->dni_rdz", "1n3  ;$"),
  };
  c.insert(c.end(), rest.begin(), rest.end());
  appendRecordTail(c, f, '0', "przepis_stat ()", "nb_zas2");
  return c;
}

std::vector<CatalogueColumn> dictionaryColumns(const std::string& nb) {
  std::vector<CatalogueColumn> out;
  DictionaryByShortName dictionary;
  const int first = int(varOr("i_indeks").intOr(0));
  const int count = int(varOr("z_indeks").intOr(0));
  for (int i = 1; i <= count; ++i) {
    std::string kdAll = call("ALLTRIM", {call("_INDEX_NAME", {txt("MAIN"), num(i + first)})}).strOr("");
    call("DBSELECTAREA", {txt("sl")});
    goToDictionaryHeader(kdAll.size() > 3 ? kdAll.substr(3) : "");
    std::string heading =
        rt::evalText("sl->skrot").strOr("") + " - " + call("ALLTRIM", {rt::evalText("sl->nazwa")}).strOr("");
    out.push_back({exprBlock("{ || " + nb + " ( main->" + kdAll + ", .t. ) }"),
                   "1c5  ;" + nb + " ( pobslowo ( 8, 30, 10, daj_kod(), .f. ), .t. )", heading});
  }
  return out;
}

void publishCatalogue(const std::vector<CatalogueColumn>& columns) {
  rt::Value values = rt::Value::newArray(columns.size());
  rt::Value types = rt::Value::newArray(columns.size());
  rt::Value headings = rt::Value::newArray(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) {
    values.arr()[i] = columns[i].value;
    types.arr()[i] = txt(columns[i].type);
    headings.arr()[i] = txt(columns[i].heading);
  }
  vars().assign("wartosci", values);
  vars().assign("typy", types);
  vars().assign("naglowki", headings);
}

}  // namespace zus::listing
