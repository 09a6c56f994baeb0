// Number conversions: digit strings, byte strings and the library's generator.
#include "console/number_conv.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "runtime/core/std_strings.h"

namespace con {

namespace {

// 1-based position in the digit alphabet, 0 when the character is no digit at all.
int alphabetPosition(char c) {
  auto p = kDigitAlphabet.find(c);
  return p == std::string_view::npos ? 0 : int(p) + 1;
}

}  // namespace

double CTON(std::string_view digits, double base) {
  digits = rt::trimBlanks(digits);
  double result = 0, weight = 1;
  while (!digits.empty()) {
    int p = alphabetPosition(digits.back());
    if (p == 0 || p > base) return 0;
    result += (p - 1) * weight;
    digits.remove_suffix(1);
    weight *= base;
  }
  return result;
}

std::string NTOC(double number, double base, std::optional<double> width) {
  std::string result;
  // A base below 2 never shrinks the number; such a call answers an empty text instead of
  // running forever.
  double b = std::floor(base);
  if (b >= 2 && std::isfinite(number)) {
    double n = std::floor(number);
    while (n > 0) {
      double digit = std::fmod(n, b);
      // Bases above 36 have no digit for values past 'Z'; those positions show as blanks.
      result.insert(result.begin(), digit < double(kDigitAlphabet.size())
                                        ? kDigitAlphabet[size_t(digit)]
                                        : ' ');
      n = std::floor(n / b);
    }
  }
  if (width && *width > double(result.size())) {
    size_t w = size_t(std::min(*width, 65535.0));
    result.insert(0, w - result.size(), ' ');
  }
  return result;
}

std::string N2BIN(std::string_view hexDigits, double widthBytes) {
  std::string digits(rt::trimBlanks(hexDigits));
  std::string result;
  // Pairs from the right; a digit string of odd length leaves the first digit as a byte alone.
  long i = long(digits.size());
  while (i > 0) {
    char low = digits[size_t(i - 1)];
    char high = i >= 2 ? digits[size_t(i - 2)] : '0';
    int byte = int(16 * CTON(std::string_view(&high, 1), 16) + CTON(std::string_view(&low, 1), 16));
    result.insert(result.begin(), char(byte));
    i -= 2;
  }
  double w = std::min(widthBytes, 65535.0);
  while (double(result.size()) < w) result.insert(result.begin(), '\0');
  return result;
}

std::string N2BIN(double number, double widthBytes) {
  return N2BIN(NTOC(number, 16, 2 * widthBytes), widthBytes);
}

double BIN2N(std::string_view bytes) {
  double result = 0, weight = 1;
  while (!bytes.empty()) {
    result += double(static_cast<unsigned char>(bytes.back())) * weight;
    bytes.remove_suffix(1);
    weight *= 256;
  }
  return result;
}

double RandomSeed::clockSeed() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  auto hundredths =
      duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000 / 10;
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + hundredths / 100.0;
}

double RandomSeed::next(double nMax) {
  if (!seed_) seed_ = clockSeed();
  // The recurrence in double precision, in exactly this order.
  seed_ = std::fmod((*seed_ * 31415621.0) + 1.0, 100000000.0);
  return nMax * (*seed_ / 100000000.0);
}

RandomSeed& randomSeed() {
  static RandomSeed seed;
  return seed;
}

double ZEF_RAND(double nMax) { return randomSeed().next(nMax); }

}  // namespace con
