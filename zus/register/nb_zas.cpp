// Display text of a benefit kind from the benefit dictionary (alias `sl`).
#include "zus/register/nb_zas.h"

#include "zus/register/benefit_record.h"

namespace zus {

using namespace reg;

namespace {

// The width of the browse's kind column when its pictures are visible, else 28.
size_t kindColumnWidth() {
  if (vars().typeOf("pict[4]") == "C") return elementText("pict", 4).size();
  return 28;
}

std::string upper(const std::string& s) { return call("UPPER", {txt(s)}).strOr(s); }

}  // namespace

std::string NB_ZAS(const std::string& zas, bool onlyShortName) {
  selectAlias("sl");
  bool found = call("DBSEEK", {txt(zas)}).logicalOr(false);
  std::string shortName = fieldText("sl", "skrot");
  std::string text;
  if (onlyShortName) {
    text = found ? upper(shortName) : std::string(shortName.size(), ' ');
  } else {
    // A correction record of the register carries the kind's name marked as a correction; both
    // forms have the same length.
    bool correction = aliasOpen("nieobec") && fieldFlag("nieobec", "czy_korekt");
    std::string name = fieldText("sl", "nazwa");
    if (!found)
      text = std::string(shortName.size() + 3 + name.size() + 4, ' ');
    else if (correction)
      text = upper(shortName) + " - " + "wyr." + name;
    else
      text = upper(shortName) + " - " + name + "    ";
    size_t width = kindColumnWidth();
    if (text.size() > width) text.resize(width);
  }
  if (aliasOpen("nieobec")) selectAlias("nieobec");
  return call("_P", {txt(text)}).strOr(text);
}

void registerNbZas() {
  rt::functions().add("NB_ZAS", [](rt::Args& a) {
    bool onlyShortName = a[1].isLogical() && a[1].logical();
    return rt::Value::text(NB_ZAS(a[0].strOr(""), onlyShortName));
  });
}

}  // namespace zus
