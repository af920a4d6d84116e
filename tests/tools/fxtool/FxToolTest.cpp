// fxtool as a program: its help, the effect files it writes, and descriptions it refuses
// with the file and line.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/ProgramRun.h"
#include "tools/shared/FileBytes.h"

namespace {

class FxToolTest : public CToolTest {
 protected:
  FxToolTest() : CToolTest("fxtool") {}
  std::string Output() const { return m_run.output + m_run.errors; }
};

const char* const kVertexShader = "vs_2_0\ndcl_position v0\nmov oPos, v0\n";

TEST_F(FxToolTest, WritesBothVersionsFromShaderFiles) {
  Write("plain.vsh", kVertexShader);
  Write("effect.txt", "# one technique\ntechnique VS_Only\npass\nvs plain.vsh\nparam vs mxWVP 0\nstate 7 1\n");
  ASSERT_EQ(Run(Path("effect.txt") + " " + Path("new.fxc")), 0) << Output();
  ASSERT_EQ(Run(Path("effect.txt") + " " + Path("old.fxc") + " --version 0x100"), 0) << Output();
  std::vector<uint8_t> newer, older;
  ASSERT_TRUE(ReadFileBytes(Path("new.fxc"), newer));
  ASSERT_TRUE(ReadFileBytes(Path("old.fxc"), older));
  EXPECT_EQ(newer[4], 0x01);
  EXPECT_EQ(older[4], 0x00);
  // The newer pass starts with one state pair and two empty triple lists.
  EXPECT_EQ(newer.size(), older.size() + 4 + 8 + 4 + 4);
}

TEST_F(FxToolTest, HelpAndRefusedDescriptions) {
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(Output().find("param vs|ps NAME REGISTER"), std::string::npos);
  EXPECT_EQ(Run(""), 2);

  struct SCase {
    const char* text;
    const char* message;
  };
  const SCase cases[] = {
      {"pass\n", "effect.txt:1: pass before any technique"},
      {"technique T\npass\nvs inline\nvs_2_0\n", "effect.txt:3: inline shader from line 3 has no 'end'"},
      {"technique T\npass\nsampler S\n", "effect.txt:3: sampler needs a name and an index"},
      {"technique T\npass\nparam gs x 0\n", "effect.txt:3: param needs vs|ps"},
      {"technique T\npass\nvs missing.vsh\n", "effect.txt:3: cannot read"},
      {"technique T\npass\nvs inline\nvs_2_0\nnot_an_op r0\nend\n", "effect.txt:3"},
      {"technique T\npass\nps inline\nps_2_0\nmov oC0, c0\nend\n", "a pass has no vertex shader"},
      {"technique T\npass\nstate 1\n", "effect.txt:3: state needs 2 numbers"},
  };
  for (const SCase& each : cases) {
    Write("effect.txt", each.text);
    EXPECT_EQ(Run(Path("effect.txt") + " " + Path("out.fxc")), 1) << each.text;
    EXPECT_NE(Output().find(each.message), std::string::npos) << Output();
  }
}

}  // namespace
