// The whole program as a user runs it: exact standard output, exit code and
// files afterwards.
#include <gtest/gtest.h>

#include "app/format_table.h"

#include <string>

#ifdef _WIN32
#include <windows.h>

#include <cwchar>
#include <filesystem>
#include <vector>
#endif

#include "tests/support/test_support.h"
#include "sample/sample_scene.h"

namespace {

const std::string kBanner = "Quadkir - ZEM scene converter\r\n";
const std::string kUsage =
    "Usage:\r\n"
    "  Import: Quadkit /i [ZEMFILE] [ASCIIFILE] {/DW}\r\n"
    "  Export: Quadkit /e [ZEMFILE] [ASCIIFILE] {/DX} {/CAD} {/DW}\r\n"
    "  Resize: Quadkit /s [ZEMFILE] [X-Factor] [Y-FACTOR] [Z-FACTOR]\r\n"
    "  Move  : Quadkit /m [ZEMFILE] [X-Value] [Y-Value] [Z-Value]\r\n"
    "\r\n"
    "    Format: /DX : Microsoft DirectX X File format\r\n"
    "    Format: /CAD: International Graphics standard formate (incomplete!)\r\n"
    "    Format: /DW : Artifice Design Workshop format\r\n";
const std::string kFailed = "An Error ocured\r\n";

// The sample scene's listing, written out by hand from the listing format.
const char kSampleListing[] =
    "NUM_RECTS=6\r\n"
    "Rect_1\r\n"
    "\t-256.000000, 0.000000, -128.500000, 0.000000, 1.500000\r\n"
    "\t-256.000000, 192.000000, -128.500000, 0.000000, 0.000000\r\n"
    "\t256.000000, 192.000000, -128.500000, 4.000000, 0.000000\r\n"
    "\t256.000000, 0.000000, -128.500000, 4.000000, 1.500000\r\n"
    "\tTexture: WALL\r\n"
    "Rect_2\r\n"
    "\t256.000000, 0.000000, 256.000000, 0.000000, 1.500000\r\n"
    "\t256.000000, 192.000000, 256.000000, 0.000000, 0.000000\r\n"
    "\t-256.000000, 192.000000, 256.000000, 4.000000, 0.000000\r\n"
    "\t-256.000000, 0.000000, 256.000000, 4.000000, 1.500000\r\n"
    "\tTexture: WALL\r\n"
    "Rect_3\r\n"
    "\t-256.000000, 0.000000, 256.000000, 0.000000, 1.500000\r\n"
    "\t-256.000000, 192.000000, 256.000000, 0.000000, 0.000000\r\n"
    "\t-256.000000, 192.000000, -128.500000, 3.003900, 0.000000\r\n"
    "\t-256.000000, 0.000000, -128.500000, 3.003900, 1.500000\r\n"
    "\tTexture: WALL\r\n"
    "Rect_4\r\n"
    "\t256.000000, 0.000000, -128.500000, 0.000000, 1.500000\r\n"
    "\t256.000000, 192.000000, -128.500000, 0.000000, 0.000000\r\n"
    "\t256.000000, 192.000000, 256.000000, 3.003900, 0.000000\r\n"
    "\t256.000000, 0.000000, 256.000000, 3.003900, 1.500000\r\n"
    "\tTexture: WALL\r\n"
    "Rect_5\r\n"
    "\t-256.000000, 0.000000, -128.500000, 0.000000, 1.502000\r\n"
    "\t256.000000, 0.000000, -128.500000, 0.000000, 0.000000\r\n"
    "\t256.000000, 0.000000, 256.000000, 2.000000, 0.000000\r\n"
    "\t-256.000000, 0.000000, 256.000000, 2.000000, 1.502000\r\n"
    "\tTexture: FLR\r\n"
    "Rect_6\r\n"
    "\t-256.000000, 192.000000, 256.000000, 0.000000, 0.375500\r\n"
    "\t256.000000, 192.000000, 256.000000, 0.000000, 0.000000\r\n"
    "\t256.000000, 192.000000, -128.500000, 0.500000, 0.000000\r\n"
    "\t-256.000000, 192.000000, -128.500000, 0.500000, 0.375500\r\n"
    "\tTexture: ROOF\r\n"
    "[EOF]\r\n";

class QuadkitCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scene = dir.File("box.zem");
    sceneBytes = BuildSampleBoxScene().bytes;
    ASSERT_TRUE(WriteFileBytes(scene, sceneBytes));
  }
  TempDir dir;
  std::string scene;
  std::vector<uint8_t> sceneBytes;
};

TEST_F(QuadkitCliTest, TooFewArgumentsPrintTheUsage) {
  std::string beyondUsage;  // the switch words of the format table that the usage text leaves out
  for (size_t k = 0; k < kFormatCount; ++k) {
    const char* word = kFormats[k].switchWord;
    if (word == nullptr || kUsage.find("{" + std::string(word) + "}") != std::string::npos) continue;
    beyondUsage += (beyondUsage.empty() ? "" : ", ") + std::string(word);
  }
  EXPECT_NE(beyondUsage, "");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"/e"}, {"/e", "box.zem"}, {"/c"}, {"/x", "box.zem"}}) {
    const RunResult run = RunQuadkitBinary(args);
    EXPECT_EQ(run.out, kBanner + kUsage);
    // Beside the usage text, not in it: the formats it does not name, the
    // check, and the version.
    EXPECT_EQ(run.err, "quadkit: more formats: " + beyondUsage + "; the check of a scene file: /c [ZEMFILE] "
                       "(the README and 'man quadkit' describe every format and the check)\n"
                       "quadkit: version " QUADKIT_VERSION "\n");
    EXPECT_EQ(run.exitCode, 255);
  }
}

TEST_F(QuadkitCliTest, ExportsTheSampleAsListing) {
  const RunResult run = RunQuadkitBinary({"/e", "box.zem", "box.txt"}, dir.path());
  EXPECT_EQ(run.out, kBanner + "Exporting...using ASCII format\r\nSuccessful\r\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(ReadFileText(dir.File("box.txt")), kSampleListing);
  ExpectSameBytes(ReadFileBytes(scene), sceneBytes);
}

TEST_F(QuadkitCliTest, SwitchesIgnoreLetterCaseAndExtraArguments) {
  const RunResult run = RunQuadkitBinary({"/E", scene, dir.File("out.x"), "/dX", "extra", "more"});
  EXPECT_EQ(run.out, kBanner + "Exporting...using DirectX format\r\nSuccessful\r\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(ReadFileText(dir.File("out.x")).substr(0, 16), "xof 0302txt 0032");
}

// A fourth argument of Import or Export that names no format ends the run
// before any file is opened; Move takes it as its Y offset.
TEST_F(QuadkitCliTest, UnknownFormatWritesNothing) {
  std::string words;
  for (size_t k = 0; k < kFormatCount; ++k) {
    if (kFormats[k].switchWord != nullptr) words += (words.empty() ? "" : ", ") + std::string(kFormats[k].switchWord);
  }
  const std::string formats = "' (the formats are " + words + ", and none for the ASCII listing)\n";
  WriteFileText(dir.File("in.obj"), "o Rect_1\nv 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\n");
  for (const char* word : {"/GLTFX", "OBJ", "/IGS", "-OBJ", "", "/OBJ "}) {
    for (const char* mode : {"/e", "/I"}) {
      const bool exporting = mode[1] == 'e';
      const RunResult run = RunQuadkitBinary({mode, "box.zem", exporting ? "out.gltf" : "in.obj", word}, dir.path());
      EXPECT_EQ(run.out, kBanner + (exporting ? "Exporting..." : "Importing...") + "using ASCII format\r\n" + kFailed);
      EXPECT_EQ(run.err, "quadkit: unknown format '" + std::string(word) + formats);
      EXPECT_EQ(run.exitCode, 255);
    }
  }
  EXPECT_FALSE(FileExists(dir.File("out.gltf")));
  ExpectSameBytes(ReadFileBytes(scene), sceneBytes);
  const RunResult move = RunQuadkitBinary({"/m", "box.zem", "0", "-0", "0"}, dir.path());
  EXPECT_EQ(move.exitCode, 0);
  EXPECT_EQ(move.err, "");
}

TEST_F(QuadkitCliTest, UnknownModeStillAnnouncesTheFormat) {
  struct Case {
    std::vector<std::string> args;
    std::string formatLine;
  };
  for (const Case& c : {Case{{"/x", "a", "b"}, "using ASCII format\r\n"},
                        Case{{"/x", "a", "b", "/dx"}, "using DirectX format\r\n"},
                        Case{{"e", "a", "b", "/Cad"}, "using CAD format\r\n"},
                        Case{{"/ee", "a", "b", "/dw"}, "using Designer Workshop format\r\n"},
                        Case{{"/x", "a", "b", "/Iges"}, "using IGES format\r\n"},
                        Case{{"/x", "a", "b", "/dwx"}, "using ASCII format\r\n"}}) {
    const RunResult run = RunQuadkitBinary(c.args, dir.path());
    EXPECT_EQ(run.out, kBanner + c.formatLine + "Unknown mode\r\n" + kFailed) << c.formatLine;
    EXPECT_EQ(run.exitCode, 255);
  }
  EXPECT_FALSE(FileExists(dir.File("b")));
}

TEST_F(QuadkitCliTest, FailedExportsLeaveNoOutputFile) {
  std::vector<uint8_t> refused = sceneBytes;
  PutInt32(refused, scene_layout::kStoredCountOffset, 0);
  ASSERT_TRUE(WriteFileBytes(dir.File("refused.zem"), refused));

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"/e", "missing.zem", "out.txt"},
        {"/e", "refused.zem", "out.txt"},
        {"/e", "box.zem", "missing/out.txt"}}) {
    const RunResult run = RunQuadkitBinary(args, dir.path());
    EXPECT_EQ(run.out, kBanner + "Exporting...using ASCII format\r\n" + kFailed) << args[1];
    EXPECT_EQ(run.exitCode, 255);
    EXPECT_FALSE(FileExists(dir.File(args[2]))) << args[2];
  }
  ExpectSameBytes(ReadFileBytes(scene), sceneBytes);
}

TEST_F(QuadkitCliTest, ResizeAndMoveEditInPlace) {
  std::string expected = kBanner + "Resizing...";
  for (int k = 0; k < 6; ++k) expected += "Scaled rectangle " + std::to_string(k) + " successfully\r\n";
  RunResult run = RunQuadkitBinary({"/S", "box.zem", "2"}, dir.path());
  EXPECT_EQ(run.out, expected + "Successful\r\n");
  EXPECT_EQ(run.exitCode, 0);
  const std::vector<uint8_t> scaled = ReadFileBytes(scene);
  const size_t corners0 = static_cast<size_t>(BuildSampleBoxScene().recordOffsets[0]) + 100;
  EXPECT_EQ(GetFloat(scaled, corners0), -512.0f);
  EXPECT_EQ(GetFloat(scaled, corners0 + 4), 0.0f);
  EXPECT_EQ(GetFloat(scaled, corners0 + 8), -128.5f);

  // One value moves x alone.
  run = RunQuadkitBinary({"/m", "box.zem", "5"}, dir.path());
  expected = kBanner + "Moving structure...using ASCII format\r\n";
  for (int k = 0; k < 6; ++k) expected += "Moved rectangle " + std::to_string(k) + " successfully\r\n";
  EXPECT_EQ(run.out, expected + "Successful\r\n");
  EXPECT_EQ(run.exitCode, 0);
  const std::vector<uint8_t> moved = ReadFileBytes(scene);
  EXPECT_EQ(GetFloat(moved, corners0), -507.0f);
  EXPECT_EQ(GetFloat(moved, corners0 + 4), 0.0f);
  EXPECT_EQ(GetFloat(moved, corners0 + 8), -128.5f);
}

TEST_F(QuadkitCliTest, ValuesThatAreNoNumbersAreRefusedBeforeTheScene) {
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const std::string move = "Moving structure...using ASCII format\r\n";
  const Case cases[] = {
      {{"/s", "box.zem", "x2"}, "Resizing...Invalid value: x2\r\n"},
      {{"/s", "box.zem", "2", "2x"}, "Resizing...Invalid value: 2x\r\n"},
      {{"/s", "box.zem", "1", "1", ""}, "Resizing...Invalid value: \r\n"},
      {{"/s", "box.zem", "1e39"}, "Resizing...Invalid value: 1e39\r\n"},
      {{"/m", "box.zem", "nan"}, move + "Invalid value: nan\r\n"},
      {{"/m", "box.zem", "1", "2", "inf"}, move + "Invalid value: inf\r\n"},
      {{"/m", "box.zem", "1", "/DW", "3"},
       "Moving structure...using Designer Workshop format\r\nInvalid value: /DW\r\n"},
      {{"/m", "missing.zem", "0x10"}, move + "Invalid value: 0x10\r\n"},
  };
  for (const Case& c : cases) {
    const RunResult run = RunQuadkitBinary(c.args, dir.path());
    EXPECT_EQ(run.out, kBanner + c.out + kFailed);
    EXPECT_EQ(run.exitCode, 255);
  }
  ExpectSameBytes(ReadFileBytes(scene), sceneBytes);
}

TEST_F(QuadkitCliTest, EditedListingChangesExactlyWhatWasEdited) {
  ASSERT_EQ(RunQuadkitBinary({"/e", "box.zem", "box.txt"}, dir.path()).exitCode, 0);
  std::string listing = ReadFileText(dir.File("box.txt"));
  const std::string from = "\t256.000000, 0.000000, 256.000000, 2.000000, 0.000000\r\n";
  const std::string to = "\t256.000000, 0.000000, 300.250000, 2.000000, 0.000000\r\n";
  const std::string edited =
      listing.replace(listing.find(from), from.size(), to).replace(listing.find("FLR"), 3, "wall");
  WriteFileText(dir.File("box.txt"), edited);
  RunResult run = RunQuadkitBinary({"/i", "box.zem", "box.txt"}, dir.path());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out.substr(run.out.size() - 12), "Successful\r\n");

  ASSERT_EQ(RunQuadkitBinary({"/e", "box.zem", "again.txt"}, dir.path()).exitCode, 0);
  std::string expected = kSampleListing;
  expected.replace(expected.find(from), from.size(), to);
  expected.replace(expected.find("FLR"), 3, "WALL");
  EXPECT_EQ(ReadFileText(dir.File("again.txt")), expected);
}

TEST_F(QuadkitCliTest, EveryFormatExports) {
  // Each switch in another letter case; the whole file as the kept bytes
  // of tests/golden have it.
  struct Case {
    std::string formatSwitch;
    std::string formatLine;
    std::string golden;
  };
  ScopedEnvironment fixedDate("SOURCE_DATE_EPOCH", "1700000000");  // the /IGES date
  for (const Case& c : {Case{"/DX", "using DirectX format\r\n", "box_directx/out.x"},
                        Case{"/cad", "using CAD format\r\n", "box_cad/out.igs"},
                        Case{"/Iges", "using IGES format\r\n", "box_iges/out.iges"},
                        Case{"/Dw", "using Designer Workshop format\r\n", "box_design_workshop/out.dw"},
                        Case{"/obj", "using OBJ format\r\n", "box_obj/out.obj"}}) {
    const std::string out = c.golden.substr(c.golden.find('/') + 1);
    const RunResult run = RunQuadkitBinary({"/e", "box.zem", out, c.formatSwitch}, dir.path());
    EXPECT_EQ(run.out, kBanner + "Exporting..." + c.formatLine + "Successful\r\n");
    EXPECT_EQ(run.exitCode, 0);
    ExpectSameBytes(ReadFileBytes(dir.File(out)),
                    ReadFileBytes(std::string(QUADKIT_SOURCE_DIR) + "/tests/golden/" + c.golden), c.golden);
  }
  ExpectSameBytes(ReadFileBytes(scene), sceneBytes);
}

TEST_F(QuadkitCliTest, EditedDesignWorkshopFileChangesExactlyWhatWasEdited) {
  ASSERT_EQ(RunQuadkitBinary({"/e", "box.zem", "box.dw", "/dw"}, dir.path()).exitCode, 0);
  std::string text = ReadFileText(dir.File("box.dw"));
  // The fifth block (the floor): material 2 becomes 3, and corner 2's z
  // (written second on its vertex line) moves from 256 to 300.
  size_t block = 0;
  for (int k = 0; k < 5; ++k) block = text.find("Polyline:", block + 1);
  text.replace(text.find("Mat: 2", block), 6, "Mat: 3");
  const std::string vertex = "256.000000 256.000000 0.000000 1\r\n";
  text.replace(text.find(vertex, block), vertex.size(), "256.000000 300.000000 0.000000 1\r\n");
  WriteFileText(dir.File("box.dw"), text);

  const RunResult run = RunQuadkitBinary({"/i", "box.zem", "box.dw", "/dw"}, dir.path());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out.substr(run.out.size() - 35), "6 Rectangles imported\r\nSuccessful\r\n");
  ASSERT_EQ(RunQuadkitBinary({"/e", "box.zem", "again.txt"}, dir.path()).exitCode, 0);
  std::string expected = kSampleListing;
  const std::string from = "\t256.000000, 0.000000, 256.000000, 2.000000, 0.000000\r\n";
  expected.replace(expected.find(from), from.size(),
                   "\t256.000000, 0.000000, 300.000000, 2.000000, 0.000000\r\n");
  expected.replace(expected.find("FLR"), 3, "ROOF");
  EXPECT_EQ(ReadFileText(dir.File("again.txt")), expected);
}

TEST_F(QuadkitCliTest, FailuresSayWhyOnStandardError) {
  std::vector<uint8_t> refused = sceneBytes;
  PutInt32(refused, scene_layout::kStoredCountOffset, 20001);
  ASSERT_TRUE(WriteFileBytes(dir.File("refused.zem"), refused));
  WriteFileText(dir.File("short.txt"), "NUM_RECTS=2\r\nRect_1\r\n\t1, 2, 3, 4, 5\r\n");
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"/e", "levels/a.zem", "out.txt"},
       "quadkit: cannot open scene file 'levels/a.zem': No such file or directory\n"},
      {{"/s", "refused.zem", "2"},
       "quadkit: scene file 'refused.zem' is refused: its rectangle count field holds 20001 "
       "(accepted: 1 to 20000, the rectangle count plus one)\n"},
      {{"/i", "box.zem", "short.txt"},
       "quadkit: listing 'short.txt' ends early at line 4: block 1 of 2 is incomplete\n"},
      {{"/e", "box.zem", "./box.zem"},
       "quadkit: refusing to export to './box.zem': it is the scene file itself\n"},
      {{"/m", "box.zem", "1", "x"}, "quadkit: invalid Y offset 'x': not a finite decimal number\n"},
      {{"/e", "box.zem", "box.txt"}, ""},
  };
  for (const Case& c : cases) {
    const RunResult run = RunQuadkitBinary(c.args, dir.path());
    EXPECT_EQ(run.err, c.err) << c.args[0] << " " << c.args[1];
    EXPECT_EQ(run.exitCode, c.err.empty() ? 0 : 255);
  }
  ExpectSameBytes(ReadFileBytes(scene), sceneBytes);
}

#ifdef _WIN32
// What Explorer shows under Properties > Details, read as Windows reads it.
TEST(QuadkitVersionResourceTest, NamesProductDescriptionAndVersion) {
  const std::wstring binary = std::filesystem::u8path(QuadkitBinaryPath()).make_preferred().wstring();
  DWORD unused = 0;
  std::vector<char> data(GetFileVersionInfoSizeW(binary.c_str(), &unused));
  ASSERT_FALSE(data.empty()) << "quadkit.exe has no version resource";
  ASSERT_TRUE(GetFileVersionInfoW(binary.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
  auto value = [&](const wchar_t* name) {
    void* text = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(data.data(), path.c_str(), &text, &length) || length == 0) return std::string();
    const wchar_t* wide = static_cast<const wchar_t*>(text);
    return std::string(wide, wide + wcslen(wide));  // these values are ASCII
  };
  EXPECT_EQ(value(L"ProductName"), "quadkit");
  EXPECT_EQ(value(L"FileDescription"), "quadkit - ZEM scene converter");
  EXPECT_EQ(value(L"FileVersion"), QUADKIT_VERSION);
  EXPECT_EQ(value(L"ProductVersion"), QUADKIT_VERSION);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(numbers, QUADKIT_VERSION);
}
#endif

}  // namespace
