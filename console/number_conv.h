// Number conversions of the console library: digit strings in bases 2 to 36, big-endian byte
// strings, and the library's pseudo-random generator.
//
// Invariants: CTON answers 0 for anything it cannot read; NTOC never loops on a base below 2 (it
// answers an empty, blank-padded text); byte strings are big-endian, most significant byte first.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace con {

// "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ": a digit's value is its index; only capitals are digits.
inline constexpr std::string_view kDigitAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

double CTON(std::string_view digits, double base);
std::string NTOC(double number, double base, std::optional<double> width = std::nullopt);
std::string N2BIN(double number, double widthBytes);
std::string N2BIN(std::string_view hexDigits, double widthBytes);
double BIN2N(std::string_view bytes);

// The generator's state: one seed for the whole run, taken from the clock at the first draw.
class RandomSeed {
 public:
  // Seconds since midnight with hundredths, read from the wall clock.
  static double clockSeed();
  double next(double nMax);
  void reset() { seed_.reset(); }
  void set(double seed) { seed_ = seed; }
  std::optional<double> seed() const { return seed_; }

 private:
  std::optional<double> seed_;
};

RandomSeed& randomSeed();
double ZEF_RAND(double nMax);

}  // namespace con
