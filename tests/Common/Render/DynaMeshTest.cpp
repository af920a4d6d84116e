// Dynamic meshes: loading through the file system, playback in both directions and
// looping, normals, and damaged files.

#include <gtest/gtest.h>

#include <vector>

#include "Common/Render/DynaMesh/CDynaMesh.h"
#include "Quor/CByteReader.h"
#include "tests/Quor/ContentFixture.h"

using contenttest::CContentFolder;
using contenttest::CReportCapture;

namespace {

// One triangle in the z = 0 plane whose third corner moves from x = 0 to x = 4 over
// five keys (0, 1, 2, 3, 4), plus a fourth position no triangle uses.
SDynaMeshDesc MovingTriangle(uint32_t version = 104) {
  SDynaMeshDesc mesh;
  mesh.version = version;
  mesh.frameRate = 10;
  SDynaMeshDesc::SSubMesh sub;
  sub.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}};
  sub.texCoords = {{0, 0}, {1, 1}};
  sub.corners = {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}};
  sub.positionKeys = {{}, {}, {{0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}}};
  sub.texCoordKeys = {{}, {{0, 0}, {1, 0}}};
  mesh.subMeshes = {sub};
  return mesh;
}

float CornerX(const CDynaMesh& mesh) { return mesh.GetSubMesh(0).evaluatedPositions[2].x; }

TEST(DynaMeshTest, LoadsKeysBoundsAndSpeed) {
  CContentFolder content;
  content.Put("Flag.dyn", WriteDynaMeshFile(MovingTriangle()));
  CDynaMesh mesh;
  ASSERT_TRUE(mesh.Load("Flag.dyn"));
  ASSERT_EQ(mesh.GetSubMeshCount(), 1u);
  EXPECT_EQ(mesh.GetKeyCount(), 5u);
  EXPECT_EQ(mesh.GetFrameRate(), 10u);
  EXPECT_FLOAT_EQ(mesh.GetSpeed(), 2.0f);  // 10 frames per second over 5 keys
  EXPECT_FLOAT_EQ(mesh.GetInverseSpeed(), 0.5f);
  EXPECT_FLOAT_EQ(mesh.GetBoundsMax().x, 5.0f);
  EXPECT_FLOAT_EQ(mesh.GetBoundsMin().y, 0.0f);
  const SDynaSubMesh& sub = mesh.GetSubMesh(0);
  EXPECT_EQ(sub.positions[2].path->GetKeyCount(), 5u);
  EXPECT_EQ(sub.texCoords[1].path->GetKeyCount(), 3u);  // two keys gain a midpoint
  EXPECT_FLOAT_EQ(sub.normals[0].z, 1.0f);

  // Without a frame rate the speed stays as it is.
  content.Put("Old.dyn", WriteDynaMeshFile(MovingTriangle(103)));
  CDynaMesh old;
  ASSERT_TRUE(old.Load("Old.dyn"));
  EXPECT_FLOAT_EQ(old.GetSpeed(), 1.0f);
}

// Loads into one mesh, one after another: the speed and frame rate come from each file
// alone, never from the file before it.
TEST(DynaMeshTest, EachLoadStartsFromDefaults) {
  CContentFolder content;
  content.Put("Flag.dyn", WriteDynaMeshFile(MovingTriangle()));
  content.Put("Old.dyn", WriteDynaMeshFile(MovingTriangle(103)));
  const struct {
    const char* file;
    bool loads;
    float speed;
    uint32_t frameRate;
  } loads[] = {
      {"Flag.dyn", true, 2.0f, 10}, {"Flag.dyn", true, 2.0f, 10},     {"Old.dyn", true, 1.0f, 0},
      {"Flag.dyn", true, 2.0f, 10}, {"Missing.dyn", false, 1.0f, 0},
  };
  CReportCapture reports;
  CDynaMesh mesh;
  for (const auto& load : loads) {
    EXPECT_EQ(mesh.Load(load.file), load.loads) << load.file;
    EXPECT_FLOAT_EQ(mesh.GetSpeed(), load.speed) << load.file;
    EXPECT_FLOAT_EQ(mesh.GetInverseSpeed(), 1.0f / load.speed) << load.file;
    EXPECT_EQ(mesh.GetFrameRate(), load.frameRate) << load.file;
  }
}

TEST(DynaMeshTest, PlaysForwardsBackwardsAndLooping) {
  CDynaMesh mesh;
  std::vector<uint8_t> bytes = WriteDynaMeshFile(MovingTriangle());
  CByteReader reader(bytes);
  ASSERT_TRUE(mesh.LoadFromBytes("Flag.dyn", reader));
  mesh.Play();
  EXPECT_FLOAT_EQ(CornerX(mesh), 0.0f);
  mesh.Update(0.25f);  // speed 2: half the range
  EXPECT_FLOAT_EQ(mesh.GetTime(), 0.5f);
  EXPECT_FLOAT_EQ(CornerX(mesh), 2.0f);
  EXPECT_FLOAT_EQ(mesh.GetSubMesh(0).evaluatedTexCoords[1].x, 0.5f);
  mesh.Update(1.0f);
  EXPECT_FLOAT_EQ(mesh.GetTime(), 1.0f);
  EXPECT_FALSE(mesh.IsPlaying());

  mesh.SetReverse(true);
  mesh.Play();
  EXPECT_FLOAT_EQ(CornerX(mesh), 4.0f);
  mesh.Update(0.375f);
  EXPECT_FLOAT_EQ(CornerX(mesh), 1.0f);
  EXPECT_TRUE(mesh.IsPlaying());
  mesh.Update(1.0f);
  EXPECT_FLOAT_EQ(mesh.GetTime(), 0.0f);
  EXPECT_FLOAT_EQ(CornerX(mesh), 0.0f);
  EXPECT_FALSE(mesh.IsPlaying());

  mesh.SetLooping(true);
  mesh.Play();
  mesh.Update(0.625f);  // 1.25 back from the end wraps to 0.75
  EXPECT_FLOAT_EQ(mesh.GetTime(), 0.75f);
  EXPECT_TRUE(mesh.IsPlaying());
  mesh.SetReverse(false);
  mesh.Update(0.5f);  // 0.75 + 1 wraps to 0.75
  EXPECT_FLOAT_EQ(mesh.GetTime(), 0.75f);
  mesh.SetRange(0.5f, 0.5f);
  mesh.Update(0.1f);  // an empty range holds its start
  EXPECT_FLOAT_EQ(mesh.GetTime(), 0.5f);
}

TEST(DynaMeshTest, NormalsFromTrianglesSkipDegenerateOnes) {
  CDynaMesh mesh;
  std::vector<uint8_t> bytes = WriteDynaMeshFile(MovingTriangle());
  CByteReader reader(bytes);
  ASSERT_TRUE(mesh.LoadFromBytes("Flag.dyn", reader));
  mesh.Evaluate();  // time 0: a triangle with positive area in the z = 0 plane
  const SDynaSubMesh& sub = mesh.GetSubMesh(0);
  EXPECT_FLOAT_EQ(sub.normals[0].z, 1.0f);
  EXPECT_FLOAT_EQ(sub.normals[3].z, 0.0f);  // used by no triangle
  mesh.SetTime(0.25f);                      // corner 2 at (1, 1): still a triangle
  mesh.Evaluate();
  EXPECT_FLOAT_EQ(sub.normals[1].z, 1.0f);
  // Collapse the triangle: corner 2 at (1, 0) would lie on the edge 0-1.
  SDynaMeshDesc flat = MovingTriangle();
  flat.subMeshes[0].positionKeys[2] = {{2, 0, 0}, {3, 0, 0}, {4, 0, 0}};
  bytes = WriteDynaMeshFile(flat);
  CByteReader flatReader(bytes);
  ASSERT_TRUE(mesh.LoadFromBytes("Flat.dyn", flatReader));
  mesh.Evaluate();
  EXPECT_FLOAT_EQ(mesh.GetSubMesh(0).normals[0].z, 0.0f);
}

TEST(DynaMeshTest, DamagedFilesAreReportedAndLeaveTheMeshEmpty) {
  SDynaMeshDesc badCorner = MovingTriangle();
  badCorner.subMeshes[0].corners[1].position = 9;
  std::vector<uint8_t> good = WriteDynaMeshFile(MovingTriangle());
  std::vector<uint8_t> hugeCount = good;
  hugeCount[1 + 4 + 4 + 4 + 4 + 3] = 0x7F;  // the position count of the first sub-mesh
  const struct {
    std::vector<uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {WriteDynaMeshFile(badCorner), "a corner names a position the sub-mesh does not have"},
      {hugeCount, "the positions do not fit in the file"},
      {std::vector<uint8_t>(good.begin(), good.end() - 4), "the texture coordinate keys do not fit in the file"},
      {std::vector<uint8_t>(good.begin(), good.begin() + 6), "the header is cut short"},
  };
  for (const auto& c : cases) {
    CReportCapture reports;
    CDynaMesh mesh;
    CByteReader reader(c.bytes);
    EXPECT_FALSE(mesh.LoadFromBytes("bad.dyn", reader));
    EXPECT_EQ(mesh.GetSubMeshCount(), 0u);
    EXPECT_EQ(reports.Last(), std::string("Dynamic mesh file \"bad.dyn\" is damaged: ") + c.reason);
  }
}

}  // namespace
