// The fixed-form ASCII layout of IGES files: lines of exactly 80 columns
// (here followed by CR LF), the data in columns 1 to 72, the section letter
// in column 73 and the line's sequence number right-justified in columns 74
// to 80. Parameters are free-form, separated by ',' and ended by ';'; in the
// Parameter Data section they take columns 1 to 64, and columns 66 to 72
// carry the sequence number of the entity's directory entry.
#ifndef QUADKIT_EXPORT_IGES_FIXED_FORM_H_
#define QUADKIT_EXPORT_IGES_FIXED_FORM_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One line with its CR LF.
constexpr size_t kIgesLineBytes = 82;
constexpr size_t kIgesDataColumns = 72;
constexpr size_t kIgesParameterColumns = 64;
// The longest text an IgesText gives, so that every string parameter, as a
// Hollerith string with its delimiter, fits on one line of either section.
constexpr size_t kIgesLongestText = 64;

// A real in the shortest form that reads back as the same 32-bit float,
// always with a decimal point and an upper-case exponent: "256.", "-0.1",
// "1.E+10". Only for finite values.
std::string IgesReal(float value);
// The same into out, which holds at least kIgesRealRoom characters; returns
// the end of the text.
constexpr size_t kIgesRealRoom = 32;
char* FormatIgesReal(float value, char* out);
std::string IgesInteger(long long value);
// A Hollerith string: the character count, 'H', the characters.
std::string IgesHollerith(const std::string& text);
// text made fit for a string parameter: printable ASCII stays as it is, any
// other byte, and '%' itself, becomes '%' and two upper-case hex digits; the
// result is cut before kIgesLongestText would be exceeded, never inside an
// escape.
std::string IgesText(const std::string& text);

// Appends one line: data (at most 72 columns) padded with blanks, the
// section letter and the sequence number.
void AppendIgesLine(std::string& out, const char* data, size_t size, char section, int64_t sequence);
inline void AppendIgesLine(std::string& out, const std::string& data, char section, int64_t sequence) {
  AppendIgesLine(out, data.data(), data.size(), section, sequence);
}

// Appends parameters as free-form lines of section letter section, the
// first numbered firstSequence, each parameter followed by ',' and the last
// by ';'. No parameter is split between lines. With directoryPointer zero the
// lines use all 72 data columns (the Global section); otherwise 64, and the
// pointer stands in columns 66 to 72 (the Parameter Data section).
class IgesParameterLines {
 public:
  IgesParameterLines(std::string& out, char section, int64_t firstSequence, int64_t directoryPointer);
  void Add(const char* text, size_t length);
  void Add(const std::string& text) { Add(text.data(), text.size()); }
  void Add(const char* text) { Add(text, std::char_traits<char>::length(text)); }
  void AddReal(float value);
  // Ends the last parameter with ';' and its line; returns the number of
  // lines appended.
  int64_t Finish();

 private:
  void EndLine();

  std::string& out_;
  char section_;
  int64_t firstSequence_;
  int64_t directoryPointer_;
  size_t width_;
  char line_[kIgesLineBytes];  // blank beyond the parameters; EndLine completes it in place
  size_t lineUsed_ = 0;  // each parameter stands there with a ',' behind it; Finish makes the last ';'
  int64_t lines_ = 0;
};

// The same for a whole list; returns the number of lines appended.
int64_t AppendIgesParameters(std::string& out, const std::vector<std::string>& parameters,
                             char section, int64_t firstSequence, int64_t directoryPointer);

// The two lines of one entity's directory entry, in 8-column fields, the
// first numbered sequence. Status 00000000: visible, independent, geometry.
struct IgesDirectoryEntry {
  int entityType = 0;
  int64_t parameterPointer = 0;  // sequence number of its first Parameter Data line
  int64_t parameterLines = 0;
  int level = 0;
  int form = 0;
  std::string label;      // at most 8 characters, written right-justified
  int64_t subscript = 0;  // at most 8 digits
};
void AppendIgesDirectoryEntry(std::string& out, const IgesDirectoryEntry& entry, int64_t sequence);

// The Terminate line: the line counts of the four sections before it.
void AppendIgesTerminate(std::string& out, int64_t startLines, int64_t globalLines,
                         int64_t directoryLines, int64_t parameterLines);

#endif  // QUADKIT_EXPORT_IGES_FIXED_FORM_H_
