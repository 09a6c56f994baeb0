// The journal of one payroll call: its file, its text, and the test seam of the steps.
#include "zus/transfer/payroll_journal.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/db/file.h"

namespace zus {
namespace {

constexpr size_t kMaxJournalBytes = 4096;

PayrollStepHook& stepHook() {
  static PayrollStepHook hook;
  return hook;
}

[[noreturn]] void damaged(const std::string& path) {
  throw rt::Error(rt::ErrorKind::Corrupt, "Corruption detected: the journal of a transfer to payroll is damaged",
                  "open", path);
}

std::string valueText(const std::optional<int64_t>& v) { return v ? std::to_string(*v) : "-"; }

std::string numberText(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> parts;
  size_t pos = 0;
  for (;;) {
    size_t tab = line.find('\t', pos);
    parts.push_back(line.substr(pos, tab == std::string::npos ? std::string::npos : tab - pos));
    if (tab == std::string::npos) return parts;
    pos = tab + 1;
  }
}

bool parseWhole(const std::string& s, int64_t& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') return false;
  out = v;
  return true;
}

bool parseValue(const std::string& s, std::optional<int64_t>& out) {
  if (s == "-") {
    out.reset();
    return true;
  }
  int64_t v = 0;
  if (!parseWhole(s, v)) return false;
  out = v;
  return true;
}

bool parseNumber(const std::string& s, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return *end == '\0';
}

bool plainField(const std::string& s) { return s.find_first_of("\t\n\r") == std::string::npos; }

}  // namespace

std::string PayrollJournal::pathFor(const std::string& dir, const std::string& nr) {
  static const char* hex = "0123456789ABCDEF";
  std::string name = "PRZEKAZ_";
  for (unsigned char c : nr) {
    name += hex[c >> 4];
    name += hex[c & 15];
  }
  return dir + "/" + name + ".JRN";
}

void PayrollJournal::write(const std::string& path, const PayrollIntent& i) {
  for (const std::string* s : {&i.nr, &i.routine, &i.item, &i.kind, &i.arrearsMark})
    if (!plainField(*s)) damaged(path);
  std::string text = "ZAMIAR\n" + i.nr + "\t" + std::to_string(i.recno) + "\t" + i.routine + "\t" + i.item + "\t" +
                     std::to_string(i.change) + "\t" + valueText(i.before) + "\t" + valueText(i.after) + "\n" +
                     (i.place ? "T" : "F") + "\t" + i.kind + "\t" + numberText(i.amount) + "\t" +
                     numberText(i.days) + "\t" + i.arrearsMark + "\nKONIEC\n";
  const bool existed = rt::db::File::exists(path);
  rt::db::File f = rt::db::File::create(path);
  f.writeExact(0, text.data(), text.size());
  f.sync();
  // A journal new in the directory must survive with the payroll item it guards.
  if (!existed) rt::db::File::syncDirectoryOf(path);
}

void PayrollJournal::clear(const std::string& path) {
  rt::db::File f = rt::db::File::open(path);
  f.truncate(0);
}

void PayrollJournal::removeIfClear(const std::string& path) {
  if (!rt::db::File::exists(path)) return;
  if (rt::db::File::open(path, rt::db::File::Access::ReadOnly).size() == 0) ::unlink(path.c_str());
}

std::optional<PayrollIntent> PayrollJournal::read(const std::string& path) {
  if (!rt::db::File::exists(path)) return std::nullopt;
  rt::db::File f = rt::db::File::open(path, rt::db::File::Access::ReadOnly);
  const uint64_t size = f.size();
  if (size > kMaxJournalBytes) damaged(path);
  std::string text(size, '\0');
  f.readExact(0, text.data(), text.size());

  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) break;  // a line cut short: the write never finished
    lines.push_back(text.substr(pos, nl - pos));
    pos = nl + 1;
  }
  // Nothing pending, or a journal whose write was cut off before it was whole: its call, which
  // comes only after the sync of the whole text, never started.
  if (lines.empty() || lines.back() != "KONIEC") {
    if (!lines.empty() && lines.front() != "ZAMIAR") damaged(path);
    return std::nullopt;
  }
  if (lines.size() != 4 || lines[0] != "ZAMIAR" || pos != text.size()) damaged(path);
  std::vector<std::string> call = splitTabs(lines[1]), marks = splitTabs(lines[2]);
  if (call.size() != 7 || marks.size() != 5) damaged(path);
  PayrollIntent i;
  i.nr = call[0];
  int64_t recno = 0;
  if (!parseWhole(call[1], recno) || recno <= 0 || recno > int64_t(UINT32_MAX)) damaged(path);
  i.recno = uint32_t(recno);
  i.routine = call[2];
  if (i.routine != "SAV_SKL" && i.routine != "DEL_SKL") damaged(path);
  i.item = call[3];
  if (!parseWhole(call[4], i.change) || !parseValue(call[5], i.before) || !parseValue(call[6], i.after))
    damaged(path);
  if (marks[0] != "T" && marks[0] != "F") damaged(path);
  i.place = marks[0] == "T";
  i.kind = marks[1];
  if (!parseNumber(marks[2], i.amount) || !parseNumber(marks[3], i.days)) damaged(path);
  i.arrearsMark = marks[4];
  return i;
}

void setPayrollStepHook(PayrollStepHook hook) { stepHook() = std::move(hook); }

void payrollStepReached(const char* step) {
  if (stepHook()) stepHook()(step);
}

}  // namespace zus
