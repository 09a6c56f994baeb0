// Building the demo company: tables, archive, link and settings files.
#include "suite/demo/demo_company.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "suite/company/company.h"
#include "suite/company/file_lookup.h"
#include "suite/company/memory_store.h"
#include "suite/demo/demo_calendar.h"
#include "suite/payroll/payroll_values.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

namespace fs = std::filesystem;
using namespace demo;
using Fields = std::vector<std::pair<std::string, rt::Value>>;

rt::Value txt(const std::string& s) { return rt::Value::text(s); }
rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }
rt::Value date(int y, int m, int d) { return rt::Value::date(dayNumber(y, m, d)); }
rt::Value logical(bool b) { return rt::Value::logical(b); }

// The employee whose sickness of the payroll month the demo's register shows.
constexpr int kSickEmployee = 8;

// The personnel module's FTE dictionary ("E", symbol "ETAT"): MAIN's field of the employee's code.
const FieldDef kFteField{"sl_etat", 'C', 3};

// The day counters of MAIN as the demo's benefit records (see benefits()) fill them: days of sick
// pay, of the sickness benefit and of rehabilitation in `dni_ch`, of care in `dni_op` (and in
// `dni_rdz` when the care is of a family member other than a child).
struct DemoCounters {
  int sickness = 0, care = 0, family = 0;
};
const std::map<int, DemoCounters>& demoCounters() {
  static const std::map<int, DemoCounters> counters{
      {3, {7, 0, 0}},  {7, {14, 0, 0}},  {12, {0, 5, 0}},
      {25, {3, 0, 0}}, {35, {15, 0, 0}}, {kSickEmployee, {18, 0, 0}}};
  return counters;
}

std::string itemCode(char letter, int n) { return std::string(1, letter) + "0" + twoDigits(n); }

double minimumWage(int year) {
  if (year >= 2025) return 4666;
  if (year == 2024) return 4242;
  if (year == 2023) return 3490;
  return 3010;
}

class Builder {
 public:
  Builder(std::string dir, Month payroll) : dir_(std::move(dir)), payroll_(payroll) {}

  void build() {
    fs::create_directories(dir_ + "KADRY");
    fs::create_directories(dir_ + "place");
    fs::create_directories(dir_ + "WYDRUKI");
    dictionary();
    statuses();
    payrollItems();
    functions();
    employees();
    archive();
    benefits();
    personnelItems();
    emptyTables();
    settingsFiles();
    halfTimeEmployee();
  }

 private:
  std::string path(const char* table) {
    const TableDef* def = findTable(table);
    return (def->dir == CompanyDir::Personnel ? dir_ + "KADRY/" : dir_) + def->name;
  }

  // Creates the table, with `extra` fields after the suite's own, and opens it alone for
  // appending.
  void create(const char* table, const std::vector<FieldDef>& extra = {}) {
    TableDef def = *findTable(table);
    def.fields.insert(def.fields.end(), extra.begin(), extra.end());
    createTable(path(table), def);
    open(table);
  }
  // Opens an existing table alone for appending.
  void open(const char* table) {
    call("DBUSEAREA", {logical(true), rt::Value(), txt(path(table) + ".dbf"), txt(findTable(table)->alias),
                       logical(false), logical(false)});
  }
  void done() {
    call("DBCOMMIT");
    call("DBCLOSEAREA");
  }

  void dictionary() {
    create("SLOWNIK");
    appendRecord({{"kod", txt("Z  ")}, {"skrot", txt("ZASILKI")}, {"nazwa", txt("Rodzaje zasil`ko`w")}});
    static const char* abbr[33] = {
        "CHOR_ZUS", "OPIEKA",   "MAC_DOD",  "MACIERZ",  "SR_WYCH",  "WYROWN",   "REHAB",
        "RODZIC",   "OJCOWSKI", "WYN_CHOR", "INNY_0",   "INNY_1",   "INNY_2",   "WYN_SZP",
        "ZUS_SZP",  "ZUS_ZWOL", "ZUS_UMD",  "OPIEK_UMD", "MAC_UMD", "ZUS_WYPUMD", "CHOR_ZUS1",
        "CHOR_ZUS2", "CHOR_ZUS3", "WYN_CH1", "WYN_CH2", "WYN_CH3", "ZUS_WYPAD", "REH_WYPAD",
        "INNY_3",   "INNY_4",   "INNY_5",   "WYR_MAC",  "NIEPL_NP"};
    static const char* names[33] = {
        "Zasil`ek chorobowy ZUS", "Zasil`ek opiekun`czy", "Urlop macierzyn`ski dodatkowy",
        "Urlop macierzyn`ski", "S`rednia podst. urlopu wych.", "Zasil`ek wyro`wnawczy",
        "S`wiadczenie rehabilitacyjne", "Urlop rodzicielski", "Urlop ojcowski",
        "Wynagrodzenie za chorobe`", "Zasil`ek inny 0", "Zasil`ek inny 1", "Zasil`ek inny 2",
        "Wynagrodzenie za chorobe` - szpital", "Zasil`ek chorobowy ZUS - szpital",
        "Zasil`ek chorobowy ZUS - po zwolnieniu", "Zasil`ek chorobowy ZUS - umowa dodatkowa",
        "Zasil`ek opiekun`czy - umowa dodatkowa", "Zasil`ek macierzyn`ski - umowa dodatkowa",
        "Zasil`ek chorobowy ZUS - wypadek, umowa dod.", "Zasil`ek chorobowy ZUS 1",
        "Zasil`ek chorobowy ZUS 2", "Zasil`ek chorobowy ZUS 3", "Wynagrodzenie za chorobe` 1",
        "Wynagrodzenie za chorobe` 2", "Wynagrodzenie za chorobe` 3",
        "Zasil`ek chorobowy ZUS - wypadek przy pracy", "S`wiadczenie rehab. - wypadek",
        "Zasil`ek inny 3", "Zasil`ek inny 4", "Zasil`ek inny 5",
        "Wyro`wnanie zasil`ku macierzyn`skiego", "Nieobecnos`c` nieplatna - brak prawa"};
    for (int n = 1; n <= 33; ++n)
      appendRecord({{"kod", txt("Z" + twoDigits(n))}, {"skrot", txt(abbr[n - 1])},
                    {"nazwa", txt(names[n - 1])}});
    appendRecord({{"kod", txt("D  ")}, {"skrot", txt("SLOW1")}, {"nazwa", txt("Dzial`y")}});
    const char* depts[4][2] = {{"KSIEG", "Ksie`gowos`c`"}, {"PROD", "Produkcja"},
                               {"HANDEL", "Dzial` handlowy"}, {"ADMIN", "Administracja"}};
    for (int i = 0; i < 4; ++i)
      appendRecord({{"kod", txt("D" + twoDigits(i + 1))}, {"skrot", txt(depts[i][0])},
                    {"nazwa", txt(depts[i][1])}});
    appendRecord({{"kod", txt("G  ")}, {"skrot", txt("GRUPA")}, {"nazwa", txt("Grupy pracownicze")}});
    appendRecord({{"kod", txt("G01")}, {"skrot", txt("ETAT")}, {"nazwa", txt("Pracownicy etatowi")},
                  {"obl_zas", num(1)}, {"dop_zus", num(1)}});
    appendRecord({{"kod", txt("G02")}, {"skrot", txt("ZLECENIE")},
                  {"nazwa", txt("Umowy zlecenia")}, {"obl_zas", num(0)}, {"dop_zus", num(0)}});
    done();
  }

  void statuses() {
    create("STATUS");
    appendRecord({{"kod_stat", num(0)}, {"nazwa_stat", txt("Zwolniony")}});
    appendRecord({{"kod_stat", num(1)}, {"nazwa_stat", txt("Zatrudniony")}});
    appendRecord({{"kod_stat", num(2)}, {"nazwa_stat", txt("Urlop wychowawczy")}});
    done();
  }

  // Amount items K001-K033 and day items N001-N033 for the hand-over of benefits (selection
  // 15); base and value items B001-B040 read by the calculation (selection 1).
  void payrollItems() {
    create("SKLADNIK");
    for (int n = 1; n <= 33; ++n) {
      appendRecord({{"kod", txt(itemCode('K', n))}, {"skrot", txt("Kwota z." + twoDigits(n))},
                    {"nazwa", txt("Kwota zasil`ku " + std::to_string(n))}, {"wybor", txt(" 15 ")}});
      appendRecord({{"kod", txt(itemCode('N', n))}, {"skrot", txt("Dni zas." + twoDigits(n))},
                    {"nazwa", txt("Liczba dni " + std::to_string(n))}, {"wybor", txt(" 15 ")}});
    }
    for (int n = 1; n <= 40; ++n)
      appendRecord({{"kod", txt(itemCode('B', n))}, {"skrot", txt("Dana " + twoDigits(n))},
                    {"nazwa", txt("Dana do zasil`ko`w " + std::to_string(n))}, {"wybor", txt(" 1 ")}});
    appendRecord({{"kod", txt("S001")}, {"skrot", txt("Stax` pracy")},
                  {"nazwa", txt("Stax` pracy w latach")}, {"wybor", txt(" 1 ")}});
    done();
  }

  void functions() {
    create("FUNCTION");
    appendRecord({{"fun_code", txt("F001")}, {"fun_name", txt("Procent wg stax`u pracy")}});
    done();
  }

  struct Employee {
    std::string nr;
    bool dismissed;
    int salary;
    rt::Value hired;
  };

  void employees() {
    static const char* surnames[] = {
        "Nowak", "Kowalski", "Wis`niewski", "Wo`jcik", "Kowalczyk", "Kamin`ski", "Lewandowski",
        "Zielin`ski", "Szyman`ski", "Woz`niak", "Da`browski", "Kozl`owski", "Jankowski", "Mazur",
        "Kwiatkowski", "Krawczyk", "Piotrowski", "Grabowski", "Nowakowski", "Pawl`owski",
        "Michalski", "Nowicki", "Adamczyk", "Dudek", "Zaja`c"};
    static const char* menNames[] = {"Jan", "Piotr", "Andrzej", "Krzysztof", "Tomasz", "Pawel`",
                                     "Marcin", "Michal`", "Grzegorz", "Jo`zef"};
    static const char* womenNames[] = {"Anna", "Maria", "Katarzyna", "Magdalena", "Agnieszka",
                                       "Barbara", "Ewa", "Joanna", "Zofia", "Mal`gorzata"};
    create("MAIN", {kFteField});
    Random rnd{20240601};
    Month archived = monthsBack(payroll_, 1);
    for (int n = 1; n <= 50; ++n) {
      bool woman = n % 2 == 0;
      std::string surname = surnames[(n - 1) % 25];
      if (woman && surname.size() > 3 && surname.substr(surname.size() - 3) == "ski")
        surname = surname.substr(0, surname.size() - 1) + "a";
      std::string first = woman ? womenNames[n % 10] : menNames[n % 10];
      int hiredYear = payroll_.year - rnd.between(1, 25);
      Employee e{employeeNumber(n), n % 12 == 0, rnd.between(45, 120) * 100,
                 date(hiredYear, rnd.between(1, 12), 1)};
      Fields f{{"nr_prac", txt(e.nr)},
               {"nazwisko", txt(surname)},
               {"imie", txt(first)},
               {"status", num(e.dismissed ? 0 : 1)},
               {"data_zatr", e.hired},
               {"dni_poza", num(0)},
               {"data_zus", date(payroll_.year, 1, 1)},
               {"rok_arc", num(archived.year)},
               {"mies_arc", num(archived.month)},
               {"sl_slow1", txt("D" + twoDigits(n % 4 + 1))},
               {"sl_grupa", txt(n % 10 == 0 ? "G02" : "G01")},
               {"stat_obl", num(0)}};
      DemoCounters held;
      if (auto it = demoCounters().find(n); it != demoCounters().end()) held = it->second;
      f.push_back({"dni_ch", num(held.sickness)});
      f.push_back({"dni_op", num(held.care)});
      f.push_back({"dni_rdz", num(held.family)});
      if (n == kSickEmployee) {
        // Sick-pay days from an earlier workplace this year, then the sickness of the payroll
        // month (see benefits()): 26 + 7 days of sick pay reach the limit of 33.
        f.push_back({"dni_poza", num(26)});
      }
      if (e.dismissed) {
        Month left = monthsBack(payroll_, rnd.between(1, 6));
        f.push_back({"data_zwol", date(left.year, left.month, daysIn(left))});
      }
      appendRecord(f);
      staff_.push_back(e);
    }
    done();

    create("MAIN_2");
    for (int n = 1; n <= 50; ++n) {
      // Every fifth employee is over fifty.
      int born = n % 5 == 0 ? payroll_.year - rnd.between(51, 63) : payroll_.year - rnd.between(22, 48);
      int month = rnd.between(1, 12), day = rnd.between(1, 28);
      char pesel[16];
      std::snprintf(pesel, sizeof pesel, "%02d%02d%02d%05d", born % 100,
                    month + (born >= 2000 ? 20 : 0), day, (10000 + n * 37) % 100000);
      appendRecord({{"nr_prac", txt(staff_[size_t(n - 1)].nr)},
                    {"nr_pesel", txt(pesel)},
                    {"data_ur", date(born, month, day)},
                    {"kd_ubezp", staff_[size_t(n - 1)].hired},
                    {"kd_dowod", txt("ABC" + std::to_string(100000 + n * 7919 % 900000))}});
    }
    done();
  }

  void archiveRecord(const std::string& nr, const std::string& code,
                     const std::function<double(Month, int)>& valueAt) {
    Fields f{{"nr_prac", txt(nr)}, {"kod", txt(code)}};
    for (int d = 0; d < kArchiveDepths; ++d) {
      Month m = monthsBack(payroll_, d);
      f.push_back({archiveField(d), num(valueAt(m, d), 2)});
    }
    appendRecord(f);
  }

  void archive() {
    create("ARCHIW");
    Random rnd{20240601};
    rnd.state = 777;
    // Company-wide values of the pseudo-employee: working days, minimum wage, parental benefit.
    archiveRecord("    0", itemCode('B', 7), [](Month m, int) { return double(workingDays(m)); });
    archiveRecord("    0", itemCode('B', 39), [](Month m, int) { return minimumWage(m.year); });
    archiveRecord("    0", itemCode('B', 40), [](Month, int) { return 1000.0; });
    for (const Employee& e : staff_) {
      std::vector<double> basis(kArchiveDepths), worked(kArchiveDepths);
      for (int d = 0; d < kArchiveDepths; ++d) {
        Month m = monthsBack(payroll_, d);
        int absent = rnd.between(0, 9) == 0 ? rnd.between(1, 5) : 0;
        int days = workingDays(m);
        worked[size_t(d)] = days - absent;
        // Gross pay less the employee's social contributions (13.71%), lower in a month of absence.
        double gross = e.salary * double(days - absent) / days;
        basis[size_t(d)] = double(int64_t(gross * (1 - 0.1371) * 100 + 0.5)) / 100;
        // Nothing is archived for the payroll month yet, nor before the employee was hired.
        if (d == 0 || dayNumber(m.year, m.month, daysIn(m)) < e.hired.date()) {
          basis[size_t(d)] = 0;
          worked[size_t(d)] = 0;
        }
      }
      for (int item : {1, 2, 3, 4, 5})
        archiveRecord(e.nr, itemCode('B', item), [&](Month, int d) { return basis[size_t(d)]; });
      archiveRecord(e.nr, itemCode('B', 6), [&](Month, int d) { return worked[size_t(d)]; });
    }
    done();
  }

  void benefits() {
    create("NIEOBEC");
    Month last = monthsBack(payroll_, 1);
    Month now = payroll_;
    auto record = [&](int employee, int slot, Month m, int from, int to, int percent) {
      int od = dayNumber(m.year, m.month, from), dd = dayNumber(m.year, m.month, to);
      appendRecord({{"nr_prac", txt(employeeNumber(employee))},
                    {"od", rt::Value::date(od)},
                    {"do", rt::Value::date(dd)},
                    {"l_dni", num(dd - od + 1)},
                    {"zasilek", txt("Z" + twoDigits(slot))},
                    {"procent", num(percent)},
                    {"dat_wyp", date(now.year, now.month, 10)},
                    {"data_prawa", rt::Value::date(od)},
                    {"status", num(2)},
                    {"nr_stat", txt("")},  // no letter: an ordinary absence
                    {"czy_dz", logical(slot == 2)},  // the care is of a child
                    {"nr_l_4", txt("ZL" + std::to_string(1000000 + employee * 13 + slot))},
                    {"place", logical(false)},
                    {"old_zas", txt("")},
                    {"old_dni", num(0)},
                    {"old_wart", num(0, 2)}});
    };
    record(3, 10, last, 3, 9, 80);     // sick pay paid by the employer
    record(7, 1, last, 14, 27, 80);    // sickness benefit paid on behalf of ZUS
    record(12, 2, last, 6, 10, 80);    // care of a child
    record(20, 4, last, 1, daysIn(last), 100);  // maternity leave
    record(25, 10, now, 2, 4, 80);     // sick pay in the payroll month
    record(35, 7, last, 1, 15, 90);    // rehabilitation benefit
    // One employee's sickness in the payroll month, on one chain of sick notes: sick pay paid by
    // the employer up to the limit, then the sickness benefit paid on behalf of ZUS.
    std::string firstNote = "ZL" + std::to_string(2000000 + kSickEmployee);
    auto sickness = [&](int slot, int from, int to, const std::string& note, const std::string& previous) {
      appendRecord({{"nr_prac", txt(employeeNumber(kSickEmployee))},
                    {"od", date(now.year, now.month, from)},
                    {"do", date(now.year, now.month, to)},
                    {"l_dni", num(to - from + 1)},
                    {"zasilek", txt("Z" + twoDigits(slot))},
                    {"procent", num(80)},
                    {"dat_wyp", date(now.year, now.month, 10)},
                    {"data_prawa", date(now.year, now.month, 1)},
                    {"status", num(2)},
                    {"nr_stat", txt("")},
                    {"nr_l_4", txt(note)},
                    {"poprz_l_4", txt(previous)},
                    {"place", logical(false)}});
    };
    sickness(10, 1, 7, firstNote, "");
    sickness(1, 8, 18, firstNote + "1", firstNote);
    done();
  }

  void personnelItems() {
    create("DANE_KD");
    appendRecord({{"nazwa", txt("Data obje`cia ubezpieczeniem chorobowym")}, {"kod_b", num(2)},
                  {"slownik", logical(false)}, {"typ", txt("D")}, {"dlugosc", num(8)},
                  {"po_kropce", num(0)}, {"atrybut", txt("KD_UBEZP")}});
    appendRecord({{"nazwa", txt("Numer dowodu osobistego")}, {"kod_b", num(2)},
                  {"slownik", logical(false)}, {"typ", txt("C")}, {"dlugosc", num(12)},
                  {"po_kropce", num(0)}, {"atrybut", txt("KD_DOWOD")}});
    appendRecord({{"nazwa", txt("Telefon kontaktowy")}, {"kod_b", num(2)},
                  {"slownik", logical(false)}, {"typ", txt("C")}, {"dlugosc", num(15)},
                  {"po_kropce", num(0)}, {"atrybut", txt("KD_TELEF")}});
    appendRecord({{"nazwa", txt("Wyksztal`cenie")}, {"kod_b", num(2)}, {"slownik", logical(true)},
                  {"typ", txt("C")}, {"dlugosc", num(3)}, {"po_kropce", num(0)},
                  {"atrybut", txt("KD_WYKSZ")}});
    done();
  }

  void emptyTables() {
    for (const char* table : {"DANE_WE", "CZAS_P"}) {
      createTable(path(table), *findTable(table));
    }
  }

  // Writes a memory file of the given variables, declared in a frame of their own.
  void memoryFile(const std::string& file, const Fields& vars, const char* mask) {
    rt::Memvars& mv = rt::context().memvars;
    rt::PrivateFrame frame(mv);
    for (const auto& [name, value] : vars) mv.declarePrivate(name, value);
    saveMemory(dir_ + file, mask);
  }

  void settingsFiles() {
    Month closed = monthsBack(payroll_, 1);
    memoryFile(std::string(kPayrollMonthFile) + ".mem",
               {{"lum_data", date(payroll_.year, payroll_.month, 1)},
                {"firm_nazwa", txt("DEMO Sp. z o.o.")}},
               "");
    memoryFile(std::string(kClosedFile) + ".mem",
               {{"closed_dat", date(closed.year, closed.month, daysIn(closed))}}, "");
    Fields link{{"zsx_slow1", txt("Z  ")}, {"zsx_n_rsa", txt("")}};
    for (int n = 1; n <= 33; ++n) {
      std::string k = std::to_string(n);
      link.push_back({"zsx_zus" + k, txt("Z" + twoDigits(n))});
      link.push_back({"zsx_pl" + k, txt(itemCode('K', n))});
      link.push_back({"zsx_dni" + k, txt(n == 32 ? "" : itemCode('N', n))});
    }
    for (int n = 1; n <= 40; ++n) {
      // Slots 12 and 13 (parts not filled up, individual working days) are left unlinked.
      bool linked = n != 12 && n != 13;
      link.push_back({"zsx_dan" + std::to_string(n), txt(linked ? itemCode('B', n) : "")});
    }
    memoryFile("zas.zus", link, "zsx_*");
    // The program parameters a first calculation needs: the employee's social contributions
    // (13.71%), which the minimum-wage floors take off the wage.
    memoryFile("zaokrag.zus", {{"zusx_sprsk", num(13.71, 2)}}, "zusx_*");
    memoryFile("zus_kdr.mem", {{"zkdr_du", txt("KD_UBEZP")}, {"zkdr_do", txt("KD_DOWOD")}}, "zkdr_*");
    memoryFile("place/par_prog.mem", {{"staz_pracy", txt("S001")}}, "");
  }

  // A half-time employee with a low wage and sick pay in the payroll month: her basis lies below
  // the minimum wage for half a full time, so the floors show the fraction ("(etat:0.50)"). The
  // personnel parameters name the FTE dictionary; its entries keep the FTE in thousandths.
  void halfTimeEmployee() {
    const int n = 51;
    const std::string nr = employeeNumber(n);
    const Month archived = monthsBack(payroll_, 1);
    const rt::Value hired = date(payroll_.year - 3, 1, 1);
    const int from = 2, to = 6;  // sick pay of 5 days in the payroll month

    open("SLOWNIK");
    appendRecord({{"kod", txt("E  ")}, {"skrot", txt("ETAT")}, {"nazwa", txt("Wymiar etatu")}});
    appendRecord({{"kod", txt("E01")}, {"skrot", txt("1/1")}, {"nazwa", txt("Pel`ny etat")},
                  {"wart", txt(encodeInputValue(1000))}});
    appendRecord({{"kod", txt("E02")}, {"skrot", txt("1/2")}, {"nazwa", txt("Pol`owa etatu")},
                  {"wart", txt(encodeInputValue(500))}});
    done();

    open("MAIN");
    appendRecord({{"nr_prac", txt(nr)}, {"nazwisko", txt("Pawlak")}, {"imie", txt("Ewa")},
                  {"status", num(1)}, {"data_zatr", hired}, {"dni_ch", num(to - from + 1)},
                  {"dni_op", num(0)}, {"dni_rdz", num(0)}, {"dni_poza", num(0)},
                  {"data_zus", date(payroll_.year, 1, 1)}, {"rok_arc", num(archived.year)},
                  {"mies_arc", num(archived.month)}, {"sl_slow1", txt("D" + twoDigits(n % 4 + 1))},
                  {"sl_grupa", txt("G01")}, {"sl_etat", txt("E02")}, {"stat_obl", num(0)}});
    done();
    open("MAIN_2");
    appendRecord({{"nr_prac", txt(nr)}, {"nr_pesel", txt("90030512345")}, {"data_ur", date(1990, 3, 5)},
                  {"kd_ubezp", hired}, {"kd_dowod", txt("ABC512345")}});
    done();

    // Half of a low full-time wage, less the employee's social contributions (13.71%), every
    // working day worked; nothing archived for the payroll month yet.
    open("ARCHIW");
    const double basis = double(int64_t(2200 * (1 - 0.1371) * 100 + 0.5)) / 100;
    for (int item : {1, 2, 3, 4, 5})
      archiveRecord(nr, itemCode('B', item), [&](Month, int d) { return d == 0 ? 0 : basis; });
    archiveRecord(nr, itemCode('B', 6), [](Month m, int d) { return d == 0 ? 0.0 : double(workingDays(m)); });
    done();

    open("NIEOBEC");
    appendRecord({{"nr_prac", txt(nr)},
                  {"od", date(payroll_.year, payroll_.month, from)},
                  {"do", date(payroll_.year, payroll_.month, to)},
                  {"l_dni", num(to - from + 1)},
                  {"zasilek", txt("Z10")},
                  {"procent", num(80)},
                  {"dat_wyp", date(payroll_.year, payroll_.month, 10)},
                  {"data_prawa", date(payroll_.year, payroll_.month, from)},
                  {"status", num(2)},
                  {"nr_stat", txt("A")},
                  {"nr_l_4", txt("ZL" + std::to_string(3000000 + n))},
                  {"place", logical(false)}});
    done();

    memoryFile("KADRY/kadry_pp.mem", {{"symbol_eta", txt("ETAT")}}, "");
  }

  std::string dir_;
  Month payroll_;
  std::vector<Employee> staff_;
};

}  // namespace

bool companyExists(const std::string& dir) {
  std::string d = dir.empty() || dir.back() == '/' ? dir : dir + "/";
  return fileExistsAnyCase(d + "MAIN.dbf");
}

void createDemoCompany(const std::string& dir) {
  fs::create_directories(dir);
  std::string d = fs::absolute(dir).string();
  if (d.back() != '/') d += '/';
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  Builder(d, Month{local.tm_year + 1900, local.tm_mon + 1}).build();
}

}  // namespace suite
