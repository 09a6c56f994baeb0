// Rebuilding an interrupted structural index when a table is opened.
#include "suite/tables/index_rebuild.h"

#include "runtime/core/context.h"
#include "runtime/db/work_areas.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

void tell(std::vector<std::string> lines, int kind) {
  rt::Value text = rt::Value::newArray(0);
  for (std::string& l : lines) text.arr().push_back(rt::Value::text(std::move(l)));
  call("KOM3", {text, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(kind)});
}

void tellRebuilt(const TableDef& def) { tell({"Odbudowano indeksy zbioru " + def.name + ".dbf"}, 0); }

void tellInUse(const TableDef& def) {
  tell({"Indeksy zbioru " + def.name + ".dbf nie zgadzaja` sie` z baza` (przerwany zapis).",
        "Zostana` odbudowane przy otwarciu zbioru, gdy nikt inny",
        "nie be`dzie pracowal` na firmie."},
       3);
}

}  // namespace

void rebuildIndexesHere(const TableDef& def) {
  call("DBREINDEX");
  tellRebuilt(def);
}

bool rebuildIndexesAlone(const TableDef& def) {
  rt::db::WorkAreas& areas = rt::db::workAreas();
  const int selected = areas.selectedNumber();
  if (!useTable(def, false)) {
    areas.select(selected);
    tellInUse(def);
    return false;
  }
  rt::db::WorkArea& area = *areas.selected();
  bool rebuilt = false;
  try {
    // Another process may have rebuilt it between our two openings.
    if (area.indexesStale()) {
      area.reindex();
      rebuilt = true;
    }
  } catch (...) {
    areas.close(area.number());
    areas.select(selected);
    throw;
  }
  areas.close(area.number());
  areas.select(selected);
  if (rebuilt) tellRebuilt(def);
  return true;
}

}  // namespace suite
