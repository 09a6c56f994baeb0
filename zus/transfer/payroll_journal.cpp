// The journal of one payroll call: its file, its text, and the test seam of the steps.
#include "zus/transfer/payroll_journal.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/db/file.h"

namespace zus {
namespace {

constexpr size_t kMaxJournalBytes = 4096;
constexpr const char* kPending = "ZAMIAR";
constexpr const char* kSettled = "ROZLICZONE";
constexpr const char* kEnd = "KONIEC";

// FNV-1a of the text, in hex: a journal whose lines do not match it was damaged.
std::string checksum(const std::string& text) {
  uint32_t h = 2166136261u;
  for (unsigned char c : text) h = (h ^ c) * 16777619u;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", h);
  return buf;
}

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
  std::string text = std::string(kPending) + "\n" + i.nr + "\t" + std::to_string(i.recno) + "\t" + i.routine + "\t" +
                     i.item + "\t" + std::to_string(i.change) + "\t" + valueText(i.before) + "\t" +
                     valueText(i.after) + "\n" + (i.place ? "T" : "F") + "\t" + i.kind + "\t" + numberText(i.amount) +
                     "\t" + numberText(i.days) + "\t" + i.arrearsMark + "\n";
  text += std::string(kEnd) + " " + checksum(text) + "\n";
  // Written in place, never cut down first: emptying a file and filling it again makes the file
  // system write it out at once, at the cost of a disk sync per payroll call.
  rt::db::File f = rt::db::File::exists(path) ? rt::db::File::open(path) : rt::db::File::create(path);
  f.writeExact(0, text.data(), text.size());
}

void PayrollJournal::clear(const std::string& path) {
  std::string text = std::string(kSettled) + "\n";
  rt::db::File::open(path).writeExact(0, text.data(), text.size());
}

void PayrollJournal::removeIfClear(const std::string& path) {
  try {
    if (!read(path)) ::unlink(path.c_str());
  } catch (const rt::Error&) {
    // A damaged journal stays for the next run to report.
  }
}

std::optional<PayrollIntent> PayrollJournal::read(const std::string& path) {
  if (!rt::db::File::exists(path)) return std::nullopt;
  rt::db::File f = rt::db::File::open(path, rt::db::File::Access::ReadOnly);
  const uint64_t size = std::min<uint64_t>(f.size(), kMaxJournalBytes);
  std::string text(size, '\0');
  f.readExact(0, text.data(), text.size());

  // The first four lines; what follows them is left over from a longer intent written before.
  std::vector<std::string> lines;
  size_t pos = 0;
  while (lines.size() < 4) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) break;
    lines.push_back(text.substr(pos, nl - pos));
    pos = nl + 1;
  }
  if (lines.empty()) {
    // Made and not written yet: its call never started.
    if (text.find_first_not_of('\0') == std::string::npos || std::string(kPending).rfind(text, 0) == 0)
      return std::nullopt;
    damaged(path);
  }
  if (lines[0] == kSettled) return std::nullopt;
  if (lines[0] != kPending) damaged(path);
  // Cut short: the call comes only after the whole text is written, so it never started.
  if (lines.size() < 4) return std::nullopt;
  const size_t body = text.find(std::string("\n") + kEnd + " ") + 1;
  if (lines[3] != std::string(kEnd) + " " + checksum(text.substr(0, body))) damaged(path);
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
