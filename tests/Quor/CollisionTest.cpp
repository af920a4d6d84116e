// Collision trees by version, damaged trees, the sphere pair and ground tests, and the node
// transform routines the render objects use.

#include "Quor/CColTree.h"
#include "Quor/CCollisionManager.h"
#include "Quor/CModelNode.h"

#include <cmath>

#include "tests/Quor/VfsTestKit.h"
#include "tools/modeltool/MeshWriters.h"

namespace {

std::vector<uint8_t> BctBytes(const SBctDescription& description) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(WriteBct(description, bytes, error)) << error;
  return bytes;
}

SBctDescription Tree(uint16_t version) {
  SBctDescription d;
  d.version = version;
  if (version >= 0x102) {
    d.block1 = {1, 2, 3};
    d.block2 = {4, 5};
  }
  d.recordsA = {{1, 2, 3, 4, 5, 6}};
  d.wordsB = {7, 8, 9};
  d.recordsC = {{}, {}};
  d.flags = {5, 6};
  return d;
}

TEST(ColTreeTest, BlocksAndFlagsFollowTheVersion) {
  vfstest::ReportCapture reports;
  for (uint16_t version : {0x100, 0x101, 0x102}) {
    SCOPED_TRACE(version);
    const std::vector<uint8_t> bytes = BctBytes(Tree(version));
    SColTreeData tree;
    ASSERT_TRUE(ParseColTree(bytes.data(), bytes.size(), "t.bct", tree));
    EXPECT_EQ(tree.block1.size(), version >= 0x102 ? 3u : 0u);
    EXPECT_EQ(tree.block2.size(), version >= 0x102 ? 2u : 0u);
    EXPECT_EQ(tree.recordsA.size(), 24u);
    EXPECT_EQ(tree.wordsB, (std::vector<uint32_t>{7, 8, 9}));
    EXPECT_EQ(tree.recordsC.size(), 128u);
    EXPECT_EQ(tree.flags, version >= 0x101 ? (std::vector<uint8_t>{5, 6}) : (std::vector<uint8_t>{0, 0}));
  }
  EXPECT_TRUE(reports.Texts().empty()) << reports.All();
}

TEST(ColTreeTest, DamagedTreesAreReportedAndWrongTagsAreFatal) {
  vfstest::ReportCapture reports;
  const std::vector<uint8_t> good = BctBytes(Tree(0x102));
  for (size_t size = 4; size < good.size(); ++size) {
    SColTreeData tree;
    EXPECT_FALSE(ParseColTree(good.data(), size, "cut.bct", tree)) << size;
    EXPECT_TRUE(tree.recordsC.empty());
  }
  // A record count near 2^32 is refused before anything is allocated.
  std::vector<uint8_t> huge = good;
  const size_t countAAt = 4 + 2 + 1 + 3 + 4 + 2;
  for (size_t i = 0; i < 4; ++i) huge[countAAt + i] = 0xFF;
  SColTreeData tree;
  EXPECT_FALSE(ParseColTree(huge.data(), huge.size(), "huge.bct", tree));
  EXPECT_NE(reports.Texts().back().find("Collision tree \"huge.bct\" is damaged: records A"), std::string::npos)
      << reports.All();
  std::vector<uint8_t> wrong = good;
  wrong[3] = 'X';
  EXPECT_EXIT(ParseColTree(wrong.data(), wrong.size(), "w.bct", tree), ::testing::ExitedWithCode(3),
              "Not a BCT file: BCTX");
}

TEST(ColTreeTest, TheTreeLoadsThroughTheFileSystem) {
  vfstest::ArchiveFlag plain(false);
  vfstest::ReportCapture reports;
  const std::string folder = vfstest::MakeTempFolder();
  vfstest::WriteBytes(folder + "/Content/Collision/room.bct", BctBytes(Tree(0x101)));
  CVFS vfs((folder + "/Content").c_str());
  g_pVFS = &vfs;
  CColTree tree("Collision\\room.bct");
  EXPECT_TRUE(tree.IsLoaded());
  EXPECT_EQ(tree.GetRecordCountC(), 2u);
  CColTree missing("Collision\\none.bct");
  EXPECT_FALSE(missing.IsLoaded());
  EXPECT_NE(reports.All().find("Collision tree \"Collision\\none.bct\" not found"), std::string::npos);
  g_pVFS = nullptr;
}

// Puts its spheres in each frame and records its contacts.
class CBall : public ICollisionObject {
 public:
  CBall(std::vector<Vector4> centres, float radius, bool accept = false) : m_centres(std::move(centres)), m_radius(radius), m_accept(accept) {
    categoryMask = 1;
    reactionMask = 1u << 1 | 1;
    groundHeight = -100.0f;
  }
  void AddSpheres(CCollisionManager& manager) override {
    for (const Vector4& centre : m_centres) manager.AddOwnedSphere(centre, m_radius, this);
  }
  bool OnContact(const Vector4& point, const Vector4& direction, float depth, ICollisionObject* other) override {
    contacts.push_back({point, direction, depth, other});
    return m_accept;
  }
  void OnFrameEnd() override { ++frameEnds; }

  struct SContact {
    Vector4 point, direction;
    float depth;
    ICollisionObject* other;
  };
  std::vector<SContact> contacts;
  int frameEnds = 0;

 private:
  std::vector<Vector4> m_centres;
  float m_radius;
  bool m_accept;
};

void RunFrame(CCollisionManager& manager) {
  manager.BeginFrame();
  manager.Update();
  manager.EndFrame();
}

TEST(CollisionManagerTest, SpheresCollideOnlyWhenTheyOverlap) {
  struct SCase {
    float distance;
    size_t contacts;
    float depth;
  };
  const SCase cases[] = {{2.0f, 0, 0.0f}, {1.9f, 1, 0.05f}};
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.distance);
    CCollisionManager manager;
    manager.SetEnabled(true);
    CBall a({{0, 0, 0, 0}}, 1.0f), b({{c.distance, 0, 0, 0}}, 1.0f);
    manager.Register(&a);
    manager.Register(&b);
    RunFrame(manager);
    ASSERT_EQ(a.contacts.size(), c.contacts);
    ASSERT_EQ(b.contacts.size(), c.contacts);
    EXPECT_EQ(a.frameEnds, 1);
    if (c.contacts == 0) continue;
    EXPECT_NEAR(a.contacts[0].depth, c.depth, 1e-5f);
    EXPECT_FLOAT_EQ(a.contacts[0].point.x, c.distance / 2);
    // Each side is pushed toward the other by half the distance between the centres.
    EXPECT_FLOAT_EQ(a.contacts[0].direction.x, c.distance / 2);
    EXPECT_FLOAT_EQ(b.contacts[0].direction.x, -c.distance / 2);
    EXPECT_EQ(a.contacts[0].other, &b);
  }
}

TEST(CollisionManagerTest, OwnSpheresNeverCollideAndAnAcceptedContactEndsTheFrame) {
  CCollisionManager manager;
  manager.SetEnabled(true);
  CBall twin({{0, 0, 0, 0}, {0.5f, 0, 0, 0}}, 1.0f);
  CBall eager({{1, 0, 0, 0}}, 1.0f, true);
  manager.Register(&twin);
  manager.Register(&eager);
  manager.AddSphere({0.0f, 0.0f, 0.0f, 0.0f}, 5.0f);  // no owner: touches nobody
  RunFrame(manager);
  EXPECT_EQ(twin.contacts.size(), 2u);   // once per sphere of the other object
  EXPECT_EQ(eager.contacts.size(), 1u);  // accepted the first, ignored the second
  RunFrame(manager);
  EXPECT_EQ(eager.contacts.size(), 2u);  // a new frame, a new contact
  manager.SetEnabled(false);
  RunFrame(manager);
  EXPECT_EQ(twin.contacts.size(), 4u);
  EXPECT_EQ(twin.frameEnds, 2);
}

TEST(CollisionManagerTest, ASphereReachingTheGroundTouchesIt) {
  CCollisionManager manager;
  manager.SetEnabled(true);
  CBall ball({{3, 4, 0.5f, 0}}, 1.0f);
  ball.groundHeight = 0.0f;
  manager.Register(&ball);
  RunFrame(manager);
  ASSERT_EQ(ball.contacts.size(), 1u);
  EXPECT_FLOAT_EQ(ball.contacts[0].depth, 0.5f);
  EXPECT_FLOAT_EQ(ball.contacts[0].point.x, 3.0f);
  EXPECT_FLOAT_EQ(ball.contacts[0].point.z, 0.0f);
  EXPECT_FLOAT_EQ(ball.contacts[0].direction.z, -1.0f);
  ball.reactionMask = 0;
  RunFrame(manager);
  EXPECT_EQ(ball.contacts.size(), 1u);
}

TEST(NodeTransformTest, ResetRecordGivesTranslationByMinusThePivotAndRotationTurnsAboutIt) {
  CModelNode node;
  node.pivot = {1.0f, 2.0f, 3.0f};
  node.transform.weight = 4.0f;
  node.transform.position = {9, 9, 9, 9};
  ResetNodeTransform(&node.transform);
  EXPECT_EQ(node.transform.weight, 0.0f);
  EXPECT_EQ(node.transform.scale.x, 1.0f);
  Matrix4 m;
  ComputeNodeMatrix(node, &m);
  for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
  EXPECT_FLOAT_EQ(m[12], -1.0f);
  EXPECT_FLOAT_EQ(m[13], -2.0f);
  EXPECT_FLOAT_EQ(m[14], -3.0f);

  // A quarter turn about z placed back at the pivot: (2, 2, 3) goes to (1, 3, 3).
  node.transform.rotation = {0.0f, 0.0f, std::sqrt(0.5f), std::sqrt(0.5f)};
  node.transform.position = {1.0f, 2.0f, 3.0f, 0.0f};
  node.transform.scale = {5.0f, 5.0f, 5.0f, 0.0f};  // not applied
  ComputeNodeMatrix(node, &m);
  Vector4 p{2.0f, 2.0f, 3.0f, 1.0f};
  TransformPoint(&p, m);
  EXPECT_NEAR(p.x, 1.0f, 1e-5f);
  EXPECT_NEAR(p.y, 3.0f, 1e-5f);
  EXPECT_NEAR(p.z, 3.0f, 1e-5f);
}

}  // namespace
