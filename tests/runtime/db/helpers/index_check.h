// Test helper: every order of a work area compared with a full scan of its table.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "runtime/db/work_area.h"

namespace rt::db::testing {

// Empty when every tag holds exactly the (key, record) entries a full scan of the table gives;
// otherwise a description of the first difference.
inline std::string compareOrdersWithScan(WorkArea& area) {
  for (int n = 1; n <= area.orderCount(); ++n) {
    std::vector<std::pair<std::string, uint32_t>> scan, index;
    const TagInfo& info = *area.orderInfo(n);
    uint32_t keep = area.recno();
    for (uint32_t r = 1; r <= area.table().recCount(); ++r) {
      area.table().goTo(r);
      if (!info.forExpr.empty()) {
        Value in = evalText(info.forExpr);
        if (!in.isLogical() || !in.logical()) continue;
      }
      scan.emplace_back(area.currentKey(n), r);
    }
    area.table().goTo(keep);
    std::sort(scan.begin(), scan.end());
    if (info.unique) {
      std::vector<std::pair<std::string, uint32_t>> firsts;
      for (auto& e : scan)
        if (firsts.empty() || firsts.back().first != e.first) firsts.push_back(e);
      scan = firsts;
    }
    // The order itself, through a cursor of the tag.
    Order* order = nullptr;
    (void)order;
    auto cursor = area.orderCursor(n);
    for (bool ok = cursor->first(); ok && cursor->valid(); ok = cursor->next())
      index.emplace_back(std::string(cursor->key()), cursor->recno());
    if (scan != index) {
      size_t i = 0;
      while (i < scan.size() && i < index.size() && scan[i] == index[i]) ++i;
      return "tag " + info.name + ": " + std::to_string(index.size()) + " entries, scan gives " +
             std::to_string(scan.size()) + "; first difference at entry " + std::to_string(i);
    }
  }
  return {};
}

}  // namespace rt::db::testing
