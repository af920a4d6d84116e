// Compiled effect files made by fxtool: both versions, passes with and without a pixel
// shader, the cache's sharing, and damaged files reported instead of read past their end.

#include "Quor/DirectX/CCompiledFx.h"

#include <cstring>

#include "tests/Quor/DirectX/ShaderTestKit.h"
#include "tests/support/ByteWriter.h"

using namespace shadertest;

namespace {

class CompiledFxTest : public CShaderDeviceTest {};

TEST_F(CompiledFxTest, BothVersionsReadWithAndWithoutPixelPart) {
  for (uint16_t version : {kFxVersionPlain, kFxVersionWithStates}) {
    SCOPED_TRACE(version);
    SFxEffect effect;
    ASSERT_TRUE(CCompiledFx::LoadFromBytes(&effect, MakeFx(kFlatEffect, version), "Flat.fxc"));
    ASSERT_EQ(effect.techniques.size(), 2u);

    const SFxPass* full = GetPass(FindTechnique(&effect, "VS_PS"), 0);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(FindTechnique(&effect, "vs_ps"), nullptr) << "technique names compare exactly";
    EXPECT_EQ(GetPass(FindTechnique(&effect, "VS_PS"), 1), nullptr);
    EXPECT_NE(GetPartShader(full->vertex), nullptr);
    EXPECT_NE(GetPartShader(full->pixel), nullptr);

    const SFxParameter* matrix = FindVertexParameter(full, "mxWVP");
    ASSERT_NE(matrix, nullptr);
    EXPECT_EQ(matrix->reg, 0u);
    EXPECT_EQ(matrix->secondValue, 4u);
    EXPECT_EQ(FindVertexParameter(full, "unused"), nullptr) << "only the third list is looked up";
    EXPECT_EQ(full->vertex.parameters[0].size(), 1u);
    const SFxParameter* factor = FindPixelParameter(full, "factor");
    ASSERT_NE(factor, nullptr);
    EXPECT_EQ(factor->reg, 2u);
    ASSERT_EQ(factor->defaultData.size(), 16u);
    float defaults[4];
    std::memcpy(defaults, factor->defaultData.data(), sizeof defaults);
    EXPECT_EQ(defaults[3], 1.0f);

    const SFxSamplerBinding* shadow = FindSamplerBinding(full, "SamplerShadow");
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->sampler, 3u);
    const bool withStates = version == kFxVersionWithStates;
    EXPECT_EQ(full->renderStates.size(), withStates ? 2u : 0u);
    EXPECT_EQ(full->firstTriples.size(), withStates ? 1u : 0u);
    if (withStates) {
      EXPECT_EQ(full->renderStates[0].first, 27u);
      EXPECT_EQ(full->secondTriples[0].third, 2u);
    }

    const SFxPass* vertexOnly = GetPass(FindTechnique(&effect, "VS_Only"), 0);
    ASSERT_NE(vertexOnly, nullptr);
    EXPECT_EQ(vertexOnly->pixel.shader, nullptr);
    EXPECT_TRUE(vertexOnly->samplers.empty());
    EXPECT_NE(FindVertexParameter(vertexOnly, "mxWVP"), nullptr);
  }
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

TEST_F(CompiledFxTest, FixedFunctionModeMakesNoPixelShaderButKeepsTheBindings) {
  SetFixedFunctionMode(true);
  SFxEffect effect;
  const bool loaded = CCompiledFx::LoadFromBytes(&effect, MakeFx(kFlatEffect), "Flat.fxc");
  SetFixedFunctionMode(false);
  ASSERT_TRUE(loaded);
  const SFxPass* pass = GetPass(FindTechnique(&effect, "VS_PS"), 0);
  EXPECT_NE(pass->vertex.shader, nullptr);
  EXPECT_EQ(pass->pixel.shader, nullptr);
  EXPECT_NE(FindSamplerBinding(pass, "SamplerDiffuse"), nullptr);
  EXPECT_NE(FindPixelParameter(pass, "factor"), nullptr);
}

TEST_F(CompiledFxTest, CacheSharesEffectsByNameAndDestroysThemWithTheLastRelease) {
  WriteContent("Effects/Flat.fxc", MakeFx(kFlatEffect));
  const size_t resourcesBefore = GetDeviceResourceCount();
  SFxEffect* first = GetEffect("Flat.fxc");
  ASSERT_NE(first, nullptr);
  SFxEffect* second = GetEffect("flat.FXC");
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->refCount, 2u);
  EXPECT_EQ(GetEffectCacheCount(), 1u);
  EXPECT_EQ(GetDeviceResourceCount(), resourcesBefore + 3);

  ReleaseEffect(first);
  EXPECT_EQ(GetEffectCacheCount(), 1u);
  ReleaseEffect(second);
  EXPECT_EQ(GetEffectCacheCount(), 0u);
  EXPECT_EQ(GetDeviceResourceCount(), resourcesBefore);

  // Destroying the cache releases an effect as often as it was asked for.
  GetEffect("Flat.fxc");
  GetEffect("Flat.fxc");
  DestroyEffectCache();
  EXPECT_EQ(GetDeviceResourceCount(), resourcesBefore);
  EXPECT_FALSE(HasEffectCache());

  // Without a cache an effect is refused with a report, not the end of the program.
  EXPECT_EQ(GetEffectFolder(), nullptr);
  EXPECT_EQ(GetEffect("Flat.fxc"), nullptr);
  EXPECT_NE(m_reports.All().find("Effect \"Flat.fxc\" cannot be loaded: the effect cache has not been created"),
            std::string::npos)
      << m_reports.All();
}

vfstest::Bytes WithWord(vfstest::Bytes bytes, size_t offset, uint32_t word) {
  hmtest::StoreU32(bytes, offset, word);
  return bytes;
}

TEST_F(CompiledFxTest, DamagedFilesAreReportedAndLeaveNothingBehind) {
  const vfstest::Bytes good = MakeFx(kFlatEffect, kFxVersionPlain);
  // Plain version: tag 4, version 2, count 4, "VS_PS\0" 6, pass count 4, vertex size at 20.
  constexpr size_t kTechniqueCount = 6, kVertexSize = 20;
  struct SCase {
    const char* what;
    vfstest::Bytes bytes;
  };
  std::vector<SCase> cases = {
      {"a huge technique count", WithWord(good, kTechniqueCount, 0x7FFFFFFF)},
      {"a shader larger than the file", WithWord(good, kVertexSize, 0x10000000)},
      {"a pass without a vertex shader", WithWord(good, kVertexSize, 0)},
      {"byte code the device refuses", WithWord(good, kVertexSize + 4, 0x12345678)},
      {"trailing garbage count", WithWord(good, good.size() - 4, 99)},
  };
  // Every cut of the file short of its end.
  for (size_t length = 0; length < good.size(); length += 3)
    cases.push_back({"a cut file", vfstest::Bytes(good.begin(), good.begin() + static_cast<long>(length))});

  const size_t resourcesBefore = GetDeviceResourceCount();
  for (const SCase& each : cases) {
    SCOPED_TRACE(std::string(each.what) + ", " + std::to_string(each.bytes.size()) + " bytes");
    m_reports.Texts().clear();
    SFxEffect effect;
    EXPECT_FALSE(CCompiledFx::LoadFromBytes(&effect, each.bytes, "Broken.fxc"));
    EXPECT_TRUE(effect.techniques.empty());
    // Refused byte code is named by the device resources first, then the file.
    const bool refused = std::string(each.what) == "byte code the device refuses";
    ASSERT_EQ(m_reports.Texts().size(), refused ? 2u : 1u) << m_reports.All();
    if (refused) {
      EXPECT_NE(m_reports.Texts()[0].find("Cannot create a vertex shader"), std::string::npos);
    }
    EXPECT_NE(m_reports.Texts().back().find("\"Broken.fxc\" is damaged"), std::string::npos) << m_reports.All();
    EXPECT_EQ(GetDeviceResourceCount(), resourcesBefore);
  }

  m_reports.Texts().clear();
  EXPECT_EQ(GetEffect("Missing.fxc"), nullptr);
  EXPECT_NE(m_reports.All().find("Effect file \"Effects\\Missing.fxc\" not found"), std::string::npos)
      << m_reports.All();
  EXPECT_EQ(GetEffectCacheCount(), 0u);
}

TEST_F(CompiledFxTest, UnsupportedVersionIsFatal) {
  const vfstest::Bytes newer = [] {
    vfstest::Bytes bytes = MakeFx(kFlatEffect);
    bytes[4] = 0x02;  // version 0x102
    return bytes;
  }();
  SFxEffect effect;
  EXPECT_EXIT(CCompiledFx::LoadFromBytes(&effect, newer, "New.fxc"), ::testing::ExitedWithCode(3),
              "Effect file \"New.fxc\": Unsupported version 1.02");
}

}  // namespace
