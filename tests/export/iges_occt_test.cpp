// The IGES export as CAD programs built on OpenCASCADE read it: loaded by
// IGESControl_Reader without a check message, every rectangle transferred
// to one face with the corners and the label it has in the scene.
#include <BRepTools.hxx>
#include <BRep_Tool.hxx>
#include <IGESControl_Reader.hxx>
#include <IGESData_IGESEntity.hxx>
#include <IGESData_IGESModel.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <XSControl_WorkSession.hxx>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "app/format_table.h"
#include "tests/support/test_support.h"
#include "sample/sample_scene.h"

namespace {

void ExpectReadBack(const SceneContents& contents, const std::vector<std::string>& labels) {
  TempDir dir;
  std::string why;
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(contents).bytes));
  ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File("s.igs").c_str(), kFormatIgesSurfaces, why), 0);
  IGESControl_Reader reader;
  ASSERT_EQ(reader.ReadFile(dir.File("s.igs").c_str()), IFSelect_RetDone);
  std::ostringstream checks;
  reader.WS()->ModelCheckList().Print(checks, reader.Model(), Standard_False);
  EXPECT_TRUE(reader.WS()->ModelCheckList().IsEmpty(Standard_False)) << checks.str();
  const IGESData_GlobalSection& global = Handle(IGESData_IGESModel)::DownCast(reader.Model())->GlobalSection();
  EXPECT_EQ(global.UnitFlag(), 2);
  EXPECT_EQ(global.IGESVersion(), 11);
  EXPECT_STREQ(global.FileName()->ToCString(), "s.igs");
  ASSERT_EQ(reader.NbRootsForTransfer(), static_cast<int>(contents.rects.size()));
  for (int root = 1; root <= reader.NbRootsForTransfer(); ++root) {
    SCOPED_TRACE("rectangle " + std::to_string(root));
    const BuilderRect& rect = contents.rects[static_cast<size_t>(root - 1)];
    const auto entity = Handle(IGESData_IGESEntity)::DownCast(reader.RootForTransfer(root));
    TCollection_AsciiString label = entity->HasShortLabel() ? entity->ShortLabel()->String() : "";
    label.LeftAdjust();  // the field is right-justified; the reader keeps its blanks
    EXPECT_EQ(entity->TypeNumber(), 128);
    EXPECT_STREQ(label.ToCString(), labels[static_cast<size_t>(rect.textureIndex)].c_str());
    EXPECT_EQ(entity->SubScriptNumber(), root);
    reader.ClearShapes();
    ASSERT_TRUE(reader.TransferOneRoot(root));
    TopExp_Explorer face(reader.OneShape(), TopAbs_FACE);
    ASSERT_TRUE(face.More());
    double u0, u1, v0, v1;
    BRepTools::UVBounds(TopoDS::Face(face.Current()), u0, u1, v0, v1);
    const Handle(Geom_Surface) surface = BRep_Tool::Surface(TopoDS::Face(face.Current()));
    const gp_Pnt corners[4] = {surface->Value(u0, v0), surface->Value(u1, v0), surface->Value(u1, v1),
                               surface->Value(u0, v1)};
    for (size_t k = 0; k < 12; ++k) {
      const float stored = rect.corners[k];
      const double read = corners[k / 3].Coord(static_cast<int>(k % 3) + 1);
      EXPECT_EQ(static_cast<float>(read), stored) << "coordinate " << k;
    }
    face.Next();
    EXPECT_FALSE(face.More()) << "more than one face";
  }
}

TEST(IgesOcctTest, SampleSceneReadsBackFacePerRectangle) {
  const SceneContents sample = SampleBoxContents();
  ExpectReadBack(sample, sample.textureNames);
}

// Thousands of rectangles, planar and twisted, at every scale a float
// holds, with texture names of every kind and one beyond the table.
TEST(IgesOcctTest, GeneratedSceneReadsBackFacePerRectangle) {
  SceneContents contents;
  contents.textureNames = {"WALL", "flr", "A B", "%,;H", std::string("\x01\xff", 2), ""};
  contents.extraSlots = 1;
  uint32_t seed = 12345;
  auto next = [&seed]() { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  for (int k = 0; k < 3000; ++k) {
    BuilderRect rect;
    const float scale = std::ldexp(1.0f, static_cast<int>(next() % 60) - 20);
    for (float& value : rect.corners) value = (static_cast<float>(next() % 2000001) / 1e6f - 1.0f) * scale;
    rect.textureIndex = static_cast<int32_t>(next() % 7);
    contents.rects.push_back(rect);
  }
  ExpectReadBack(contents, {"WALL", "flr", "41204200", "%,;H", "01FF0000", "00000000", "(null)"});
}

}  // namespace
