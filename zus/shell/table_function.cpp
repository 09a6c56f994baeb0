// Attaching, detaching and evaluating the table function.
#include "zus/shell/table_function.h"

#include "runtime/core/expr.h"
#include "zus/shell/memory_files.h"
#include "zus/shell/settings_support.h"

namespace zus {
namespace {

using namespace settings;

constexpr const char* kUnknown = "Nierozpoznana funkcja !";
constexpr const char* kEmpty = "Pusta tablica funkcji tablicowej !";
constexpr const char* kOutOfRange = "Argument funkcji tablicowej poza zakresem !";

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The numbers of an array variable, or nothing when it is not an array of at least `size`
// numbers: a table the payroll library did not build whole is no table at all.
std::optional<std::vector<double>> numbers(const std::string& name, size_t size) {
  rt::Value v = varOr(name);
  if (!v.isArray() || v.arr().size() < size) return std::nullopt;
  std::vector<double> out;
  for (size_t i = 0; i < size; ++i) {
    if (!v.arr()[i].isNum()) return std::nullopt;
    out.push_back(v.arr()[i].num());
  }
  return out;
}

void saveAttachment() { saveMemoryFile(settingsPath(kTableFunctionFile), "_kod_fun*"); }

}  // namespace

void WSKAZ_FUN() {
  rt::PrivateFrame frame(vars());
  vars().declarePrivate("_kod_fun", rt::Value::logical(true));  // nothing chosen yet
  if (!decide(false, "Czy dokonac` wskazania funkcji tablicowej ?", {})) return;
  rt::Args args;
  args.push(vars().get("_kod_fun"), vars().ref("_kod_fun"));
  rt::functions().call("FT_EDIT", args);
  rt::Value chosen = varOr("_kod_fun");
  if (chosen.isChar() && !trim(chosen.str()).empty()) saveAttachment();
}

void ODLACZ_FUN() {
  rt::PrivateFrame frame(vars());
  vars().declarePrivate("_kod_fun", txt(""));
  vars().declarePrivate("naz_fun", txt(""));
  SelectedArea area;
  if (!call("_OPEN_SET", {txt("FUNCTION"), txt("S")}).logicalOr(false)) return;
  std::string file = settingsPath(kTableFunctionFile) + memFileExtension();
  if (settingsFileExists(file)) restoreMemoryFile(file);
  std::string code = textVar("_kod_fun");
  if (code.empty()) {
    message("Nie wskazano funkcji tablicowej - odl`a`czenie nie nasta`pi !");
    call("_CLOSE_SET", {txt("FUNCTIONS")});
    return;
  }
  call("DBSELECTAREA", {txt("functions")});
  std::string name;
  for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) {
    if (rt::evalText("functions->fun_code").strOr("") == code) {
      name = rt::evalText("functions->fun_name").strOr("");
      break;
    }
  }
  vars().assign("naz_fun", txt(name));
  if (decide(false, "Czy dokonac` odl`a`czenia ?",
             {"Wskazano funkcje` tablicowa` \"" + trim(name) + "\"."})) {
    vars().assign("_kod_fun", txt(""));
    saveAttachment();
  }
  call("_CLOSE_SET", {txt("FUNCTIONS")});
}

std::optional<double> evaluateTableFunction(const std::string& code, double argument) {
  if (code.empty()) {
    message(kUnknown);
    return std::nullopt;
  }
  const std::string c(1, code.back());
  rt::Value count = varOr("ft_il_p" + c);
  if (!count.isNum()) {
    message(kUnknown);
    return std::nullopt;
  }
  if (count.num() < 1) {
    message(kEmpty);
    return std::nullopt;
  }
  size_t n = size_t(count.num());
  auto bounds = numbers("ft_pocz_" + c, n + 1);
  auto starts = numbers("ft_st1_" + c, n);
  auto slopes = numbers("ft_st2_" + c, n);
  if (!bounds || !starts || !slopes) {
    message(kUnknown);
    return std::nullopt;
  }
  if (argument < (*bounds)[0] || argument > (*bounds)[n]) {
    message(kOutOfRange);
    return std::nullopt;
  }
  // A point where one interval ends and the next begins belongs to the later one.
  size_t i = n;
  while (i > 1 && (*bounds)[i - 1] > argument) --i;
  return (argument - (*bounds)[i - 1]) * (*slopes)[i - 1] + (*starts)[i - 1];
}

void registerTableFunctionRoutines() {
  rt::Functions& f = rt::functions();
  f.add("WSKAZ_FUN", [](rt::Args&) {
    WSKAZ_FUN();
    return rt::Value();
  });
  f.add("ODLACZ_FUN", [](rt::Args&) {
    ODLACZ_FUN();
    return rt::Value();
  });
  // By name the missing value is 0, which the callers read as "no percentage from the function".
  f.add("_OBLICZ_FT", [](rt::Args& a) {
    rt::PrivateFrame frame(vars());
    vars().declarePrivate("kod_chr", a[0]);
    vars().declarePrivate("argument", a[1]);
    std::optional<double> v = evaluateTableFunction(a[0].strOr(""), a[1].numOr(0));
    return rt::Value::number(v.value_or(0), 2);
  });
}

}  // namespace zus
