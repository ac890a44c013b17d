// The applier on named quads made in memory, with a policy of its own as a
// new editor format would bring: a value the policy keeps keeps its stored
// bits, and a rectangle that is named but not applied is told of, kept and
// fails the run.
#include "import/quad_applier.h"

#include <gtest/gtest.h>

#include <string>

#include "sample/sample_scene.h"
#include "tests/support/test_support.h"

namespace {

// An editor that rounds: a value whose text the reader marked is its own.
bool KeepsMarked(float, float, QuadValue, bool editorText, int) { return editorText; }
std::string Unnamed(int32_t rect) { return "unnamed " + std::to_string(rect) + "\n"; }
std::string NotApplied(int32_t count) { return std::to_string(count) + " not applied"; }
const ImportPolicy kPolicy = {KeepsMarked, nullptr, nullptr, true, Unnamed, true, nullptr, "none", NotApplied};

struct ApplierCase {
  const char* name;
  float moved;         // added to corner value 0 of rectangle 0 as read
  bool marked;         // and that value's text marked as the editor's
  bool skipRect2;      // rectangle 2 named but not applied
  bool result;
  const char* why;
  bool sceneChanged;
};

const ApplierCase kCases[] = {
    {"rounded back", 1e-4f, true, false, true, "", false},
    {"edited", 0.5f, false, false, true, "", true},
    {"one not applied", 1e-4f, true, true, false, "1 not applied", false},
};

TEST(QuadApplierTest, KeptBitsAndRectanglesNotApplied) {
  for (const ApplierCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const BuiltScene sample = BuildSampleBoxScene();
    const SceneContents contents = SampleBoxContents();
    ASSERT_TRUE(WriteFileBytes(dir.File("box.zem"), sample.bytes));
    SceneFile scene;
    std::string why;
    ASSERT_TRUE(scene.Open(dir.File("box.zem").c_str(), why));
    NamedQuads quads;
    quads.rects.resize(contents.rects.size());
    NamedQuad& quad = quads.rects[0];
    quad.name = "Rect_1";
    quad.hasQuad = true;
    quad.corners = contents.rects[0].corners;
    quad.corners[0] += c.moved;
    quad.editorTexts = c.marked ? CornerTextBit(0) : 0;
    quads.order.push_back(0);
    if (c.skipRect2) quads.rects[2].notApplied.push_back(": not one quad");
    RecordingReporter reporter;
    RectWriteFailures failures(reporter);
    SceneReads reads(scene);
    EXPECT_EQ(ApplyNamedQuads(scene, reads, quads, kPolicy, reporter, failures, why), c.result);
    EXPECT_EQ(why, c.why);
    scene.Close();
    EXPECT_EQ(ReadFileBytes(dir.File("box.zem")) != sample.bytes, c.sceneChanged);
    EXPECT_EQ(reporter.out.find("1 Rectangles imported\r\n") != std::string::npos, true);
    EXPECT_EQ(reporter.out.find("unnamed 2\n") == std::string::npos, c.skipRect2);
    EXPECT_EQ(reporter.err, c.skipRect2 ? "rectangle 2: not one quad\n" : "");
  }
}

}  // namespace
