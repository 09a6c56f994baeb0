// The arrears split kept in a benefit record's `old_nr`.
#include "zus/transfer/payroll_marks.h"

#include <cctype>

#include "zus/calc/run_tables.h"

namespace zus {
namespace {

constexpr const char* kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kBase = 36;
constexpr int kItemWidth = 4;

int digitValue(char c) {
  c = char(std::toupper(static_cast<unsigned char>(c)));
  for (int i = 0; i < kBase; ++i)
    if (kDigits[i] == c) return i;
  return -1;
}

}  // namespace

std::string arrearsMark(const ArrearsSent& sent) {
  if (!sent.known) return "";
  int days = int(sent.days);
  if (sent.item.empty() || days == 0) return "-";
  if (days < 0 || days >= kBase * kBase || double(days) != sent.days || int(sent.item.size()) > kItemWidth) return "";
  std::string item = sent.item + std::string(size_t(kItemWidth) - sent.item.size(), ' ');
  return item + kDigits[days / kBase] + kDigits[days % kBase];
}

ArrearsSent arrearsFromMark(const std::string& mark) {
  size_t end = mark.find_last_not_of(' ');
  if (end == std::string::npos) return {false, "", 0};
  if (mark.substr(0, end + 1) == "-") return {true, "", 0};
  if (mark.size() < size_t(kItemWidth) + 2) return {false, "", 0};
  int high = digitValue(mark[kItemWidth]), low = digitValue(mark[kItemWidth + 1]);
  if (high < 0 || low < 0) return {false, "", 0};
  std::string item = mark.substr(0, kItemWidth);
  item.erase(item.find_last_not_of(' ') + 1);
  return {true, item, double(high * kBase + low)};
}

void putTransferMarks(rt::db::WorkArea& nieobec, bool place, const std::string& kind, double amount, double days,
                      const std::string& arrearsMark) {
  calcrun::putField(nieobec, "place", rt::Value::logical(place));
  calcrun::putField(nieobec, "old_zas", rt::Value::text(kind));
  calcrun::putField(nieobec, "old_wart", rt::Value::number(amount, 2));
  calcrun::putField(nieobec, "old_dni", rt::Value::number(days));
  calcrun::putField(nieobec, "old_nr", rt::Value::text(arrearsMark));
}

}  // namespace zus
