// JPT and JPEG textures, texture masks through every reader, and texture animations.

#include "Framework/Resources/ResourceTypes/omResourceJpegTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceMask.h"
#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Quor/CTextureManager.h"
#include "tests/Framework/Resources/ResourceTestKit.h"
#include "tests/Framework/Resources/JpegFixtures.h"

#include <tinyxml.h>

namespace {

using namespace Ombrel;
using restest::Reported;

constexpr int kSide = 16;
// The asymmetric mask: only the top-left quarter is opaque.
uint8_t TopLeftAlpha(int x, int y) { return x < kSide / 2 && y < kSide / 2 ? 255 : 0; }

class DecodedTextureTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    CResourceFixture::SetUp();
    m_resources->RegisterLoader(new CResTextureLoader, "Texture");
    m_resources->RegisterLoader(new CResJptTextureLoader(m_decoder.get()), "TextureJpt");
    m_resources->RegisterLoader(new CResJpegTextureLoader(m_decoder.get()), "TextureJpeg");
    m_resources->RegisterLoader(new CResMaskLoader, "Mask");
    m_resources->RegisterLoader(new CResTexAnimLoader(m_decoder.get()), "TexAnim");
  }

  std::vector<uint8_t> Colour() {
    return jpegtest::EncodeGrey(kSide, kSide, [](int x, int) { return uint8_t(x * 16); });
  }
  std::vector<uint8_t> Alpha() { return jpegtest::EncodeGrey(kSide, kSide, TopLeftAlpha); }

  // Upper left hits, the other three quarters do not.
  static void ExpectTopLeftHits(const CTextureMask* mask, const char* route) {
    ASSERT_NE(mask, nullptr) << route;
    CTextureMask placed = *mask;
    placed.SetSize({float(kSide), float(kSide)});
    EXPECT_TRUE(placed.IsHit({-4, 4})) << route;
    EXPECT_FALSE(placed.IsHit({4, 4})) << route;
    EXPECT_FALSE(placed.IsHit({-4, -4})) << route;
    EXPECT_FALSE(placed.IsHit({4, -4})) << route;
  }
};

TEST_F(DecodedTextureTest, JptAlphaComesFromTheAlphaPicturesBlueByte) {
  WriteContent("Textures/Logo.jpt", BuildJpt(Colour(), Alpha()));
  LoadList(R"(<L><TextureJpt Name="logo" FileName="Logo"><Mask Channel="Alpha" Depth="8"/></TextureJpt></L>)");
  CResourceJptTexture* logo = m_resources->GetTextureJpt("logo");
  ASSERT_NE(logo, nullptr);
  TextureRecord* texture = logo->GetTextureObject()->GetTexture();
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->imageWidth, uint32_t(kSide));
  const CTextureMask* mask = logo->GetTextureObject()->GetMask();
  EXPECT_GE(mask->GetValue(1, 1), 250);
  EXPECT_LE(mask->GetValue(kSide - 2, 1), 5);
}

TEST_F(DecodedTextureTest, TheMaskIsTheSameThroughTextureJptAndMaskFiles) {
  // Raw mask file: rows from the bottom.
  std::vector<uint8_t> raw;
  for (int y = kSide - 1; y >= 0; --y)
    for (int x = 0; x < kSide; ++x) raw.push_back(TopLeftAlpha(x, y));
  WriteContent("Textures/Pic.mpt", rendertest::MptFile(kSide, kSide, std::vector<uint8_t>(kSide * kSide * 4, 200)));
  WriteContent("Textures/Pic.raw", raw);
  WriteContent("Textures/Pic.jpt", BuildJpt(Colour(), Alpha()));
  // Mask file: header, then bytes from the top row.
  rendertest::SBytes msk;
  msk.Tag("MASK").U16(1).U16(0).U32(kSide).U32(kSide).U32(32).U32(kSide * kSide).U32(0).U32(128);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) msk.U8(TopLeftAlpha(x, y));
  WriteContent("Masks/Pic.msk", msk.data);
  LoadList(R"(<L>
      <Texture Name="t" FileName="Pic" Reference="mpt"><Mask File="Pic.raw" Threshold="128"/></Texture>
      <TextureJpt Name="j" FileName="Pic"><Mask Threshold="128"/></TextureJpt>
      <TextureJpt Name="f" FileName="Pic"><Mask File="Pic.raw" Channel="Red" Threshold="128"/></TextureJpt>
      <Mask Name="m" FileName="Pic"/>
    </L>)");
  ASSERT_NE(m_resources->GetTexture("t"), nullptr);
  ExpectTopLeftHits(m_resources->GetTexture("t")->GetMask(), "texture with raw mask");
  ExpectTopLeftHits(m_resources->GetTextureJpt("j")->GetTextureObject()->GetMask(), "JPT alpha channel");
  ExpectTopLeftHits(m_resources->GetTextureJpt("f")->GetTextureObject()->GetMask(), "JPT with raw mask");
  auto* mask = static_cast<CResourceMask*>(m_resources->FindResource("Mask", "m"));
  ExpectTopLeftHits(mask->GetMask(), "mask file");
}

TEST_F(DecodedTextureTest, DamagedStreamsAreReportedAndLeaveNoTexture) {
  std::vector<uint8_t> corrupt = Colour();
  corrupt.resize(corrupt.size() / 2);
  std::vector<uint8_t> badOffsets = BuildJpt(Colour(), Alpha());
  badOffsets[11] = 0xF0;  // the colour stream starts far past the end
  WriteContent("Textures/Cut.jpg", corrupt);
  WriteContent("Textures/Noise.jpg", vfstest::Pattern(300, 7));
  WriteContent("Textures/Far.jpt", badOffsets);
  WriteContent("Textures/Tiny.jpt", {1, 2, 3});
  // A few bytes of header may claim a picture of a gigabyte: refused before decoding.
  std::vector<uint8_t> huge = Colour();
  for (size_t i = 0; i + 8 < huge.size(); ++i) {
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {  // the frame header: height, then width, big-endian
      huge[i + 5] = huge[i + 7] = 0x40;
      huge[i + 6] = huge[i + 8] = 0x00;
      break;
    }
  }
  WriteContent("Textures/Huge.jpg", huge);
  const struct {
    const char* declaration;
    const char* type;
    const char* report;
  } kCases[] = {
      {R"(<TextureJpeg Name="r" FileName="Cut"/>)", "TextureJpeg", "Cut.jpg"},
      {R"(<TextureJpeg Name="r" FileName="Noise"/>)", "TextureJpeg", "JPEG stream is damaged"},
      {R"(<TextureJpt Name="r" FileName="Far"/>)", "TextureJpt", "colour stream lies outside"},
      {R"(<TextureJpt Name="r" FileName="Tiny"/>)", "TextureJpt", "shorter than its header"},
      {R"(<TextureJpeg Name="r" FileName="Huge"/>)", "TextureJpeg", "16384x16384 picture is larger than a texture"},
  };
  for (const auto& c : kCases) {
    restest::Reports().clear();
    m_resources->UnloadGroup("");
    LoadList(std::string("<L>") + c.declaration + "</L>");
    CResourceBase* resource = m_resources->FindResource(c.type, "r");
    ASSERT_NE(resource, nullptr) << c.declaration;
    const CDecodedTexture* texture =
        std::string(c.type) == "TextureJpt"
            ? static_cast<const CDecodedTexture*>(static_cast<CResourceJptTexture*>(resource)->GetTextureObject())
            : static_cast<CResourceJpegTexture*>(resource)->GetTextureObject();
    EXPECT_EQ(texture->GetTexture(), nullptr) << c.declaration;
    EXPECT_TRUE(Reported(c.report)) << c.declaration;
  }
}

TEST_F(DecodedTextureTest, AnUnusableAlphaIsDroppedAndTheTextureStaysOpaque) {
  WriteContent("Textures/Small.jpt", BuildJpt(Colour(), jpegtest::EncodeGrey(8, 8, [](int, int) { return 0; })));
  WriteContent("Textures/Empty.jpt", BuildJpt(Colour(), {}));
  WriteContent("Textures/Pic.jpg", Colour());
  LoadList(R"(<L>
      <TextureJpt Name="small" FileName="Small"><Mask Depth="8"/></TextureJpt>
      <TextureJpt Name="empty" FileName="Empty"><Mask Depth="8"/></TextureJpt>
      <TextureJpeg Name="nofile" FileName="Pic" AlphaFile="Missing"><Mask Depth="8"/></TextureJpeg>
    </L>)");
  EXPECT_TRUE(Reported("the alpha picture is 8x8, the colour picture 16x16"));
  const CTextureMask* masks[] = {m_resources->GetTextureJpt("small")->GetTextureObject()->GetMask(),
                                 m_resources->GetTextureJpt("empty")->GetTextureObject()->GetMask(),
                                 m_resources->GetTextureJpeg("nofile")->GetTextureObject()->GetMask()};
  for (const CTextureMask* mask : masks) {
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->GetValue(3, 3), 255);
  }
}

TEST_F(DecodedTextureTest, DecompressFalseWaitsForCreateWhichBuildsOnce) {
  WriteContent("Textures/Pic.jpg", Colour());
  LoadList(R"(<L><TextureJpeg Name="late" FileName="Pic" Decompress="False"/>
               <TextureJpeg Name="now" FileName="Pic" Decompress="false"/></L>)");
  CJpegTexture* late = m_resources->GetTextureJpeg("late")->GetTextureObject();
  EXPECT_EQ(late->GetTexture(), nullptr);
  EXPECT_NE(m_resources->GetTextureJpeg("now")->GetTextureObject()->GetTexture(), nullptr);
  late->Create();
  TextureRecord* first = late->GetTexture();
  late->Create();
  EXPECT_EQ(late->GetTexture(), first);
  EXPECT_EQ(first->referenceCount, 2u);  // shared with "now" under the same path
}

TEST_F(DecodedTextureTest, ARawMaskShorterThanItsPictureIsRefused) {
  WriteContent("Textures/Pic.mpt", rendertest::MptFile(kSide, kSide, std::vector<uint8_t>(kSide * kSide * 4, 9)));
  WriteContent("Textures/Short.raw", std::vector<uint8_t>(kSide * kSide - 1, 255));
  LoadList(R"(<L><Texture Name="t" FileName="Pic" Reference="mpt"><Mask File="Short.raw"/></Texture></L>)");
  EXPECT_NE(m_resources->GetTexture("t")->GetTexture(), nullptr);
  EXPECT_EQ(m_resources->GetTexture("t")->GetMask(), nullptr);
  EXPECT_TRUE(Reported("is shorter than its 16x16 picture"));
}

TEST_F(DecodedTextureTest, TexAnimTimingTable) {
  const struct {
    const char* params;
    float duration;
    bool refused;
  } kCases[] = {
      {R"(Duration="2" Fps="30")", 2.0f, false}, {R"(Fps="25")", 2.0f, false}, {R"(Speed="0.5")", 2.0f, false},
      {"", 1.0f, false},                          {R"(Fps="0")", 0, true},      {R"(Duration="0")", 0, true},
      {R"(Speed="-1")", 0, true},
  };
  for (const auto& c : kCases) {
    STexAnimSettings settings;
    TiXmlDocument document;
    document.Parse((std::string(R"(<TexAnim Type="UV" FrameCount="50"><Params )") + c.params +
                    R"( Loop="true"/></TexAnim>)").c_str());
    const bool read = ReadTexAnimSettings(document.FirstChildElement(), "", "Anim", settings);
    EXPECT_EQ(read, !c.refused) << c.params;
    if (read) {
      EXPECT_FLOAT_EQ(settings.duration, c.duration) << c.params;
      EXPECT_FALSE(settings.loop);
    }
  }
  EXPECT_TRUE(Reported("must be above 0"));
}

TEST_F(DecodedTextureTest, TexAnimFrameNames) {
  EXPECT_EQ(NumberedFrameNames("Tex\\", "fire123", 3, 8, 3),
            (std::vector<std::string>{"Tex\\fire008", "Tex\\fire009", "Tex\\fire010"}));
  EXPECT_EQ(NumberedFrameNames("100%s\\", "ab", 4, 1, 1), std::vector<std::string>{"100%s\\0001"});

  TiXmlDocument document;
  document.Parse(R"(<TexAnim Type="File" FrameCount="2" FileType="Jpt"><FileList>
      <File FileName="a"/><File FileName="b"/><File FileName="surplus"/></FileList></TexAnim>)");
  STexAnimSettings settings;
  ASSERT_TRUE(ReadTexAnimSettings(document.FirstChildElement(), "T\\", "x", settings));
  EXPECT_EQ(settings.fileNames, (std::vector<std::string>{"T\\a.Jpt", "T\\b.Jpt"}));

  TiXmlDocument shortList;
  shortList.Parse(R"(<TexAnim Type="File" FrameCount="3"><FileList><File FileName="a"/></FileList></TexAnim>)");
  EXPECT_FALSE(ReadTexAnimSettings(shortList.FirstChildElement(), "", "x", settings));
  EXPECT_TRUE(Reported("names 1 of 3 frames"));
}

TEST_F(DecodedTextureTest, TexAnimLoadsNumberedJptFramesAndAGrid) {
  for (const char* name : {"Textures/Run01.jpt", "Textures/Run02.jpt"}) WriteContent(name, BuildJpt(Colour(), Alpha()));
  WriteContent("Textures/Grid.mpt", rendertest::MptFile(kSide, kSide, std::vector<uint8_t>(kSide * kSide * 4, 1)));
  LoadList(R"(<L>
      <TexAnim Name="run" Type="File" FileName="Run00" DigitCount="2" StartIndex="1" FrameCount="2" FileType="Jpt">
        <Params Duration="2" Loop="True" AutoPlay="True"/></TexAnim>
      <TexAnim Name="grid" Type="UV" FileName="Grid" FrameCount="6" RowCount="2" ColCount="3"/>
    </L>)");
  CTextureAnimation* run = m_resources->GetTexAnim("run")->GetAnimation();
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->GetFrameCount(), 2);
  EXPECT_NE(run->GetFrame(1).texture, nullptr);
  EXPECT_FLOAT_EQ(run->GetSpeed(), 0.5f);
  run->Reset();
  run->Update(5.0f);  // two and a half cycles wrap into one
  EXPECT_FLOAT_EQ(run->GetProgress(), 0.5f);
  EXPECT_EQ(run->GetFrameIndex(), 1);
  const STextureFrame& frame = m_resources->GetTexAnim("grid")->GetAnimation()->GetFrame(4);
  EXPECT_FLOAT_EQ(frame.ua, 1.0f / 3.0f);
  EXPECT_FLOAT_EQ(frame.va, 0.5f);
  EXPECT_FLOAT_EQ(frame.vb, 0.0f);
  EXPECT_NE(frame.texture, nullptr);
}

}  // namespace
