#include "app/quadkit_cli.h"

#include <cstdio>
#include <string>

#include "app/number_argument.h"
#include "edit/scale_move.h"
#include "export/export_scene.h"
#include "import/import_scene.h"
#include "scene/ascii_case.h"
#include "scene/interchange_format.h"

namespace {

const char kBanner[] = "Quadkir - ZEM scene converter\r\n";

const char kUsage[] =
    "Usage:\r\n"
    "  Import: Quadkit /i [ZEMFILE] [ASCIIFILE] {/DW}\r\n"
    "  Export: Quadkit /e [ZEMFILE] [ASCIIFILE] {/DX} {/CAD} {/DW}\r\n"
    "  Resize: Quadkit /s [ZEMFILE] [X-Factor] [Y-FACTOR] [Z-FACTOR]\r\n"
    "  Move  : Quadkit /m [ZEMFILE] [X-Value] [Y-Value] [Z-Value]\r\n"
    "\r\n"
    "    Format: /DX : Microsoft DirectX X File format\r\n"
    "    Format: /CAD: International Graphics standard formate (incomplete!)\r\n"
    "    Format: /DW : Artifice Design Workshop format\r\n";

void Print(const char* text) { std::fputs(text, stdout); }

// Standard output carries the program's fixed messages; why a run failed
// goes to standard error, one line.
void Diagnose(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "quadkit: %s\n", message.c_str());
}

// Every switch is compared in turn; each match sets the mode and prints its
// progress word, which the format line continues.
Mode ChooseMode(const char* word) {
  struct Switch {
    const char* word;
    Mode mode;
    const char* progress;
  };
  static const Switch kSwitches[] = {
      {"/i", kModeImport, "Importing..."},
      {"/e", kModeExport, "Exporting..."},
      {"/s", kModeResize, "Resizing..."},
      {"/m", kModeMove, "Moving structure..."},
  };
  Mode mode = kModeNone;
  for (const Switch& s : kSwitches) {
    if (EqualsIgnoringAsciiCase(word, s.word)) {
      mode = s.mode;
      Print(s.progress);
    }
  }
  return mode;
}

int32_t ChooseFormat(int argc, const char* const* argv) {
  int32_t format = kFormatAscii;
  if (argc >= 5) {
    if (EqualsIgnoringAsciiCase(argv[4], "/DX")) format = kFormatDirectX;
    if (EqualsIgnoringAsciiCase(argv[4], "/CAD")) format = kFormatIges;
    if (EqualsIgnoringAsciiCase(argv[4], "/DW")) format = kFormatDesignWorkshop;
    if (EqualsIgnoringAsciiCase(argv[4], "/OBJ")) format = kFormatObj;
  }
  return format;
}

void AnnounceFormat(int32_t format) {
  switch (format) {
    case kFormatDirectX:
      Print("using DirectX format\r\n");
      break;
    case kFormatIges:
      Print("using CAD format\r\n");
      break;
    case kFormatDesignWorkshop:
      Print("using Designer Workshop format\r\n");
      break;
    case kFormatObj:
      Print("using OBJ format\r\n");
      break;
    default:
      Print("using ASCII format\r\n");
      break;
  }
}

// Reads the three values of Resize or Move from arguments 3 to 5; absent
// ones keep their default. A value that is given but is no number is named
// on the output, and false is returned before any file is touched.
bool ReadAxisValues(int argc, const char* const* argv, float defaultValue, const char* what,
                    float values[3], std::string* error) {
  static const char* const kAxes[3] = {"X", "Y", "Z"};
  for (int axis = 0; axis < 3; ++axis) {
    const int position = 3 + axis;
    values[axis] = defaultValue;
    if (argc <= position) continue;
    if (!ParseDecimalArgument(argv[position], &values[axis])) {
      std::printf("Invalid value: %s\r\n", argv[position]);
      *error = std::string("invalid ") + kAxes[axis] + " " + what + " '" + argv[position] +
               "': not a finite decimal number";
      return false;
    }
  }
  return true;
}

int32_t Dispatch(Mode mode, int32_t format, int argc, const char* const* argv,
                 std::string* error) {
  switch (mode) {
    case kModeImport:
      return ImportScene(argv[2], argv[3], format, error);
    case kModeExport:
      return ExportScene(argv[2], argv[3], format, error);
    case kModeResize: {
      // A missing factor leaves its axis as it is.
      float factors[3];
      if (!ReadAxisValues(argc, argv, 1.0f, "factor", factors, error)) return -1;
      return ScaleScene(argv[2], factors[0], factors[1], factors[2], error);
    }
    case kModeMove: {
      // A missing offset does not move its axis.
      float offsets[3];
      if (!ReadAxisValues(argc, argv, 0.0f, "offset", offsets, error)) return -1;
      return MoveScene(argv[2], offsets[0], offsets[1], offsets[2], error);
    }
    default:
      Print("Unknown mode\r\n");
      *error = std::string("unknown mode '") + argv[1] + "' (use /i, /e, /s or /m)";
      return -1;
  }
}

}  // namespace

int32_t RunQuadkit(int argc, const char* const* argv) {
  Print(kBanner);
  if (argc < 4) {
    Print(kUsage);
    return -1;
  }
  const Mode mode = ChooseMode(argv[1]);
  const int32_t format = ChooseFormat(argc, argv);
  if (mode != kModeResize) AnnounceFormat(format);

  std::string error;
  const int32_t result = Dispatch(mode, format, argc, argv, &error);
  if (result != 0) {
    Print("An Error ocured\r\n");
    Diagnose(error.empty() ? "the operation failed" : error);
    return result;
  }
  Print("Successful\r\n");
  return 0;
}
