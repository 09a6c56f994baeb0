// The parameter window, its labels, the dictionary list and the dictionary menu entry.
#include "zus/shell/params_editor.h"

#include <algorithm>

#include "runtime/core/expr.h"
#include "runtime/term/keys.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "zus/shell/payout_dates.h"
#include "zus/shell/settings_support.h"

namespace zus {
namespace {

using namespace settings;

constexpr int kLabelCol = 4;
constexpr const char* kDictionaryCaption = "Sl`ownik: ";

const char* const kLabels[19] = {
    "1.Zaokra`glanie stawki dziennej do :",
    "2.Zaokra`glanie sumy zasil`ku do:",
    "3.Rodzaj zaokra`glenia (M-matemat./G-w go`re`) :",
    "4.Procent wynagrodzenia za chorobe`:",
    "5.Liczba miesie`cy brana do podstawy zasil`ku :",
    "6.Czy miesia`ce wypadaja`?",
    "7.Czy dopel`niac` podstawe`?",
    "8.Czy obliczac` zasil`ki ZUS:",
    "9.Do modul`u \"PL`ACE\" przesyl`ac`:",
    "10.Podstawe` pomocnicza` uwzgle`dniac` od 00 do 00   z mies/roku 00/0000",
    "11.Czy podstawe` dzielic` przez dni kalendarzowe ?",
    "12.Rodzaj daty do obliczen`/wydruku zasil`ku:",
    "13.Czy wys`wietlac` zasil`ki tylko z biex`a`cego i poprzedniego roku?",
    "14.Kwalifikacja oznaczenia miesia`ca biex`a`cego",
    "15.Drukowac` oznaczone miesia`ce pomniejszaja`c o:",
    "16.Liczba dni wynagrodzenia za chorobe` do kontroli:",
    "17.Procent waloryzacji s`wiadczenia rehabilitacyjnego:",
    "18.Liczba dni wynagrodzenia za chorobe` powyx`ej 50 lat:",
    "19.Suma procento`w skl`adek spol`ecznych pracownika:",
};

// A field of the window: a parameter, and for parameter 10 which of its four values; `dictionary`
// marks the dictionary field of parameter 7 or 8.
struct Field {
  int param;
  int part = 0;
  bool dictionary = false;
};

rt::Value textArray(const std::vector<std::string>& texts) {
  rt::Value a = rt::Value::newArray(0);
  for (const std::string& t : texts) a.arr().push_back(txt(t));
  return a;
}

bool isThree(const char* var) {
  rt::Value v = varOr(var);
  return v.isNum() && v.num() == 3;
}

// The fields in the order the navigation counts them; the dictionary fields exist only while
// their parameter is 3.
std::vector<Field> currentFields() {
  std::vector<Field> fields;
  for (int p = 1; p <= 19; ++p) {
    if (p == 10) {
      for (int part = 0; part < 4; ++part) fields.push_back({10, part});
      continue;
    }
    fields.push_back({p});
    if (p == 7 && isThree("kor")) fields.push_back({7, 0, true});
    if (p == 8 && isThree("zusx_sposob")) fields.push_back({8, 0, true});
  }
  return fields;
}

// The place (1-based) of the auxiliary basis period's first field in the navigation.
int firstPeriodField() {
  const std::vector<Field> fields = currentFields();
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].param == 10 && fields[i].part == 0) return int(i) + 1;
  return 1;
}

class ParameterWindow {
 public:
  ParameterWindow(int ilOpcji, int top) : ilOpcji_(ilOpcji), top_(top) {}

  void run() {
    const double oldOd = numVar("zusx_pom_od"), oldDo = numVar("zusx_pom_do");
    doPlac_ = textArray({display("Wartos`c` zasil`ku i liczbe` dni"),
                         display("    Tylko wartos`c` zasil`ku    ")});
    rObl_ = textArray({display(" Data kon`cza`ca zasil`ek "), display(" Data wypl`aty zasil`ku ")});
    rMies_ = textArray({display(" Z roku poprzedniego "), display(" Z roku biex`a`cego ")});
    threeWay_ = textArray({"   Tak    ", "   Nie    ", display("Wg sl`ownika")});
    declareWorkingCopies();
    DictionaryList list = USTAL_SLOWNIKI();
    vars().assign("_slowniki", textArray(list.texts));
    vars().assign("_kody_sl", textArray(list.letters));
    firstDictionary_ = list.texts.empty() ? "" : list.texts.front();

    ColourSet colours(38);
    // The window stays on the screen: the bottom row is kept above the status line.
    OpenWindow window(-2, top_, 2, std::min(top_ + 1 + ilOpcji_, 23), 77, "Parametry programu", 38);
    drawLabels();
    call("STATLINE", {num(138)});
    if (isThree("kor")) {
      vars().assign("popraw", num(1));
      vars().assign("pom_sl", num(positionOf(list.letters, textVar("zusx_slownik"))));
    }
    if (isThree("zusx_sposob")) {
      vars().assign("popraw1", num(1));
      vars().assign("pom_sl1", num(positionOf(list.letters, textVar("zusx_slow1"))));
    }
    for (const Field& f : currentFields()) show(f);

    int opcja = 1;
    for (;;) {
      do {
        std::vector<Field> fields = currentFields();
        if (opcja >= 1 && opcja <= int(fields.size())) edit(fields[size_t(opcja - 1)]);
      } while (!navigate(opcja, ilOpcji_ + (isThree("kor") ? 1 : 0)));
      if (numVar("zusx_pom_od") <= numVar("zusx_pom_do")) break;
      message("Pierwszy parametr podstawy pomocniczej nie mox`e byc` wie`kszy od drugiego!");
      // Back to the period's first field, wherever the dictionary fields before it put it.
      opcja = firstPeriodField();
    }
    if (numVar("zusx_pom_od") != oldOd || numVar("zusx_pom_do") != oldDo) {
      if (decide(true, "Czy przywro`cic` poprzednie wartos`ci parametro`w ?",
                 {"Zmiana okresu uwzgle`dniania podstawy pomocniczej", "musi byc` dokonana poprawnie.",
                  "Niewl`as`ciwa zmiana doprowadzi do bl`e`dnego naliczania zasil`ko`w !"})) {
        vars().assign("zusx_pom_od", rt::Value::integer(int64_t(oldOd)));
        vars().assign("zusx_pom_do", rt::Value::integer(int64_t(oldDo)));
      }
    }
    copyBack();
    saveParameters();
  }

 private:
  void declareWorkingCopies() {
    rt::Memvars& v = vars();
    v.declarePrivate("zaok1", varOr("zusx_zaok1"));
    v.declarePrivate("zaok2", varOr("zusx_zaok2"));
    v.declarePrivate("mies", varOr("zusx_mies"));
    rt::Value wypad = varOr("zusx_wypad");
    v.declarePrivate("wypad", rt::Value::logical(wypad.isChar() && wypad.str() == "T"));
    v.declarePrivate("kor", varOr("zusx_kor"));
    v.declarePrivate("rodz_zaok", varOr("zusx_rzaok"));
    v.declarePrivate("pr_zas", varOr("zusx_pr"));
    v.declarePrivate("were", rt::Value::newArray(size_t(std::max(ilOpcji_, 22))));
    v.declarePrivate("popraw", num(0));
    v.declarePrivate("popraw1", num(0));
    v.declarePrivate("pom_sl", num(1));
    v.declarePrivate("pom_sl1", num(1));
    v.declarePrivate("_slowniki", rt::Value::newArray(0));
    v.declarePrivate("_kody_sl", rt::Value::newArray(0));
    v.declarePrivate("do_plac", doPlac_);
    v.declarePrivate("r_obl", rObl_);
    v.declarePrivate("r_mies", rMies_);
  }

  void copyBack() {
    rt::Memvars& v = vars();
    v.assign("zusx_zaok1", v.get("zaok1"));
    v.assign("zusx_zaok2", v.get("zaok2"));
    v.assign("zusx_mies", v.get("mies"));
    v.assign("zusx_wypad", txt(v.get("wypad").logicalOr(false) ? "T" : "N"));
    v.assign("zusx_kor", v.get("kor"));
    v.assign("zusx_rzaok", v.get("rodz_zaok"));
    v.assign("zusx_pr", v.get("pr_zas"));
  }

  static int positionOf(const std::vector<std::string>& letters, const std::string& letter) {
    auto it = std::find(letters.begin(), letters.end(), letter);
    return it == letters.end() ? 1 : int(it - letters.begin()) + 1;
  }

  int row(int param) const { return top_ + param + 1; }
  static int dlenIndex(int param) { return param <= 10 ? param : param + 3; }
  int offset(int param) const {
    const rt::Value& were = vars().get("were");
    size_t i = size_t(dlenIndex(param) - 1);
    return i < were.arr().size() ? int(were.arr()[i].numOr(0)) : 0;
  }
  int valueCol(int param) const { return kLabelCol + offset(param); }

  void drawLabels() {
    rt::term::Screen& s = rt::term::screen();
    for (int p = 1; p <= 19; ++p) {
      say(row(p), kLabelCol, _DLEN(kLabels[p - 1], dlenIndex(p)));
      if (p == 7 || p == 8) {
        say(row(p), s.col() + (p == 7 ? 13 : 11), display(kDictionaryCaption));
        (p == 7 ? dictCol7_ : dictCol8_) = s.col();
      }
    }
    vars().assign("pozycja_x", num(dictCol7_));
    vars().assign("pozycja_x1", num(dictCol8_));
    rt::Value& were = *vars().find("were");
    for (size_t i = 10; i < 13; ++i) were.arr()[i] = were.arr()[9];
  }

  // Parameter 10's four values stand over the "00", "00", "00" and "0000" of its label.
  int periodCol(int part) const {
    static const int back[4] = {30, 24, 7, 4};
    return kLabelCol + offset(10) - 2 - back[part];
  }

  struct Spec {
    const char* var;
    const char* picture;  // nullptr: a choice
    const char* check;
  };

  Spec specOf(const Field& f) const {
    switch (f.param) {
      case 1: return {"zaok1", "99999.99", "zaok1 > 0"};
      case 2: return {"zaok2", "99999.99", "zaok2 > 0"};
      case 3: return {"rodz_zaok", "!", "rodz_zaok $ \"MG\""};
      case 4: return {"pr_zas", "999", "pr_zas >= 0 .AND. pr_zas <= 100"};
      case 5: return {"mies", "99", "mies>=0 .AND. mies<=12"};
      case 6: return {"wypad", nullptr, ""};
      case 7: return {f.dictionary ? "pom_sl" : "kor", nullptr, ""};
      case 8: return {f.dictionary ? "pom_sl1" : "zusx_sposob", nullptr, ""};
      case 9: return {"zusx_plc", nullptr, ""};
      case 10: {
        static const char* vars[4] = {"zusx_pom_od", "zusx_pom_do", "zusx_pom_m", "zusx_pom_r"};
        return {vars[f.part], f.part == 3 ? "9999" : "99", ""};
      }
      case 11: return {"zusx_dni_kal", nullptr, ""};
      case 12: return {"zusx_dt_obl", nullptr, ""};
      case 13: return {"zusx_filtr", nullptr, ""};
      case 14: return {"zusx_biez", nullptr, ""};
      case 15: return {"zusx_ozn", "9", ""};
      case 16: return {"zusx_chzk", "99", "zusx_chzk >= 0"};
      case 17: return {"zusx_rehab", "999.99", "zusx_rehab >= 0"};
      case 18: return {"zusx_chz50", "99", "zusx_chz50 >= 0"};
      default: return {"zusx_sprsk", "999.99", "zusx_sprsk >= 0"};
    }
  }

  rt::Value listOf(const Field& f) const {
    if (f.dictionary) return varOr("_slowniki");
    switch (f.param) {
      case 7: case 8: return threeWay_;
      case 9: return doPlac_;
      case 12: return rObl_;
      case 14: return rMies_;
      default: return {};
    }
  }

  int colOf(const Field& f) const {
    if (f.dictionary) return f.param == 7 ? dictCol7_ : dictCol8_;
    if (f.param == 8) return valueCol(8) - 2;  // no gap after this label
    if (f.param == 10) return periodCol(f.part);
    if (f.param == 15) return valueCol(15) + 4;
    return valueCol(f.param);
  }

  void show(const Field& f) {
    Spec s = specOf(f);
    if (s.picture) showValue(row(f.param), colOf(f), s.var, s.picture);
    else showChoice(row(f.param), colOf(f), s.var, listOf(f));
  }

  void edit(const Field& f) {
    Spec s = specOf(f);
    if (s.picture) {
      editValue(row(f.param), colOf(f), s.var, s.picture, s.check);
      return;
    }
    rt::Value before = varOr(s.var);
    editChoice(row(f.param), colOf(f), s.var, listOf(f));
    if (f.dictionary) {
      int at = int(numVar(s.var));
      const rt::Value letters = varOr("_kody_sl");
      if (at > 0 && letters.isArray() && size_t(at) <= letters.arr().size())
        vars().assign(f.param == 7 ? "zusx_slownik" : "zusx_slow1", letters.arr()[size_t(at - 1)]);
    } else if (f.param == 7 || f.param == 8) {
      afterThreeWay(f.param, before);
    }
  }

  // A switch to or from "by dictionary" shows the first dictionary or blanks the shown one.
  void afterThreeWay(int param, const rt::Value& before) {
    const char* var = param == 7 ? "kor" : "zusx_sposob";
    rt::Value now = varOr(var);
    if (now.isNum() && before.isNum() && now.num() == before.num()) return;
    vars().assign(param == 7 ? "pom_sl" : "pom_sl1", num(1));
    int col = param == 7 ? dictCol7_ : dictCol8_;
    std::string first = display(firstDictionary_);
    if (isThree(var)) {
      vars().assign(param == 7 ? "popraw" : "popraw1", num(1));
      sayIn(row(param), col, first, call("K_SET_KOLOR", {num(0), num(38), num(5)}).strOr(""));
    } else {
      vars().assign(param == 7 ? "popraw" : "popraw1", num(0));
      sayIn(row(param), col, std::string(first.size(), ' '),
            call("K_SET_KOLOR", {num(0), num(38), num(1)}).strOr(""));
    }
  }

  int ilOpcji_, top_;
  int dictCol7_ = 0, dictCol8_ = 0;
  std::string firstDictionary_;
  rt::Value doPlac_, rObl_, rMies_, threeWay_;
};

}  // namespace

std::string _DLEN(const std::string& storedLabel, int ktory) {
  std::string shown = display(storedLabel);
  rt::Value* were = vars().find("were");
  if (were && were->isArray() && ktory >= 1 && size_t(ktory) <= were->arr().size())
    were->arr()[size_t(ktory - 1)] = rt::Value::integer(int64_t(shown.size()) + 2);
  return shown;
}

void ED_PAR(int ilOpcji, int wiersz) {
  rt::PrivateFrame frame(vars());
  ParameterWindow(ilOpcji, wiersz).run();
}

DictionaryList USTAL_SLOWNIKI() {
  DictionaryList list;
  WaitMessage wait("przygotowanie danych");
  SelectedArea area;
  if (!call("_OPEN_SET", {txt("SLOWNIK"), txt("S")}).logicalOr(false)) return list;
  call("DBSELECTAREA", {txt("sl")});
  call("CMFILTER", {txt("right( sl->kod, 2 ) == \"  \" .and. right( wart, 1 ) $ \"13\" ")});
  for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) {
    std::string kod = rt::evalText("sl->kod").strOr("");
    std::string wart = rt::evalText("sl->wart").strOr("");
    bool header = kod.size() >= 2 && kod.substr(kod.size() - 2) == "  ";
    bool offered = !wart.empty() && (wart.back() == '1' || wart.back() == '3');
    if (!header || !offered) continue;
    list.texts.push_back(rt::evalText("sl->skrot").strOr("") + " - " +
                         rt::evalText("sl->nazwa").strOr(""));
    list.letters.push_back(kod.substr(0, 1));
  }
  call("_CLOSE_SET", {txt("SL")});
  return list;
}

void _EDITSLOW(int podl) {
  rt::PrivateFrame frame(vars());
  vars().declarePrivate("podl", num(podl));
  vars().declarePrivate("slowakt", varOr("zusx_slownik"));
  vars().declarePrivate("slowakt1", varOr("zusx_slow1"));
  if (podl == 1) {
    if (isThree("zusx_kor")) call("MODISLOW", {rt::Value(), varOr("zusx_slownik")});
    else message("Nie podl`. pozycji \"Wg sl`ownika\" w param.\"Czy dopel`niac` podstawe`?\"");
  } else if (podl == 2) {
    if (isThree("zusx_sposob")) call("MODISLOW", {rt::Value(), varOr("zusx_slow1")});
    else message("Nie podl`. pozycji \"Wg sl`ownika\" w param.\"Czy obliczac` zasil`ki ZUS?\"");
  }
}

void registerParameterRoutines() {
  rt::Functions& f = rt::functions();
  f.add("ED_PAR", [](rt::Args& a) {
    ED_PAR(int(a[0].intOr(23)), int(a[1].intOr(2)));
    return rt::Value();
  });
  f.add("_DLEN", [](rt::Args& a) { return txt(_DLEN(a[0].strOr(""), int(a[1].intOr(0)))); });
  f.add("_EDITSLOW", [](rt::Args& a) {
    _EDITSLOW(int(a[0].intOr(0)));
    return rt::Value();
  });
}

}  // namespace zus
