// The monthly calculation run of a large company: the demo company with its staff replaced by
// many employees (default 10,000), each with two years of payroll archive and one sick-pay record
// in the payroll month. The company is built once; each repetition copies it afresh and times
// `OBL_ZAS` over every employee on the headless console, as the menu would start it. Prints the
// best and every time, the summary counts, and a digest of what the run stored in every record
// (amounts, status, months counted and the saved basis text), so that two builds can be shown to
// store the same; --dump writes those fields record by record for a diff. --terminal 1 times the
// runs on the real terminal (run it in a terminal of at least 80 x 25, e.g. in tmux), so the cost
// of drawing the run's windows is counted as the program pays it; the figures then follow at the
// end on the error output (which may go to a file: the terminal is the standard input and output).
//
// Usage: calc_run_bench [--employees N] [--runs R] [--dir DIR] [--dump FILE] [--terminal 1]
#include <sys/resource.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/curses_backend.h"
#include "runtime/term/headless.h"
#include "suite/company/company.h"
#include "suite/company/memory_store.h"
#include "suite/demo/demo_calendar.h"
#include "suite/demo/demo_company.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"
#include "zus/program/program_functions.h"
#include "zus/shell/startup.h"

namespace fs = std::filesystem;

namespace {

using namespace suite::demo;

using Fields = std::vector<std::pair<std::string, rt::Value>>;

rt::Value txt(const std::string& s) { return rt::Value::text(s); }
rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }
rt::Value flag(bool b) { return rt::Value::logical(b); }

// The report, printed at once or, while the real terminal is in use, kept for the end.
bool holdReport = false;
std::string heldReport;
void say(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (holdReport) heldReport += line;
  else std::fputs(line, stdout);
}

double nowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Processor time of the process (user and system), which a busy machine disturbs less than the
// wall clock.
double cpuMs() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Replaces a table of the company by a new empty one, opened alone for appending.
void recreate(const std::string& dir, const char* table) {
  const suite::TableDef* def = suite::findTable(table);
  std::string path = (def->dir == suite::CompanyDir::Personnel ? dir + "KADRY/" : dir) + def->name;
  for (const char* ext : {".dbf", ".cdx", ".fpt", ".DBF", ".CDX", ".FPT"}) fs::remove(path + ext);
  suite::createTable(path, *def);
  suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(path + ".dbf"), txt(def->alias), flag(false), flag(false)});
}
void done() {
  suite::call("DBCOMMIT");
  suite::call("DBCLOSEAREA");
}

// The demo company's staff, archive and register replaced by `count` employees: pay between
// 3,500 and 12,000, hired 1 to 20 years ago, one absent month in ten, and a sick-pay record of
// the payroll month each (every tenth one a sickness benefit paid on behalf of ZUS).
void buildStaff(const std::string& dir, Month payroll, int count) {
  static const char* surnames[] = {"Nowak", "Kowalski", "Wis`niewski", "Wo`jcik", "Kowalczyk",
                                   "Kamin`ski", "Lewandowski", "Zielin`ski", "Szyman`ski", "Woz`niak"};
  static const char* names[] = {"Jan", "Anna", "Piotr", "Maria", "Tomasz", "Ewa", "Marcin", "Zofia"};
  Random rnd{16016};
  struct Person {
    int salary;
    int32_t hired;
  };
  std::vector<Person> staff;
  Month archived = monthsBack(payroll, 1);
  recreate(dir, "MAIN");
  for (int n = 1; n <= count; ++n) {
    Person p{rnd.between(35, 120) * 100, 0};
    Month hired = monthsBack(payroll, rnd.between(12, 240));
    p.hired = suite::dayNumber(hired.year, hired.month, 1);
    suite::appendRecord({{"nr_prac", txt(employeeNumber(n))},
                         {"nazwisko", txt(std::string(surnames[n % 10]) + " " + std::to_string(n))},
                         {"imie", txt(names[n % 8])},
                         {"status", num(1)},
                         {"data_zatr", rt::Value::date(p.hired)},
                         {"data_zus", rt::Value::date(suite::dayNumber(payroll.year, 1, 1))},
                         {"rok_arc", num(archived.year)},
                         {"mies_arc", num(archived.month)},
                         {"sl_slow1", txt("D0" + std::to_string(n % 4 + 1))},
                         {"sl_grupa", txt("G01")},
                         {"stat_obl", num(0)}});
    staff.push_back(p);
  }
  done();

  recreate(dir, "MAIN_2");
  for (int n = 1; n <= count; ++n)
    suite::appendRecord({{"nr_prac", txt(employeeNumber(n))},
                         {"data_ur", rt::Value::date(suite::dayNumber(payroll.year - 40, 5, 5))},
                         {"kd_ubezp", rt::Value::date(staff[size_t(n - 1)].hired)}});
  done();

  recreate(dir, "ARCHIW");
  auto archiveRecord = [&](const std::string& nr, const std::string& code, auto valueAt) {
    Fields f{{"nr_prac", txt(nr)}, {"kod", txt(code)}};
    for (int d = 0; d < suite::kArchiveDepths; ++d) f.push_back({suite::archiveField(d), num(valueAt(d), 2)});
    suite::appendRecord(f);
  };
  archiveRecord("    0", "B007", [&](int d) { return double(workingDays(monthsBack(payroll, d))); });
  archiveRecord("    0", "B039", [&](int d) { return monthsBack(payroll, d).year >= 2025 ? 4666.0 : 4242.0; });
  archiveRecord("    0", "B040", [](int) { return 1000.0; });
  for (int n = 1; n <= count; ++n) {
    const Person& p = staff[size_t(n - 1)];
    std::vector<double> basis(suite::kArchiveDepths), worked(suite::kArchiveDepths);
    for (int d = 1; d < suite::kArchiveDepths; ++d) {
      Month m = monthsBack(payroll, d);
      if (suite::dayNumber(m.year, m.month, daysIn(m)) < p.hired) continue;
      int days = workingDays(m);
      int absent = rnd.between(0, 9) == 0 ? rnd.between(1, 15) : 0;
      worked[size_t(d)] = days - absent;
      double gross = p.salary * double(days - absent) / days;
      basis[size_t(d)] = double(int64_t(gross * (1 - 0.1371) * 100 + 0.5)) / 100;
    }
    for (int item : {1, 2, 3, 4, 5})
      archiveRecord(employeeNumber(n), "B00" + std::to_string(item), [&](int d) { return basis[size_t(d)]; });
    archiveRecord(employeeNumber(n), "B006", [&](int d) { return worked[size_t(d)]; });
  }
  done();

  recreate(dir, "NIEOBEC");
  for (int n = 1; n <= count; ++n) {
    int from = rnd.between(1, 15), days = rnd.between(1, 12);
    int od = suite::dayNumber(payroll.year, payroll.month, from);
    int slot = n % 10 == 0 ? 1 : 10;
    suite::appendRecord({{"nr_prac", txt(employeeNumber(n))},
                         {"od", rt::Value::date(od)},
                         {"do", rt::Value::date(od + days - 1)},
                         {"l_dni", num(days)},
                         {"zasilek", txt("Z" + twoDigits(slot))},
                         {"procent", num(80)},
                         {"dat_wyp", rt::Value::date(suite::dayNumber(payroll.year, payroll.month, 10))},
                         {"data_prawa", rt::Value::date(od)},
                         {"status", num(2)},
                         {"podat", num(n % 3 == 0 ? 12 : 0)},
                         {"zalicz", num(0, 2)},
                         {"nr_stat", txt("ZLA")},
                         {"place", flag(false)}});
  }
  done();
}

// The run as the menu starts it: every employee, end dates, the payroll month, no repeat of
// correct calculations; the questions answered by their defaults and the summary kept, without
// keys. Returns the milliseconds of `OBL_ZAS` alone, and its processor time in `cpu`.
double timedRun(std::vector<std::string>& summary, int& messages, double& cpu) {
  rt::Functions& f = rt::functions();
  f.add("ZAKRES", [](rt::Args& a) {
    a.assign(0, num(1));
    return rt::Value();
  });
  f.add("MENU", [](rt::Args&) { return num(1); });
  f.add("WYB_OKRESU", [](rt::Args& a) {
    a.assign(2, num(0));
    return flag(true);
  });
  f.add("DECYZJA", [](rt::Args& a) { return flag(a[0].logicalOr(false)); });
  f.add("KOM3", [&messages](rt::Args&) {
    ++messages;
    return rt::Value();
  });
  f.add("SKONCZYLEM", [&summary](rt::Args& a) {
    summary.clear();
    if (a[0].isArray())
      for (const rt::Value& l : a[0].arr()) summary.push_back(l.strOr(""));
    return rt::Value();
  });
  f.add("MFKONIEC", [](rt::Args&) {
    suite::call("DBCLOSEALL");
    return rt::Value();
  });
  double ms = -1;
  f.add("FEKRAN", [&ms, &cpu](rt::Args&) {
    double t0 = nowMs(), c0 = cpuMs();
    rt::functions().call("OBL_ZAS");
    ms = nowMs() - t0;
    cpu = cpuMs() - c0;
    return rt::Value();
  });
  zus::MAIN();
  return ms;
}

// What the run stored, record by record, in one line each.
std::vector<std::string> storedResults(const std::string& dir) {
  std::vector<std::string> lines;
  suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(dir + "NIEOBEC.dbf"), txt("check"), flag(true), flag(false)});
  suite::call("DBSETORDER", {num(0)});
  for (suite::call("DBGOTOP"); !suite::call("EOF").logicalOr(true); suite::call("DBSKIP")) {
    std::string line;
    for (const char* name : {"nr_prac", "status", "wartosc", "netto", "podst_zas", "suma", "druk_podst",
                             "fakt_mies", "zapis_pod"}) {
      rt::Value v = suite::field(name);
      if (v.isNum()) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.2f", v.num());
        line += buf;
      } else {
        line += v.strOr("");
      }
      line += '|';
    }
    for (char& c : line)
      if (c == '\r' || c == '\n') c = '/';
    lines.push_back(line);
  }
  suite::call("DBCLOSEAREA");
  return lines;
}

uint64_t digest(const std::vector<std::string>& lines) {
  uint64_t h = 1469598103934665603ull;
  for (const std::string& l : lines)
    for (unsigned char c : l + "\n") h = (h ^ c) * 1099511628211ull;
  return h;
}

}  // namespace

int main(int argc, char** argv) {
  int employees = 10000, runs = 5;
  bool onTerminal = false;
  std::string base = (fs::temp_directory_path() / "calc_run_bench").string(), dumpFile;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--employees")) employees = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--runs")) runs = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--dir")) base = argv[i + 1];
    else if (!std::strcmp(argv[i], "--dump")) dumpFile = argv[i + 1];
    else if (!std::strcmp(argv[i], "--terminal")) onTerminal = std::atoi(argv[i + 1]) != 0;
  }
  fs::path start = fs::current_path();
  std::string pristine = fs::absolute(base + "/company").string() + "/";
  std::string work = fs::absolute(base + "/run").string() + "/";
  fs::remove_all(base);

  rt::term::Headless screen;
  zus::registerProgramFunctions();
  double t0 = nowMs();
  suite::createDemoCompany(pristine);
  fs::current_path(pristine);
  Month payroll{};
  {
    // The demo's payroll month, as its memory file holds it.
    rt::PrivateFrame frame(rt::context().memvars);
    suite::restoreMemory(pristine + suite::kPayrollMonthFile + ".mem");
    int y, m, d;
    suite::splitDayNumber(rt::context().memvars.get("lum_data").date(), y, m, d);
    payroll = {y, m};
  }
  buildStaff(pristine, payroll, employees);
  fs::current_path(start);
  say("company of %d employees built in %.0f ms (payroll month %02d.%d)\n", employees,
      nowMs() - t0, payroll.month, payroll.year);
  std::optional<rt::term::TerminalSession> terminal;
  if (onTerminal) {
    holdReport = true;
    terminal.emplace();
  }
  auto endReport = [&] {
    terminal.reset();
    std::fputs(heldReport.c_str(), stderr);
    heldReport.clear();
  };

  double best = 0, bestCpu = 0;
  std::vector<std::string> results;
  for (int r = 0; r < runs; ++r) {
    fs::remove_all(work);
    fs::copy(pristine, work, fs::copy_options::recursive);
    fs::current_path(work);
    rt::context().memvars.clearAll();
    zus::registerProgramFunctions();
    std::vector<std::string> summary;
    int messages = 0;
    double cpu = 0;
    double ms = timedRun(summary, messages, cpu);
    rt::db::workAreas().closeAll();
    fs::current_path(start);
    if (ms < 0) {
      say("the run did not start\n");
      endReport();
      return 1;
    }
    if (r == 0 || ms < best) best = ms;
    if (r == 0 || cpu < bestCpu) bestCpu = cpu;
    say("run %d: %.0f ms (processor %.0f ms)\n", r + 1, ms, cpu);
    if (r == 0) {
      for (const std::string& l : summary) say("  %s\n", l.c_str());
      say("  messages: %d\n", messages);
    }
    std::vector<std::string> stored = storedResults(work);
    if (r > 0 && stored != results) {
      say("CHECK FAILED: run %d stored other results than run 1\n", r + 1);
      endReport();
      return 1;
    }
    results = std::move(stored);
  }
  say("best of %d: %.0f ms (processor %.0f ms) for %d employees; stored results digest %016llx\n",
      runs, best, bestCpu, employees, static_cast<unsigned long long>(digest(results)));
  endReport();
  if (!dumpFile.empty()) {
    std::ofstream out(dumpFile, std::ios::binary);
    for (const std::string& l : results) out << l << "\n";
  }
  fs::remove_all(base);
  return 0;
}
