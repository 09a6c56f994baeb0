// `APPSYS`, `MAIN`, `TOTAL_ZAS` and `KOMUNIKAT`: the run of the benefit program from the runtime's
// hand-over to the closing routine.
#include "zus/shell/startup.h"

#include <filesystem>
#include <string>
#include <vector>

#include "console/error_text.h"
#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/term/leave_request.h"
#include "zus/shell/kind_predicates.h"
#include "zus/shell/link_config.h"
#include "zus/shell/memory_files.h"
#include "zus/shell/program_state.h"
#include "zus/shell/settings_entries.h"
#include "zus/shell/status_codes.h"

namespace zus {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }

rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}

// A hot-key handler: passes the four handler parameters on to a suite routine by name.
struct HotKeyBlock : rt::Block {
  explicit HotKeyBlock(std::string fn) : function(std::move(fn)) {}
  rt::Value eval(std::vector<rt::Value>& args) override {
    rt::Args a(args);
    return rt::functions().call(function, a);
  }
  std::string text() const override { return "{|pn,pl,vn,obj| " + function + "(pn,pl,vn,obj)}"; }
  std::string function;
};

// Restores a settings file; a damaged one is reported and left out, so the program starts with
// the values it has instead of not starting at all.
bool restoreSettings(const std::string& path) {
  try {
    restoreMemoryFile(path);
    return true;
  } catch (const rt::Error& e) {
    rt::Value lines = rt::Value::newArray(3);
    lines.arr()[0] = rt::Value::text("Nie mox`na odczytac` pliku ustawien`:");
    lines.arr()[1] = rt::Value::text(e.file().empty() ? path : e.file());
    lines.arr()[2] = rt::Value::text("Program ux`yje wartos`ci domys`lnych.");
    call("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
    return false;
  }
}

void reportStartFailure(const rt::Error& e) {
  std::vector<rt::Value> lines{rt::Value::text("Program nie mox`e rozpocza`c` pracy:")};
  for (const std::string& line : con::errorLines(e)) lines.push_back(rt::Value::text(line));
  rt::Value komen = rt::Value::newArray(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) komen.arr()[i] = lines[i];
  call("KOM3", {komen, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
}

// The directory the payroll tables are looked for in: the payroll directory of the company, or
// the directory the program runs in.
std::string payrollDirectory() {
  const rt::Value* dir = vars().tryGet("_path_plac");
  std::string path = dir && dir->isChar() ? dir->str() : std::string();
  while (!path.empty() && path.back() == ' ') path.pop_back();
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path.empty() ? "." : path, ec);
  if (ec) return path;
  absolute = absolute.lexically_normal();
  if (absolute.filename().empty() && absolute.has_parent_path()) absolute = absolute.parent_path();
  return absolute.string();
}

// Without the employee table of the payroll program there is nothing to work on: the user learns
// where it was looked for.
void reportNoPayrollData() {
  rt::Value lines = rt::Value::newArray(0);
  lines.arr().push_back(rt::Value::text("Brak danych programu pl`acowego (tabeli MAIN) w katalogu:"));
  lines.arr().push_back(rt::Value::text(payrollDirectory()));
  lines.arr().push_back(rt::Value::text("Program nie mox`e rozpocza`c` pracy."));
  call("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
}

// The installed system around the company directory whose update was cut short: the installer
// left its journal ("UZUP_KOP\DZIENNIK.TXT" in the system's directory), and the company's tables
// may be half converted until the installer runs again and puts them back. Empty when none.
std::string interruptedUpdateSystem() {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::absolute(".", ec).lexically_normal();
  for (; !ec && !dir.empty(); dir = dir.parent_path()) {
    if (std::filesystem::exists(dir / "UZUP_KOP" / "DZIENNIK.TXT", ec)) return dir.string();
    if (dir == dir.root_path()) break;
  }
  return {};
}

void reportInterruptedUpdate(const std::string& system) {
  rt::Value lines = rt::Value::newArray(0);
  lines.arr().push_back(rt::Value::text("Uzupel`nienie systemu w katalogu:"));
  lines.arr().push_back(rt::Value::text(system));
  lines.arr().push_back(rt::Value::text("zostal`o przerwane. Uruchom je ponownie (uzupelnienie)."));
  lines.arr().push_back(rt::Value::text("Program nie mox`e rozpocza`c` pracy."));
  call("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
}

void bindHotKey(int key, const char* function) {
  call("SETKEY", {rt::Value::integer(key), rt::Value::block(std::make_shared<HotKeyBlock>(function))});
}

}  // namespace

void APPSYS() {
  vars().declarePublic("ZefEkran");
  rt::Value window = call("TFONTEKRAN");
  vars().assign("ZefEkran", window);
  call("OKNOSTART", {window, rt::Value::text("System ZEFIRON - program ZUS")});
}

bool TOTAL_ZAS() {
  rt::Memvars& v = vars();
  rt::PrivateFrame frame(v);

  v.assign("p_numer", rt::Value::integer(1));
  std::string picNa(20, '!');
  v.assign("lum_pic_na", rt::Value::text(picNa));
  v.assign("lum_pic_n2", rt::Value::text(picNa.substr(1, 15)));
  v.assign("lum_pic_im", rt::Value::text(std::string(12, '!')));
  v.assign("lum_numer", rt::Value::integer(1));
  v.declarePublic("LUMDYSK", rt::Value::integer(0));
  v.declarePublic("czy_pseudo", rt::Value::logical(false));
  v.assign("ky_zakres", rt::Value::integer(1));
  v.assign("ky_tab", rt::Value::logical(false));
  v.assign("ky_index", rt::Value::text(""));

  call("MAIN_SCR", {rt::Value::logical(true)});
  rt::Value loading = call("LAD_SCR");
  bool onNetwork = call("FILE_SIEC").logicalOr(false);
  call("INICJUJ", {rt::Value::logical(!onNetwork)});
  call("INI_FIRM");
  v.declarePublic("pict_long", rt::Value::text("99 999 999 999.99"));
  v.assign("lum_zestaw", rt::Value::integer(0));
  v.assign("pustykod", rt::Value::text(std::string(3, char(255))));
  ZAS_STAT();

  if (!call("DANEPLAC", {rt::Value::integer(1)}).logicalOr(false)) {
    reportNoPayrollData();
    return false;
  }

  defaultParameters();
  const rt::Value* bOn = v.tryGet("dev_b_on");
  const rt::Value* bOff = v.tryGet("dev_b_off");
  v.assign("wyr_on", bOn ? *bOn : rt::Value());
  v.assign("wyr_off", bOff ? *bOff : rt::Value());

  call("ZWIN", {loading});
  call("JESZCZE_NO", {rt::Value::text("zus30.03a"), rt::Value::logical(true)});

  // The parameters a user saved replace the defaults; the repairs below then apply to them.
  std::string params = settingsPath("zaokrag.zus");
  if (settingsFileExists(params)) restoreSettings(params);
  repairParameterKor();

  std::string link = settingsPath(kLinkFileName);
  if (settingsFileExists(link) && restoreSettings(link)) {
    LOAD_ARRAY();
    copyDerivedCodes();
  } else {
    v.assign("czy_jest_mem", rt::Value::logical(false));
  }
  repairParameterTypes();

  std::string kdr = settingsPath("zus_kdr") + memFileExtension();
  if (settingsFileExists(kdr)) restoreSettings(kdr);
  return true;
}

int MAIN() {
  rt::Memvars& v = vars();
  rt::PrivateFrame frame(v);

  bindHotKey(-30, "CALC");
  bindHotKey(-28, "FLUSH");

  declareSuiteVariables();
  call("CLS");
  call("READKILL", {rt::Value::logical(true)});
  v.assign("GetList", rt::Value::newArray(0));

  call("K_ZMIEN_PALETE");
  call("E_POLZNAK", {rt::Value::logical(false)});
  call("STATION_NR");
  declareLinkState();
  v.declarePrivate("staz_pracy");
  v.declarePrivate("czy_jest_mem");
  declareParameters();
  v.declarePrivate("mini_pl");
  v.declarePublic("_data_puc", rt::Value::date(0));
  v.declarePublic("zkdr_du", rt::Value::text(""));
  v.declarePublic("zkdr_do", rt::Value::text(""));

  v.assign("mini_pl", rt::Value::logical(false));
  std::string ext = memFileExtension();
  if (settingsFileExists("minipl" + ext)) {
    restoreSettings("minipl" + ext);
    v.assign("mini_pl", rt::Value::logical(true));
  }

  v.assign("czy_jest_mem", rt::Value::logical(true));
  int leftBySignal = 0;
  bool ready = false;
  try {
    try {
      // No company is opened while an update of its system waits to be finished or undone.
      std::string interrupted = interruptedUpdateSystem();
      if (!interrupted.empty()) reportInterruptedUpdate(interrupted);
      else ready = TOTAL_ZAS();
    } catch (const rt::Error& e) {
      // A company file the set-up cannot read (the payroll month, the payroll items) ends the run
      // like missing payroll data, but the user learns which file it was.
      reportStartFailure(e);
    }
    if (ready) {
      // From here on the link lives in the arrays; only `zsx_n_rsa` is carried to the next save.
      rt::Value nRsa = v.get("zsx_n_rsa");
      v.releaseAll("zsx_*");
      v.declarePrivate("zsx_n_rsa", nRsa);
      if (settingsFileExists("place\\par_prog" + ext)) restoreSettings("place\\par_prog" + ext);
      call("FEKRAN", {rt::Value::text("zus")});
    }
  } catch (const rt::term::LeaveRequested& leave) {
    // A hang-up or a kill: the open forms and windows are gone, the tables are closed below.
    leftBySignal = leave.signal;
  }
  call("MFKONIEC");
  // A run that could not start (no payroll data, a company file it cannot read) fails.
  if (leftBySignal) return 128 + leftBySignal;
  return ready ? 0 : 1;
}

void KOMUNIKAT() {
  rt::PrivateFrame frame(vars());
  rt::Value komen = rt::Value::newArray(3);
  komen.arr()[0] = rt::Value::text("Nie dokonano pol`a`czenia modul`o`w ZUS i PL`ACE !");
  komen.arr()[1] = rt::Value::text("Wprowadzanie, obliczanie oraz drukowanie zasil`ko`w niemox`liwe!");
  komen.arr()[2] = rt::Value::text(
      "Musisz uprzednio uruchomic` opcje` \"Pol`a`czenie\" (patrz funkcja NARZE`DZIA).");
  vars().declarePrivate("komen", komen);
  call("STATLINE", {rt::Value::integer(7)});
  call("KOM3", {komen, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(0)});
  call("STATLINE", {rt::Value::integer(-1)});
}

const std::array<const char*, 15>& noOpFunctionNames() {
  static const std::array<const char*, 15> names{
      "SLEPA",    "WNETRZE",   "DOPISUJ",  "DRUK_FACET", "PION_PAS",
      "ROB_PAS",  "SPRARCH",   "DR_ZAKR3", "ROB_ARCH",   "AGREG_READ",
      "POK_ARCH", "DRUKUJ",    "WYRZUC_WEJ", "PRZYG_WEJ", "OBL_SKL",
  };
  return names;
}

const std::array<const char*, 28>& requiredFunctionNames() {
  static const std::array<const char*, 28> names{
      "HASLO",   "OPERATOR", "CALC",     "DR_KART",  "DR_ROZL",  "DRUK_ZAS", "ZAKR_T_D",
      "DAJ_NIP", "FIL_UTIL", "NB_ZAS",   "_ST_OK",   "_ST_SAV",  "_ST_BLAD", "ZAS_STAT",
      "ED_ZAOK", "INI_OBL",  "OBL_ZAS",  "OBL_KON",  "INI_WRIT", "TO_WRITE", "LOAD_ZUS",
      "PAR_UZYT", "WYROZNIK", "WYB_PRAC", "WPROW_NB", "DESCEND", "PAR_SYS", "PAR_PLAC",
  };
  return names;
}

const std::array<const char*, 19>& optionEntryNames() {
  static const std::array<const char*, 19> names{
      "WPROW_NB", "OBL_ZAS",  "TO_WRITE",   "GOTO_KADRY", "DRUK_ZAS", "G_WYDR_ZAS", "G_WYDRZAS2",
      "ED_ZAOK",  "ZUS_PARA", "LOAD_ZUS",   "Z_KADRAMI",  "WSKAZ_FUN", "ODLACZ_FUN", "_EDITSLOW",
      "ZER_DNI",  "ZER_DAT",  "RS_PARAM",   "RS_RODZ_NB", "RS_EKSP",
  };
  return names;
}

void registerShellFunctions() {
  rt::Functions& f = rt::functions();
  f.add("APPSYS", [](rt::Args&) {
    APPSYS();
    return rt::Value();
  });
  f.add("MAIN", [](rt::Args&) { return rt::Value::integer(MAIN()); });
  f.add("TOTAL_ZAS", [](rt::Args&) { return rt::Value::logical(TOTAL_ZAS()); });
  f.add("KOMUNIKAT", [](rt::Args&) {
    KOMUNIKAT();
    return rt::Value();
  });
  for (const char* name : noOpFunctionNames()) f.add(name, [](rt::Args&) { return rt::Value(); });
  registerStatusFunctions();
  registerKindPredicates();
  registerLinkFunctions();
  registerSettingsFunctions();
}

}  // namespace zus
