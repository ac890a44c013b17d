#include "app/quadkit_cli.h"

#include <string>

#include "app/console_output.h"
#include "app/number_argument.h"
#include "check/scene_check.h"
#include "edit/scale_move.h"
#include "app/format_table.h"
#include "formats/interchange_format.h"
#include "report/failure.h"
#include "report/messages.h"
#include "text/text_rules.h"
#include "text/text_template.h"

namespace {

using namespace messages;

// Every switch is compared in turn; each match sets the mode and prints its
// progress word, which the format line continues.
Mode ChooseMode(const char* word, Reporter& reporter) {
  struct Switch {
    const char* word;
    Mode mode;
    const char* progress;
  };
  static const Switch kSwitches[] = {
      {"/i", kModeImport, kImporting},
      {"/e", kModeExport, kExporting},
      {"/s", kModeResize, kResizing},
      {"/m", kModeMove, kMoving},
      {"/c", kModeCheck, kChecking},
  };
  Mode mode = kModeNone;
  for (const Switch& s : kSwitches) {
    if (EqualsIgnoringAsciiCase(word, s.word)) {
      mode = s.mode;
      reporter.Say(s.progress);
    }
  }
  return mode;
}

// Argument 4 is compared with every format's switch word in turn; each
// match chooses that format. Without argument 4 the listing is chosen;
// null when argument 4 is none of the switch words.
const FormatRow* ChooseFormat(int argc, const char* const* argv) {
  if (argc < 5) return &kFormats[0];
  const FormatRow* chosen = nullptr;
  for (size_t k = 0; k < kFormatCount; ++k) {
    const char* word = kFormats[k].switchWord;
    if (word != nullptr && EqualsIgnoringAsciiCase(argv[4], word)) chosen = &kFormats[k];
  }
  return chosen;
}

// Whether the usage text names the switch word.
bool UsageNames(const std::string& word) {
  const std::string usage = kUsage;
  for (size_t at = usage.find(word); at != std::string::npos; at = usage.find(word, at + 1)) {
    const char next = usage[at + word.size()];
    if (!((next >= 'A' && next <= 'Z') || (next >= 'a' && next <= 'z') || (next >= '0' && next <= '9'))) {
      return true;
    }
  }
  return false;
}

// The switch words of the format table that the usage text does not name,
// joined by commas.
std::string FormatWordsBeyondUsage() {
  std::string words;
  for (size_t k = 0; k < kFormatCount; ++k) {
    const char* word = kFormats[k].switchWord;
    if (word == nullptr || UsageNames(word)) continue;
    words += (words.empty() ? "" : ", ") + std::string(word);
  }
  return words;
}

// The usage text is kept as it has always been; the formats added since are
// named beside it, on standard error.
void MentionFormatsBeyondUsage(Reporter& reporter) {
  reporter.Complain("more formats: " + FormatWordsBeyondUsage() +
                    "; the check of a scene file: /c [ZEMFILE]"
                    " (the README and 'man quadkit' describe every format and the check)");
}

// Reads the three values of Resize or Move from arguments 3 to 5; absent
// ones keep their default. A value that is given but is no number is named
// on the output, and false is returned before any file is touched.
bool ReadAxisValues(int argc, const char* const* argv, float defaultValue, const char* what,
                    float values[3], Reporter& reporter, std::string& why) {
  static const char* const kAxes[3] = {"X", "Y", "Z"};
  for (int axis = 0; axis < 3; ++axis) {
    const int position = 3 + axis;
    values[axis] = defaultValue;
    if (argc <= position) continue;
    if (!ParseDecimalArgument(argv[position], &values[axis])) {
      reporter.Say(FillTemplate(kInvalidValue, argv[position]));
      return Fail(why, std::string("invalid ") + kAxes[axis] + " " + what + " '" +
                             argv[position] + "': not a finite decimal number");
    }
  }
  return true;
}

int32_t Dispatch(Mode mode, InterchangeFormat format, int argc, const char* const* argv,
                 Reporter& reporter, std::string& why) {
  switch (mode) {
    case kModeImport:
      return ImportScene(argv[2], argv[3], format, reporter, why);
    case kModeExport:
      // Argument 5: the folder of the textures' images, for glTF.
      return ExportScene(argv[2], argv[3], format, why, argc > 5 ? argv[5] : nullptr, &reporter);
    case kModeResize: {
      // A missing factor leaves its axis as it is.
      float factors[3];
      if (!ReadAxisValues(argc, argv, 1.0f, "factor", factors, reporter, why)) return kModeFailed;
      return ScaleScene(argv[2], factors[0], factors[1], factors[2], reporter, why);
    }
    case kModeMove: {
      // A missing offset does not move its axis.
      float offsets[3];
      if (!ReadAxisValues(argc, argv, 0.0f, "offset", offsets, reporter, why)) return kModeFailed;
      return MoveScene(argv[2], offsets[0], offsets[1], offsets[2], reporter, why);
    }
    case kModeCheck:
      return CheckScene(argv[2], reporter, why);
    default:
      reporter.Say(kUnknownMode);
      Fail(why, std::string("unknown mode '") + argv[1] + "' (use /i, /e, /s, /m or /c)");
      return kModeFailed;
  }
}

// Prints on the process's standard output and standard error.
class ConsoleReporter : public Reporter {
 public:
  void Say(const std::string& text) override { WriteStandardOutput(text); }
  // Standard output carries the program's fixed messages; why something
  // failed goes to standard error, after what was said before it.
  void Complain(const std::string& text) override { WriteStandardErrorLine("quadkit: " + text); }
};

}  // namespace

int32_t RunQuadkit(int argc, const char* const* argv, Reporter& reporter) {
  reporter.Say(kBanner);
  // The check takes the scene alone; every other mode needs a third argument.
  const bool check = argc == 3 && EqualsIgnoringAsciiCase(argv[1], "/c");
  if (argc < 4 && !check) {
    reporter.Say(kUsage);
    MentionFormatsBeyondUsage(reporter);
    reporter.Complain("version " QUADKIT_VERSION);
    return kModeFailed;
  }
  const Mode mode = ChooseMode(argv[1], reporter);
  const FormatRow* format = ChooseFormat(argc, argv);
  // Resize and the check read no format.
  if (mode != kModeResize && mode != kModeCheck) {
    reporter.Say((format != nullptr ? *format : kFormats[0]).announcement);
  }

  std::string why;
  int32_t result = kModeFailed;
  // For Move argument 4 is a number, and an unknown mode fails anyway.
  if (format == nullptr && (mode == kModeImport || mode == kModeExport)) {
    Fail(why, std::string("unknown format '") + argv[4] + "' (the formats are " + FormatWords() +
                  ", and none for the ASCII listing)");
  } else {
    result = Dispatch(mode, format != nullptr ? format->format : kFormats[0].format, argc, argv, reporter, why);
  }
  if (result != 0) {
    reporter.Say(kFailed);
    reporter.Complain(why.empty() ? "the operation failed" : why);
    return result;
  }
  reporter.Say(kSuccessful);
  return 0;
}

int32_t RunQuadkit(int argc, const char* const* argv) {
  ConsoleReporter console;
  const int32_t result = RunQuadkit(argc, argv, console);
  FlushStandardOutput();
  return result;
}
