#include "Quor/Engine.h"
#include "Quor/CAnimator.h"
#include "Quor/CShaderManager.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/DrawSubmission.h"
#include "Quor/RenderStates.h"
#include "Quor/Timer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

TEST(LanguageTest, LocaleNamesMapToTheLanguageIndices) {
  struct SCase {
    const char* locale;
    int32_t language;
  } cases[] = {
      {"cs_CZ.UTF-8", 12}, {"de_DE.UTF-8", 2}, {"de_AT", 2}, {"es_ES", 5},  {"fr", 3},
      {"it_IT@euro", 7},   {"nl_BE", 8},       {"pl_PL", 11}, {"ru_RU", 9}, {"sv_SE", 13},
      {"tr_TR", 14},       {"DE_de", 2},
      // Only those ten have their own index: English, Japanese, Ukrainian and the rest give 1.
      {"en_US.UTF-8", 1},  {"ja_JP", 1},       {"uk_UA", 1}, {"ca_ES", 1},  {"C", 1},
      {"POSIX", 1},        {"", 1},            {"deu", 1},   {"d", 1},
  };
  for (const SCase& c : cases) EXPECT_EQ(LanguageFromLocale(c.locale), c.language) << c.locale;
  EXPECT_EQ(LanguageFromLocale(nullptr), 1);
}

TEST(LanguageTest, TheSystemLanguageComesFromTheLocaleVariables) {
  setenv("LANGUAGE", "fr:de", 1);
  setenv("LANG", "de_DE.UTF-8", 1);
  EXPECT_EQ(GetSystemLanguage(), 3);
  unsetenv("LANGUAGE");
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  EXPECT_EQ(GetSystemLanguage(), 2);
}

TEST(VirtualScreenTest, ConversionsForFourByThreeAndSixteenByNine) {
  struct SCase {
    float aspect;
    float unitX, virtualX;
    float unitY, virtualY;
    float height, width;  // a virtual height and the same length as a virtual width
  } cases[] = {
      {4.0f / 3.0f, 4.0f / 3.0f, 2304.0f, 1.0f, 1792.0f, 512.0f, 384.0f},
      {4.0f / 3.0f, -4.0f / 3.0f, 1792.0f, -1.0f, 2304.0f, 256.0f, 192.0f},
      {16.0f / 9.0f, 16.0f / 9.0f, 2304.0f, 0.5f, 1920.0f, 512.0f, 288.0f},
      {16.0f / 9.0f, 0.0f, 2048.0f, 0.0f, 2048.0f, 0.0f, 0.0f},
  };
  for (const SCase& c : cases) {
    SetAspectRatio(c.aspect);
    EXPECT_NEAR(UnitToVirtualX(c.unitX), c.virtualX, 1e-3f) << c.aspect;
    EXPECT_FLOAT_EQ(UnitToVirtualY(c.unitY), c.virtualY);
    EXPECT_FLOAT_EQ(VirtualToUnitY(c.virtualY), c.unitY);
    EXPECT_NEAR(VirtualHeightToWidth(c.height), c.width, 1e-3f) << c.aspect;
    EXPECT_NEAR(UnitToVirtualWidth(c.unitX), c.virtualX - 2048.0f, 1e-3f);
  }
}

TEST(ColorTest, ComponentsAreClampedRoundedAndPackedAsAARRGGBB) {
  struct SCase {
    float r, g, b, a;
    uint32_t word;
  } cases[] = {
      {1.5f, 0.2f, -1.0f, 1.0f, 0xFFFF3300u},
      {0.0f, 0.0f, 0.0f, 0.0f, 0x00000000u},
      {0.5f, 0.5f, 0.5f, 0.5f, 0x80808080u},  // 127.5 rounds up
      {1.0f, 0.0f, 1.0f, 0.0f, 0x00FF00FFu},
      {std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.0f, 1.0f, 0xFF00FF00u},
  };
  for (const SCase& c : cases) EXPECT_EQ(ColorToD3D(c.r, c.g, c.b, c.a), c.word) << std::hex << c.word;
}

TEST(ResourceIdTest, KeysCarryTheFolderOnlyWhenItSaysSo) {
  SResourceFolder folder;
  std::strcpy(folder.text, "Art\\Textures\\");
  char id[64];
  MakeResourceId(folder, "Rock.mpt", id, sizeof id);
  EXPECT_STREQ(id, "ID$Rock.mpt");
  folder.keyByFolder = 1;
  MakeResourceId(folder, "Rock.mpt", id, sizeof id);
  EXPECT_STREQ(id, "ID$Art\\Textures\\Rock.mpt");
  char small[8];
  MakeResourceId(folder, "Rock.mpt", small, sizeof small);
  EXPECT_STREQ(small, "ID$Art\\");
}

TEST(NextPrimeTest, SmallestOddNumberWithoutOddDivisors) {
  const std::vector<std::pair<int32_t, int32_t>> cases = {
      {23, 23}, {24, 29}, {2, 3}, {9, 11}, {25, 29}, {113, 113}, {114, 127}, {2147483646, 2147483647}};
  for (const auto& [n, prime] : cases) EXPECT_EQ(NextPrime(n), prime) << n;
}

TEST(FormatToBufferTest, NeverWritesPastTheBuffer) {
  char text[8];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(FormatToBuffer({text, 6}, "%s", "abcdefgh"), 6u);
  EXPECT_STREQ(text, "abcde");
  EXPECT_EQ(text[6], 'x');
}

std::vector<std::pair<uint32_t, uint32_t>> g_deviceCalls;
void RecordDeviceCall(uint32_t state, uint32_t value) { g_deviceCalls.emplace_back(state, value); }

TEST(RenderStateTest, SwitchesReachTheDeviceAndKeepTheirCaches) {
  g_deviceCalls.clear();
  SetRenderStateSink(&RecordDeviceCall);
  BlendAdditive();
  EXPECT_EQ(g_deviceCalls, (std::vector<std::pair<uint32_t, uint32_t>>{{19, 5}, {20, 2}}));
  SetRenderStateSink(nullptr);

  SetClockwiseWinding(true);
  CullOn();
  EXPECT_EQ(GetRecordedRenderState(kRsCullMode), 2u);
  SetClockwiseWinding(false);  // culling that is on follows at once
  EXPECT_EQ(GetRecordedRenderState(kRsCullMode), 3u);
  CullOff();
  EXPECT_EQ(GetRecordedRenderState(kRsCullMode), 1u);
  EXPECT_FALSE(IsCullingOn());
  SetClockwiseWinding(true);
  EXPECT_EQ(GetRecordedRenderState(kRsCullMode), 1u);

  SetColorWriteMask(8);  // the mask itself reaches the device, not only the cache
  EXPECT_EQ(GetRecordedRenderState(kRsColorWriteEnable), 8u);
  SetColorWriteMask(15);
  EXPECT_EQ(GetRecordedRenderState(kRsColorWriteEnable), 15u);
  ColorWriteOff();
  EXPECT_EQ(GetRecordedRenderState(kRsColorWriteEnable), 8u);
  ColorWriteOn();
  EXPECT_EQ(GetRecordedRenderState(kRsColorWriteEnable), 15u);
  SetAlphaTest(7, 200);
  EXPECT_EQ(GetRecordedRenderState(kRsAlphaFunc), 7u);
  EXPECT_EQ(GetRecordedRenderState(kRsAlphaRef), 200u);
}

TEST(EngineInitTest, StartUpLightsTheSceneEmptiesTheEventTableAndMakesTheGlobalList) {
  SetAmbientColor(0, 0, 0);
  SetAmbientLevel(0);
  AnimationEventPush(5);
  DeleteEngineGlobalList();

  EngineInit();
  const auto components = [](const Vector4* v) { return std::vector<float>{v->x, v->y, v->z, v->w}; };
  EXPECT_EQ(components(GetAmbientColor()), (std::vector<float>{1, 1, 1, 1}));
  EXPECT_EQ(components(GetLightDirection(0)), (std::vector<float>{0, -1, 0, 0}));
  EXPECT_EQ(components(GetLightDirection(1)), (std::vector<float>{0, 1, 0, 0}));
  for (int light : {0, 1}) EXPECT_EQ(components(GetLightColor(light)), (std::vector<float>{0, 0, 0, 1}));
  EXPECT_EQ(GetAnimationEventQueue().count, 0u);
  ASSERT_NE(GetEngineGlobalList(), nullptr);
  EXPECT_EQ(GetEngineGlobalList()->GetCount(), 0u);
  const SRenderStateRecord* record = GetRenderStateRecord();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->cullingOn, 0);

  // What ShutdownAndExit undoes, short of ending the process.
  ShutdownInputDevices();
  DeleteFrameClock();
  ShutdownDrawState();
  DeleteEngineGlobalList();
  DestroyAllDeviceResources();
}

}  // namespace
