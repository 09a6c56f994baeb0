// The RESET settings: set-up, release, the memory file and the parameter window.
#include "zus/transfer/reset_settings.h"

#include "console/error_text.h"
#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "suite/company/memory_store.h"
#include "zus/shell/memory_files.h"
#include "zus/shell/settings_support.h"

namespace zus {
namespace {

using namespace settings;

struct Setting {
  const char* name;
  char type;
  rt::Value (*initial)();
};

const Setting kSettings[] = {
    {"rs_kat_wzr", 'C', [] { return txt(""); }},  {"rs_kat_exp", 'C', [] { return txt(""); }},
    {"rs_rodz_nb", 'C', [] { return txt(""); }},  {"rs_rodz_pr", 'C', [] { return txt(""); }},
    {"rs_naz_gr", 'N', [] { return num(1); }},    {"rs_nr_ind", 'N', [] { return num(0); }},
};

constexpr int kTop = 5, kLabelCol = 5, kOptions = 4;

const char* const kLabels[kOptions] = {
    "Katalog z wzorcami baz dla programu Reset:",
    "Katalog z bazami dla programu Reset:",
    "Nazwa dla grupy:",
    "Numer indeksu dla bazy MAIN.dbf:",
};

// A directory as the settings keep it: no blanks around it, "\" at its end unless empty.
std::string storedDirectory(const std::string& typed) {
  std::string dir = rt::functions().call("ALLTRIM", {txt(typed)}).strOr("");
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

std::string padded(const std::string& s, size_t width) {
  return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

std::string statusText() {
  auto glyph = [](int code) { return call("UNICHR", {num(code)}).strOr(""); };
  return "F2-Lista," + glyph(24) + glyph(25) + "-Wybo`r pozycji," + glyph(27) + glyph(26) +
         "SPACE-Zmiana,Ctrl_W/Esc-Wyjs`cie";
}

// Gives the status line back on every way out.
struct StatusLine {
  explicit StatusLine(const std::string& text) { call("STATLINE", {txt(text)}); }
  ~StatusLine() { call("STATLINE", {num(-1)}); }
};

}  // namespace

std::string resetSettingsFile() { return "rs_param" + memFileExtension(); }

void RS_INI() {
  rt::Memvars& v = vars();
  for (const Setting& s : kSettings) {
    v.declarePublic(s.name, s.initial());
    v.assign(s.name, s.initial());  // a public left from before keeps its value when declared again
  }
  if (suite::memoryFileExists(resetSettingsFile())) {
    try {
      suite::restoreMemory(resetSettingsFile());
    } catch (const rt::Error& e) {
      // A damaged file must not stop the entry: the defaults stand, and the user is told.
      for (const Setting& s : kSettings) v.assign(s.name, s.initial());
      rt::Value lines = rt::Value::newArray(0);
      lines.arr().push_back(txt("Plik rs_param jest uszkodzony - przyje`to wartos`ci domys`lne."));
      lines.arr().push_back(txt(con::errorSummary(e)));
      call("KOM3", {lines, num(0), num(0), num(3)});
    }
  }
  for (const Setting& s : kSettings)
    if (v.typeOf(s.name) != std::string(1, s.type)) v.assign(s.name, s.initial());
}

void RS_DESTROY() {
  for (const Setting& s : kSettings) vars().release(s.name);
}

void saveResetSettings() { suite::saveMemory(resetSettingsFile(), "rs_*"); }

bool RS_PARAM() {
  rt::PrivateFrame frame(vars());
  bool saved = false;
  ColourSet colours(38);
  ResetSettingsScope settingsScope;
  rt::Memvars& v = vars();
  // Working copies under names of their own: a variable named rs_* would be saved with the settings.
  v.declarePrivate("kat_wzr", txt(padded(textVar("rs_kat_wzr"), 64)));
  v.declarePrivate("kat_exp", txt(padded(textVar("rs_kat_exp"), 64)));
  double form = numVar("rs_naz_gr", 1);
  v.declarePrivate("naz_gr", num(form >= 1 && form <= 2 ? form : 1));
  v.declarePrivate("nr_ind", varOr("rs_nr_ind", num(0)));
  v.declarePrivate("were", rt::Value::newArray(kOptions));

  OpenWindow window(-2, kTop, 3, kTop + 2 + kOptions, 75, "Parametry eksportu do RESET - zasil`ki", 38);
  for (int n = 1; n <= kOptions; ++n) {
    rt::Args a;
    a.push(txt(kLabels[n - 1]));
    a.push(num(n));
    a.push(varOr("were"), v.ref("were"));
    say(kTop + 1 + n, kLabelCol, call("_LEN", a.values()).strOr(""));
  }
  rt::Value forms = rt::Value::newArray(0);
  forms.arr().push_back(txt(display(" Kro`tka ")));
  forms.arr().push_back(txt(display(" Dl`uga  ")));
  const char* const checks[2] = {"EMPTY(kat_wzr) .OR. SPRAWDZ_KAT(ALLTRIM(kat_wzr))",
                                 "EMPTY(kat_exp) .OR. SPRAWDZ_KAT(ALLTRIM(kat_exp))"};
  auto col = [&](int n) {
    const rt::Value& were = v.get("were");
    return kLabelCol + int(were.arr()[size_t(n - 1)].numOr(0));
  };
  auto show = [&](int n) {
    switch (n) {
      case 1: showValue(kTop + 2, col(1), "kat_wzr", "@S25"); break;
      case 2: showValue(kTop + 3, col(2), "kat_exp", "@S31"); break;
      case 3: showChoice(kTop + 4, col(3), "naz_gr", forms); break;
      default: showValue(kTop + 5, col(4), "nr_ind", "99"); break;
    }
  };
  for (int n = 1; n <= kOptions; ++n) show(n);
  {
    StatusLine status(statusText());
    int n = 1;
    do {
      switch (n) {
        case 1: editValue(kTop + 2, col(1), "kat_wzr", "@S25", checks[0]); break;
        case 2: editValue(kTop + 3, col(2), "kat_exp", "@S31", checks[1]); break;
        case 3: editChoice(kTop + 4, col(3), "naz_gr", forms); break;
        default: editValue(kTop + 5, col(4), "nr_ind", "99"); break;
      }
    } while (!navigate(n, kOptions));
  }
  if (rt::term::keyboard().lastKey() != rt::term::K_ESC) {
    v.assign("rs_kat_wzr", txt(storedDirectory(textVar("kat_wzr"))));
    v.assign("rs_kat_exp", txt(storedDirectory(textVar("kat_exp"))));
    v.assign("rs_naz_gr", varOr("naz_gr", num(1)));
    v.assign("rs_nr_ind", varOr("nr_ind", num(0)));
    saveResetSettings();
    saved = true;
  }
  return saved;
}

}  // namespace zus
