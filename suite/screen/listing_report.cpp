// Walking the records of a generated listing: callback, conditions, lines, detail rows, totals.
#include "suite/screen/listing_report.h"

#include <algorithm>
#include <sstream>

#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "suite/forms/display_text.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

std::string trimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// A heading in display form, broken at blanks into lines no wider than the column.
std::vector<std::string> wrap(const std::string& heading, int width) {
  std::vector<std::string> lines;
  std::istringstream words(displayText(heading));
  std::string word, current;
  while (words >> word) {
    while (int(word.size()) > width) {  // a word wider than the column is cut into pieces
      if (!current.empty()) lines.push_back(current), current.clear();
      lines.push_back(word.substr(0, size_t(width)));
      word = word.substr(size_t(width));
    }
    if (word.empty()) continue;
    if (current.empty())
      current = word;
    else if (int(current.size() + 1 + word.size()) <= width)
      current += " " + word;
    else
      lines.push_back(current), current = word;
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

std::string pad(std::string s, int width) {
  s.resize(size_t(std::max(width, 0)), ' ');
  return s;
}

void selectArea(int area) { call("DBSELECTAREA", {rt::Value::integer(area)}); }

bool sameKey(const rt::Value& a, const rt::Value& b) {
  if (a.isChar() && b.isChar()) return trimRight(a.str()) == trimRight(b.str());
  if (a.isNum() && b.isNum()) return a.num() == b.num();
  if (a.isDate() && b.isDate()) return a.date() == b.date();
  return false;
}

}  // namespace

ListingReport::ListingReport(ListingRequest request) : request_(std::move(request)) {
  for (size_t index : request_.chosen) {
    if (index >= request_.catalogue.size()) continue;
    const ListingColumnType& t = request_.catalogue[index].type;
    // A column is at least as wide as the longest word of its heading, so headings wrap at blanks.
    int width = columnWidth(t, request_.choiceLists);
    std::istringstream words(displayText(request_.catalogue[index].heading));
    for (std::string word; words >> word;) width = std::max(width, int(word.size()));
    Shown s{index, width};
    (!twoLevels() || t.master ? mainColumns_ : detailColumns_).push_back(s);
  }
}

std::vector<std::string> ListingReport::headingLines() const {
  std::vector<std::string> out;
  auto block = [&](const std::vector<Shown>& columns, int indent) {
    std::vector<std::vector<std::string>> cells;
    size_t rows = 0;
    for (const Shown& s : columns) {
      cells.push_back(wrap(request_.catalogue[s.index].heading, s.width));
      rows = std::max(rows, cells.back().size());
    }
    for (size_t r = 0; r < rows; ++r) {
      std::string line(size_t(indent), ' ');
      for (size_t c = 0; c < columns.size(); ++c)
        line += pad(r < cells[c].size() ? cells[c][r] : "", columns[c].width) + " ";
      out.push_back(trimRight(line));
    }
  };
  block(mainColumns_, 0);
  block(detailColumns_, kDetailIndent);
  return out;
}

size_t ListingReport::lineWidth() const {
  auto width = [](const std::vector<Shown>& columns, size_t indent) {
    size_t w = 0;
    for (const Shown& s : columns) w += size_t(s.width) + 1;
    return w == 0 ? 0 : indent + w - 1;
  };
  return std::max(width(mainColumns_, 0), width(detailColumns_, kDetailIndent));
}

bool ListingReport::offeredToCallback() {
  if (!request_.callback.isBlock()) return true;
  rt::Value verdict = rt::evalBlock(request_.callback);
  return !(verdict.isChar() && verdict.str() == "T");
}

bool ListingReport::meets(bool master) {
  int area = int(call("SELECT").intOr(0));
  for (const ListingCondition& c : request_.conditions) {
    if (c.column >= request_.catalogue.size()) continue;
    const ListingColumn& column = request_.catalogue[c.column];
    if (twoLevels() && column.type.master != master) continue;
    selectArea(area);
    bool ok = sameColumnValue(column.type, columnValue(column), c.wanted);
    selectArea(area);
    if (!ok) return false;
  }
  return true;
}

std::string ListingReport::lineOf(const std::vector<Shown>& columns, std::vector<double>& totals,
                                  int indent) {
  int area = int(call("SELECT").intOr(0));
  std::string line(size_t(indent), ' ');
  totals.resize(columns.size(), 0.0);
  for (size_t i = 0; i < columns.size(); ++i) {
    const ListingColumn& column = request_.catalogue[columns[i].index];
    selectArea(area);  // a value block may leave another area selected
    rt::Value v = columnValue(column);
    if (column.type.numeric() && v.isNum()) totals[i] += v.num();
    std::string text = columnText(column.type, v, request_.choiceLists);
    if (int(text.size()) < columns[i].width) {
      std::string fill(size_t(columns[i].width) - text.size(), ' ');
      text = column.type.numeric() ? fill + text : text + fill;
    }
    line += text + " ";
  }
  selectArea(area);
  return trimRight(line);
}

std::string ListingReport::totalsLine(const std::vector<Shown>& columns, const std::vector<double>& totals,
                                      int indent, bool& labelled) const {
  std::string line(size_t(indent), ' ');
  bool any = false;
  for (size_t i = 0; i < columns.size(); ++i) {
    const ListingColumnType& t = request_.catalogue[columns[i].index].type;
    if (t.numeric() && t.totalled) {
      any = true;
      double sum = i < totals.size() ? totals[i] : 0.0;
      line += rt::functions()
                  .call("STR", {rt::Value::number(sum, t.decimals), rt::Value::integer(columns[i].width),
                                rt::Value::integer(t.decimals)})
                  .strOr("") +
              " ";
    } else {
      bool label = !labelled && columns[i].width >= 6;
      labelled = labelled || label;
      line += pad(label ? displayText("Razem:") : "", columns[i].width) + " ";
    }
  }
  return any ? trimRight(line) : std::string();
}

size_t ListingReport::run(const std::function<void(const std::string&)>& line,
                          const std::function<bool()>& keepGoing) {
  const int area = int(call("SELECT").intOr(0));
  int detailArea = 0;
  if (twoLevels()) detailArea = int(call("SELECT", {rt::Value::text(request_.detailAlias)}).intOr(0));
  bool detailConditions = false;
  for (const ListingCondition& c : request_.conditions)
    if (twoLevels() && c.column < request_.catalogue.size() && !request_.catalogue[c.column].type.master)
      detailConditions = true;

  std::vector<double> mainTotals, detailTotals;
  size_t listed = 0;
  selectArea(area);
  for (call("DBGOTOP"); !call("EOF").logicalOr(true); selectArea(area), call("DBSKIP")) {
    if (keepGoing && !keepGoing()) break;
    rt::Value recno = call("RECNO");
    if (twoLevels() && request_.detailOrder.isBlock()) {
      rt::evalBlock(request_.detailOrder);
      selectArea(area);
    }
    bool offered = offeredToCallback();
    selectArea(area);
    call("DBGOTO", {recno});
    if (!offered || !meets(true)) continue;

    std::vector<std::string> details;
    std::vector<double> rowDetailTotals;
    if (twoLevels() && detailArea > 0) {
      rt::Value key = rt::evalBlock(request_.mainKey);
      selectArea(detailArea);
      if (call("EOF").logicalOr(true) || !sameKey(rt::evalBlock(request_.detailKey), key))
        call("DBSEEK", {key});
      for (; !call("EOF").logicalOr(true); selectArea(detailArea), call("DBSKIP")) {
        selectArea(detailArea);
        if (!sameKey(rt::evalBlock(request_.detailKey), key)) break;
        selectArea(detailArea);
        if (!meets(false)) continue;
        selectArea(detailArea);
        details.push_back(lineOf(detailColumns_, rowDetailTotals, kDetailIndent));
      }
      selectArea(area);
      if (detailConditions && details.empty()) continue;
    }
    std::string mainLine = lineOf(mainColumns_, mainTotals, 0);
    line(mainLine);
    for (const std::string& d : details) line(d);
    detailTotals.resize(std::max(detailTotals.size(), rowDetailTotals.size()), 0.0);
    for (size_t i = 0; i < rowDetailTotals.size(); ++i) detailTotals[i] += rowDetailTotals[i];
    ++listed;
  }
  selectArea(area);

  bool labelled = false;
  std::string mainSum = totalsLine(mainColumns_, mainTotals, 0, labelled);
  if (mainSum.empty()) labelled = false;  // a label on a line that is not printed
  std::string detailSum = totalsLine(detailColumns_, detailTotals, kDetailIndent, labelled);
  if (!mainSum.empty() || !detailSum.empty()) {
    line(std::string(lineWidth(), '-'));
    if (!labelled) line(displayText("Razem:"));
    if (!mainSum.empty()) line(mainSum);
    if (!detailSum.empty()) line(detailSum);
  }
  return listed;
}

}  // namespace suite
