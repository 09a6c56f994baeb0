// By-name adapters of the message window, the dialogs, the list search and the file copy.
//
// Arrays that callers pass are cleaned in place, as callers may look at them afterwards: message
// lines that are no text become "", comment arrays lose their non-text elements and keep at most
// 14 lines, and every kept line is shortened to 74 characters.
#include "console/by_name.h"
#include "console/copy_file.h"
#include "console/dialog.h"
#include "console/message_window.h"
#include "console/register.h"
#include "runtime/core/context.h"

namespace con {

namespace {

using namespace byname;

// A comment argument: a text, or an array cleaned in place; anything else (or an empty array) is
// no comment.
Comment commentArg(const rt::Value& v) {
  if (v.isChar()) return v.str();
  if (!v.isArray() || v.arr().empty()) return std::monostate{};
  rt::Array& a = v.arr();
  if (a.size() > kMaxCommentLines) a.resize(kMaxCommentLines);
  rt::Array kept;
  std::vector<std::string> lines;
  for (const rt::Value& e : a) {
    if (!e.isChar()) continue;
    lines.push_back(cleanCommentLine(e.str()));
    kept.push_back(rt::Value::text(lines.back()));
  }
  a = std::move(kept);
  return lines;
}

std::vector<std::string> itemTexts(const rt::Value& v) {
  std::vector<std::string> items;
  if (v.isArray())
    for (const rt::Value& e : v.arr()) items.push_back(e.isChar() ? e.str() : std::string());
  return items;
}

}  // namespace

void registerDialogFunctions(rt::Functions& f) {
  f.add("KOM", [](rt::Args& a) {
    int set = a[1].isNum() ? int(a[1].num()) : kInformSet;
    bool wait = !(a[2].isLogical() && !a[2].logical());
    if (a[0].isArray()) {
      std::vector<std::string> lines;
      for (rt::Value& e : a[0].arr()) {
        e = rt::Value::text(e.isChar() ? shortenLine(e.str()) : std::string());
        lines.push_back(e.str());
      }
      return text(showMessage(lines, set, wait));
    }
    return text(showMessage(std::string_view(a[0].isChar() ? a[0].str() : kUndefinedText), set,
                            wait));
  });
  f.add("_ALERT", [](rt::Args& a) {
    if (!a[1].isArray()) return number(alertWithoutButtons());
    AlertSpec alert;
    alert.question = textOr(a, 0, "");
    for (const rt::Value& e : a[1].arr())
      alert.buttons.push_back(e.isChar() ? std::optional<std::string>(e.str()) : std::nullopt);
    alert.highlighted = optNum(a, 2);
    alert.escAllowed = optLogical(a, 3).value_or(true);
    alert.comment = commentArg(a[4]);
    alert.commentCleaned = true;
    alert.title = textOr(a, 8, kDefaultChoiceTitle);
    return number(ALERT(alert));
  });
  f.add("DECYZJA", [](rt::Args& a) {
    bool yesFirst = a[0].isLogical() && a[0].logical();
    AlertSpec alert;
    alert.question = textOr(a, 1, "");
    alert.buttons = {std::string("Tak"), std::string("Nie")};
    alert.highlighted = yesFirst ? 1 : 2;
    alert.comment = commentArg(a[4]);
    alert.commentCleaned = true;
    return logical(ALERT(alert) == 1);
  });
  f.add("SZUK_ACHOICE", [](rt::Args& a) {
    std::vector<std::string> items = itemTexts(a[0]);
    std::vector<bool> flags;
    bool haveFlags = a[3].isArray();
    if (haveFlags)
      for (const rt::Value& e : a[3].arr()) flags.push_back(e.isLogical() && e.logical());
    ChoiceSearch s;
    s.items = &items;
    s.current = int(numOr(a, 1, 1));
    s.key = textOr(a, 2, "");
    s.selectable = haveFlags ? &flags : nullptr;
    s.automatic = optLogical(a, 4).value_or(false);
    s.quick = !a[5].isNil();
    return number(SZUK_ACHOICE(s));
  });
  f.add("COPYFILE", [](rt::Args& a) {
    return number(COPYFILE(textOr(a, 0, ""), textOr(a, 1, ""), optLogical(a, 2).value_or(false)));
  });
}

}  // namespace con
