// The graph, mesh and spline writers run from text descriptions, and the engine's readers
// load what they wrote.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include "Common/AStar/CAStar.h"
#include "Common/AStar/CStaticGraph.h"
#include "Common/Render/DynaMesh/CDynaMesh.h"
#include "Common/Utils/CameraSpline/CCameraSpline.h"
#include "Common/Utils/Spline/CSpline.h"
#include "tests/Quor/ContentFixture.h"
#include "tests/support/ProgramRun.h"

namespace {

class ContentToolsTest : public ::testing::Test {
 protected:
  // Writes the description and runs the tool; the tool's exit status.
  int Run(const std::string& tool, const std::string& command, const std::string& description,
          const std::string& output) {
    const std::string in = m_content.GetFolder() + "/" + output + ".txt";
    std::ofstream(in) << description;
    return RunTool(tool, command + " " + in + " " + m_content.GetFolder() + "/" + output, m_content.GetFolder())
        .exitCode;
  }

  contenttest::CContentFolder m_content;
};

TEST_F(ContentToolsTest, GraphFromTextIsSearchable) {
  const char* description =
      "# a square with one blocked corner\nversion 1\n"
      "node 0 0 0\nnode 1 0 0 1\nnode 1 1 0\nnode 0 1 0\n"
      "edge 0 1\nedge 1 2\nedge 3 2 2\nedge 0 3\n";
  ASSERT_EQ(Run("graphtool", "agr", description, "square.agr"), 0);
  AStar::CStaticGraph graph;
  graph.Load("square.agr");
  ASSERT_EQ(graph.GetNodeCount(), 4);
  AStar::CAStar search(&graph);
  ASSERT_TRUE(search.FindPathByIndex(0, 2, 1, true));
  EXPECT_FLOAT_EQ(search.GetPathCost(), 3.0f);  // round the blocked corner: 1 + 2
  EXPECT_EQ(Run("graphtool", "agr", "edge 0 5\n", "bad.agr"), 1);
  EXPECT_EQ(Run("graphtool", "agr", "wobble\n", "bad.agr"), 1);
}

TEST_F(ContentToolsTest, MeshFromText) {
  const char* description =
      "version 104\nframerate 20\nsubmesh\npos 0 0 0\npos 1 0 0\npos 0 1 0\n"
      "poskeys 2 0 1 0 0 2 0 0 3 0 0 4 0\nuv 0 0\ntri 0 1 2\n";
  ASSERT_EQ(Run("graphtool", "mesh", description, "flag.dyn"), 0);
  CDynaMesh mesh;
  ASSERT_TRUE(mesh.Load("flag.dyn"));
  EXPECT_EQ(mesh.GetKeyCount(), 4u);
  EXPECT_FLOAT_EQ(mesh.GetSpeed(), 5.0f);
  mesh.SetTime(1);
  mesh.Evaluate();
  EXPECT_FLOAT_EQ(mesh.GetSubMesh(0).evaluatedPositions[2].y, 4.0f);
}

TEST_F(ContentToolsTest, SplinesFromText) {
  ASSERT_EQ(Run("spline", "path", "name Loop\npath closed\npoint 0 0 0\npoint 2 0 0\npoint 2 2 0\n", "loop.spl"), 0);
  CSplineFile file;
  file.Load("loop.spl");
  ASSERT_EQ(file.GetEntryCount(), 1u);
  EXPECT_EQ(file.GetEntry(0).points.size(), 4u);
  EXPECT_NEAR(file.GetEntry(0).length, 4.0f + 2.0f * std::sqrt(2.0f), 1e-5f);

  const char* camera =
      "name Intro\ntrack Pan 2 0\nfov 0.9\ntarget 0 0 5\nposkey 0 0 0\nposkey 4 0 0\n";
  ASSERT_EQ(Run("spline", "camera", camera, "intro.cam"), 0);
  CCameraSpline spline;
  spline.Load("intro.cam");
  ASSERT_EQ(spline.GetTrackCount(), 1u);
  EXPECT_FLOAT_EQ(spline.GetTrack(0).EvaluatePosition(0.5f).x, 2.0f);
  Vector4 target;
  ASSERT_TRUE(spline.GetTrack(0).EvaluateTarget(1, &target));
  EXPECT_FLOAT_EQ(target.z, 5.0f);
  EXPECT_EQ(Run("spline", "path", "point 1 2 3\n", "bad.spl"), 1);
}

}  // namespace
