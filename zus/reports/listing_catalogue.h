// The column catalogues of the two benefit listings: one row per benefit (every column of the
// main rows), and employees with their benefits as detail rows (each column marked "1" for the
// employee's row or "0" for a benefit's row). A column is its value block, its type string (see
// suite/screen/listing_columns.h) and its heading in stored form.
//
// The catalogues read the dictionary (alias `sl`) and MAIN, which must be open: the widths of the
// benefit-kind columns come from the dictionary's field lengths, and after the fixed columns comes
// one column per dictionary-coded order of MAIN (`i_indeks` + 1 to `i_indeks` + `z_indeks`),
// headed by the dictionary's short name (with its trailing blanks) and name.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/value.h"
#include "zus/reports/listing_support.h"

namespace zus::listing {

struct CatalogueColumn {
  rt::Value value;  // block
  std::string type;
  std::string heading;  // stored text
};

// One row per benefit (the fixed columns, then the dictionary columns).
std::vector<CatalogueColumn> benefitCatalogue(const MainFacts& facts);
// Employees with their benefits.
std::vector<CatalogueColumn> masterCatalogue(const MainFacts& facts);

// The dictionary columns; `nbFunction` is "nb_zas" or "nb_zas2".
std::vector<CatalogueColumn> dictionaryColumns(const std::string& nbFunction);

// Stores the catalogue in the run's `wartosci`, `typy` and `naglowki`.
void publishCatalogue(const std::vector<CatalogueColumn>& columns);

}  // namespace zus::listing
