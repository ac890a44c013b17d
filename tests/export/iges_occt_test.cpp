// The IGES export as CAD programs built on OpenCASCADE read it: loaded with
// IGESControl_Reader, every entity checked, every rectangle transferred.
#include <BRepTools.hxx>
#include <BRep_Tool.hxx>
#include <Geom_Surface.hxx>
#include <IGESControl_Reader.hxx>
#include <IGESData_GlobalSection.hxx>
#include <IGESData_IGESEntity.hxx>
#include <IGESData_IGESModel.hxx>
#include <Interface_CheckIterator.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <XSControl_WorkSession.hxx>
#include <gtest/gtest.h>

#include <cfloat>
#include <chrono>
#include <cmath>
#include <sstream>

#include "export/export_scene.h"
#include "tests/support/test_support.h"
#include "tools/sample_scene.h"

namespace {

struct Expected {
  RectCoords corners;
  std::string label;
};

// Exports contents as IGES and reads it back, comparing every rectangle.
void ExpectReadBack(const SceneContents& contents, const std::vector<Expected>& expected) {
  TempDir dir;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(contents).bytes));
  std::string why;
  ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File("s.igs").c_str(), kFormatIgesSurfaces, why), 0) << why;

  IGESControl_Reader reader;
  ASSERT_EQ(reader.ReadFile(dir.File("s.igs").c_str()), IFSelect_RetDone);
  std::ostringstream checks;
  reader.WS()->ModelCheckList().Print(checks, reader.WS()->Model(), Standard_False);
  EXPECT_TRUE(reader.WS()->ModelCheckList().IsEmpty(Standard_False)) << checks.str();
  const IGESData_GlobalSection& global = Handle(IGESData_IGESModel)::DownCast(reader.Model())->GlobalSection();
  EXPECT_EQ(global.UnitFlag(), 2);
  EXPECT_EQ(global.IGESVersion(), 11);
  EXPECT_STREQ(global.FileName()->ToCString(), "s.igs");
  ASSERT_EQ(reader.NbRootsForTransfer(), static_cast<int>(expected.size()));

  double deviation = 0.0;
  float largest = 0.0f;
  for (int root = 1; root <= reader.NbRootsForTransfer(); ++root) {
    const Expected& rect = expected[static_cast<size_t>(root - 1)];
    const auto entity = Handle(IGESData_IGESEntity)::DownCast(reader.RootForTransfer(root));
    ASSERT_FALSE(entity.IsNull());
    EXPECT_EQ(entity->TypeNumber(), 128);
    // The label field is right-justified; the reader keeps its blanks.
    TCollection_AsciiString label = entity->HasShortLabel() ? entity->ShortLabel()->String() : "";
    label.LeftAdjust();
    EXPECT_STREQ(label.ToCString(), rect.label.c_str());
    EXPECT_EQ(entity->SubScriptNumber(), root);

    reader.ClearShapes();
    ASSERT_TRUE(reader.TransferOneRoot(root)) << "rectangle " << root;
    int faces = 0;
    for (TopExp_Explorer face(reader.OneShape(), TopAbs_FACE); face.More(); face.Next(), ++faces) {
      double u0, u1, v0, v1;
      BRepTools::UVBounds(TopoDS::Face(face.Current()), u0, u1, v0, v1);
      const Handle(Geom_Surface) surface = BRep_Tool::Surface(TopoDS::Face(face.Current()));
      const double at[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
      for (int corner = 0; corner < 4; ++corner) {
        const gp_Pnt p = surface->Value(at[corner][0], at[corner][1]);
        for (int axis = 0; axis < 3; ++axis) {
          const float stored = rect.corners[static_cast<size_t>(3 * corner + axis)];
          largest = std::max(largest, std::fabs(stored));
          EXPECT_EQ(static_cast<float>(p.Coord(axis + 1)), stored) << "rectangle " << root;
          const double off = std::fabs(p.Coord(axis + 1) - stored);
          deviation = std::max(deviation, off / std::max(std::fabs(stored), FLT_MIN));
        }
      }
    }
    EXPECT_EQ(faces, 1) << "rectangle " << root;
  }
  EXPECT_EQ(static_cast<float>(global.MaxCoord()), largest);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%zu rectangles read back as faces, largest relative corner deviation %.2g, %.2f s\n",
              expected.size(), deviation, took.count());
}

TEST(IgesOcctTest, SampleSceneReadsBackFacePerRectangle) {
  const SceneContents contents = SampleBoxContents();
  std::vector<Expected> expected;
  for (const BuilderRect& rect : contents.rects) {
    expected.push_back({rect.corners, contents.textureNames[static_cast<size_t>(rect.textureIndex)]});
  }
  ExpectReadBack(contents, expected);
}

// Thousands of rectangles, planar and twisted, at every scale a float
// holds, with texture names of every kind.
TEST(IgesOcctTest, GeneratedSceneReadsBackFacePerRectangle) {
  SceneContents contents;
  contents.textureNames = {"WALL", "flr", "A B", "%,;H", std::string("\x01\xff", 2), ""};
  const char* const labels[] = {"WALL", "flr", "41204200", "%,;H", "01FF0000", "00000000", "(null)"};
  contents.extraSlots = 1;
  std::vector<Expected> expected;
  uint32_t seed = 12345;
  auto next = [&seed]() { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  for (int k = 0; k < 3000; ++k) {
    BuilderRect rect;
    const float scale = std::ldexp(1.0f, static_cast<int>(next() % 60) - 20);
    for (float& value : rect.corners) value = (static_cast<float>(next() % 2000001) / 1e6f - 1.0f) * scale;
    rect.textureIndex = static_cast<int32_t>(next() % 7);
    contents.rects.push_back(rect);
    expected.push_back({rect.corners, labels[rect.textureIndex]});
  }
  ExpectReadBack(contents, expected);
}

}  // namespace
