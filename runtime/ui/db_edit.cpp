// The table browse with a key handler (see db_edit.h). Movement keys map to Browse moves; the
// loop draws, calls the handler and acts on its answer.
#include "runtime/ui/db_edit.h"

#include <unordered_map>

#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"

namespace rt::ui {

namespace {

using namespace rt::term;
using Mover = BrowseMove (Browse::*)();

const std::unordered_map<int, Mover>& moveTable() {
  static const std::unordered_map<int, Mover> table = {
      {K_DOWN, &Browse::down},         {K_UP, &Browse::up},
      {K_PGDN, &Browse::pageDown},     {K_PGUP, &Browse::pageUp},
      {K_CTRL_PGUP, &Browse::goTop},   {K_CTRL_PGDN, &Browse::goBottom},
      {K_LEFT, &Browse::left},         {K_RIGHT, &Browse::right},
      {K_HOME, &Browse::home},         {K_END, &Browse::end},
      {K_CTRL_HOME, &Browse::panHome}, {K_CTRL_END, &Browse::panEnd},
      {K_CTRL_LEFT, &Browse::panLeft}, {K_CTRL_RIGHT, &Browse::panRight},
  };
  return table;
}

int modeOf(BrowseMove m) {
  switch (m) {
    case BrowseMove::HitTop: return kDeHitTop;
    case BrowseMove::HitBottom: return kDeHitBottom;
    default: return kDeIdle;
  }
}

}  // namespace

void dbEdit(Browse& browse, const DbEditHandler& handler) {
  int mode = browse.isEmpty() ? kDeEmpty : kDeIdle;
  bool call = true;
  while (true) {
    browse.stabilize();
    if (call && handler) {
      call = false;
      int answer = handler(mode, browse.colPos() + 1);
      if (answer == kDeAbort) return;
      if (answer == kDeRefresh || !browse.inStep()) {
        browse.refreshAll();
        if (answer == kDeRefresh) {
          // Read again: an emptied or refilled source is reported as such.
          mode = browse.isEmpty() ? kDeEmpty : kDeIdle;
          call = mode == kDeEmpty;
        }
      }
      continue;
    }
    int key = keyboard().waitKey(WaitState{"DBEDIT", 0, ""});
    if (key == K_NONE) {  // a redraw request
      browse.refreshAll();
      mode = browse.isEmpty() ? kDeEmpty : kDeIdle;
      call = true;
      continue;
    }
    if (!handler) {
      if (key == K_ESC || key == K_ENTER) return;
    }
    auto it = moveTable().find(key);
    if (browse.isEmpty() || it == moveTable().end()) {
      mode = kDeException;
    } else {
      mode = modeOf((browse.*(it->second))());
    }
    call = true;
  }
}

void dbEdit(const DbEditSpec& view, BrowseSource& source) {
  Browse browse(view.top, view.left, view.bottom, view.right, source);
  if (view.headSep) browse.headSep = *view.headSep;
  if (view.colSep) browse.colSep = *view.colSep;
  for (size_t i = 0; i < view.columns.size(); ++i) {
    Expr e = compile(view.columns[i]);
    BrowseColumn c;
    if (view.evaluate) {
      auto evaluate = view.evaluate;
      c.value = [e, evaluate] { return evaluate([&e] { return eval(e); }); };
    } else {
      c.value = [e] { return eval(e); };
    }
    c.picture = i < view.pictures.size() ? view.pictures[i] : std::string();
    c.heading = i < view.headings.size() ? view.headings[i] : view.columns[i];
    browse.addColumn(std::move(c));
  }
  DbEditHandler handler;
  if (!view.userFunction.empty()) {
    std::string name = view.userFunction;
    handler = [name](int mode, int column) {
      Value r = context().functions.call(name, {Value::integer(mode), Value::integer(column)});
      return int(r.intOr(kDeContinue));
    };
  }
  dbEdit(browse, handler);
}

void dbEditSelected(DbEditSpec view) {
  db::WorkAreas& areas = db::workAreas();
  db::WorkArea& area = areas.need("DBEDIT");
  int number = area.number();
  if (view.columns.empty())
    for (const db::FieldDescriptor& f : area.table().fields()) view.columns.push_back(f.name);
  view.evaluate = [&areas, number](const std::function<Value()>& read) {
    return areas.withSelected(number, read);
  };
  WorkAreaSource source(area);
  dbEdit(view, source);
}

}  // namespace rt::ui
