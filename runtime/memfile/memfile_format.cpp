// Encoding and decoding of memory files, with bounds and checksum checks on every read.
#include "runtime/memfile/memfile_format.h"

#include <array>
#include <cstring>

#include "runtime/core/error.h"

namespace rt::mem {
namespace {

void put16(std::string& out, uint16_t v) {
  out += char(v & 0xFF);
  out += char(v >> 8);
}
void put32(std::string& out, uint32_t v) {
  for (int k = 0; k < 4; ++k) out += char((v >> (8 * k)) & 0xFF);
}
void put64(std::string& out, uint64_t v) {
  for (int k = 0; k < 8; ++k) out += char((v >> (8 * k)) & 0xFF);
}

// Reads the bytes in order; any read past the end is a truncated file.
class Reader {
 public:
  Reader(std::string_view bytes, std::string_view file) : bytes_(bytes), file_(file) {}

  [[noreturn]] void fail(const std::string& what) const {
    throw Error(ErrorKind::Corrupt, "Damaged memory file: " + what, "RESTORE", std::string(file_));
  }
  std::string_view take(size_t n, const char* what) {
    if (n > bytes_.size() - pos_) fail(std::string("truncated ") + what);
    std::string_view s = bytes_.substr(pos_, n);
    pos_ += n;
    return s;
  }
  uint64_t number(size_t n, const char* what) {
    std::string_view s = take(n, what);
    uint64_t v = 0;
    for (size_t k = 0; k < n; ++k) v |= uint64_t(static_cast<unsigned char>(s[k])) << (8 * k);
    return v;
  }
  size_t remaining() const { return bytes_.size() - pos_; }

 private:
  std::string_view bytes_;
  std::string_view file_;
  size_t pos_ = 0;
};

const std::array<uint32_t, 256>& crcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  return table;
}

}  // namespace

uint32_t crc32(std::string_view bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (char b : bytes) c = crcTable()[(c ^ static_cast<unsigned char>(b)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string encode(const std::vector<Variable>& vars) {
  std::string out(kMagic, sizeof kMagic);
  put16(out, kVersion);
  put16(out, 0);
  put32(out, uint32_t(vars.size()));
  for (const Variable& v : vars) {
    if (v.name.empty() || v.name.size() > 0xFFFF)
      throw Error(ErrorKind::Argument, "Argument error", "SAVE", v.name);
    out += v.value.typeLetter();
    put16(out, uint16_t(v.name.size()));
    out += v.name;
    switch (v.value.type()) {
      case Type::Char:
        put32(out, uint32_t(v.value.str().size()));
        out += v.value.str();
        break;
      case Type::Num: {
        put16(out, uint16_t(int16_t(v.value.width())));
        put16(out, uint16_t(int16_t(v.value.decimals())));
        uint64_t bits;
        double d = v.value.num();
        std::memcpy(&bits, &d, sizeof bits);
        put64(out, bits);
        break;
      }
      case Type::Date: put32(out, uint32_t(v.value.date())); break;
      case Type::Logical: out += char(v.value.logical() ? 1 : 0); break;
      default: throw Error(ErrorKind::Argument, "Argument error", "SAVE", v.name);
    }
  }
  put32(out, crc32(out));
  return out;
}

std::vector<Variable> decode(std::string_view bytes, std::string_view fileName) {
  Reader header(bytes, fileName);
  if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
    header.fail("not a memory file");
  if (bytes.size() < 20) header.fail("truncated header");
  // The checksum first: a damaged byte anywhere is reported as damage, not as a strange value.
  std::string_view body = bytes.substr(0, bytes.size() - 4);
  Reader tail(bytes.substr(bytes.size() - 4), fileName);
  if (uint32_t(tail.number(4, "checksum")) != crc32(body)) header.fail("checksum mismatch (damaged or truncated)");

  Reader in(body, fileName);
  in.take(sizeof kMagic, "header");
  uint16_t version = uint16_t(in.number(2, "header"));
  if (version != kVersion) in.fail("unknown format version " + std::to_string(version));
  in.number(2, "header");
  uint32_t count = uint32_t(in.number(4, "header"));
  std::vector<Variable> vars;
  vars.reserve(std::min<size_t>(count, in.remaining() / 4));
  for (uint32_t i = 0; i < count; ++i) {
    char type = in.take(1, "record")[0];
    size_t nameLength = size_t(in.number(2, "record name"));
    if (nameLength == 0) in.fail("empty variable name in record " + std::to_string(i + 1));
    Variable v;
    v.name = std::string(in.take(nameLength, "record name"));
    switch (type) {
      case 'C': {
        size_t n = size_t(in.number(4, "text value"));
        v.value = Value::text(std::string(in.take(n, "text value")));
        break;
      }
      case 'N': {
        int width = int16_t(in.number(2, "number value"));
        int decimals = int16_t(in.number(2, "number value"));
        uint64_t bits = in.number(8, "number value");
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (decimals < 0 || decimals > 64 || width < -1 || d != d) in.fail("bad number in record " + std::to_string(i + 1));
        v.value = Value::number(d, decimals, width);
        break;
      }
      case 'D': v.value = Value::date(int32_t(uint32_t(in.number(4, "date value")))); break;
      case 'L': {
        auto b = in.number(1, "logical value");
        if (b > 1) in.fail("bad logical in record " + std::to_string(i + 1));
        v.value = Value::logical(b == 1);
        break;
      }
      default: in.fail("unknown value type in record " + std::to_string(i + 1));
    }
    vars.push_back(std::move(v));
  }
  if (in.remaining() != 0) in.fail("bytes after the last record");
  return vars;
}

}  // namespace rt::mem
