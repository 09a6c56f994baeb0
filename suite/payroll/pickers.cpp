// Dictionary, payroll item and table function pickers over the list choice.
#include "suite/payroll/pickers.h"

#include <algorithm>

#include "runtime/core/context.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/achoice.h"
#include "suite/forms/display_text.h"
#include "suite/payroll/dictionary_editor.h"
#include "suite/screen/colour_set.h"
#include "suite/screen/window.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

rt::Value noCode() {
  const rt::Value* p = rt::context().memvars.tryGet("pustykod");
  return p && p->isChar() ? *p : rt::Value::text(std::string(3, char(255)));
}

std::string trimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// Runs `body` with SLOWNIK selected: the set's `sl` when open (its order and record kept unless
// `keepPosition` is false), else the table opened for the call. The previous area comes back.
template <typename Body>
void withDictionary(bool keepPosition, Body body) {
  rt::Value previous = call("SELECT");
  rt::Value area = call("SELECT", {rt::Value::text("sl")});
  bool opened = false;
  if (area.intOr(0) > 0) {
    call("DBSELECTAREA", {area});
  } else {
    if (!openTable(*findTable("SLOWNIK"), true)) return;
    opened = true;
  }
  rt::Value order = call("INDEXORD");
  rt::Value recno = call("RECNO");
  call("ORDSETFOCUS", {rt::Value::integer(1)});
  body();
  if (opened) {
    call("DBCLOSEAREA");
  } else {
    call("ORDSETFOCUS", {order});
    if (keepPosition) call("DBGOTO", {recno});
  }
  if (previous.intOr(0) > 0) call("DBSELECTAREA", {previous});
}

std::vector<DictionaryRow> readRows(const std::string& seekKey, bool headers, char letter) {
  std::vector<DictionaryRow> rows;
  if (!seekKey.empty()) call("DBSEEK", {rt::Value::text(seekKey), rt::Value::logical(true)});
  else call("DBGOTOP");
  while (!call("EOF").logicalOr(true)) {
    std::string kod = field("kod").strOr("");
    if (!headers && (kod.empty() || kod[0] != letter)) break;
    bool header = kod.size() >= 3 && kod.substr(1, 2) == "  ";
    if (header == headers && !call("DELETED").logicalOr(false))
      rows.push_back({kod, trimRight(field("skrot").strOr("")), trimRight(field("nazwa").strOr(""))});
    call("DBSKIP");
  }
  return rows;
}

// A framed list of texts; the chosen index (0-based) or -1 after Esc.
int pick(int top, int left, int visibleRows, const std::string& title,
         const std::vector<std::string>& texts, int start = 0) {
  rt::term::ScreenStateGuard state;
  ColourSetScope colours(kSetBrowse);
  size_t width = displayText(title).size() + 2;
  for (const std::string& t : texts) width = std::max(width, t.size());
  width = std::min<size_t>(width, 74);
  int rows = std::max(1, std::min<int>(visibleRows, int(texts.size())));
  top = std::clamp(top, 0, 24 - rows - 1);
  left = std::clamp(left, 0, 79 - int(width) - 3);
  std::string handle = openWindow(top, left, top + rows + 1, left + int(width) + 1, displayText(title));
  int chosen = texts.empty() ? 0
                             : rt::ui::achoice(top + 1, left + 1, top + rows, left + int(width),
                                               rt::ui::ChoiceItems::of(texts), {}, start + 1);
  if (texts.empty()) rt::term::keyboard().setLastKey(rt::term::K_ESC);
  closeWindow(handle);
  return chosen - 1;
}

std::string rowText(const DictionaryRow& r) {
  std::string s = displayText(r.skrot);
  s.resize(size_t(kShortNameLen), ' ');
  return s + " " + displayText(r.nazwa);
}

}  // namespace

std::vector<DictionaryRow> dictionaries() {
  std::vector<DictionaryRow> rows;
  withDictionary(true, [&] { rows = readRows("", true, 0); });
  return rows;
}

std::vector<DictionaryRow> dictionaryEntries(char letter) {
  std::vector<DictionaryRow> rows;
  withDictionary(true, [&] { rows = readRows(std::string(1, letter), false, letter); });
  return rows;
}

void registerPickerFunctions() {
  rt::Functions& f = rt::functions();
  f.add("POBSLOWNIK", [](rt::Args& a) {
    std::vector<DictionaryRow> rows = dictionaries();
    std::vector<std::string> texts;
    for (const DictionaryRow& r : rows) texts.push_back(rowText(r));
    int i = pick(int(a[0].intOr(5)), int(a[1].intOr(10)), 12, "Sl`owniki", texts);
    return i < 0 ? noCode() : rt::Value::text(rows[size_t(i)].kod);
  });
  f.add("POBSLOWO", [](rt::Args& a) {
    std::string code = a[3].strOr("");
    if (code.empty()) return noCode();
    std::vector<DictionaryRow> rows = dictionaryEntries(code[0]);
    std::vector<std::string> texts;
    int start = 0;
    std::string startAbbr = trimRight(a[5].strOr(""));
    for (size_t i = 0; i < rows.size(); ++i) {
      texts.push_back(rowText(rows[i]));
      if (!startAbbr.empty() && rows[i].skrot.rfind(startAbbr, 0) == 0 && start == 0) start = int(i);
    }
    int i = pick(int(a[0].intOr(8)), int(a[1].intOr(30)), int(a[2].intOr(10)), "Wybierz pozycje`",
                 texts, start);
    if (i < 0) return noCode();
    std::string chosen = rows[size_t(i)].kod;
    // The dictionary is left on the chosen entry.
    withDictionary(false, [&] { call("DBSEEK", {rt::Value::text(chosen)}); });
    return rt::Value::text(chosen);
  });
  f.add("MODISLOW", [](rt::Args& a) {
    std::string code = a[1].strOr("");
    if (!code.empty()) editDictionary(code[0]);
    return rt::Value();
  });
  f.add("SEL_SKL", [](rt::Args&) {
    const rt::Value* codes = rt::context().memvars.tryGet("dplac_kod");
    const rt::Value* abbrs = rt::context().memvars.tryGet("dplac_skrot");
    if (!codes || !codes->isArray()) return rt::Value::integer(0);
    std::vector<std::string> texts;
    for (size_t i = 0; i < codes->arr().size(); ++i) {
      std::string abbr = abbrs && abbrs->isArray() && i < abbrs->arr().size() ? abbrs->arr()[i].strOr("") : "";
      texts.push_back(codes->arr()[i].strOr("") + "  " + displayText(abbr));
    }
    return rt::Value::integer(pick(6, 40, 14, "Skl`adniki pl`acowe", texts) + 1);
  });
  f.add("FT_EDIT", [](rt::Args& a) {
    std::vector<std::pair<std::string, std::string>> funcs;
    rt::Value previous = call("SELECT");
    if (openTable(*findTable("FUNCTION"), true)) {
      call("DBGOTOP");
      while (!call("EOF").logicalOr(true)) {
        funcs.push_back({field("fun_code").strOr(""), trimRight(field("fun_name").strOr(""))});
        call("DBSKIP");
      }
      call("DBCLOSEAREA");
    }
    if (previous.intOr(0) > 0) call("DBSELECTAREA", {previous});
    std::vector<std::string> texts;
    for (const auto& [code, name] : funcs) texts.push_back(code + "  " + displayText(name));
    int i = pick(6, 20, 10, "Funkcje tablicowe", texts);
    if (i >= 0) a.assign(0, rt::Value::text(funcs[size_t(i)].first));
    return rt::Value();
  });
}

}  // namespace suite
