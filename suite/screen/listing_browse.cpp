// A browse of the listing's records that skips what the callback leaves out.
#include "suite/screen/listing_browse.h"

#include <algorithm>

#include "runtime/core/expr.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/browse.h"
#include "runtime/ui/browse_source.h"
#include "runtime/ui/db_edit.h"
#include "suite/forms/display_text.h"
#include "suite/screen/colour_set.h"
#include "suite/screen/listing_window.h"

namespace suite {
namespace {

// The records of a work area the callback keeps. The callback runs with the area selected on the
// record in question; the record is current again afterwards, whatever the callback moved.
class KeptRecords : public rt::ui::BrowseSource {
 public:
  KeptRecords(rt::db::WorkAreas& areas, rt::db::WorkArea& area, rt::Value callback)
      : areas_(areas), area_(area), callback_(std::move(callback)) {}

  void goTop() override {
    area_.goTop();
    while (!area_.eof() && !kept()) area_.skip(1);
  }
  void goBottom() override {
    area_.goBottom();
    while (!area_.eof() && !kept()) {
      area_.skip(-1);
      if (area_.bof()) {  // nothing kept: stand past the end
        area_.goBottom();
        area_.skip(1);
      }
    }
  }
  long skip(long n) override {
    if (n == 0) return 0;
    if (area_.eof()) {
      if (n > 0) return 0;
      goBottom();
      if (area_.eof()) return 0;
      ++n;
    }
    long moved = 0;
    const int step = n > 0 ? 1 : -1;
    for (long i = 0; i < std::labs(n); ++i) {
      uint32_t from = area_.recno();
      bool reached = false;
      for (;;) {
        area_.skip(step);
        if (area_.eof() || area_.bof()) break;
        if (kept()) {
          reached = true;
          break;
        }
      }
      if (!reached) {
        area_.goTo(from);
        break;
      }
      moved += step;
    }
    return moved;
  }
  bool empty() override {
    uint32_t here = area_.recno();
    goTop();
    bool none = area_.eof();
    area_.goTo(here);
    return none;
  }
  bool offEnd() override { return area_.eof(); }
  uint64_t bookmark() override { return area_.recno(); }
  void goTo(uint64_t mark) override { area_.goTo(uint32_t(mark)); }

 private:
  bool kept() {
    if (!callback_.isBlock()) return true;
    uint32_t here = area_.recno();
    rt::Value verdict = areas_.withSelected(area_.number(), [&] { return rt::evalBlock(callback_); });
    area_.goTo(here);
    return !(verdict.isChar() && verdict.str() == "T");
  }

  rt::db::WorkAreas& areas_;
  rt::db::WorkArea& area_;
  rt::Value callback_;
};

}  // namespace

void browseListing(const ListingBrowse& view) {
  rt::db::WorkAreas& areas = rt::db::workAreas();
  rt::db::WorkArea& area = areas.need("GENERUJ");
  const int number = area.number();
  const uint32_t keep = area.recno();

  rt::term::ScreenStateGuard state;
  ColourSetScope colours(kSetBrowse);
  ListingWindow window(2, 1, 22, 78, displayText(view.title));
  KeptRecords source(areas, area, view.callback);
  rt::ui::Browse browse(3, 2, 21, 77, source);
  const size_t n = std::min(view.columns.size(), view.headings.size());
  for (size_t i = 0; i < n; ++i) {
    rt::ui::BrowseColumn column;
    column.heading = displayText(view.headings[i]);
    rt::Value value = view.columns[i];
    column.value = [&areas, number, value] {
      return areas.withSelected(number, [&] {
        rt::Value v = value.isBlock() ? rt::evalBlock(value) : rt::evalText(value.strOr("\"\""));
        return v.isChar() ? rt::Value::text(displayText(v.str())) : v;
      });
    };
    browse.addColumn(std::move(column));
  }
  rt::ui::dbEdit(browse, {});
  area.goTo(keep);
}

}  // namespace suite
