// Graphics benchmark: the graphics device against plain OpenGL, drawing the same frames at
// 1280 x 720 the way the game does (a depth buffer with the back buffer, colour and depth
// cleared every frame, alpha-blended textured quads, one draw each):
//  - fill-bound: 200 quads of 128 x 128 pixels with one texture;
//  - draw-bound: 2,000 quads of 8 x 8 pixels, the texture changing from each quad to the next,
//    as sprites of different pictures do, so that neither side can join draws.
// The two sides run alternately in short segments, so that a machine whose load changes
// meanwhile weighs on both alike; each pair of segments gives a ratio of times, and the median
// of the ratios is reported.
//
//   gfx_bench [segments] [frames per segment]    (SDL_VIDEODRIVER=offscreen without a display)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Platform/GraphicsDevice.h"
#include "Platform/Testing/GraphicsBenchReference.h"
#include "Platform/Testing/GraphicsReferenceShaders.h"
#include "Platform/Testing/GraphicsTestWindow.h"

namespace {

constexpr int kWidth = 1280, kHeight = 720;

struct SVertex {
  float x, y, z;
  uint32_t colour;
  float u, v;
};

const SGfxVertexElement kElements[] = {
    {0, 0, GFX_DECLTYPE_FLOAT3, 0, GFX_DECLUSAGE_POSITION, 0},
    {0, 12, GFX_DECLTYPE_D3DCOLOR, 0, GFX_DECLUSAGE_COLOR, 0},
    {0, 16, GFX_DECLTYPE_FLOAT2, 0, GFX_DECLUSAGE_TEXCOORD, 0},
    GFX_DECL_END(),
};

struct SCase {
  const char* name;
  int quads, size, textures;
};
const SCase kCases[] = {
    {"fill-bound: 200 quads of 128x128, one texture", 200, 128, 1},
    {"draw-bound: 2000 quads of 8x8, texture changes every draw", 2000, 8, 2},
};

SGfxBenchScene MakeScene(const SCase& c) {
  SGfxBenchScene scene;
  scene.width = kWidth;
  scene.height = kHeight;
  scene.size = c.size;
  scene.textures = c.textures;
  uint32_t state = 12345;
  auto next = [&state](int range) {
    state = state * 214013u + 2531011u;
    return static_cast<float>((state >> 16) % static_cast<uint32_t>(range));
  };
  for (int i = 0; i < c.quads; ++i) scene.quads.push_back({next(kWidth - c.size), next(kHeight - c.size)});
  return scene;
}

// The device's side of a case: its objects made once, frames drawn on demand.
class CDeviceQuads {
 public:
  CDeviceQuads(CGfxDevice& device, const SGfxBenchScene& scene) : m_device(device), m_scene(scene) {}
  ~CDeviceQuads() {
    m_device.SetTexture(0, nullptr);
    for (CGfxObject* object : m_objects) object->Release();
  }

  bool Prepare() {
    std::vector<uint32_t> vsCode, psCode;
    std::string error;
    if (!GfxAssembleShader(kGfxTexturedVertexShader, vsCode, error) ||
        !GfxAssembleShader(kGfxTexturedPixelShader, psCode, error))
      return Fail(error.c_str());
    if (m_device.CreateVertexShader(vsCode.data(), vsCode.size() * 4, &m_vs) != GFX_OK ||
        m_device.CreatePixelShader(psCode.data(), psCode.size() * 4, &m_ps) != GFX_OK ||
        m_device.CreateVertexDeclaration(kElements, &m_decl) != GFX_OK)
      return Fail("cannot create the shaders");
    m_objects = {m_vs, m_ps, m_decl};
    for (int t = 0; t < m_scene.textures; ++t) {
      if (!MakeTexture(t)) return Fail("cannot create the textures");
    }
    for (const SGfxBenchQuad& q : m_scene.quads) {
      const float s = static_cast<float>(m_scene.size), x = q.x - 0.5f, y = q.y - 0.5f;
      m_vertices.push_back({x, y, 0.5f, 0xFFFFFFFF, 0, 0});
      m_vertices.push_back({x + s, y, 0.5f, 0xFFFFFFFF, 1, 0});
      m_vertices.push_back({x + s, y + s, 0.5f, 0xFFFFFFFF, 1, 1});
      m_vertices.push_back({x, y + s, 0.5f, 0xFFFFFFFF, 0, 1});
    }
    return true;
  }

  // Draws and presents the frames and waits until they are done; seconds taken, or -1.
  double Run(int frames) {
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < frames; ++frame) {
      if (!DrawFrame()) return Fail("a frame failed"), -1.0;
    }
    m_device.WaitForIdle();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

 private:
  static bool Fail(const char* what) {
    std::fprintf(stderr, "gfx_bench: %s\n", what);
    return false;
  }

  bool MakeTexture(int index) {
    CGfxTexture* texture = nullptr;
    const auto size = static_cast<uint32_t>(m_scene.size);
    if (m_device.CreateTexture(size, size, 1, 0, GFX_FMT_A8R8G8B8, GFX_POOL_MANAGED, &texture) != GFX_OK) return false;
    m_objects.push_back(texture);
    m_textures.push_back(texture);
    SGfxLockedRect locked;
    if (texture->LockRect(0, &locked, nullptr, 0) != GFX_OK) return false;
    for (int y = 0; y < m_scene.size; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + y * locked.pitch);
      for (int x = 0; x < m_scene.size; ++x) row[x] = GfxBenchTexel(index, x, y);
    }
    return texture->UnlockRect(0) == GFX_OK;
  }

  // As the game's frame: the back buffer and its depth cleared, the frame's states, then the
  // quads with the texture each one asks for.
  bool DrawFrame() {
    static const uint16_t quadIndices[6] = {0, 1, 2, 2, 3, 0};
    const float matrix[16] = {2.0f / kWidth, 0, 0, 0, 0, -2.0f / kHeight, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
    m_device.Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    m_device.BeginScene();
    m_device.SetRenderState(GFX_RS_ZENABLE, 0);
    m_device.SetRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    m_device.SetRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    m_device.SetRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    m_device.SetRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    m_device.SetSamplerState(0, GFX_SAMP_MINFILTER, GFX_TEXF_LINEAR);
    m_device.SetSamplerState(0, GFX_SAMP_MAGFILTER, GFX_TEXF_LINEAR);
    m_device.SetVertexDeclaration(m_decl);
    m_device.SetVertexShader(m_vs);
    m_device.SetPixelShader(m_ps);
    m_device.SetVertexShaderConstantF(0, matrix, 4);
    for (size_t q = 0; q < m_scene.quads.size(); ++q) {
      m_device.SetTexture(0, m_textures[q % m_textures.size()]);
      if (m_device.DrawIndexedPrimitiveUP(GFX_PT_TRIANGLELIST, 0, 4, 2, quadIndices, GFX_FMT_INDEX16,
                                          &m_vertices[q * 4], sizeof(SVertex)) != GFX_OK)
        return false;
    }
    m_device.EndScene();
    return m_device.Present() == GFX_OK;
  }

  CGfxDevice& m_device;
  const SGfxBenchScene& m_scene;
  CGfxShader *m_vs = nullptr, *m_ps = nullptr;
  CGfxVertexDeclaration* m_decl = nullptr;
  std::vector<CGfxTexture*> m_textures;
  std::vector<CGfxObject*> m_objects;
  std::vector<SVertex> m_vertices;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs the two sides of a case alternately; false when a side cannot run.
bool Compare(CGfxDevice& device, PlatformWindowHandle window, const SCase& c, int segments, int frames) {
  const SGfxBenchScene scene = MakeScene(c);
  CDeviceQuads deviceSide(device, scene);
  std::unique_ptr<CPlainGlQuads> plainSide(CPlainGlQuads::Create(window, scene));
  if (!deviceSide.Prepare() || !plainSide) return false;
  deviceSide.Run(frames);  // warm-up: shaders translated, textures uploaded
  plainSide->Run(frames);
  std::vector<double> ratios, deviceTimes, plainTimes;
  for (int segment = 0; segment < segments; ++segment) {
    // Each side goes first in every other pair.
    double deviceSeconds, plainSeconds;
    if (segment % 2 == 0) {
      deviceSeconds = deviceSide.Run(frames);
      plainSeconds = plainSide->Run(frames);
    } else {
      plainSeconds = plainSide->Run(frames);
      deviceSeconds = deviceSide.Run(frames);
    }
    if (deviceSeconds <= 0 || plainSeconds <= 0) return false;
    ratios.push_back(deviceSeconds / plainSeconds);
    deviceTimes.push_back(deviceSeconds / frames);
    plainTimes.push_back(plainSeconds / frames);
  }
  std::printf("%s\n  device %7.3f ms/frame   plain GL %7.3f ms/frame   device/plain time (median of %d pairs) %.3f\n",
              c.name, 1000 * Median(deviceTimes), 1000 * Median(plainTimes), segments, Median(ratios));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--help") {
    std::printf("usage: gfx_bench [segments] [frames per segment]\n");
    return 0;
  }
  const int segments = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  PlatformWindowHandle window = PlatformCreateTestWindow(kWidth, kHeight);
  if (!window) return 1;
  // The game's presentation: an A8R8G8B8 back buffer of the window's size with a D24S8 depth buffer.
  SGfxPresentParams params;
  params.backBufferWidth = kWidth;
  params.backBufferHeight = kHeight;
  params.enableAutoDepthStencil = true;
  params.autoDepthStencilFormat = GFX_FMT_D24S8;
  uint32_t result = 0;
  CGfxDevice* device = GetGfxDeviceFactory().Create(window, params, &result);
  if (!device) {
    std::fprintf(stderr, "gfx_bench: no device (0x%08x)\n", result);
    return 1;
  }
  std::printf("%dx%d, %d segments of %d frames per side; the device draws the back buffer %s\n", kWidth, kHeight,
              segments, frames, device->DrawsIntoWindow() ? "straight into the window" : "apart and copies it");
  int status = 0;
  for (const SCase& c : kCases) {
    if (!Compare(*device, window, c, segments, frames)) status = 1;
  }
  delete device;
  PlatformDestroyTestWindow(window);
  return status;
}
