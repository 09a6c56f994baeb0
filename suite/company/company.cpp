// Company directories and the suite's public variables.
#include "suite/company/company.h"

#include <ctime>
#include <filesystem>

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "runtime/print/styled_text.h"
#include "suite/company/memory_store.h"
#include "suite/tables/table_defs.h"

namespace suite {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }

void setPublic(const char* name, rt::Value v) { vars().declarePublic(name, std::move(v)); }

rt::Value monthNames() {
  static const char* names[12] = {"styczen`", "luty", "marzec", "kwiecien`", "maj", "czerwiec",
                                  "lipiec", "sierpien`", "wrzesien`", "paz`dziernik",
                                  "listopad", "grudzien`"};
  rt::Value a = rt::Value::newArray(12);
  for (int i = 0; i < 12; ++i) a.arr()[size_t(i)] = rt::Value::text(names[i]);
  return a;
}

}  // namespace

int32_t dayNumber(int y, int m, int d) { return rt::makeDate(y, m, d); }

void splitDayNumber(int32_t jdn, int& y, int& m, int& d) { rt::splitDate(jdn, y, m, d); }

std::string companyDir() {
  std::string dir = std::filesystem::current_path().string();
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

void INI_FIRM() {
  std::string dir = companyDir();
  setPublic("_path_spec", rt::Value::text(dir));
  setPublic("_path_plac", rt::Value::text(dir));
  setPublic("_path_kadr", rt::Value::text(dir + "KADRY/"));

  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  setPublic("lum_data", rt::Value::date(dayNumber(local.tm_year + 1900, local.tm_mon + 1, 1)));
  setPublic("firm_nazwa", rt::Value::text(""));
  std::string monthFile = dir + kPayrollMonthFile + memoryFileExtension();
  if (memoryFileExists(monthFile)) restoreMemory(monthFile);

  setPublic("len_slow", rt::Value::integer(10));
  setPublic("lum_alfa", rt::Value::logical(false));
  setPublic("main_const", rt::Value::integer(int64_t(findTable("MAIN")->fields.size())));
  setPublic("i_indeks", rt::Value::integer(3));
  setPublic("z_indeks", rt::Value::integer(2));
  setPublic("Enter", rt::Value::integer(13));
  setPublic("Esc", rt::Value::integer(27));
  setPublic("Ins", rt::Value::integer(22));
  setPublic("Del", rt::Value::integer(7));
  setPublic("Ctrl_W", rt::Value::integer(23));
  setPublic("Right", rt::Value::integer(4));
  setPublic("Left", rt::Value::integer(19));
  setPublic("tab_mies", monthNames());
  // Prints draw graphic frames and mark bold and underlined text with the print layer's codes:
  // the screen viewer shows them as attributes, the file and the printer drop them.
  const rt::print::StyleCodes& codes = rt::print::styleCodes();
  setPublic("p_graf", rt::Value::logical(true));
  setPublic("dev_b_on", rt::Value::text(codes.boldOn));
  setPublic("dev_b_off", rt::Value::text(codes.boldOff));
  setPublic("dev_u_on", rt::Value::text(codes.underlineOn));
  setPublic("dev_u_off", rt::Value::text(codes.underlineOff));
}

void registerCompanyFunctions() {
  rt::Functions& f = rt::functions();
  f.add("INI_FIRM", [](rt::Args&) {
    INI_FIRM();
    return rt::Value();
  });
  f.add("DAJ_NIP", [](rt::Args&) { return rt::Value::text("000-000-00-00"); });
  // Text alignment of the company library: exactly `width` characters.
  f.add("ROWNAJ_L", [](rt::Args& a) {
    std::string s = a[0].strOr("");
    s.resize(size_t(std::max<int64_t>(0, a[1].intOr(int64_t(s.size())))), ' ');
    return rt::Value::text(s);
  });
  f.add("ROWNAJ", [](rt::Args& a) {
    std::string s = a[0].strOr("");
    size_t w = size_t(std::max<int64_t>(0, a[1].intOr(int64_t(s.size()))));
    while (!s.empty() && s.back() == ' ') s.pop_back();
    s = s.size() >= w ? s.substr(s.size() - w) : std::string(w - s.size(), ' ') + s;
    return rt::Value::text(s);
  });
  f.add("CENTR", [](rt::Args& a) {
    std::string s = a[0].strOr("");
    size_t w = size_t(std::max<int64_t>(0, a[1].intOr(int64_t(s.size()))));
    size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
    s = b == std::string::npos ? "" : s.substr(b, e - b + 1);
    if (s.size() >= w) return rt::Value::text(s.substr(0, w));
    size_t left = (w - s.size()) / 2;
    return rt::Value::text(std::string(left, ' ') + s + std::string(w - s.size() - left, ' '));
  });
}

}  // namespace suite
