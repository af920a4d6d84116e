// Captured frames written as PNG files and read back, and damaged files refused by name.

#include "Platform/GraphicsCapture.h"

#include <fstream>

#include "tests/Platform/GfxTestSupport.h"

using namespace gfxtest;

namespace {

std::string TempPath(const char* name) { return std::string(HM_BINARY_DIR) + "/" + name; }

class GraphicsCapture : public CGfxFixture {};

TEST_F(GraphicsCapture, CapturedFrameSurvivesAPngRoundTrip) {
  const SGfxRect top = {0, 0, 64, 16};
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0x80102030, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->Clear(1, &top, GFX_CLEAR_TARGET, 0xFFFF8000, 1.0f, 0), GFX_OK);
  SGfxImage frame;
  ASSERT_TRUE(GfxCaptureBackBuffer(*m_device, frame));
  ASSERT_EQ(frame.width, 64u);
  EXPECT_EQ(Pixel(frame.rgba, 64, 0, 0), (SRgba{255, 128, 0, 255}));
  EXPECT_EQ(Pixel(frame.rgba, 64, 0, 16), (SRgba{0x10, 0x20, 0x30, 0x80}));

  const std::string path = TempPath("capture-roundtrip.png");
  std::string error;
  ASSERT_TRUE(GfxWritePng(path, frame, error)) << error;
  SGfxImage read;
  ASSERT_TRUE(GfxReadPng(path, read, error)) << error;
  EXPECT_EQ(read.width, frame.width);
  EXPECT_EQ(read.height, frame.height);
  EXPECT_EQ(read.rgba, frame.rgba);
}

TEST(GraphicsPng, DamagedOrMissingFilesAreRefusedWithTheirName) {
  SGfxImage image;
  image.width = image.height = 2;
  image.rgba.assign(16, 0x7F);
  std::string error;
  const std::string good = TempPath("capture-good.png");
  ASSERT_TRUE(GfxWritePng(good, image, error)) << error;
  std::ifstream in(good, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  struct SCase {
    const char* name;
    std::string contents;
  };
  const SCase cases[] = {
      {"capture-empty.png", ""},
      {"capture-text.png", "hello, this is not a picture"},
      {"capture-truncated.png", bytes.substr(0, bytes.size() / 2)},
      {"capture-header-only.png", bytes.substr(0, 8)},
  };
  for (const SCase& c : cases) {
    const std::string path = TempPath(c.name);
    std::ofstream(path, std::ios::binary) << c.contents;
    SGfxImage read;
    error.clear();
    EXPECT_FALSE(GfxReadPng(path, read, error)) << c.name;
    EXPECT_NE(error.find(c.name), std::string::npos) << error;
  }
  error.clear();
  EXPECT_FALSE(GfxReadPng(TempPath("capture-missing.png"), image, error));
  EXPECT_NE(error.find("capture-missing.png"), std::string::npos);
  SGfxImage wrong;
  wrong.width = 4;
  wrong.height = 4;
  wrong.rgba.resize(3);
  EXPECT_FALSE(GfxWritePng(TempPath("capture-wrong.png"), wrong, error));
}

}  // namespace
