// A listing over the selected work area: order, device, callback, one line per record.
#include "suite/screen/listing_generator.h"

#include <algorithm>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "suite/forms/display_text.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

rt::Value evalColumn(const rt::Value& column) {
  if (column.isBlock()) return rt::evalBlock(column);
  if (column.isChar()) return rt::evalText(column.str());
  return rt::Value();
}

std::string fit(std::string s, size_t width) {
  s.resize(width, ' ');
  return s;
}

}  // namespace

std::string listingText(const rt::Value& v) {
  switch (v.type()) {
    case rt::Type::Char: {
      std::string s = v.str();
      while (!s.empty() && s.back() == ' ') s.pop_back();
      return displayText(s);
    }
    case rt::Type::Num:
      return rt::functions().call("STR", {v, rt::Value::integer(14), rt::Value::integer(v.decimals())}).strOr("");
    case rt::Type::Date: return rt::functions().call("DTOC", {v}).strOr("");
    case rt::Type::Logical: return v.logical() ? "Tak" : "Nie";
    default: return "";
  }
}

void registerListingGenerator() {
  rt::functions().add("GENERUJ", [](rt::Args& a) {
    rt::Value area = call("SELECT");
    if (area.intOr(0) <= 0) return rt::Value();
    // The order: the user's choice among the named orders.
    if (a[8].isArray() && !a[8].arr().empty() && a[7].isArray()) {
      rt::Value names = rt::Value::newArray(0);
      for (const rt::Value& n : a[8].arr()) names.arr().push_back(rt::Value::text(" " + n.strOr("") + " "));
      int64_t chosen = rt::functions().call("MENU", {names, rt::Value::integer(6), rt::Value::integer(20),
                                                    rt::Value::integer(1)}).intOr(0);
      if (chosen <= 0) return rt::Value();
      call("DBSELECTAREA", {area});
      if (size_t(chosen) <= a[7].arr().size())
        call("ORDSETFOCUS", {evalColumn(a[7].arr()[size_t(chosen - 1)])});
    }
    call("DEV");
    rt::functions().call("WYB_URZ");
    call("DBSELECTAREA", {area});
    if (!rt::functions().call("DEV_OPEN").logicalOr(false)) return rt::Value();

    std::vector<rt::Value> columns;
    std::vector<std::string> headings;
    if (a[9].isArray()) columns = a[9].arr();
    for (size_t i = 0; i < columns.size(); ++i) {
      std::string h = a[10].isArray() && i < a[10].arr().size() ? a[10].arr()[i].strOr("") : "";
      headings.push_back(displayText(h));
    }
    std::vector<size_t> widths;
    std::string headingLine;
    for (const std::string& h : headings) {
      widths.push_back(std::max<size_t>(h.size(), 12));
      headingLine += fit(h, widths.back()) + " ";
    }
    rt::Value title = rt::Value::newArray(0);
    title.arr().push_back(rt::Value::text(displayText(a[6].strOr(""))));
    title.arr().push_back(rt::Value::text(""));
    title.arr().push_back(rt::Value::text(headingLine));
    title.arr().push_back(rt::Value::text(std::string(headingLine.size(), '-')));
    rt::context().memvars.assign("dev_tytul", title);

    for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) {
      rt::Value keep = call("RECNO");
      rt::Value verdict = a[14].isBlock() ? rt::evalBlock(a[14]) : rt::Value::logical(false);
      call("DBSELECTAREA", {area});
      call("DBGOTO", {keep});
      if (verdict.isChar() && verdict.str() == "T") continue;
      std::string line;
      for (size_t i = 0; i < columns.size(); ++i) line += fit(listingText(evalColumn(columns[i])), widths[i]) + " ";
      call("DBSELECTAREA", {area});
      rt::functions().call("DEV_LINIA", {rt::Value::text(line)});
      if (rt::context().memvars.get("urzadzenie").intOr(0) == 0) break;
    }
    rt::functions().call("DEV_CLOSE");
    call("DBSELECTAREA", {area});
    return rt::Value();
  });
}

}  // namespace suite
