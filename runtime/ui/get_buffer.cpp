// The edit buffer of one form field (see get_buffer.h).
#include "runtime/ui/get_buffer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/cp852.h"

namespace rt::ui {

namespace {

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Template characters the user types into.
bool editableMaskChar(char m) {
  switch (m) {
    case '9': case '#': case 'A': case 'N': case 'X': case 'L': case 'Y': case '!':
    case 'a': case 'n': case 'x': case 'l': case 'y':
      return true;
    default:
      return false;
  }
}

// The template of the date format: each d, m or y letter a digit position.
std::string dateMask() {
  std::string mask;
  for (char c : context().settings.dateFormat) {
    char u = char(std::toupper(static_cast<unsigned char>(c)));
    mask += (u == 'D' || u == 'M' || u == 'Y') ? '9' : c;
  }
  return mask;
}

// A number right-aligned in the template's digit positions, used only when the standard
// TRANSFORM is not registered.
std::string plainNumber(double v, const std::string& mask, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  std::string digits(text);
  std::string out(mask.size(), ' ');
  int i = int(mask.size()) - 1, j = int(digits.size()) - 1;
  for (; i >= 0; --i) {
    if (mask[i] == '.') { out[i] = '.'; if (j >= 0 && digits[j] == '.') --j; continue; }
    if (!editableMaskChar(mask[i])) { out[i] = mask[i]; continue; }
    if (j >= 0) out[i] = digits[j--];
  }
  if (j >= 0) {
    for (size_t k = 0; k < mask.size(); ++k)
      if (editableMaskChar(mask[k])) out[k] = '*';
  }
  return out;
}

}  // namespace

Picture Picture::parse(std::string_view picture) {
  Picture p;
  p.source = std::string(picture);
  std::string_view rest = picture;
  if (!rest.empty() && rest[0] == '@') {
    size_t blank = rest.find(' ');
    std::string_view fn = rest.substr(1, blank == std::string_view::npos ? rest.npos : blank - 1);
    rest = blank == std::string_view::npos ? std::string_view{} : rest.substr(blank + 1);
    p.functions.letters = std::string(fn);
    for (size_t i = 0; i < fn.size(); ++i) {
      char c = char(std::toupper(static_cast<unsigned char>(fn[i])));
      if (c == '!') p.functions.upper = true;
      else if (c == 'D') p.functions.date = true;
      else if (c == 'K') p.functions.clearOnType = true;
      else if (c == 'S') {
        int n = 0;
        while (i + 1 < fn.size() && isDigit(static_cast<unsigned char>(fn[i + 1])))
          n = n * 10 + (fn[++i] - '0');
        p.functions.scrollWidth = n;
      }
    }
  }
  p.templ = std::string(rest);
  return p;
}

GetBuffer::GetBuffer(const Value& value, std::string_view picture)
    : picture_(Picture::parse(picture)) {
  buildMask(value);
  load(value);
}

void GetBuffer::buildMask(const Value& value) {
  switch (value.type()) {
    case Type::Num: type_ = 'N'; break;
    case Type::Date: type_ = 'D'; break;
    case Type::Logical: type_ = 'L'; break;
    default: type_ = 'C'; break;
  }
  const std::string& t = picture_.templ;
  if (type_ == 'D' || (type_ == 'C' && picture_.functions.date && t.empty())) {
    mask_ = dateMask();
  } else if (!t.empty()) {
    mask_ = t;
  } else if (type_ == 'C') {
    mask_.assign(value.isChar() ? value.str().size() : 0, 'X');
  } else if (type_ == 'N') {
    int dec = value.decimals();
    int width = value.width();
    int intDigits = width == kDefaultWidth ? 10 : std::max(1, width - (dec > 0 ? dec + 1 : 0));
    mask_.assign(intDigits, '9');
    if (dec > 0) mask_ += "." + std::string(dec, '9');
  } else {
    mask_ = "L";
  }
  decimals_ = 0;
  if (type_ == 'N') {
    size_t dot = mask_.find('.');
    if (dot != std::string::npos)
      for (size_t i = dot + 1; i < mask_.size(); ++i)
        if (editableMaskChar(mask_[i])) ++decimals_;
  }
}

std::string GetBuffer::format(const Value& value) const {
  std::string out;
  switch (type_) {
    case 'N': {
      double v = value.isNum() ? value.num() : 0;
      if (const NativeFunction* tr = functions().find("TRANSFORM")) {
        std::string pic = picture_.functions.letters.empty() ? "" : "@" + picture_.functions.letters + " ";
        Args a({Value::number(v, value.isNum() ? value.decimals() : 0), Value::text(pic + mask_)});
        out = (*tr)(a).strOr("");
      } else {
        out = plainNumber(v, mask_, decimals_);
      }
      break;
    }
    case 'D': {
      Value d = value.isDate() ? value : Value::date(0);
      if (const NativeFunction* dtoc = functions().find("DTOC")) {
        Args a({d});
        out = (*dtoc)(a).strOr("");
      }
      break;
    }
    case 'L': {
      bool b = value.isLogical() && value.logical();
      char m = char(std::toupper(static_cast<unsigned char>(mask_.empty() ? 'L' : mask_[0])));
      out = m == 'Y' ? (b ? "Y" : "N") : (b ? "T" : "F");
      break;
    }
    default: {
      std::string s = value.isChar() ? value.str() : std::string();
      out.assign(mask_.size(), ' ');
      for (size_t i = 0; i < mask_.size(); ++i)
        out[i] = isEditable(int(i)) ? (i < s.size() ? char(adjust(int(i), s[i])) : ' ') : mask_[i];
      break;
    }
  }
  out.resize(mask_.size(), ' ');
  return out;
}

void GetBuffer::load(const Value& value) {
  buffer_ = format(value);
  pos_ = std::max(0, firstEditable());
  changed_ = false;
  typedOut_ = false;
  offset_ = 0;
}

Value GetBuffer::value(const Value& original, bool* valid) const {
  if (valid) *valid = true;
  switch (type_) {
    case 'N': {
      std::string digits;
      bool negative = false, pointDone = false;
      for (size_t i = 0; i < mask_.size(); ++i) {
        unsigned char c = buffer_[i];
        if (mask_[i] == '.' && !pointDone) { digits += '.'; pointDone = true; continue; }
        if (!isEditable(int(i))) continue;
        if (isDigit(c)) digits += char(c);
        else if (c == '-' || c == '(') negative = true;
      }
      double v = digits.empty() ? 0.0 : std::strtod(digits.c_str(), nullptr);
      if (negative) v = -v;
      int width = original.isNum() ? original.width() : kDefaultWidth;
      return Value::number(v, decimals_, width);
    }
    case 'D': {
      bool blank = true;
      for (size_t i = 0; i < mask_.size(); ++i)
        if (isEditable(int(i)) && buffer_[i] != ' ') blank = false;
      if (blank) return Value::date(0);
      Value d = Value::date(0);
      if (const NativeFunction* ctod = functions().find("CTOD")) {
        Args a({Value::text(buffer_)});
        d = (*ctod)(a);
      }
      if (!d.isDate() || d.date() == 0) {
        if (valid) *valid = false;
        return Value::date(0);
      }
      return d;
    }
    case 'L': {
      unsigned char c = buffer_.empty() ? 'F' : toUpper852(buffer_[0]);
      return Value::logical(c == 'T' || c == 'Y');
    }
    default: {
      std::string s = buffer_;
      if (original.isChar() && original.str().size() > s.size()) s += original.str().substr(s.size());
      return Value::text(s);
    }
  }
}

int GetBuffer::displayWidth() const {
  int w = picture_.functions.scrollWidth;
  return (w > 0 && w < int(buffer_.size())) ? w : int(buffer_.size());
}

void GetBuffer::follow() const {
  int w = displayWidth();
  if (w >= int(buffer_.size())) { offset_ = 0; return; }
  if (pos_ < offset_) offset_ = pos_;
  if (pos_ >= offset_ + w) offset_ = pos_ - w + 1;
}

std::string GetBuffer::displayText() const {
  follow();
  return buffer_.substr(offset_, displayWidth());
}

int GetBuffer::displayCursor() const {
  follow();
  return pos_ - offset_;
}

bool GetBuffer::isEditable(int position) const {
  if (position < 0 || position >= int(mask_.size())) return false;
  char m = mask_[position];
  if (type_ == 'D') return m == '9';
  return editableMaskChar(m);
}

unsigned char GetBuffer::adjust(int position, unsigned char c) const {
  char m = position >= 0 && position < int(mask_.size()) ? mask_[position] : 'X';
  if (picture_.functions.upper || m == '!' || m == 'L' || m == 'l' || m == 'Y' || m == 'y' ||
      type_ == 'L')
    return toUpper852(c);
  return c;
}

bool GetBuffer::accepts(int position, unsigned char c) const {
  if (!isEditable(position)) return false;
  c = adjust(position, c);
  switch (char(std::toupper(static_cast<unsigned char>(mask_[position])))) {
    case '9':
      return isDigit(c) || (type_ == 'N' && (c == '-' || c == '+'));
    case '#':
      return isDigit(c) || c == ' ' || c == '-' || c == '+';
    case 'A':
      return isAlpha852(c);
    case 'N':
      return isAlpha852(c) || isDigit(c);
    case 'L':
      return c == 'T' || c == 'F' || c == 'Y' || c == 'N';
    case 'Y':
      return c == 'Y' || c == 'N';
    default:
      return c >= 32;
  }
}

int GetBuffer::firstEditable() const { return nextEditable(-1); }

int GetBuffer::lastEditable() const { return prevEditable(int(mask_.size())); }

int GetBuffer::nextEditable(int from) const {
  for (int i = from + 1; i < int(mask_.size()); ++i)
    if (isEditable(i)) return i;
  return -1;
}

int GetBuffer::prevEditable(int from) const {
  for (int i = std::min(from, int(mask_.size())) - 1; i >= 0; --i)
    if (isEditable(i)) return i;
  return -1;
}

int GetBuffer::runEnd(int position) const {
  int end = position;
  while (isEditable(end + 1)) ++end;
  return end;
}

bool GetBuffer::type(unsigned char c, bool insert) {
  if (typedOut_ || !isEditable(pos_) || !accepts(pos_, c)) return false;
  c = adjust(pos_, c);
  if (insert) {
    for (int j = runEnd(pos_); j > pos_; --j) buffer_[j] = buffer_[j - 1];
  }
  buffer_[pos_] = char(c);
  changed_ = true;
  int next = nextEditable(pos_);
  if (next < 0) typedOut_ = true;
  else pos_ = next;
  return true;
}

bool GetBuffer::left() {
  typedOut_ = false;
  int p = prevEditable(pos_);
  if (p < 0) return false;
  pos_ = p;
  return true;
}

bool GetBuffer::right() {
  typedOut_ = false;
  int n = nextEditable(pos_);
  if (n < 0) return false;
  pos_ = n;
  return true;
}

bool GetBuffer::home() {
  typedOut_ = false;
  int f = firstEditable();
  if (f < 0) return false;
  pos_ = f;
  return true;
}

bool GetBuffer::end() {
  typedOut_ = false;
  if (type_ == 'N' || type_ == 'D') {
    int l = lastEditable();
    if (l < 0) return false;
    pos_ = l;
    return true;
  }
  // After the last character typed, or on the last position when the field is full.
  int lastFilled = -1;
  for (int i = 0; i < int(buffer_.size()); ++i)
    if (isEditable(i) && buffer_[i] != ' ') lastFilled = i;
  if (lastFilled < 0) return home();
  int n = nextEditable(lastFilled);
  pos_ = n < 0 ? lastFilled : n;
  return true;
}

bool GetBuffer::wordLeft() {
  typedOut_ = false;
  int p = prevEditable(pos_);
  while (p >= 0 && buffer_[p] == ' ') p = prevEditable(p);
  while (p >= 0) {
    int q = prevEditable(p);
    if (q < 0 || buffer_[q] == ' ') break;
    p = q;
  }
  if (p < 0) return false;
  pos_ = p;
  return true;
}

bool GetBuffer::wordRight() {
  typedOut_ = false;
  int p = pos_;
  while (p >= 0 && buffer_[p] != ' ') p = nextEditable(p);
  while (p >= 0 && buffer_[p] == ' ') p = nextEditable(p);
  if (p < 0) return false;
  pos_ = p;
  return true;
}

bool GetBuffer::del() {
  if (!isEditable(pos_)) return false;
  typedOut_ = false;
  int end = runEnd(pos_);
  for (int j = pos_; j < end; ++j) buffer_[j] = buffer_[j + 1];
  buffer_[end] = ' ';
  changed_ = true;
  return true;
}

bool GetBuffer::backspace() {
  if (typedOut_) {  // the cursor stands after the last position
    typedOut_ = false;
    return del();
  }
  int p = prevEditable(pos_);
  if (p < 0) return false;
  pos_ = p;
  return del();
}

bool GetBuffer::deleteToEnd() {
  typedOut_ = false;
  bool any = false;
  for (int i = pos_; i < int(buffer_.size()); ++i)
    if (isEditable(i)) { buffer_[i] = ' '; any = true; }
  if (any) changed_ = true;
  return any;
}

bool GetBuffer::deleteWord() {
  if (!isEditable(pos_)) return false;
  // Delete the word under the cursor and the blanks after it.
  int count = 0;
  int p = pos_;
  while (isEditable(p) && buffer_[p] != ' ') { ++count; ++p; }
  while (isEditable(p) && buffer_[p] == ' ' && p <= runEnd(pos_)) { ++count; ++p; }
  if (count == 0) count = 1;
  for (int i = 0; i < count; ++i) del();
  return true;
}

bool GetBuffer::toDecimals() {
  if (type_ != 'N') return false;
  size_t dot = mask_.find('.');
  if (dot == std::string::npos) return false;
  typedOut_ = false;
  // Integer part right-aligned in the positions before the point.
  std::string typed;
  std::vector<int> slots;
  for (int i = 0; i < int(dot); ++i)
    if (isEditable(i)) {
      slots.push_back(i);
      if (buffer_[i] != ' ') typed += buffer_[i];
    }
  int k = int(typed.size()) - 1;
  for (int s = int(slots.size()) - 1; s >= 0; --s) buffer_[slots[s]] = k >= 0 ? typed[k--] : ' ';
  for (int i = int(dot) + 1; i < int(buffer_.size()); ++i)
    if (isEditable(i) && buffer_[i] == ' ') buffer_[i] = '0';
  int n = nextEditable(int(dot));
  if (n >= 0) pos_ = n;
  changed_ = true;
  return true;
}

void GetBuffer::clear() {
  for (int i = 0; i < int(buffer_.size()); ++i)
    if (isEditable(i)) buffer_[i] = ' ';
  pos_ = std::max(0, firstEditable());
  typedOut_ = false;
  changed_ = true;
}

}  // namespace rt::ui
