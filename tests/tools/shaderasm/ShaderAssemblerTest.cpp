// The build-time shader assembler: byte code the device takes, headers that compile to the
// same words, and errors that name the file and the line.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ProgramRun.h"
#include "tools/shaderasm/ShaderAssembler.h"

// One of the engine's own programs, assembled while it was built.
#include "Shaders/DrawColour_psh.h"

namespace {

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "shaderasm_" + name; }

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

TEST(ShaderAssembler, TheBuildMadeTheSameByteCodeAsTheAssemblerMakesNow) {
  const std::string source = std::string(HM_SOURCE_DIR) + "/Quor/Shaders/DrawColour.psh";
  std::vector<uint32_t> code;
  std::string error;
  ASSERT_TRUE(AssembleShaderFile(source, code, error)) << error;
  ASSERT_EQ(code.size() * 4, kDrawColourPs_Size);
  EXPECT_TRUE(std::equal(code.begin(), code.end(), kDrawColourPs));
  // Version token first (ps_2_0), end token last.
  EXPECT_EQ(code.front(), 0xFFFF0200u);
  EXPECT_EQ(code.back(), 0x0000FFFFu);
}

TEST(ShaderAssembler, FaultsNameTheFileAndTheLine) {
  const std::string path = TempPath("bad.psh");
  WriteText(path, "ps_2_0\ndcl v0\nbogus oC0, v0\n");
  std::vector<uint32_t> code;
  std::string error;
  EXPECT_FALSE(AssembleShaderFile(path, code, error));
  EXPECT_NE(error.find(path + ": line 3"), std::string::npos) << error;

  EXPECT_FALSE(AssembleShaderFile(TempPath("missing.vsh"), code, error));
  EXPECT_NE(error.find("missing.vsh: cannot be read"), std::string::npos) << error;
}

TEST(ShaderAssembler, HeadersHoldTheWordsUnderTheirNameAndAreOnlyRewrittenWhenChanged) {
  const std::vector<uint32_t> code = {0xFFFF0200u, 0x12345678u, 0x0000FFFFu};
  const std::string path = TempPath("out.h");
  std::string error;
  ASSERT_TRUE(WriteByteCodeHeader(path, code, "kSample", "sample.psh", error)) << error;
  const std::string text = ReadTextFile(path);
  EXPECT_NE(text.find("inline constexpr uint32_t kSample[] = {"), std::string::npos);
  EXPECT_NE(text.find("0xffff0200, 0x12345678, 0x0000ffff,"), std::string::npos);
  EXPECT_NE(text.find("kSample_Size = sizeof(kSample)"), std::string::npos);

  const auto earlier = std::filesystem::last_write_time(path) - std::chrono::hours(1);
  std::filesystem::last_write_time(path, earlier);
  ASSERT_TRUE(WriteByteCodeHeader(path, code, "kSample", "sample.psh", error));
  EXPECT_EQ(std::filesystem::last_write_time(path), earlier);

  EXPECT_FALSE(WriteByteCodeHeader(path, code, "1bad-name", "sample.psh", error));
  EXPECT_NE(error.find("not a C++ name"), std::string::npos);
}

TEST(ShaderAssembler, TheProgramWritesTheHeaderOrFailsWithTheReason) {
  const std::string folder = TestFolder("shaderasm");
  const std::string source = folder + "/tool.vsh", header = folder + "/tool.h";
  WriteText(source, "vs_2_0\ndcl_position v0\nmov oPos, v0\n");
  EXPECT_EQ(RunTool("shaderasm", source + " " + header + " kTool", folder).exitCode, 0);
  EXPECT_NE(ReadTextFile(header).find("kTool[]"), std::string::npos);
  WriteText(source, "vs_2_0\nnot_an_instruction r0\n");
  EXPECT_NE(RunTool("shaderasm", source + " " + header + " kTool", folder).exitCode, 0);
}

}  // namespace
