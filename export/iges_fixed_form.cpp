#include "export/iges_fixed_form.h"

#include <charconv>

namespace {

// value right-justified in width columns; a longer value is kept whole.
void AppendRightJustified(std::string& out, const std::string& value, size_t width) {
  if (value.size() < width) out.append(width - value.size(), ' ');
  out += value;
}

std::string SectionField(char section, int64_t count) {
  std::string field(1, section);
  AppendRightJustified(field, IgesInteger(count), 7);
  return field;
}

}  // namespace

std::string IgesReal(float value) {
  char digits[64];
  std::string text(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  const size_t exponent = text.find('e');
  const size_t mantissaEnd = exponent == std::string::npos ? text.size() : exponent;
  if (text.find('.') == std::string::npos) text.insert(mantissaEnd, 1, '.');
  const size_t e = text.find('e');
  if (e != std::string::npos) text[e] = 'E';
  return text;
}

std::string IgesInteger(long long value) {
  char digits[32];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string IgesHollerith(const std::string& text) {
  return IgesInteger(static_cast<long long>(text.size())) + "H" + text;
}

std::string IgesText(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string fit;
  for (const char byte : text) {
    const unsigned char c = static_cast<unsigned char>(byte);
    std::string piece(1, byte);
    if (c < 0x20 || c > 0x7E || c == '%') piece = {'%', kHex[c >> 4], kHex[c & 0x0F]};
    if (fit.size() + piece.size() > kIgesLongestText) break;
    fit += piece;
  }
  return fit;
}

void AppendIgesLine(std::string& out, const std::string& data, char section, int64_t sequence) {
  out += data.substr(0, kIgesDataColumns);
  if (data.size() < kIgesDataColumns) out.append(kIgesDataColumns - data.size(), ' ');
  out += SectionField(section, sequence);
  out += "\r\n";
}

int64_t AppendIgesParameters(std::string& out, const std::vector<std::string>& parameters,
                             char section, int64_t firstSequence, int64_t directoryPointer) {
  const size_t width = directoryPointer == 0 ? kIgesDataColumns : kIgesParameterColumns;
  int64_t lines = 0;
  std::string line;
  auto flush = [&]() {
    if (directoryPointer != 0) {
      line.resize(kIgesParameterColumns, ' ');
      AppendRightJustified(line, IgesInteger(directoryPointer), kIgesDataColumns - kIgesParameterColumns);
    }
    AppendIgesLine(out, line, section, firstSequence + lines);
    ++lines;
    line.clear();
  };
  for (size_t k = 0; k < parameters.size(); ++k) {
    const std::string token = parameters[k] + (k + 1 < parameters.size() ? ',' : ';');
    if (!line.empty() && line.size() + token.size() > width) flush();
    line += token;
  }
  if (!line.empty()) flush();
  return lines;
}

void AppendIgesDirectoryEntry(std::string& out, const IgesDirectoryEntry& entry, int64_t sequence) {
  auto field = [](std::string& line, const std::string& value) {
    AppendRightJustified(line, value.substr(0, 8), 8);
  };
  const std::string type = IgesInteger(entry.entityType);
  std::string first;
  for (const std::string& value : {type, IgesInteger(entry.parameterPointer), std::string("0"),
                                   std::string("0"), IgesInteger(entry.level), std::string("0"),
                                   std::string("0"), std::string("0"), std::string("00000000")}) {
    field(first, value);
  }
  AppendIgesLine(out, first, 'D', sequence);
  std::string second;
  for (const std::string& value : {type, std::string("0"), std::string("0"),
                                   IgesInteger(entry.parameterLines), IgesInteger(entry.form),
                                   std::string(), std::string(), entry.label,
                                   IgesInteger(entry.subscript)}) {
    field(second, value);
  }
  AppendIgesLine(out, second, 'D', sequence + 1);
}

void AppendIgesTerminate(std::string& out, int64_t startLines, int64_t globalLines,
                         int64_t directoryLines, int64_t parameterLines) {
  AppendIgesLine(out,
                 SectionField('S', startLines) + SectionField('G', globalLines) +
                     SectionField('D', directoryLines) + SectionField('P', parameterLines),
                 'T', 1);
}
