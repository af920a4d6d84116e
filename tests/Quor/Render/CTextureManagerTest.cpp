// The texture manager: shared records, the name fall-backs, pictures from pixels, render
// targets by name, substitutes, and textures through a lost device.

#include "Quor/Utils.h"
#include "tests/Quor/Render/RenderTestKit.h"

#include <cstring>

using namespace rendertest;

namespace {

const SRgba kRed{200, 10, 20, 255}, kBlue{5, 15, 220, 128};

// Level 0 of a texture as R, G, B, A texels (the device keeps B, G, R, A).
std::vector<SRgba> Texels(const TextureRecord* texture) {
  CGfxTexture* device = GetD3DTexture(texture);
  std::vector<SRgba> texels;
  SGfxLockedRect locked;
  if (!device || device->LockRect(0, &locked, nullptr, GFX_LOCK_READONLY) != GFX_OK) return texels;
  for (uint32_t y = 0; y < GetTextureHeight(texture); ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(locked.bits) + size_t(y) * locked.pitch;
    for (uint32_t x = 0; x < GetTextureWidth(texture); ++x) texels.push_back({row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]});
  }
  device->UnlockRect(0);
  return texels;
}

class TextureManagerTest : public CRenderFixture {};

TEST_F(TextureManagerTest, LoadsShareOneRecordByNameAndTheLastReleaseDestroysIt) {
  WriteContent("Textures/Menu/Back.mpt", MptFile(2, 2, Solid(2, 2, kRed)));
  const size_t resourcesBefore = GetDeviceResourceCount();

  TextureRecord* first = m_manager->LoadTexture("Menu\\Back.mpt");
  TextureRecord* second = m_manager->LoadTexture("MENU\\back.MPT");
  ASSERT_EQ(first, second);
  EXPECT_EQ(first->referenceCount, 2u);
  EXPECT_EQ(first->kind, ETextureKind::Picture);
  EXPECT_EQ(m_manager->GetTextureCount(), 1u);
  EXPECT_EQ(m_manager->MakeKey("Menu\\Back.mpt"), "ID$Menu\\Back.mpt");
  EXPECT_EQ(Texels(first)[3], kRed);

  m_manager->ReleaseTexture(first);
  EXPECT_EQ(m_manager->GetTextureCount(), 1u);
  m_manager->ReleaseTexture(second);
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);
  EXPECT_EQ(GetDeviceResourceCount(), resourcesBefore);
  EXPECT_EQ(m_manager->FindTexture("Menu\\Back.mpt"), nullptr);
}

TEST_F(TextureManagerTest, KeysCarryTheDirectoryOnlyWhenAsked) {
  WriteContent("Textures/a.mpt", MptFile(1, 1, Solid(1, 1, kRed)));
  WriteContent("Other/a.mpt", MptFile(1, 1, Solid(1, 1, kBlue)));
  m_manager->SetKeyWithDirectory(true);
  TextureRecord* fromTextures = m_manager->LoadTexture("a.mpt");
  EXPECT_EQ(m_manager->MakeKey("a.mpt"), "ID$Textures\\a.mpt");
  m_manager->SetDirectory("Other");
  TextureRecord* fromOther = m_manager->LoadTexture("a.mpt");
  EXPECT_NE(fromTextures, fromOther);
  EXPECT_EQ(Texels(fromOther)[0], kBlue);
  m_manager->ReleaseTexture(fromTextures);
  m_manager->ReleaseTexture(fromOther);
}

TEST_F(TextureManagerTest, MissingDctzAndBmpFilesFallBackToTheMptOfTheSameName) {
  WriteContent("Textures/pic.MPT", MptFile(1, 1, Solid(1, 1, kRed)));
  WriteContent("Textures/real.bmp", BmpFile(1, 1, {kBlue.b, kBlue.g, kBlue.r, kBlue.a}));
  WriteContent("Textures/real.mpt", MptFile(1, 1, Solid(1, 1, kRed)));
  struct SCase {
    const char* name;
    SRgba colour;
  } const cases[] = {{"pic.DCTZ", kRed}, {"pic.bmp", kRed}, {"pic.mpt", kRed}, {"real.bmp", kBlue}};
  for (const SCase& c : cases) {
    TextureRecord* texture = m_manager->LoadTexture(c.name);
    EXPECT_EQ(Texels(texture)[0], c.colour) << c.name;
    // Each is kept under the name it was asked for.
    EXPECT_EQ(m_manager->FindTexture(c.name), texture) << c.name;
  }
  EXPECT_EQ(m_manager->GetTextureCount(), 4u);
  // Finding a ".bmp" name also finds the loaded ".mpt" of the same name.
  EXPECT_EQ(m_manager->FindTexture("PIC.BMP"), m_manager->FindTexture("pic.bmp"));
  EXPECT_EQ(m_manager->FindTexture("never.tga"), nullptr);
}

TEST_F(TextureManagerTest, AMissingOrDamagedTextureIsReportedWithItsPath) {
  WriteContent("Textures/empty.mpt", SBytes().Tag("MPT ").U16(0x100).U16(0).data);
  WriteContent("Textures/cut.dctz", SBytes().Tag("DCTZ").U16(0x100).data);
  struct SCase {
    const char* name;
    const char* verdict;
  } const cases[] = {{"nothing.mpt", "not found."}, {"a.mp", "not found."}, {"picture.tga", "not found."},
                     {"empty.mpt", "is damaged."}, {"cut.dctz", "is damaged."}, {"empty.dctz", "is damaged."}};
  for (const SCase& c : cases) {
    Reports().clear();
    EXPECT_EQ(m_manager->TryLoadTexture(c.name), nullptr) << c.name;
    EXPECT_TRUE(Reported(std::string("Texture \"Textures\\") + c.name + "\" " + c.verdict)) << c.name;
  }
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);
}

using TextureManagerDeathTest = TextureManagerTest;

TEST_F(TextureManagerDeathTest, LoadingAMissingTextureOrMipMapsOfAnOddSizeIsFatal) {
  EXPECT_EXIT(m_manager->LoadTexture("gone.dctz"), ::testing::ExitedWithCode(3),
              "Texture \"Textures\\\\gone.dctz\" not found.");
  const std::vector<uint8_t> pixels = Solid(3, 4, kRed);
  EXPECT_EXIT(m_manager->CreateTexture("ID$odd", 3, 4, pixels.data(), false, true), ::testing::ExitedWithCode(3),
              "Can't generate mipmap for non power of two textures");
}

TEST_F(TextureManagerTest, LoadingWithoutAManagerIsReportedAndGivesNothing) {
  SetTextureManager(nullptr);
  EXPECT_EQ(LoadTexture("a.bmp"), nullptr);
  SetTextureManager(m_manager.get());
  EXPECT_TRUE(Reported("Texture \"a.bmp\" cannot be loaded: there is no texture manager"));
}

TEST_F(TextureManagerTest, PicturesFromPixelsArePaddedToPowersOfTwoInTheTopLeftCorner) {
  const std::vector<uint8_t> rgba = Solid(100, 60, kRed);
  TextureRecord* texture = m_manager->CreateTexture("ID$pad", 100, 60, rgba.data(), false, false);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(GetTextureWidth(texture), 128u);
  EXPECT_EQ(GetTextureHeight(texture), 64u);
  float u = 0, v = 0;
  GetTextureExtent(texture, &u, &v);
  EXPECT_FLOAT_EQ(u, 100.0f / 128);
  EXPECT_FLOAT_EQ(v, 60.0f / 64);
  const std::vector<SRgba> texels = Texels(texture);
  EXPECT_EQ(texels[59 * 128 + 99], kRed);
  EXPECT_EQ(texels[59 * 128 + 100], (SRgba{0, 0, 0, 0}));
  EXPECT_EQ(texels[60 * 128], (SRgba{0, 0, 0, 0}));

  // The same key again only gains a reference; its pixels are not used.
  const std::vector<uint8_t> other = Solid(100, 60, kBlue);
  EXPECT_EQ(m_manager->CreateTexture("ID$PAD", 100, 60, other.data(), false, false), texture);
  EXPECT_EQ(texture->referenceCount, 2u);

  // Raw pixels are taken as B, G, R, A.
  const uint8_t bgra[4] = {kBlue.b, kBlue.g, kBlue.r, kBlue.a};
  EXPECT_EQ(Texels(m_manager->CreateTexture("ID$raw", 1, 1, bgra, true, false))[0], kBlue);

  ResetTextureExtent(texture);
  GetTextureExtent(texture, &u, &v);
  EXPECT_FLOAT_EQ(u, 1.0f);

  // Nothing is made of a size the device cannot take.
  EXPECT_EQ(m_manager->CreateTexture("ID$none", 0, 4, rgba.data(), false, false), nullptr);
  EXPECT_TRUE(Reported("cannot be made"));
}

// Every texel differs, so a row moved to the wrong place or a margin left unclean shows.
SRgba NumberedTexel(uint32_t x, uint32_t y) { return {uint8_t(x * 7 + 1), uint8_t(y * 13 + 2), uint8_t(x ^ y), 255}; }
std::vector<uint8_t> Numbered(uint32_t width, uint32_t height) {
  std::vector<uint8_t> rgba;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      const SRgba c = NumberedTexel(x, y);
      rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
    }
  return rgba;
}

// The texels of the picture in the top-left corner and clear ones around it, as the driver
// hands them back; the first wrong texel is named.
void ExpectPaddedPicture(const TextureRecord* texture, uint32_t width, uint32_t height, const std::string& what) {
  ASSERT_NE(texture, nullptr) << what;
  const uint32_t paddedWidth = GetTextureWidth(texture), paddedHeight = GetTextureHeight(texture);
  EXPECT_EQ(paddedWidth, NextPowerOfTwo(width)) << what;
  EXPECT_EQ(paddedHeight, NextPowerOfTwo(height)) << what;
  const std::vector<SRgba> texels = Texels(texture);
  ASSERT_EQ(texels.size(), size_t(paddedWidth) * paddedHeight) << what;
  for (uint32_t y = 0; y < paddedHeight; ++y)
    for (uint32_t x = 0; x < paddedWidth; ++x) {
      const SRgba expected = x < width && y < height ? NumberedTexel(x, y) : SRgba{0, 0, 0, 0};
      if (texels[size_t(y) * paddedWidth + x] == expected) continue;
      ADD_FAILURE() << what << ": texel (" << x << ", " << y << ") is " << texels[size_t(y) * paddedWidth + x]
                    << ", not " << expected;
      return;
    }
}

// Pictures from pixels and from MPT and BMP files, of sides that are powers of two or not,
// are padded where they were decoded, and come back the same from the driver after a lost
// device (the device keeps no copy of its own of them).
TEST_F(TextureManagerTest, PicturesComeBackTexelForTexelPaddedWithClearTexelsThroughALostDevice) {
  struct SCase {
    const char* source;
    uint32_t width, height;
  };
  const SCase cases[] = {{"pixels", 3, 5},   {"pixels", 100, 60}, {"pixels", 64, 48}, {"pixels", 1, 3},
                         {"pixels", 16, 16}, {"mpt", 48, 64},     {"mpt", 5, 1},      {"bmp", 37, 19}};
  const size_t keptBefore = m_device->GetKeptTexelBytes();
  std::vector<TextureRecord*> textures;
  for (const SCase& c : cases) {
    const std::string name = std::string(c.source) + std::to_string(c.width) + "x" + std::to_string(c.height);
    const std::vector<uint8_t> rgba = Numbered(c.width, c.height);
    if (std::string(c.source) == "pixels") {
      textures.push_back(m_manager->CreateTexture(("ID$" + name).c_str(), c.width, c.height, rgba.data(), false, false));
    } else if (std::string(c.source) == "mpt") {
      WriteContent("Textures/" + name + ".mpt", MptFile(c.width, c.height, rgba));
      textures.push_back(m_manager->LoadTexture((name + ".mpt").c_str()));
    } else {
      std::vector<uint8_t> bgra = rgba;
      for (size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
      WriteContent("Textures/" + name + ".bmp", BmpFile(int32_t(c.width), int32_t(c.height), bgra));
      textures.push_back(m_manager->LoadTexture((name + ".bmp").c_str()));
    }
  }
  for (const char* when : {"made", "after a lost device"}) {
    for (size_t i = 0; i < textures.size(); ++i)
      ExpectPaddedPicture(textures[i], cases[i].width, cases[i].height,
                          std::string(cases[i].source) + " " + std::to_string(cases[i].width) + "x" +
                              std::to_string(cases[i].height) + ", " + when);
    EXPECT_EQ(m_device->GetKeptTexelBytes(), keptBefore) << when;
    LoseAndRecover();
  }
}

TEST_F(TextureManagerTest, CopyingPixelsRewritesThePictureAndKeepsThePadding) {
  TextureRecord* texture = m_manager->CreateTexture("ID$copy", 3, 2, Solid(3, 2, kRed).data(), false, false);
  const std::vector<uint8_t> blue = Solid(3, 2, kBlue);
  CopyPixelsToTexture(texture, blue.data());
  std::vector<SRgba> texels = Texels(texture);
  EXPECT_EQ(texels[1 * 4 + 2], kBlue);
  EXPECT_EQ(texels[3], (SRgba{0, 0, 0, 0}));
  // Written texels survive a lost device.
  LoseAndRecover();
  EXPECT_EQ(Texels(texture)[1 * 4 + 2], kBlue);
}

TEST_F(TextureManagerTest, SubstitutesStandForTheirRecordUntilCleared) {
  TextureRecord* shown = m_manager->CreateTexture("ID$shown", 1, 1, Solid(1, 1, kRed).data(), false, false);
  TextureRecord* stand = m_manager->CreateTexture("ID$stand", 1, 1, Solid(1, 1, kBlue).data(), false, false);
  EXPECT_EQ(GetEffectiveTexture(shown), shown);
  shown->substitute = stand;
  EXPECT_EQ(GetEffectiveTexture(shown), stand);
  ClearTextureSubstitute(shown);
  EXPECT_EQ(GetEffectiveTexture(shown), shown);
  EXPECT_EQ(GetEffectiveTexture(nullptr), nullptr);
}

TEST_F(TextureManagerTest, RenderTargetsAreSharedByNameAndTakeCopiesOfTheBackBuffer) {
  TextureRecord* target = m_manager->AcquireRenderTarget("Glow", 32, 16);
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(m_manager->AcquireRenderTarget("GLOW", 8, 8), target);
  EXPECT_EQ(target->referenceCount, 2u);
  EXPECT_EQ(target->kind, ETextureKind::RenderTarget);
  EXPECT_EQ(target->imageWidth, 32u);
  EXPECT_EQ(GetTextureHeight(target), 16u);

  // Left half of the screen green, right half red; the left half becomes the whole target.
  const SGfxRect left = {0, 0, kSize / 2, kSize}, right = {kSize / 2, 0, kSize, kSize};
  ASSERT_EQ(m_device->Clear(1, &left, GFX_CLEAR_TARGET, 0xFF00FF00, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->Clear(1, &right, GFX_CLEAR_TARGET, 0xFFFF0000, 1.0f, 0), GFX_OK);
  const float leftHalf[4] = {0.0f, 0.0f, 0.5f, 1.0f};
  CopyBackBufferToWholeTexture(target, leftHalf);
  CGfxSurface* surface = nullptr;
  ASSERT_EQ(GetD3DTexture(target)->GetSurfaceLevel(0, &surface), GFX_OK);
  std::vector<uint8_t> rgba;
  ASSERT_EQ(m_device->ReadSurface(surface, rgba), GFX_OK);
  surface->Release();
  EXPECT_EQ(Pixel(rgba, 32, 0, 0), (SRgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(rgba, 32, 31, 15), (SRgba{0, 255, 0, 255}));

  // A target comes back (empty, same size) after a lost device.
  LoseAndRecover();
  EXPECT_NE(GetD3DTexture(target), nullptr);
  EXPECT_EQ(GetTextureWidth(target), 32u);
  m_manager->ReleaseTexture(target);
  m_manager->ReleaseTexture(target);
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);
}

}  // namespace
