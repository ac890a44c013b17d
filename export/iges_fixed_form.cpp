#include "export/iges_fixed_form.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "text/fixed_decimal.h"
#include "text/float_text.h"
#include "text/hex_text.h"

namespace {

// Writes value right-justified in the width columns at field, blanks on the
// left; a value longer than the field keeps its last digits (the sequence
// numbers and counts of a scene's file never come close).
// Blanks over the width columns at field: the fields are eight columns or
// fewer, filled in one store.
void PutBlanks(char* field, size_t width) {
  if (width == 8) {
    std::memcpy(field, "        ", 8);
  } else {
    for (size_t k = 0; k < width; ++k) field[k] = ' ';
  }
}

void PutRightJustified(char* field, size_t width, long long value) {
  if (width == 0) return;
  PutBlanks(field, width);
  unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                           : static_cast<unsigned long long>(value);
  char* at = field + width;  // the digits straight into the field, last first
  do {
    *--at = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0 && at != field);
  if (value < 0 && at != field) *--at = '-';
}

void PutRightJustified(char* field, size_t width, const std::string& text) {
  const size_t kept = text.size() < width ? text.size() : width;
  PutBlanks(field, width - kept);
  for (size_t k = 0; k < kept; ++k) field[width - kept + k] = text[k];
}

// A section letter and a count in seven columns: the eight columns that end
// every line, and the fields of the Terminate line.
void PutSectionField(char* field, char section, int64_t count) {
  field[0] = section;
  PutRightJustified(field + 1, 7, count);
}

constexpr size_t kFieldWidth = 8;

}  // namespace

char* FormatIgesReal(float value, char* out) {
  // The shortest float text has at most 15 characters ("-1.1754944e-38").
  static_assert(kIgesRealRoom >= kShortestFloatRoom + 1, "room for the point FormatIgesReal adds");
  char* end = WriteShortestFloat(out, value);
  char* exponent = out;
  bool point = false;
  for (; exponent != end && *exponent != 'e'; ++exponent) point = point || *exponent == '.';
  if (!point && exponent == end) {  // "256" becomes "256."
    *end++ = '.';
    return end;
  }
  if (!point) {  // "1e+10" becomes "1.e+10"
    std::memmove(exponent + 1, exponent, static_cast<size_t>(end - exponent));
    *exponent++ = '.';
    ++end;
  }
  if (exponent != end) *exponent = 'E';
  return end;
}

std::string IgesReal(float value) {
  char digits[kIgesRealRoom];
  return std::string(digits, FormatIgesReal(value, digits));
}

std::string IgesInteger(long long value) {
  char digits[32];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string IgesHollerith(const std::string& text) {
  return IgesInteger(static_cast<long long>(text.size())) + "H" + text;
}

std::string IgesText(const std::string& text) {
  std::string fit;
  for (const char byte : text) {
    const unsigned char c = static_cast<unsigned char>(byte);
    std::string piece(1, byte);
    if (c < 0x20 || c > 0x7E || c == '%') {
      piece.clear();
      AppendPercentEscape(piece, c);
    }
    if (fit.size() + piece.size() > kIgesLongestText) break;
    fit += piece;
  }
  return fit;
}

void AppendIgesLine(std::string& out, const char* data, size_t size, char section, int64_t sequence) {
  char line[kIgesLineBytes];
  const size_t used = size < kIgesDataColumns ? size : kIgesDataColumns;
  std::memcpy(line, data, used);
  if (used < kIgesDataColumns) std::memset(line + used, ' ', kIgesDataColumns - used);
  PutSectionField(line + kIgesDataColumns, section, sequence);
  line[kIgesLineBytes - 2] = '\r';
  line[kIgesLineBytes - 1] = '\n';
  out.append(line, sizeof line);
}

IgesParameterLines::IgesParameterLines(std::string& out, char section, int64_t firstSequence,
                                       int64_t directoryPointer)
    : out_(out),
      section_(section),
      firstSequence_(firstSequence),
      directoryPointer_(directoryPointer),
      width_(directoryPointer == 0 ? kIgesDataColumns : kIgesParameterColumns) {
  std::memset(line_, ' ', kIgesDataColumns);
}

void IgesParameterLines::AddReal(float value) {
  char digits[kIgesRealRoom];
  Add(digits, static_cast<size_t>(FormatIgesReal(value, digits) - digits));
}

// A parameter longer than a line (none that the writer makes) is cut at the
// line's end.
void IgesParameterLines::Add(const char* text, size_t length) {
  if (lineUsed_ > 0 && lineUsed_ + length + 1 > width_) EndLine();
  const size_t kept = length < kIgesDataColumns - 1 ? length : kIgesDataColumns - 1;
  char* at = line_ + lineUsed_;
  if (kept <= 16) {  // the usual parameter: a few characters, copied in place
    for (size_t k = 0; k < kept; ++k) at[k] = text[k];
  } else {
    std::memcpy(at, text, kept);
  }
  lineUsed_ += kept;
  line_[lineUsed_++] = ',';
}

// The same line as AppendIgesLine makes, completed in line_ itself.
void IgesParameterLines::EndLine() {
  if (directoryPointer_ != 0) {
    PutRightJustified(line_ + kIgesParameterColumns, kIgesDataColumns - kIgesParameterColumns,
                      directoryPointer_);
  }
  PutSectionField(line_ + kIgesDataColumns, section_, firstSequence_ + lines_);
  line_[kIgesLineBytes - 2] = '\r';
  line_[kIgesLineBytes - 1] = '\n';
  out_.append(line_, kIgesLineBytes);
  ++lines_;
  lineUsed_ = 0;
  std::memset(line_, ' ', kIgesDataColumns);
}

int64_t IgesParameterLines::Finish() {
  if (lineUsed_ > 0) {
    line_[lineUsed_ - 1] = ';';
    EndLine();
  }
  return lines_;
}

int64_t AppendIgesParameters(std::string& out, const std::vector<std::string>& parameters,
                             char section, int64_t firstSequence, int64_t directoryPointer) {
  IgesParameterLines lines(out, section, firstSequence, directoryPointer);
  for (const std::string& parameter : parameters) lines.Add(parameter);
  return lines.Finish();
}

void AppendIgesDirectoryEntry(std::string& out, const IgesDirectoryEntry& entry, int64_t sequence) {
  // Nine fields of eight columns each line: type, parameter pointer,
  // structure, line font, level, view, matrix, label display, status; then
  // type, line weight, colour, parameter lines, form, two reserved, label,
  // subscript.
  const long long first[] = {entry.entityType, entry.parameterPointer, 0, 0, entry.level, 0, 0, 0};
  char line[kIgesDataColumns];
  for (size_t k = 0; k < 8; ++k) PutRightJustified(&line[k * kFieldWidth], kFieldWidth, first[k]);
  std::memcpy(&line[8 * kFieldWidth], "00000000", kFieldWidth);
  AppendIgesLine(out, line, sizeof line, 'D', sequence);
  const long long second[] = {entry.entityType, 0, 0, entry.parameterLines, entry.form};
  for (size_t k = 0; k < 5; ++k) PutRightJustified(&line[k * kFieldWidth], kFieldWidth, second[k]);
  std::memset(&line[5 * kFieldWidth], ' ', 2 * kFieldWidth);
  PutRightJustified(&line[7 * kFieldWidth], kFieldWidth, entry.label);
  PutRightJustified(&line[8 * kFieldWidth], kFieldWidth, static_cast<long long>(entry.subscript));
  AppendIgesLine(out, line, sizeof line, 'D', sequence + 1);
}

void AppendIgesTerminate(std::string& out, int64_t startLines, int64_t globalLines,
                         int64_t directoryLines, int64_t parameterLines) {
  std::string line(4 * kFieldWidth, ' ');
  PutSectionField(&line[0], 'S', startLines);
  PutSectionField(&line[kFieldWidth], 'G', globalLines);
  PutSectionField(&line[2 * kFieldWidth], 'D', directoryLines);
  PutSectionField(&line[3 * kFieldWidth], 'P', parameterLines);
  AppendIgesLine(out, line, 'T', 1);
}
