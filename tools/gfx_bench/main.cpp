// Graphics benchmark: 200 alpha-blended 128 x 128 textured quads per frame at 1280 x 720,
// drawn through the device (one draw per quad, then one batched draw) and with plain OpenGL
// in the same process. Prints frames per second for each.
//
//   gfx_bench [frames]        (set SDL_VIDEODRIVER=offscreen to run without a display)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Platform/GraphicsDevice.h"
#include "Platform/Testing/GraphicsBenchReference.h"
#include "Platform/Testing/GraphicsReferenceShaders.h"
#include "Platform/Testing/GraphicsTestWindow.h"

namespace {

constexpr int kWidth = 1280, kHeight = 720, kQuads = 200, kSize = 128;

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

std::vector<SGfxBenchQuad> MakeQuads() {
  std::vector<SGfxBenchQuad> quads;
  uint32_t state = 12345;
  auto next = [&state](int range) {
    state = state * 214013u + 2531011u;
    return static_cast<float>((state >> 16) % static_cast<uint32_t>(range));
  };
  for (int i = 0; i < kQuads; ++i) quads.push_back({next(kWidth - kSize), next(kHeight - kSize)});
  return quads;
}

bool Fail(const char* what) {
  std::fprintf(stderr, "gfx_bench: %s\n", what);
  return false;
}

// Draws the frames through the device; returns frames per second (negative on failure).
double RunDevice(CGfxDevice& device, const std::vector<SGfxBenchQuad>& quads, bool batched, int frames) {
  std::vector<uint32_t> vsCode, psCode;
  std::string error;
  if (!GfxAssembleShader(kGfxTexturedVertexShader, vsCode, error) || !GfxAssembleShader(kGfxTexturedPixelShader, psCode, error))
    return Fail(error.c_str()), -1.0;
  CGfxShader *vs = nullptr, *ps = nullptr;
  CGfxVertexDeclaration* decl = nullptr;
  CGfxTexture* texture = nullptr;
  device.CreateVertexShader(vsCode.data(), vsCode.size() * 4, &vs);
  device.CreatePixelShader(psCode.data(), psCode.size() * 4, &ps);
  device.CreateVertexDeclaration(kElements, &decl);
  device.CreateTexture(kSize, kSize, 1, 0, GFX_FMT_A8R8G8B8, GFX_POOL_MANAGED, &texture);
  if (!vs || !ps || !decl || !texture) return Fail("cannot create the device objects"), -1.0;
  SGfxLockedRect locked;
  texture->LockRect(0, &locked, nullptr, 0);
  for (int y = 0; y < kSize; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + y * locked.pitch);
    for (int x = 0; x < kSize; ++x) row[x] = 0x80000000u | (x * 2) << 16 | (y * 2) << 8 | 0x40;
  }
  texture->UnlockRect(0);

  std::vector<SVertex> vertices;
  std::vector<uint16_t> indices;
  for (const SGfxBenchQuad& q : quads) {
    const auto base = static_cast<uint16_t>(vertices.size());
    const float s = kSize, x = q.x - 0.5f, y = q.y - 0.5f;
    vertices.push_back({x, y, 0.5f, 0xFFFFFFFF, 0, 0});
    vertices.push_back({x + s, y, 0.5f, 0xFFFFFFFF, 1, 0});
    vertices.push_back({x + s, y + s, 0.5f, 0xFFFFFFFF, 1, 1});
    vertices.push_back({x, y + s, 0.5f, 0xFFFFFFFF, 0, 1});
    for (uint16_t i : {0, 1, 2, 2, 3, 0}) indices.push_back(static_cast<uint16_t>(base + i));
  }
  const float matrix[16] = {2.0f / kWidth, 0, 0, 0, 0, -2.0f / kHeight, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
  static const uint16_t quadIndices[6] = {0, 1, 2, 2, 3, 0};

  const auto start = std::chrono::steady_clock::now();
  for (int frame = 0; frame < frames; ++frame) {
    device.Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device.BeginScene();
    device.SetRenderState(GFX_RS_ZENABLE, 0);
    device.SetRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    device.SetRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    device.SetRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    device.SetRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    device.SetSamplerState(0, GFX_SAMP_MINFILTER, GFX_TEXF_LINEAR);
    device.SetSamplerState(0, GFX_SAMP_MAGFILTER, GFX_TEXF_LINEAR);
    device.SetVertexDeclaration(decl);
    device.SetVertexShader(vs);
    device.SetPixelShader(ps);
    device.SetVertexShaderConstantF(0, matrix, 4);
    device.SetTexture(0, texture);
    if (batched) {
      device.DrawIndexedPrimitiveUP(GFX_PT_TRIANGLELIST, 0, static_cast<uint32_t>(vertices.size()), kQuads * 2,
                                    indices.data(), GFX_FMT_INDEX16, vertices.data(), sizeof(SVertex));
    } else {
      for (size_t q = 0; q < quads.size(); ++q)
        device.DrawIndexedPrimitiveUP(GFX_PT_TRIANGLELIST, 0, 4, 2, quadIndices, GFX_FMT_INDEX16, &vertices[q * 4],
                                      sizeof(SVertex));
    }
    device.EndScene();
    if (device.Present() != GFX_OK) return Fail("present failed"), -1.0;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  device.SetTexture(0, nullptr);
  for (CGfxObject* object : std::initializer_list<CGfxObject*>{vs, ps, decl, texture}) object->Release();
  return frames / seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  PlatformWindowHandle window = PlatformCreateTestWindow(kWidth, kHeight);
  if (!window) return 1;
  SGfxPresentParams params;
  params.backBufferWidth = kWidth;
  params.backBufferHeight = kHeight;
  uint32_t result = 0;
  CGfxDevice* device = GetGfxDeviceFactory().Create(window, params, &result);
  if (!device) {
    std::fprintf(stderr, "gfx_bench: no device (0x%08x)\n", result);
    return 1;
  }
  const auto quads = MakeQuads();
  std::printf("%d alpha-blended %dx%d textured quads per frame at %dx%d, %d frames each\n", kQuads, kSize, kSize,
              kWidth, kHeight, frames);
  std::printf("the device draws the back buffer %s\n",
              device->DrawsIntoWindow() ? "straight into the window" : "apart and copies it at Present");
  for (bool batched : {false, true}) {
    // Warm up both paths once, then measure them alternately.
    RunDevice(*device, quads, batched, 5);
    PlatformRunPlainGlQuads(window, kWidth, kHeight, quads, kSize, batched, 5);
    const double deviceFps = RunDevice(*device, quads, batched, frames);
    const double plainFps = PlatformRunPlainGlQuads(window, kWidth, kHeight, quads, kSize, batched, frames);
    std::printf("%-18s device %7.1f fps   plain GL %7.1f fps   device/plain %5.1f %%\n",
                batched ? "one batched draw:" : "one draw per quad:", deviceFps, plainFps,
                plainFps > 0 ? 100.0 * deviceFps / plainFps : 0.0);
  }
  delete device;
  PlatformDestroyTestWindow(window);
  return 0;
}
