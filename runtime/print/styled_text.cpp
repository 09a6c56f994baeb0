// Splitting printed lines at their style codes.
#include "runtime/print/styled_text.h"

namespace rt::print {
namespace {

StyleCodes& current() {
  static StyleCodes codes;
  return codes;
}

bool startsWith(std::string_view s, size_t at, const std::string& code) {
  return !code.empty() && s.compare(at, code.size(), code) == 0;
}

}  // namespace

const StyleCodes& styleCodes() { return current(); }
void setStyleCodes(const StyleCodes& codes) { current() = codes; }

std::vector<StyledRun> splitStyled(std::string_view line, StyleState& state,
                                   const StyleCodes& codes) {
  std::vector<StyledRun> runs;
  auto append = [&](char c) {
    if (runs.empty() || runs.back().bold != state.bold || runs.back().underline != state.underline)
      runs.push_back({{}, state.bold, state.underline});
    runs.back().text += c;
  };
  for (size_t i = 0; i < line.size();) {
    if (startsWith(line, i, codes.boldOn)) {
      state.bold = true;
      i += codes.boldOn.size();
    } else if (startsWith(line, i, codes.boldOff)) {
      state.bold = false;
      i += codes.boldOff.size();
    } else if (startsWith(line, i, codes.underlineOn)) {
      state.underline = true;
      i += codes.underlineOn.size();
    } else if (startsWith(line, i, codes.underlineOff)) {
      state.underline = false;
      i += codes.underlineOff.size();
    } else {
      append(line[i++]);
    }
  }
  return runs;
}

std::string stripCodes(std::string_view line, const StyleCodes& codes) {
  StyleState state;
  std::string out;
  for (const StyledRun& r : splitStyled(line, state, codes)) out += r.text;
  return out;
}

int printedWidth(std::string_view line, const StyleCodes& codes) {
  return int(stripCodes(line, codes).size());
}

std::string boxToAscii(std::string_view line) {
  std::string out(line);
  for (char& ch : out) {
    switch ((unsigned char)ch) {
      case 0xC4: ch = '-'; break;                      // ─
      case 0xCD: ch = '='; break;                      // ═
      case 0xB3: case 0xBA: ch = '|'; break;           // │ ║
      case 0xDA: case 0xBF: case 0xC0: case 0xD9:      // ┌ ┐ └ ┘
      case 0xC9: case 0xBB: case 0xC8: case 0xBC:      // ╔ ╗ ╚ ╝
      case 0xC3: case 0xB4: case 0xC2: case 0xC1:      // ├ ┤ ┬ ┴
      case 0xC5: case 0xCC: case 0xB9: case 0xCB:      // ┼ ╠ ╣ ╦
      case 0xCA: case 0xCE:                            // ╩ ╬
        ch = '+';
        break;
      default: break;
    }
  }
  return out;
}

}  // namespace rt::print
