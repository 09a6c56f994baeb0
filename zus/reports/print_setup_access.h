// Small access routines the card and settlement prints share: the run's variables by name, the
// suite's routines by name, and the table moves the prints make (select by alias, order, seek,
// skip, fields by alias).
//
// The prints reach their run context by name because the page-title routine and the payroll
// library's employee loop call back into them; these helpers keep that by-name world at the edge.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/std_strings.h"
#include "runtime/core/value.h"
#include "zus/register/benefit_record.h"

namespace zus::cards {

using reg::call;
using reg::vars;

// A variable's value; NIL when there is none.
inline rt::Value var(std::string_view name) { return reg::var(name); }
std::string varText(std::string_view name, std::string_view fallback = "");
inline double varNum(std::string_view name, double fallback = 0) {
  return reg::numVar(name, fallback);
}
inline bool varBool(std::string_view name, bool fallback = false) {
  return reg::flagVar(name, fallback);
}
inline int32_t varDate(std::string_view name) { return reg::dateVar(name); }
// Element `n` (1-based) of an array variable; NIL when out of range or not an array.
rt::Value element(std::string_view arrayName, size_t n);
// The kind code linked to benefit slot `slot` ("" when unlinked).
inline std::string slotKind(int slot) { return reg::elementText("zas_zus", slot); }

// Fields of an open table by alias.
inline rt::Value fld(std::string_view alias, std::string_view field) {
  return reg::field(alias, field);
}
inline std::string fldText(std::string_view alias, std::string_view field) {
  return reg::fieldText(alias, field);
}
inline double fldNum(std::string_view alias, std::string_view field) {
  return reg::fieldNum(alias, field);
}
inline bool fldBool(std::string_view alias, std::string_view field) {
  return reg::fieldFlag(alias, field);
}
inline int32_t fldDate(std::string_view alias, std::string_view field) {
  return reg::fieldDate(alias, field);
}
bool hasField(std::string_view alias, std::string_view field);

// Table moves in the selected work area (select by alias first).
inline void select(std::string_view alias) { reg::selectAlias(alias); }
int selectedArea();
void selectArea(int area);
int currentOrder();
void setOrder(int order);
bool seek(const std::string& key);
void skip();
void goTop();
bool atEof();
uint32_t recno();
void goTo(uint32_t record);

// Texts the way the runtime and the suite make them.
std::string dtos(int32_t day);
std::string dtoc(int32_t day);
int32_t addMonths(int32_t day, int months);    // DOD_MIES
int32_t dayOf(int y, int m, int d);
std::string str(double value, int width, int decimals = 0);  // STR
std::string transform(double value, const std::string& picture, int decimals = 2);  // E_TRANSFOR
// CENTR, ROWNAJ and ROWNAJ_L of the text in display form: widths count printed characters.
std::string centr(const std::string& text, int width);    // CENTR
std::string rownaj(const std::string& text, int width);   // ROWNAJ (right-aligned)
std::string rownajL(const std::string& text, int width);  // ROWNAJ_L (left-aligned)
using settings::display;                                  // _P
// Blanks off both sides; off the right side.
inline std::string trim(std::string_view text) { return std::string(rt::trimBlanks(text)); }
inline std::string rtrim(std::string_view text) {
  return std::string(rt::trimTrailingBlanks(text));
}
std::string repeat(const std::string& piece, int times);

// One line through the print layer.
void devLine(const std::string& line);

// The nearest-key setting switched on for a scope and put back afterwards.
class SoftSeekOn {
 public:
  SoftSeekOn();
  ~SoftSeekOn();
  SoftSeekOn(const SoftSeekOn&) = delete;
  SoftSeekOn& operator=(const SoftSeekOn&) = delete;

 private:
  bool previous_;
};

// Keeps the selected work area and selects it again on leaving the scope.
using AreaKeeper = reg::KeepArea;

}  // namespace zus::cards
