// Text files as arrays of lines and the suite's settings file (FIRMA.INI and its siblings).
//
// The line reader works in chunks and keeps what it read beyond the returned line in the caller's
// buffer; it always returns whole lines, also when a line or its terminator straddles two chunks.
// A file that the reader opened is closed when its end is reached or when the reading stops at the
// line limit. Settings files are looked up in the settings directory, never where the caller's
// name points.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace con {

// Handle values of the read state besides an open file's descriptor.
inline constexpr double kReadNotOpened = -999;
inline constexpr double kReadFailed = -666;
inline constexpr double kReadAtEnd = -998;
inline constexpr size_t kMaxFileLines = 4096;

// How the reader splits and reads: taken from the variables `zn_konca` and `buff_wlk` when a
// caller declared them, otherwise CR LF and 4096 bytes.
struct LineFormat {
  std::string terminator = "\r\n";
  size_t chunkSize = 4096;
};

// The caller-owned state of READ_LINE: the handle (one of the values above, or a descriptor) and
// the bytes read but not returned yet.
struct ReadState {
  double handle = kReadNotOpened;
  std::string buffer;
};

// Closes the descriptor a state still holds (a reading abandoned before the end).
void closeReadState(ReadState& state);

std::string READ_LINE(ReadState& state, std::string_view fileName, const LineFormat& format = {});
std::vector<std::string> FILE2ARRAY(std::string_view fileName, bool keepEmpty = false,
                                    const LineFormat& format = {});
bool ARRAY2FILE(std::string_view fileName, const std::vector<std::string>& lines);

// The settings directory: the environment variable ZEF_KAT_INI when set, else "C:\TORV_ZEF"
// (drive letters are mapped by the runtime's file-name routine).
std::string _KAT_INI();

// The value of `key` in `section` of a line array; nullopt when the section or key is missing.
std::optional<std::string> XCZYTPARAM(const std::vector<std::string>& lines,
                                      std::string_view section, std::string_view key);

// The value of a key in the settings file `baseName` (only its base name counts); "" when the file,
// section or key is missing.
std::string CZYTZMSR(std::string_view key, std::string_view section = "[Default]",
                     std::string_view baseName = "FIRMA", const LineFormat& format = {});
std::string XGETENV(std::string_view key, const LineFormat& format = {});

// "EMPTY" of the runtime: nothing but blanks, tabs, CR and LF.
bool isBlankText(std::string_view s);

}  // namespace con
