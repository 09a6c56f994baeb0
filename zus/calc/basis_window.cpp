// Drawing of the basis window.
#include "zus/calc/basis_window.h"

#include "runtime/core/std_dates.h"
#include "runtime/term/keys.h"
#include "zus/calc/basis_vars.h"
#include "zus/shell/settings_support.h"

namespace zus::basis {
namespace {

constexpr int kTop = 1;
constexpr int kLeft = 7;
constexpr int kColourSet = 38;
const std::string kSep = "\xB3";  // the vertical box line of code page 852

std::string display(const std::string& stored) { return settings::display(stored); }

std::string str(double v, int width, int decimals = 0) {
  return call("STR", {rt::Value::number(v, decimals), rt::Value::integer(width), rt::Value::integer(decimals)})
      .strOr("");
}

std::string centred(const std::string& s, int width) {
  return call("CENTR", {rt::Value::text(s), rt::Value::integer(width)}).strOr(s);
}

std::string dateText(int32_t day) { return rt::dtoc(day); }

// Puts the previous status line back on every way out of the window.
struct StatusLine {
  StatusLine() = default;
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;
  ~StatusLine() { call("STATLINE", {rt::Value::integer(-1)}); }
};

bool blank(const std::array<std::string, 4>& texts) {
  for (const std::string& t : texts)
    if (!trim(t).empty()) return false;
  return true;
}

}  // namespace

std::string monthAbbreviation(int month) {
  static const char* const names[12] = {"STY", "LUT", "MAR", "KW ", "MAJ", "CZE",
                                        "LIP", "SIE", "WRZ", "PAZ`", "LIS", "GRU"};
  if (month < 1 || month > 12) return "   ";
  return display(names[month - 1]);
}

double countedSum(const BasisSet& b) {
  double sum = 0;
  for (int i = 0; i < b.count(); ++i)
    if (size_t(i) < b.counts.size() && b.counts[size_t(i)] && size_t(i) < b.filledUp.size())
      sum += b.filledUp[size_t(i)].value;
  return sum;
}

void showBasisWindow(const BasisSet& b, const WindowSubject& s, WindowKind kind,
                     const Num& parentalShortfall, const std::function<void()>& print) {
  const int n = b.count();
  const int T = kTop, L = kLeft;
  settings::OpenWindow window(-2, T, L, T + 9 + n, 80 - L, "Dane o podstawach", kColourSet);
  settings::ColourSet colours(kColourSet);
  const std::string bold = call("K_BOLD", {rt::Value::integer(0), rt::Value::integer(kColourSet)}).strOr("");
  auto say = [](int row, int col, const std::string& text) { settings::say(row, col, text); };
  auto sayBold = [&](int row, int col, const std::string& text) { settings::sayIn(row, col, text, bold); };

  say(T + 1, L + 2, "Pracownik  ");
  sayBold(T + 1, L + 13,
          display(trim(s.firstName) + " " + trim(s.surname)) + "  Nr " + s.number);
  say(T + 2, L + 2, display("Data pocza`tku ubezp. "));
  sayBold(T + 2, L + 25, dateText(b.insuranceStart));
  say(T + 3, L + 2, display("Zasil`ek: "));
  sayBold(T + 3, L + 15, display(trim(b.kindName)));
  say(T + 3, L + 26, display(" z okresu: "));
  sayBold(T + 3, L + 37, dateText(s.from) + " - " + dateText(s.to));

  std::string header = "Mc " + kSep + "Rok " + kSep + centred("Podstawa", 10) + kSep +
                       centred("Podst.dop.", 10) + kSep + centred("Dni pracy", 10) + kSep +
                       centred("Dni rob.", 10) + kSep + centred("Wyp", 3) + kSep;
  if (s.calendarDays) header += centred("Kal.", 4) + kSep;
  say(T + 4, L + 2, header);

  for (int i = 0; i < n; ++i) {
    size_t k = size_t(i);
    bool counts = k < b.counts.size() && b.counts[k];
    int month = b.months[k] ? int(b.months[k]->value) : 0;
    double year = b.years[k] ? b.years[k]->value : 0;
    std::string row = monthAbbreviation(month) + kSep + str(year, 4) + kSep +
                      str(b.basis[k].value, 10, 2) + kSep +
                      str(counts ? b.filledUp[k].value : 0, 10, 2) + kSep +
                      str(b.daysWorked[k].value, 10) + kSep + str(b.workingDays[k].value, 10) +
                      kSep + (counts ? "   " : "WYP") + kSep;
    if (s.calendarDays) row += str(b.calendarDays[k].value, 4) + kSep;
    say(T + 4 + i + 1, L + 2, row);
  }

  say(T + 5 + n, L + 2, display("Podsumowanie: "));
  sayBold(T + 5 + n, L + 22, str(countedSum(b), 10, 2));
  say(T + 6 + n, L + 2, "Podstawa pomocnicza: " + str(b.auxiliary.value, 10, 2));
  if (b.auxiliary.value > 0 && s.auxiliaryFrom == s.auxiliaryTo) {
    if (s.auxiliaryMonth < 1 || s.auxiliaryYear < 1) {
      call("KOM3", {rt::Value::text("Brak w parametrach inf. o miesia`cu i roku dla podstawy pomocniczej!"),
                    rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
    } else {
      say(T + 6 + n, L + 43, display("z miesia`ca: ") + monthAbbreviation(s.auxiliaryMonth));
      // The year trimmed: a number's full width would run over the frame.
      say(T + 6 + n, L + (kind == WindowKind::Calculation ? 59 : 58),
          trim(str(s.auxiliaryYear, 10)));
    }
  }

  std::array<std::string, 4> texts = b.texts;
  if (kind == WindowKind::Register && blank(texts)) texts = s.recordTexts;
  auto sayRemark = [&](int row) {
    if (kind == WindowKind::Calculation) sayBold(row, L + 2, trim(b.remark));
    else say(row, L + 2, trim(b.remark));
  };
  if (!s.averageKind) {
    say(T + 7 + n, L + 2, "Procent ");
    sayBold(T + 7 + n, L + 10, texts[0]);
    say(T + 7 + n, L + 14, "Stawka dzienna ");
    sayBold(T + 7 + n, L + 31, texts[1]);
    say(T + 7 + n, L + 42, "Dni ");
    sayBold(T + 7 + n, L + 46,
            texts[2] + " " + (s.firstDayUnpaid ? display("(pierwszy niepl`)") : std::string()));
    say(T + 8 + n, L + 14, display("Wartos`c` zasil`ku"));
    sayBold(T + 8 + n, L + 31, texts[3]);
    sayRemark(T + 9 + n);
  } else {
    say(T + 7 + n, L + 14,
        display(kind == WindowKind::Calculation ? "Wartos`c` s`redniej" : "Wartos`c`  s`redniej"));
    sayBold(T + 7 + n, L + 31, texts[3]);
    sayRemark(T + 8 + n);
  }

  call("STATLINE", {rt::Value::text("F6-wydruk, Dowolny inny klawisz-dalej")});
  StatusLine previousStatusBack;
  if (kind == WindowKind::Calculation && parentalShortfall.value > 0) {
    std::string amount = numberText(parentalShortfall);
    rt::Value lines = rt::Value::newArray(0);
    lines.arr().push_back(rt::Value::text("Wielkos`c` zasil`ku jest mniejsza od s`wiadczenia rodzicielskiego"));
    lines.arr().push_back(rt::Value::text("o kwote`: " + amount + " zl`."));
    lines.arr().push_back(rt::Value::text("Wprowadz` wyro`wnanie zasil`ku macierzyn`skiego."));
    call("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(10)});
  }
  int key = int(call("INKEY", {rt::Value::integer(0)}).intOr(0));
  if (key == rt::term::K_F6 && print) print();
}

}  // namespace zus::basis
