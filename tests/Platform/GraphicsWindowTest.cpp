// The back buffer drawn straight into the window: when the device does it, that it draws the
// same pixels as a back buffer of its own, and that moving in and out of the window keeps
// what the back buffer and its depth buffer hold.

#include <thread>
#include <tuple>

#include "Platform/PlatformWindow.h"
#include "tests/Platform/GfxTestSupport.h"

using namespace gfxtest;

namespace {

class GraphicsWindow : public CGfxFixture {
 protected:
  // Starts over with a window of the given size and a 64 x 64 back buffer.
  void Reopen(int windowWidth, int windowHeight, SGfxPresentParams params = {}) {
    TearDown();
    Open(windowWidth, windowHeight, params);
  }

  CGfxSurface* BackBuffer() {
    CGfxSurface* surface = nullptr;
    EXPECT_EQ(m_device->GetBackBuffer(0, 0, &surface), GFX_OK);
    return Hold(surface);
  }

  CGfxSurface* RenderTarget(uint32_t size, CGfxTexture** made = nullptr) {
    CGfxTexture* texture = nullptr;
    EXPECT_EQ(m_device->CreateTexture(size, size, 1, GFX_USAGE_RENDERTARGET, GFX_FMT_A8R8G8B8, GFX_POOL_DEFAULT,
                                      &texture),
              GFX_OK);
    Hold(texture);
    if (made) *made = texture;
    CGfxSurface* surface = nullptr;
    EXPECT_EQ(texture->GetSurfaceLevel(0, &surface), GFX_OK);
    return Hold(surface);
  }

  // Every way of reaching the back buffer at once: clears (whole, in rectangles, inside a
  // viewport), depth-tested and culled draws, a textured quad at pixel edges in an offset
  // viewport, blending, a render target drawn, copied both ways and sampled. Returns the
  // back buffer's pixels followed by the render target's.
  std::vector<uint8_t> DrawScene() {
    std::vector<uint32_t> texels(8 * 8);
    for (uint32_t y = 0; y < 8; ++y)
      for (uint32_t x = 0; x < 8; ++x) texels[y * 8 + x] = 0xFF000000u | (x * 32) << 16 | (y * 32) << 8 | (x ^ y) * 16;
    CGfxTexture* picture = MakeTexture(8, 8, texels);
    CGfxSurface* backBuffer = BackBuffer();
    CGfxTexture* targetTexture = nullptr;
    CGfxSurface* target = RenderTarget(16, &targetTexture);
    CGfxSurface* depth = nullptr;
    EXPECT_EQ(m_device->GetDepthStencilSurface(&depth), GFX_OK);
    Hold(depth);

    const SGfxRect band = {10, 20, 30, 25};
    EXPECT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0x80112233, 1.0f, 0), GFX_OK);
    EXPECT_EQ(m_device->Clear(1, &band, GFX_CLEAR_TARGET, 0xFFFF0000, 1.0f, 0), GFX_OK);
    EXPECT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(false);
    m_device->SetRenderState(GFX_RS_ZFUNC, GFX_CMP_LESS);
    EXPECT_EQ(DrawQuad(0, 40, 20, 60, 0xFF00FF00, 0.3f), GFX_OK);
    EXPECT_EQ(DrawQuad(10, 45, 30, 55, 0xFF0000FF, 0.6f), GFX_OK);  // behind the green one where they meet
    m_device->SetRenderState(GFX_RS_ZENABLE, 0);
    const SVertex clockwise[3] = {{34, 30, 0.5f, 0xFFFFFF00, 0, 0}, {44, 30, 0.5f, 0xFFFFFF00, 0, 0},
                                  {34, 40, 0.5f, 0xFFFFFF00, 0, 0}};
    const SVertex counter[3] = {{46, 30, 0.5f, 0xFF00FFFF, 0, 0}, {46, 40, 0.5f, 0xFF00FFFF, 0, 0},
                                {56, 30, 0.5f, 0xFF00FFFF, 0, 0}};
    m_device->SetRenderState(GFX_RS_CULLMODE, GFX_CULL_CCW);
    EXPECT_EQ(m_device->DrawPrimitiveUP(GFX_PT_TRIANGLELIST, 1, clockwise, sizeof(SVertex)), GFX_OK);
    EXPECT_EQ(m_device->DrawPrimitiveUP(GFX_PT_TRIANGLELIST, 1, counter, sizeof(SVertex)), GFX_OK);
    m_device->SetRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    m_device->SetRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    m_device->SetRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    m_device->SetRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    EXPECT_EQ(DrawQuad(5, 15, 25, 35, 0x80FFFFFF), GFX_OK);
    m_device->SetRenderState(GFX_RS_ALPHABLENDENABLE, 0);

    // The picture fills an offset viewport: its border texels show any half-pixel error.
    EXPECT_EQ(m_device->SetViewport({40, 6, 8, 8, 0.0f, 1.0f}), GFX_OK);
    EXPECT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF808080, 1.0f, 0), GFX_OK);
    UsePrograms(true, 8, 8);
    m_device->SetTexture(0, picture);
    EXPECT_EQ(DrawQuad(0, 0, 8, 8, 0xFFFFFFFF), GFX_OK);
    EXPECT_EQ(m_device->SetViewport({0, 0, kSize, kSize, 0.0f, 1.0f}), GFX_OK);
    EXPECT_EQ(m_device->EndScene(), GFX_OK);

    // Into a render target without a depth buffer, then copies both ways.
    EXPECT_EQ(m_device->SetRenderTarget(0, target), GFX_OK);
    EXPECT_EQ(m_device->SetDepthStencilSurface(nullptr), GFX_OK);
    EXPECT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000040, 1.0f, 0), GFX_OK);
    EXPECT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(false, 16, 16);
    EXPECT_EQ(DrawQuad(0, 0, 16, 4, 0xFFFF8000), GFX_OK);
    EXPECT_EQ(DrawQuad(0, 0, 2, 2, 0xFF00FF80), GFX_OK);
    EXPECT_EQ(m_device->EndScene(), GFX_OK);
    const SGfxRect source = {0, 10, 32, 42}, quarter = {8, 8, 16, 16}, whole = {0, 0, 16, 16}, spot = {50, 44, 58, 60};
    EXPECT_EQ(m_device->StretchRect(backBuffer, &source, target, &quarter, GFX_TEXF_POINT), GFX_OK);
    EXPECT_EQ(m_device->StretchRect(target, &whole, backBuffer, &spot, GFX_TEXF_POINT), GFX_OK);

    // The render target sampled onto the back buffer, with the depth buffer back.
    EXPECT_EQ(m_device->SetRenderTarget(0, backBuffer), GFX_OK);
    EXPECT_EQ(m_device->SetDepthStencilSurface(depth), GFX_OK);
    EXPECT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(true);
    m_device->SetTexture(0, targetTexture);
    EXPECT_EQ(DrawQuad(34, 44, 50, 60, 0xFFFFFFFF), GFX_OK);
    m_device->SetTexture(0, nullptr);
    EXPECT_EQ(m_device->EndScene(), GFX_OK);

    std::vector<uint8_t> pixels = ReadBack(), targetPixels;
    EXPECT_EQ(m_device->ReadSurface(target, targetPixels), GFX_OK);
    pixels.insert(pixels.end(), targetPixels.begin(), targetPixels.end());
    return pixels;
  }
};

TEST_F(GraphicsWindow, BackBufferGoesIntoTheWindowOnlyWhereItFits) {
  struct SCase {
    const char* what;
    int windowWidth, windowHeight;
    bool autoDepth;
    EGfxFormat depthFormat;
    bool inWindow;
  };
  const SCase cases[] = {
      {"same size", kSize, kSize, true, GFX_FMT_D24S8, true},
      {"no depth buffer", kSize, kSize, false, GFX_FMT_D24S8, true},
      {"window wider", kSize + 16, kSize, true, GFX_FMT_D24S8, false},
      {"window lower", kSize, kSize - 8, true, GFX_FMT_D24S8, false},
      {"16-bit depth, which the window does not have", kSize, kSize, true, GFX_FMT_D16, false},
  };
  for (const SCase& c : cases) {
    SGfxPresentParams params;
    params.enableAutoDepthStencil = c.autoDepth;
    params.autoDepthStencilFormat = c.depthFormat;
    Reopen(c.windowWidth, c.windowHeight, params);
    EXPECT_EQ(m_device->DrawsIntoWindow(), c.inWindow) << c.what;
    EXPECT_EQ(m_device->Present(), GFX_OK) << c.what;
  }
}

TEST_F(GraphicsWindow, WindowAndOwnBackBufferDrawTheSamePixels) {
  ASSERT_TRUE(m_device->DrawsIntoWindow());
  const std::vector<uint8_t> inWindow = DrawScene();
  Reopen(kSize + 16, kSize + 8);
  ASSERT_FALSE(m_device->DrawsIntoWindow());
  const std::vector<uint8_t> apart = DrawScene();
  ASSERT_EQ(inWindow.size(), apart.size());
  const int backBufferPixels = kSize * kSize;
  for (int p = 0; p < static_cast<int>(inWindow.size() / 4); ++p) {
    const bool inTarget = p >= backBufferPixels;
    const int index = inTarget ? p - backBufferPixels : p, width = inTarget ? 16 : kSize;
    ASSERT_EQ(Pixel(inWindow, 1, p, 0), Pixel(apart, 1, p, 0))
        << (inTarget ? "render target" : "back buffer") << " pixel " << index % width << ", " << index / width;
  }
  // A few landmarks, so that both cannot be wrong the same way.
  EXPECT_EQ(Pixel(inWindow, kSize, 10, 20).r, 255);                                // the cleared band
  EXPECT_EQ(Pixel(inWindow, kSize, 25, 50), (SRgba{0, 0, 255, 255}));              // blue beside green
  EXPECT_EQ(Pixel(inWindow, kSize, 15, 50), (SRgba{0, 255, 0, 255}));              // green in front
  EXPECT_EQ(Pixel(inWindow, kSize, 35, 31), (SRgba{255, 255, 0, 255}));            // clockwise kept
  EXPECT_EQ(Pixel(inWindow, kSize, 47, 31).g, 0x22);                               // counter-clockwise culled
  EXPECT_EQ(Pixel(inWindow, kSize, 40, 6), (SRgba{0, 0, 0, 255}));                 // texel 0, 0
  EXPECT_EQ(Pixel(inWindow, kSize, 47, 13), (SRgba{224, 224, 0, 255}));            // texel 7, 7
  EXPECT_EQ(Pixel(inWindow, kSize, 39, 6).g, 0x22);                                // outside the viewport
  EXPECT_EQ(Pixel(inWindow, kSize, 50, 44), (SRgba{0, 255, 128, 255}));            // copied back, top left
}

TEST_F(GraphicsWindow, MovingOutOfTheWindowAndBackKeepsColourAndDepth) {
  ASSERT_TRUE(m_device->DrawsIntoWindow());
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  ASSERT_EQ(DrawQuad(0, 0, 8, 4, 0xFFFF0000, 0.25f), GFX_OK);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  // Behind the red quad (0.25) nothing shows: the depth came along if the top stays red.
  // Each later quad lies a little nearer than the one before.
  auto drawBehind = [&](uint32_t colour, float z) {
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(false);
    m_device->SetRenderState(GFX_RS_ZFUNC, GFX_CMP_LESS);
    ASSERT_EQ(DrawQuad(0, 0, 8, 8, colour, z), GFX_OK);
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
  };

  // A shared context cannot reach the window: the back buffer leaves it while one lives.
  SGfxSharedContext* shared = m_device->CreateSharedContext();
  ASSERT_NE(shared, nullptr);
  EXPECT_FALSE(m_device->DrawsIntoWindow());
  drawBehind(0xFF00FF00, 0.5f);
  auto pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 3, 3), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 3, 5), (SRgba{0, 255, 0, 255}));
  uint32_t drawResult = 1;
  std::thread worker([&] {
    if (!m_device->MakeSharedContextCurrent(shared)) return;
    drawBehind(0xFF0000FF, 0.4f);  // the worker sees the same depth
    drawResult = GFX_OK;
    m_device->ReleaseSharedContext();
  });
  worker.join();
  EXPECT_EQ(drawResult, GFX_OK);
  m_device->DestroySharedContext(shared);
  EXPECT_TRUE(m_device->DrawsIntoWindow());
  drawBehind(0xFFFFFFFF, 0.3f);
  pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 3, 3), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 3, 5), (SRgba{255, 255, 255, 255}));

  // A render target drawn with the back buffer's depth buffer and depth testing off leaves
  // the back buffer in the window; with depth testing on, the pair needs a framebuffer of
  // its own, and the back buffer leaves the window with what it holds.
  CGfxSurface* backBuffer = BackBuffer();
  CGfxSurface* target = RenderTarget(8);
  ASSERT_EQ(m_device->SetRenderTarget(0, target), GFX_OK);
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false, 8, 8);
  m_device->SetRenderState(GFX_RS_ZENABLE, 0);
  ASSERT_EQ(DrawQuad(0, 0, 8, 8, 0xFFFFFFFF), GFX_OK);
  EXPECT_TRUE(m_device->DrawsIntoWindow());
  m_device->SetRenderState(GFX_RS_ZENABLE, 1);
  ASSERT_EQ(DrawQuad(0, 0, 8, 8, 0xFF00FF00, 0.28f), GFX_OK);  // behind the red quad's depth in the top rows
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  EXPECT_FALSE(m_device->DrawsIntoWindow());
  std::vector<uint8_t> targetPixels;
  ASSERT_EQ(m_device->ReadSurface(target, targetPixels), GFX_OK);
  EXPECT_EQ(Pixel(targetPixels, 8, 3, 3), (SRgba{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(targetPixels, 8, 3, 5), (SRgba{0, 255, 0, 255}));
  ASSERT_EQ(m_device->SetRenderTarget(0, backBuffer), GFX_OK);
  pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 3, 3), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 3, 5), (SRgba{255, 255, 255, 255}));
  EXPECT_EQ(m_device->Present(), GFX_OK);
  EXPECT_FALSE(m_device->DrawsIntoWindow());  // for good: the engine pairs them again
}

// Left half red, right half blue over the whole back buffer, then presented.
void PresentHalves(CGfxDevice& device, uint32_t width, uint32_t height) {
  const SGfxRect left = {0, 0, int32_t(width / 2), int32_t(height)};
  const SGfxRect right = {int32_t(width / 2), 0, int32_t(width), int32_t(height)};
  ASSERT_EQ(device.Clear(1, &left, GFX_CLEAR_TARGET, 0xFFFF0000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(device.Clear(1, &right, GFX_CLEAR_TARGET, 0xFF0000FF, 1.0f, 0), GFX_OK);
  ASSERT_EQ(device.Present(), GFX_OK);
}

// The window's framebuffer keeps its size under the offscreen driver whatever size the window
// is given; the device follows the framebuffer, not the window's reported size: the back
// buffer stays in the window while the framebuffer can take it, and a back buffer of another
// size is copied scaled over the whole framebuffer, not cropped to a corner of it.
TEST_F(GraphicsWindow, PresentFollowsTheWindowsFramebuffer) {
  ASSERT_TRUE(m_device->DrawsIntoWindow());
  PlatformCenterWindow(m_window, kSize + 16, kSize + 32);
  PresentHalves(*m_device, kSize, kSize);
  std::vector<uint8_t> window;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(m_device->ReadWindow(window, &width, &height), GFX_OK);
  ASSERT_EQ(width, uint32_t(kSize));
  ASSERT_EQ(height, uint32_t(kSize));
  EXPECT_TRUE(m_device->DrawsIntoWindow());
  EXPECT_EQ(Pixel(window, kSize, kSize / 2 - 1, kSize - 1), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(window, kSize, kSize / 2, 0), (SRgba{0, 0, 255, 255}));

  // A reset to the window's reported size: the framebuffer cannot take it, so it is copied.
  SGfxPresentParams params = m_device->GetPresentParams();
  params.backBufferWidth = kSize + 16;
  params.backBufferHeight = kSize + 32;
  ASSERT_EQ(m_device->Reset(params), GFX_OK);
  EXPECT_FALSE(m_device->DrawsIntoWindow());
  PresentHalves(*m_device, kSize + 16, kSize + 32);
  ASSERT_EQ(m_device->ReadWindow(window, &width, &height), GFX_OK);
  ASSERT_EQ(width, uint32_t(kSize));
  for (const auto& [x, y, colour] : {std::tuple{0, 0, SRgba{255, 0, 0, 255}},
                                     {kSize / 2 - 2, kSize - 1, SRgba{255, 0, 0, 255}},
                                     {kSize / 2 + 1, 0, SRgba{0, 0, 255, 255}},
                                     {kSize - 1, kSize - 1, SRgba{0, 0, 255, 255}}})
    EXPECT_EQ(Pixel(window, kSize, x, y), colour) << x << ", " << y;

  // Back to the framebuffer's size: straight into the window again.
  params.backBufferWidth = params.backBufferHeight = kSize;
  ASSERT_EQ(m_device->Reset(params), GFX_OK);
  EXPECT_TRUE(m_device->DrawsIntoWindow());
}

}  // namespace
