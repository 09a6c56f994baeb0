// The basis print.
#include "zus/calc/basis_print.h"

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "zus/calc/basis_vars.h"
#include "zus/calc/basis_window.h"
#include "zus/shell/settings_support.h"

namespace zus::basis {
namespace {

struct Glyphs {
  std::string h, v, tl, tr, bl, br, lt, rt, dt, ut, cross, sep;
};

Glyphs glyphs(bool graphic) {
  if (graphic)
    return {"\xC4", "\xB3", "\xDA", "\xBF", "\xC0", "\xD9", "\xC3", "\xB4", "\xC2", "\xC1", "\xC5", " \xB3 "};
  return {"-", "|", "/", "\\", "\\", "/", "|", "|", "-", "-", "+", " | "};
}

std::string rep(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string padRight(const std::string& s, size_t w) {
  return s.size() >= w ? s.substr(0, w) : s + std::string(w - s.size(), ' ');
}

std::string padCentre(const std::string& s, size_t w) {
  if (s.size() >= w) return s.substr(0, w);
  size_t left = (w - s.size()) / 2;
  return std::string(left, ' ') + s + std::string(w - s.size() - left, ' ');
}

std::string str(double v, int width, int decimals = 0) {
  return call("STR", {rt::Value::number(v, decimals), rt::Value::integer(width), rt::Value::integer(decimals)})
      .strOr("");
}

std::string display(const std::string& stored) { return settings::display(stored); }

// A rule across the columns: `a` at the left, `b` between the columns, `c` at the right.
std::string rule(const Glyphs& g, const std::string& a, const std::string& joint, const std::string& c) {
  return a + rep(g.h, 17) + joint + rep(g.h, 6) + joint + rep(g.h, 17) + joint + rep(g.h, 17) + joint +
         rep(g.h, 12) + joint + rep(g.h, 12) + joint + rep(g.h, 15) + c;
}

std::string monthName(int month) {
  rt::Value names = var("tab_mies");
  if (month < 1 || month > 12 || !names.isArray() || size_t(month) > names.arr().size()) return "";
  std::string name = display(names.arr()[size_t(month - 1)].strOr(""));
  return call("Z_DUZEJ", {rt::Value::text(name)}).strOr(name);
}

bool blank(const std::array<std::string, 4>& texts) {
  for (const std::string& t : texts)
    if (!trim(t).empty()) return false;
  return true;
}

// Restores the print layer's device state on every way out of the print.
struct DeviceClose {
  DeviceClose() = default;
  DeviceClose(const DeviceClose&) = delete;
  DeviceClose& operator=(const DeviceClose&) = delete;
  ~DeviceClose() { call("DEV_CLOSE"); }
};

}  // namespace

PrintLines basisPrintLines(const BasisSet& b, const PrintSubject& s, bool graphic,
                           const std::string& on, const std::string& off) {
  const Glyphs g = glyphs(graphic);
  const size_t codes = on.size() + off.size();
  PrintLines p;
  p.title.push_back(g.tl + rep(g.h, 102) + g.tr);
  p.title.push_back(g.v + " " +
                    padRight("Pracownik: " + on + display(trim(s.firstName) + " " + trim(s.surname)) + off, 50 + codes) +
                    " " + padRight("Numer: " + on + s.number + off, 16 + codes) +
                    padRight(display("  Data pocza`tku ubezp. ") + rt::dtoc(b.insuranceStart), 33) + " " + g.v);
  p.title.push_back(g.v + " " + display("Zasil`ek: ") + on + padCentre(display(trim(b.kindName)), 15) + off +
                    " z okresu: " + on + padCentre(rt::dtoc(s.from) + " - " + rt::dtoc(s.to), 30) + off +
                    std::string(36, ' ') + g.v);
  p.title.push_back(rule(g, g.lt, g.dt, g.rt));
  p.title.push_back(g.v + " " + padCentre(display("Miesia`c"), 15) + g.sep + padCentre("Rok", 4) + g.sep +
                    padCentre("Podstawa", 15) + g.sep + padCentre(display("Podstawa"), 15) + g.sep +
                    padCentre("Dni", 10) + g.sep + padCentre("Dni", 10) + g.sep +
                    padCentre(display("Czy miesia`c"), 13) + " " + g.v);
  p.title.push_back(g.v + " " + std::string(15, ' ') + g.sep + std::string(4, ' ') + g.sep +
                    padCentre("z archiwum", 15) + g.sep + padCentre(display("dopel`niona"), 15) + g.sep +
                    padCentre("przeprac.", 10) + g.sep + padCentre("robocze", 10) + g.sep +
                    padCentre("wypada ?", 13) + " " + g.v);
  p.title.push_back(rule(g, g.lt, g.cross, g.rt));
  p.foot = {rule(g, g.bl, g.ut, g.br), call("TXT_REKLAMA").strOr("")};

  double sum = 0;
  for (int i = 0; i < b.count(); ++i) {
    size_t k = size_t(i);
    bool counts = k < b.counts.size() && b.counts[k];
    double f = counts ? b.filledUp[k].value : 0;
    sum += f;
    int month = b.months[k] ? int(b.months[k]->value) : 0;
    std::string year = b.years[k] ? trim(str(b.years[k]->value, 10)) : "";
    p.rows.push_back(g.v + " " + padRight(monthName(month), 15) + g.sep + padCentre(year, 4) + g.sep +
                     str(b.basis[k].value, 15, 2) + g.sep + str(f, 15, 2) + g.sep +
                     str(b.daysWorked[k].value, 10) + g.sep + str(b.workingDays[k].value, 10) + g.sep +
                     padCentre(counts ? "" : "Tak", 13) + " " + g.v);
  }

  std::array<std::string, 4> t = blank(b.texts) ? s.recordTexts : b.texts;
  std::string lineA, lineB;
  if (!s.averageKind) {
    lineA = g.v + padRight(" Procent: " + on + t[0] + "%" + off + std::string(10, ' ') + "Stawka dzienna: " + on +
                               t[1] + off + std::string(10, ' ') + "Dni: " + on + t[2] + off,
                           102 + 3 * codes) + g.v;
    lineB = g.v + std::string(22, ' ') + padRight(display(" Wartos`c` zasil`ku: ") + on + t[3] + off, 80 + codes) + g.v;
  } else {
    lineA = g.v + std::string(22, ' ') + padRight(display(" Wartos`c` s`redniej: ") + on + t[3] + off, 80 + codes) + g.v;
    lineB = g.v + std::string(102, ' ') + g.v;
  }
  std::string aux;
  if (b.auxiliary.value > 0 && s.auxiliaryFrom == s.auxiliaryTo) {
    int startMonth = int(b.startMonth.value), startYear = int(b.startYear.value);
    int m = startMonth - s.auxiliaryFrom, y = startYear;
    if (!(s.auxiliaryFrom < startMonth)) {
      m += 12;
      y -= 1;
    }
    aux = display("z miesia`ca: ") + monthName(m) + " " + str(y, 4);
  }
  p.closing = {
      g.lt + rep(g.h, 17) + g.ut + rep(g.h, 6) + g.ut + rep(g.h, 17) + g.cross + rep(g.h, 17) + g.cross +
          rep(g.h, 12) + g.ut + rep(g.h, 12) + g.ut + rep(g.h, 15) + g.rt,
      g.v + " " + padRight(display("Podsumowanie: "), 40) + g.sep + on + str(sum, 15, 2) + off + g.sep +
          std::string(40, ' ') + g.v,
      g.lt + rep(g.h, 42) + g.ut + rep(g.h, 17) + g.ut + rep(g.h, 41) + g.rt,
      g.v + " " + "Podstawa pomocnicza: " + str(b.auxiliary.value, 10, 2) + std::string(6, ' ') + padRight(aux, 63) +
          " " + g.v,
      lineA,
      lineB,
      g.v + padRight(display(trim(b.remark)), 102) + g.v,
      g.bl + rep(g.h, 102) + g.br,
  };
  return p;
}

void printBasis(const BasisSet& b, const PrintSubject& s) {
  rt::PrivateFrame frame(rt::context().memvars);
  rt::Memvars& v = rt::context().memvars;
  v.declarePrivate("dev_tytul", rt::Value::newArray(0));
  v.declarePrivate("dev_stopka", rt::Value::newArray(0));
  v.declarePrivate("tytul_proc", rt::Value::text(""));  // the title lines, no other print's routine
  call("DEV");
  PrintLines p = basisPrintLines(b, s, logicalVar("p_graf"), textVar("dev_b_on"), textVar("dev_b_off"));
  auto list = [](const std::vector<std::string>& lines) {
    rt::Value a = rt::Value::newArray(0);
    for (const std::string& l : lines) a.arr().push_back(rt::Value::text(l));
    return a;
  };
  call("WYB_URZ");
  DeviceClose closeDevice;
  // A cancelled choice of the device prints nothing.
  if (numVar("urzadzenie", 0) < 1) return;
  call("DEV_OPEN");
  v.assign("dev_tytul", list(p.title));
  v.assign("dev_stopka", list(p.foot));
  for (const std::string& row : p.rows) call("DEV_LINIA", {rt::Value::text(row)});
  // Below the last month the closing block draws its own bottom: the foot keeps the footer text.
  rt::Value foot = var("dev_stopka");
  if (foot.isArray() && !foot.arr().empty()) foot.arr()[0] = list({call("TXT_REKLAMA").strOr("")});
  // The closing block line by line: the print layer takes one line per call.
  for (const std::string& line : p.closing) call("DEV_LINIA", {rt::Value::text(line)});
}

}  // namespace zus::basis
