// Creation with multisample fallback, loss and reset, and the worker thread's shared context.

#include <future>
#include <thread>

#include "Platform/GraphicsRef.h"
#include "tests/Platform/GfxTestSupport.h"

using namespace gfxtest;

namespace {

// Records what was asked and succeeds only for the listed sample counts.
class CStubFactory : public IGfxDeviceFactory {
 public:
  explicit CStubFactory(std::vector<uint32_t> accepted) : m_accepted(std::move(accepted)) {}
  CGfxDevice* Create(PlatformWindowHandle, const SGfxPresentParams& params, uint32_t* result) override {
    m_asked.push_back(params.multisample);
    for (uint32_t samples : m_accepted)
      if (samples == params.multisample) {
        *result = GFX_OK;
        return reinterpret_cast<CGfxDevice*>(&m_asked);  // a marker: never used as a device
      }
    *result = GFX_ERR_NOT_AVAILABLE;
    return nullptr;
  }
  std::vector<uint32_t> m_accepted, m_asked;
};

TEST(GraphicsCreation, MultisampleFallsBackFromTheRequestDownToTwoThenNone) {
  struct SCase {
    uint32_t request;
    std::vector<uint32_t> accepted, expectedTries;
    uint32_t expectedSamples;
  };
  const SCase cases[] = {
      {8, {4, 0}, {8, 7, 6, 5, 4}, 4},
      {4, {0}, {4, 3, 2, 0}, 0},
      {1, {0}, {0}, 0},  // one sample is never asked for
      {0, {0}, {0}, 0},
      {3, {}, {3, 2, 0}, 0},
  };
  for (const SCase& c : cases) {
    CStubFactory factory(c.accepted);
    SGfxPresentParams params;
    uint32_t result = 0;
    CGfxDevice* device = CreateGfxDeviceWithFallback(factory, nullptr, params, c.request, &result);
    EXPECT_EQ(factory.m_asked, c.expectedTries) << "request " << c.request;
    EXPECT_EQ(device != nullptr, !c.accepted.empty()) << "request " << c.request;
    if (device) {
      EXPECT_EQ(params.multisample, c.expectedSamples) << "request " << c.request;
    }
  }
}

TEST(GraphicsCreation, RealDeviceSettlesOnTheContextsSampleCountAndStillReadsBack) {
#if defined(__SANITIZE_ADDRESS__)
  // A multisampled software context leaves driver threads behind that crash the leak
  // checker's thread tracer at exit when the machine is busy; the plain build covers this.
  GTEST_SKIP() << "not run under AddressSanitizer";
#endif
  PlatformWindowHandle window = PlatformCreateTestWindow(32, 32);
  ASSERT_NE(window, nullptr);
  SGfxPresentParams params;
  uint32_t result = 0;
  CGfxDevice* device = CreateGfxDeviceWithFallback(GetGfxDeviceFactory(), window, params, 16, &result);
  ASSERT_NE(device, nullptr) << std::hex << result;
  SGfxCaps caps;
  ASSERT_EQ(device->GetDeviceCaps(&caps), GFX_OK);
  EXPECT_EQ(params.multisample, caps.maxMultisample >= 2 ? std::min(caps.maxMultisample, 16u) : 0u);
  EXPECT_EQ(device->GetPresentParams().multisample, params.multisample);
  EXPECT_EQ(caps.pixelShaderVersion, GfxPixelShaderVersion(2, 0));
  EXPECT_EQ(device->GetPresentParams().backBufferWidth, 32u);  // taken from the window when not given

  ASSERT_EQ(device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF336699, 1.0f, 0), GFX_OK);
  std::vector<uint8_t> rgba;
  ASSERT_EQ(device->ReadBackBuffer(rgba, nullptr, nullptr), GFX_OK);
  EXPECT_EQ(rgba[0], 0x33);
  EXPECT_EQ(rgba[2], 0x99);
  EXPECT_EQ(device->Present(), GFX_OK);
  delete device;
  PlatformDestroyTestWindow(window);
}

class GraphicsLoss : public CGfxFixture {
 protected:
  // A 2 x 1 texture of the texels (R, G, B) 10 20 30 and 40 50 60 drawn on the top-left pixels.
  void ExpectDrawnTexels(CGfxTexture* texture) {
    ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(true);
    ASSERT_EQ(m_device->SetTexture(0, texture), GFX_OK);
    ASSERT_EQ(DrawQuad(0, 0, 2, 1, 0xFFFFFFFF), GFX_OK);
    ASSERT_EQ(m_device->SetTexture(0, nullptr), GFX_OK);
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
    const auto pixels = ReadBack();
    EXPECT_EQ(Pixel(pixels, kSize, 0, 0), (SRgba{0x10, 0x20, 0x30, 0xFF}));
    EXPECT_EQ(Pixel(pixels, kSize, 1, 0), (SRgba{0x40, 0x50, 0x60, 0xFF}));
  }
};

TEST_F(GraphicsLoss, ResetRebuildsTheContextAndKeepsManagedObjects) {
  CGfxTexture* managed = MakeTexture(2, 1, {0xFF102030, 0xFF405060});
  CGfxTexture* target = nullptr;
  ASSERT_EQ(m_device->CreateTexture(8, 8, 1, GFX_USAGE_RENDERTARGET, GFX_FMT_A8R8G8B8, GFX_POOL_DEFAULT, &target),
            GFX_OK);

  m_device->ForceDeviceLoss(2);
  EXPECT_EQ(m_device->TestCooperativeLevel(), GFX_ERR_DEVICE_LOST);
  EXPECT_EQ(m_device->TestCooperativeLevel(), GFX_ERR_DEVICE_LOST);
  EXPECT_EQ(m_device->TestCooperativeLevel(), GFX_ERR_DEVICE_NOT_RESET);
  EXPECT_EQ(m_device->Present(), GFX_ERR_DEVICE_LOST);

  // A render target of the default pool still alive: refused, and the device stays lost.
  SGfxPresentParams params = m_device->GetPresentParams();
  EXPECT_EQ(m_device->Reset(params), GFX_ERR_INVALID_CALL);
  EXPECT_EQ(m_device->TestCooperativeLevel(), GFX_ERR_DEVICE_NOT_RESET);
  target->Release();

  const uint32_t generation = m_device->GetContextGeneration();
  params.backBufferWidth = 48;
  ASSERT_EQ(m_device->Reset(params), GFX_OK);
  EXPECT_EQ(m_device->TestCooperativeLevel(), GFX_OK);
  EXPECT_EQ(m_device->GetContextGeneration(), generation + 1);
  EXPECT_EQ(m_device->GetPresentParams().backBufferWidth, 48u);

  // The managed texture and the shaders came through: draw with them on the new context.
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(true, 48, kSize);
  ASSERT_EQ(m_device->SetTexture(0, managed), GFX_OK);
  ASSERT_EQ(DrawQuad(0, 0, 2, 1, 0xFFFFFFFF), GFX_OK);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(m_device->ReadBackBuffer(rgba, &width, &height), GFX_OK);
  ASSERT_EQ(width, 48u);
  EXPECT_EQ(Pixel(rgba, 48, 0, 0), (SRgba{0x10, 0x20, 0x30, 0xFF}));
  EXPECT_EQ(Pixel(rgba, 48, 1, 0), (SRgba{0x40, 0x50, 0x60, 0xFF}));
}

TEST_F(GraphicsLoss, SharedContextOnAnotherThreadDrawsWithTheMainContextsTexture) {
  CGfxTexture* texture = MakeTexture(1, 1, {0xFF20C040});
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
  SGfxSharedContext* shared = m_device->CreateSharedContext();
  ASSERT_NE(shared, nullptr);

  uint32_t drawResult = 1, presentResult = 1;
  bool current = false;
  std::thread worker([&] {
    current = m_device->MakeSharedContextCurrent(shared);
    if (!current) return;
    m_device->BeginScene();
    UsePrograms(true);
    m_device->SetTexture(0, texture);
    drawResult = DrawQuad(4, 4, 12, 12, 0xFFFFFFFF);
    m_device->EndScene();
    presentResult = m_device->Present();  // the window was not lent
    m_device->ReleaseSharedContext();
  });
  worker.join();
  ASSERT_TRUE(current);
  EXPECT_EQ(drawResult, GFX_OK);
  EXPECT_EQ(presentResult, GFX_ERR_INVALID_CALL);
  const auto pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 4, 4), (SRgba{0x20, 0xC0, 0x40, 0xFF}));
  EXPECT_EQ(Pixel(pixels, kSize, 3, 4), (SRgba{0, 0, 0, 0xFF}));

  // With the window lent, the worker presents; while a shared context lives there is no reset.
  ASSERT_TRUE(m_device->LendWindowSurface());
  std::thread presenter([&] {
    if (m_device->MakeSharedContextCurrent(shared)) {
      presentResult = m_device->Present();
      m_device->ReleaseSharedContext();
    }
  });
  presenter.join();
  EXPECT_EQ(presentResult, GFX_OK);
  EXPECT_TRUE(m_device->ReclaimWindowSurface());
  EXPECT_EQ(m_device->Reset(m_device->GetPresentParams()), GFX_ERR_INVALID_CALL);
  m_device->DestroySharedContext(shared);
  EXPECT_EQ(m_device->Present(), GFX_OK);
  EXPECT_EQ(m_device->Reset(m_device->GetPresentParams()), GFX_OK);
}

// A texture made from texels takes them (no copy stays with the caller) and hands them back
// for a loss; what it cannot take stays where it was.
TEST_F(GraphicsLoss, TextureMadeFromTexelsKeepsTheOnlyCopyAndHandsItBack) {
  const std::vector<uint8_t> original = {0x30, 0x20, 0x10, 0xFF, 0x60, 0x50, 0x40, 0xFF};  // B, G, R, A
  std::vector<uint8_t> texels = original;
  CGfxTexture* texture = nullptr;
  for (uint32_t width : {1u, 3u}) {  // the wrong size for these texels, both ways
    EXPECT_EQ(m_device->CreateTextureFrom(width, 1, GFX_FMT_A8R8G8B8, texels, &texture), GFX_ERR_INVALID_CALL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(texels, original);
  }
  ASSERT_EQ(m_device->CreateTextureFrom(2, 1, GFX_FMT_A8R8G8B8, texels, &texture), GFX_OK);
  Hold(texture);
  EXPECT_TRUE(texels.empty());
  ExpectDrawnTexels(texture);

  SGfxLockedRect locked;
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), GFX_OK);
  EXPECT_FALSE(texture->TakeTexels(texels));  // not while locked
  static_cast<uint8_t*>(locked.bits)[4] = 0x99;
  ASSERT_EQ(texture->UnlockRect(0), GFX_OK);
  ASSERT_TRUE(texture->TakeTexels(texels));
  EXPECT_EQ(texels, (std::vector<uint8_t>{0x30, 0x20, 0x10, 0xFF, 0x99, 0x50, 0x40, 0xFF}));
  EXPECT_NE(texture->LockRect(0, &locked, nullptr, 0), GFX_OK);  // nothing left to lock
  EXPECT_FALSE(texture->TakeTexels(texels));
  EXPECT_EQ(texels.size(), original.size());
}

// A picture made from texels keeps no system copy: the driver's is the only one. A lock
// reads it back (and a read-only one lets it go again), and a reset brings the picture back
// from what the old context held. A texture made empty keeps its copy for its user.
TEST_F(GraphicsLoss, APictureKeepsNoSystemCopyYetLocksAndResetsFindItsTexels) {
  const std::vector<uint8_t> original = {0x30, 0x20, 0x10, 0xFF, 0x60, 0x50, 0x40, 0xFF};  // B, G, R, A
  std::vector<uint8_t> texels = original;
  CGfxTexture* picture = nullptr;
  ASSERT_EQ(m_device->CreateTextureFrom(2, 1, GFX_FMT_A8R8G8B8, texels, &picture), GFX_OK);
  Hold(picture);
  EXPECT_EQ(m_device->GetKeptTexelBytes(), 0u);
  CGfxTexture* empty = nullptr;
  ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, GFX_FMT_A8R8G8B8, GFX_POOL_MANAGED, &empty), GFX_OK);
  Hold(empty);
  EXPECT_EQ(m_device->GetKeptTexelBytes(), 64u);

  SGfxLockedRect locked;
  ASSERT_EQ(picture->LockRect(0, &locked, nullptr, GFX_LOCK_READONLY), GFX_OK);
  EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(locked.bits), static_cast<uint8_t*>(locked.bits) + 8), original);
  ASSERT_EQ(picture->UnlockRect(0), GFX_OK);
  EXPECT_EQ(m_device->GetKeptTexelBytes(), 64u);

  ASSERT_EQ(m_device->Reset(m_device->GetPresentParams()), GFX_OK);
  EXPECT_EQ(m_device->GetKeptTexelBytes(), 64u);
  ExpectDrawnTexels(picture);

  // Written through a lock, the picture keeps its copy from then on.
  ASSERT_EQ(picture->LockRect(0, &locked, nullptr, 0), GFX_OK);
  ASSERT_EQ(picture->UnlockRect(0), GFX_OK);
  EXPECT_EQ(m_device->GetKeptTexelBytes(), 72u);
}

// The contexts share translated shaders and linked programs but not what is bound: each
// turn must bind its own program, or it draws with whatever its context last had.
TEST_F(GraphicsLoss, ContextsTakingTurnsEachDrawWithTheProgramAskedFor) {
  CGfxTexture* texture = MakeTexture(1, 1, {0xFF2040C0});
  auto draw = [&](bool textured, float x, uint32_t colour) {
    m_device->BeginScene();
    UsePrograms(textured);
    m_device->SetTexture(0, texture);
    const uint32_t result = DrawQuad(x, 0, x + 4, 4, colour);
    m_device->EndScene();
    return result;
  };
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(draw(true, 0, 0xFFFFFFFF), GFX_OK);
  SGfxSharedContext* shared = m_device->CreateSharedContext();
  ASSERT_NE(shared, nullptr);
  uint32_t results[2] = {1, 1};
  std::thread worker([&] {
    if (!m_device->MakeSharedContextCurrent(shared)) return;
    results[0] = draw(true, 4, 0xFFFFFFFF);   // the program the main context has bound
    results[1] = draw(false, 8, 0xFF00FF00);  // and another
    m_device->ReleaseSharedContext();
  });
  worker.join();
  EXPECT_EQ(results[0], GFX_OK);
  EXPECT_EQ(results[1], GFX_OK);
  ASSERT_EQ(draw(false, 12, 0xFFFF0000), GFX_OK);  // the worker's program, on the main context
  ASSERT_EQ(draw(true, 16, 0xFFFFFFFF), GFX_OK);
  m_device->DestroySharedContext(shared);
  const auto pixels = ReadBack();
  const SRgba texel = {0x20, 0x40, 0xC0, 0xFF};
  EXPECT_EQ(Pixel(pixels, kSize, 1, 1), texel);
  EXPECT_EQ(Pixel(pixels, kSize, 5, 1), texel);
  EXPECT_EQ(Pixel(pixels, kSize, 9, 1), (SRgba{0, 0xFF, 0, 0xFF}));
  EXPECT_EQ(Pixel(pixels, kSize, 13, 1), (SRgba{0xFF, 0, 0, 0xFF}));
  EXPECT_EQ(Pixel(pixels, kSize, 17, 1), texel);
}

// Two threads drawing into the same back buffer: what one context was given first reaches the
// picture first, though each context keeps a command queue of its own.
TEST_F(GraphicsLoss, WorkOfOneContextComesBeforeWhatAnotherContextDoesNext) {
  SGfxSharedContext* shared = m_device->CreateSharedContext();
  ASSERT_NE(shared, nullptr);
  auto drawColour = [&](float x, uint32_t colour) {
    m_device->BeginScene();
    UsePrograms(false);
    const uint32_t result = DrawQuad(x, 0, x + 4, 4, colour);
    m_device->EndScene();
    return result;
  };
  // The main context clears and draws, then the worker draws and lets go of its context.
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(drawColour(8, 0xFF0000FF), GFX_OK);
  uint32_t drawn = 1;
  std::thread([&] {
    if (!m_device->MakeSharedContextCurrent(shared)) return;
    drawn = drawColour(0, 0xFF00FF00);
    m_device->ReleaseSharedContext();
  }).join();
  EXPECT_EQ(drawn, GFX_OK);
  const auto first = ReadBack();
  EXPECT_EQ(Pixel(first, kSize, 1, 1), (SRgba{0, 0xFF, 0, 0xFF}));
  EXPECT_EQ(Pixel(first, kSize, 9, 1), (SRgba{0, 0, 0xFF, 0xFF}));

  // The worker draws and keeps its context while the main context reads the picture back.
  std::promise<uint32_t> workerDrew;
  std::promise<void> mainRead;
  std::thread worker([&] {
    if (!m_device->MakeSharedContextCurrent(shared)) {
      workerDrew.set_value(1);
      return;
    }
    workerDrew.set_value(drawColour(4, 0xFFFF0000));
    mainRead.get_future().wait();
    m_device->ReleaseSharedContext();
  });
  EXPECT_EQ(workerDrew.get_future().get(), GFX_OK);
  const auto pixels = ReadBack();
  mainRead.set_value();
  worker.join();
  EXPECT_EQ(Pixel(pixels, kSize, 1, 1), (SRgba{0, 0xFF, 0, 0xFF}));
  EXPECT_EQ(Pixel(pixels, kSize, 5, 1), (SRgba{0xFF, 0, 0, 0xFF}));
  m_device->DestroySharedContext(shared);
}

TEST_F(GraphicsLoss, ObjectsOutlivingTheDeviceReleaseSafely) {
  CGfxVertexBuffer* buffer = nullptr;
  ASSERT_EQ(m_device->CreateVertexBuffer(64, 0, 0, GFX_POOL_DEFAULT, &buffer), GFX_OK);
  CGfxTexture* texture = nullptr;
  ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, GFX_FMT_A8R8G8B8, GFX_POOL_MANAGED, &texture), GFX_OK);
  m_device->SetTexture(0, texture);
  m_held.clear();
  delete m_device;
  m_device = nullptr;
  EXPECT_EQ(buffer->GetDevice(), nullptr);
  void* data = nullptr;
  EXPECT_EQ(buffer->Lock(0, 0, &data, 0), GFX_OK);  // its contents are still there
  EXPECT_EQ(buffer->Unlock(), GFX_OK);
  EXPECT_EQ(buffer->Release(), 0u);
  EXPECT_EQ(texture->Release(), 0u);
}

// The references an object has now, counted without changing them.
uint32_t ReferencesOf(CGfxObject* object) {
  const uint32_t count = object->AddRef() - 1;
  object->Release();
  return count;
}

class GraphicsRef : public CGfxFixture {};

TEST_F(GraphicsRef, HoldersCountTheirReferencesAndGiveThemBack) {
  CGfxTexture* texture = nullptr;
  ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, GFX_FMT_A8R8G8B8, GFX_POOL_MANAGED, &texture), GFX_OK);
  texture->AddRef();  // the test's own, to watch the count after the holders are gone
  {
    CGfxRef<CGfxTexture> first(texture);
    CGfxRef<CGfxTexture> copy = first;
    EXPECT_EQ(ReferencesOf(texture), 3u);
    CGfxRef<CGfxTexture> moved = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(ReferencesOf(texture), 3u);
    copy = moved;  // the same object again: no reference gained or lost
    EXPECT_EQ(ReferencesOf(texture), 3u);
    copy.Reset();
    EXPECT_EQ(ReferencesOf(texture), 2u);
  }
  EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(GraphicsRef, ReceivingGivesBackTheHeldObjectFirst) {
  CGfxTexture* texture = nullptr;
  ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, GFX_FMT_A8R8G8B8, GFX_POOL_MANAGED, &texture), GFX_OK);
  texture->AddRef();
  CGfxRef<CGfxSurface> surface;
  ASSERT_EQ(texture->GetSurfaceLevel(0, surface.Receive()), GFX_OK);
  ASSERT_TRUE(surface);
  CGfxRef<CGfxTexture> holder(texture);
  ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, GFX_FMT_A8R8G8B8, GFX_POOL_MANAGED, holder.Receive()), GFX_OK);
  EXPECT_NE(holder.Get(), texture);
  surface.Reset();
  EXPECT_EQ(texture->Release(), 0u);
}

}  // namespace
