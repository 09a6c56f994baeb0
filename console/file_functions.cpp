// By-name adapters of the file, directory and settings-file services.
#include "console/by_name.h"
#include "console/file_utils.h"
#include "console/mem_routines.h"
#include "console/register.h"
#include "console/settings_file.h"
#include "runtime/core/context.h"

namespace con {

namespace {

using namespace byname;

// The line terminator and chunk size a caller declared as `zn_konca` and `buff_wlk`; CR LF and
// 4096 bytes when it declared none (or values of no use).
LineFormat callerLineFormat() {
  LineFormat format;
  const rt::Memvars& vars = rt::context().memvars;
  if (const rt::Value* t = vars.tryGet("zn_konca"); t && t->isChar() && !t->str().empty())
    format.terminator = t->str();
  if (const rt::Value* n = vars.tryGet("buff_wlk"); n && n->isNum() && n->num() >= 1)
    format.chunkSize = size_t(std::min(n->num(), 1e8));
  return format;
}

std::vector<std::string> textLines(const rt::Value& v) {
  std::vector<std::string> lines;
  if (!v.isArray()) return lines;
  for (const rt::Value& e : v.arr()) lines.push_back(e.isChar() ? e.str() : std::string());
  return lines;
}

// SET EXACT on for the scope, put back as it was afterwards.
class ExactOn {
 public:
  ExactOn() : saved_(rt::context().settings.exact) { rt::context().settings.exact = true; }
  ~ExactOn() { rt::context().settings.exact = saved_; }
  ExactOn(const ExactOn&) = delete;
  ExactOn& operator=(const ExactOn&) = delete;

 private:
  bool saved_;
};

}  // namespace

void registerFileFunctions(rt::Functions& f) {
  f.add("_KAT_INI", [](rt::Args&) { return text(_KAT_INI()); });
  f.add("XGETENV", [](rt::Args& a) {
    return text(XGETENV(textOr(a, 0, ""), callerLineFormat()));
  });
  f.add("CZYTZMSR", [](rt::Args& a) {
    return text(CZYTZMSR(textOr(a, 0, ""), textOr(a, 1, "[Default]"), textOr(a, 2, "FIRMA"),
                         callerLineFormat()));
  });
  f.add("FILE2ARRAY", [](rt::Args& a) {
    bool keepEmpty = optLogical(a, 1).value_or(false);
    return textArray(FILE2ARRAY(needText(a, 0, "FILE2ARRAY"), keepEmpty, callerLineFormat()));
  });
  f.add("ARRAY2FILE", [](rt::Args& a) {
    return logical(ARRAY2FILE(needText(a, 0, "ARRAY2FILE"), textLines(a[1])));
  });
  f.add("READ_LINE", [](rt::Args& a) {
    ReadState state;
    state.handle = numOr(a, 0, kReadNotOpened);
    state.buffer = textOr(a, 1, "");
    std::string line = READ_LINE(state, needText(a, 2, "READ_LINE"), callerLineFormat());
    a.assign(0, number(state.handle));
    a.assign(1, text(state.buffer));
    return text(line);
  });

  f.add("DIRNAME", [](rt::Args& a) { return text(DIRNAME(optLogical(a, 0).value_or(false))); });
  f.add("DISKNAME", [](rt::Args&) { return text(DISKNAME()); });
  f.add("ISDIR", [](rt::Args& a) { return logical(ISDIR(textOr(a, 0, ""))); });
  f.add("N_ISDIR", [](rt::Args& a) { return logical(N_ISDIR(textOr(a, 0, ""))); });
  f.add("E_SETFATTR", [](rt::Args& a) {
    return number(E_SETFATTR(textOr(a, 0, ""), numOr(a, 1, 0)));
  });
  // Dates and times of files are left as they are: accepted, never changed.
  f.add("E_SETFDATI", [](rt::Args&) { return logical(true); });
  f.add("E_INT", [](rt::Args& a) { return number(E_INT(needNum(a, 0, "E_INT"))); });
  f.add("READ_MEM", [](rt::Args& a) {
    if (!a[0].isChar()) {
      ensureUpdateVariables();
      return text("");
    }
    return READ_MEM(a[0].str(), textOr(a, 1, ""));
  });
  f.add("WRITE_MEM", [](rt::Args& a) {
    if (!a[0].isChar()) {
      ensureUpdateVariables();
      return rt::Value();
    }
    std::optional<std::string> mask = optText(a, 3);
    WRITE_MEM(a[0].str(), textOr(a, 1, ""), textOr(a, 2, ""), mask);
    return rt::Value();
  });
  f.add("FMEMORXPF", [](rt::Args& a) {
    return a[0].isChar() ? text(FMEMORXPF(a[0].str())) : a[0];
  });
  f.add("ASCAN_EXACT", [](rt::Args& a) {
    ExactOn exact;
    rt::Args forward(std::vector<rt::Value>(a.values().begin(),
                                            a.values().begin() + std::min<size_t>(a.count(), 4)));
    return rt::functions().call("ASCAN", forward);
  });
}

}  // namespace con
