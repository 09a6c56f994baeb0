// Memory files of the suite's stand-ins: a header line, then one typed record per variable
// (name, type C/N/D/L, value). Written to a temporary name and renamed into place; a file that
// does not read whole changes no variable.
#include "suite/company/memory_store.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "suite/company/file_lookup.h"

namespace suite {
namespace {

constexpr char kMagic[] = "ZEFMEM 1\n";

bool maskMatches(std::string_view mask, std::string_view name) {
  if (mask.empty()) return true;
  size_t m = 0, n = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' ||
                            std::tolower((unsigned char)mask[m]) == std::tolower((unsigned char)name[n]))) {
      ++m, ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      mark = n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

template <typename T>
void put(std::string& out, T v) {
  out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

struct Reader {
  const std::string& data;
  size_t pos;
  const std::string& file;
  template <typename T>
  T get() {
    if (pos + sizeof(T) > data.size()) damaged();
    T v;
    std::memcpy(&v, data.data() + pos, sizeof v);
    pos += sizeof v;
    return v;
  }
  std::string bytes(size_t n) {
    if (pos + n > data.size()) damaged();
    std::string s = data.substr(pos, n);
    pos += n;
    return s;
  }
  [[noreturn]] void damaged() {
    throw rt::Error(rt::ErrorKind::Corrupt, "Damaged memory file", "RESTORE", file);
  }
};

}  // namespace

std::string memoryFileExtension() { return ".mem"; }

bool memoryFileExists(const std::string& path) { return fileExistsAnyCase(path); }

void saveMemory(const std::string& path, std::string_view mask) {
  std::string out = kMagic;
  for (const rt::MemvarInfo& v : rt::context().memvars.list()) {
    if (!maskMatches(mask, v.name)) continue;
    char type = v.value.typeLetter();
    if (type != 'C' && type != 'N' && type != 'D' && type != 'L') continue;
    put<uint16_t>(out, uint16_t(v.name.size()));
    out += v.name;
    out += type;
    switch (type) {
      case 'C': put<uint32_t>(out, uint32_t(v.value.str().size())); out += v.value.str(); break;
      case 'N':
        put<double>(out, v.value.num());
        put<int16_t>(out, int16_t(v.value.width()));
        put<int16_t>(out, int16_t(v.value.decimals()));
        break;
      case 'D': put<int32_t>(out, v.value.date()); break;
      case 'L': out += v.value.logical() ? 'T' : 'F'; break;
    }
  }
  std::string target = findPath(path);
  std::string temp = target + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    f.write(out.data(), std::streamsize(out.size()));
    if (!f.flush()) throw rt::Error(rt::ErrorKind::Write, "Write error", "SAVE", path);
  }
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    std::remove(temp.c_str());
    throw rt::Error(rt::ErrorKind::Write, "Write error", "SAVE", path, errno);
  }
}

void restoreMemory(const std::string& path) {
  std::ifstream f(findPath(path), std::ios::binary);
  if (!f) throw rt::Error(rt::ErrorKind::Open, "Open error", "RESTORE", path, errno);
  std::stringstream ss;
  ss << f.rdbuf();
  std::string data = ss.str();
  if (data.compare(0, sizeof kMagic - 1, kMagic) != 0)
    throw rt::Error(rt::ErrorKind::Corrupt, "Damaged memory file", "RESTORE", path);
  Reader r{data, sizeof kMagic - 1, path};
  std::vector<std::pair<std::string, rt::Value>> vars;
  while (r.pos < data.size()) {
    std::string name = r.bytes(r.get<uint16_t>());
    char type = r.get<char>();
    rt::Value v;
    switch (type) {
      case 'C': v = rt::Value::text(r.bytes(r.get<uint32_t>())); break;
      case 'N': {
        double n = r.get<double>();
        int16_t width = r.get<int16_t>();
        int16_t dec = r.get<int16_t>();
        v = rt::Value::number(n, dec, width);
        break;
      }
      case 'D': v = rt::Value::date(r.get<int32_t>()); break;
      case 'L': v = rt::Value::logical(r.get<char>() == 'T'); break;
      default: r.damaged();
    }
    vars.emplace_back(std::move(name), std::move(v));
  }
  rt::Memvars& mv = rt::context().memvars;
  for (auto& [name, value] : vars) {
    if (mv.find(name)) mv.assign(name, value);
    else mv.declarePrivate(name, value);
  }
}

}  // namespace suite
