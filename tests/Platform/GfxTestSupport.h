#pragma once
// A small device on a hidden 64 x 64 window, the engine's draw vertex, and the two draw
// programs (textured and colour) written as shader assembly.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Platform/GraphicsDevice.h"
#include "Platform/GraphicsRef.h"
#include "Platform/Testing/GraphicsReferenceShaders.h"
#include "Platform/Testing/GraphicsTestWindow.h"

namespace gfxtest {

// The engine's draw vertex: position, packed colour 0xAARRGGBB, texture coordinates.
struct SVertex {
  float x, y, z;
  uint32_t colour;
  float u, v;
};

inline const SGfxVertexElement kVertexElements[] = {
    {0, 0, GFX_DECLTYPE_FLOAT3, 0, GFX_DECLUSAGE_POSITION, 0},
    {0, 12, GFX_DECLTYPE_D3DCOLOR, 0, GFX_DECLUSAGE_COLOR, 0},
    {0, 16, GFX_DECLTYPE_FLOAT2, 0, GFX_DECLUSAGE_TEXCOORD, 0},
    GFX_DECL_END(),
};

inline const char* kTexturedVs = kGfxTexturedVertexShader;
inline const char* kTexturedPs = kGfxTexturedPixelShader;
inline const char* kColourPs = kGfxColourPixelShader;

inline std::vector<uint32_t> Assemble(const char* source) {
  std::vector<uint32_t> code;
  std::string error;
  EXPECT_TRUE(GfxAssembleShader(source, code, error)) << error;
  return code;
}

// Pixel coordinates (y down) to clip space, as the engine's screen matrix does.
inline void PixelMatrix(float width, float height, float out[16]) {
  const float m[16] = {2.0f / width, 0, 0, 0, 0, -2.0f / height, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
  std::memcpy(out, m, sizeof m);
}

struct SRgba {
  uint8_t r, g, b, a;
  bool operator==(const SRgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};
inline std::ostream& operator<<(std::ostream& out, const SRgba& c) {
  return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}

class CGfxFixture : public ::testing::Test {
 protected:
  static constexpr int kSize = 64;

  void SetUp() override { Open(kSize, kSize); }

  // A window of the given size with a kSize x kSize back buffer.
  void Open(int windowWidth, int windowHeight, SGfxPresentParams params = {}) {
    m_window = PlatformCreateTestWindow(windowWidth, windowHeight);
    ASSERT_NE(m_window, nullptr);
    params.backBufferWidth = kSize;
    params.backBufferHeight = kSize;
    uint32_t result = 0;
    m_device = GetGfxDeviceFactory().Create(m_window, params, &result);
    ASSERT_NE(m_device, nullptr) << std::hex << result;
    MakePrograms();
  }

  void TearDown() override {
    m_held.clear();
    delete m_device;
    PlatformDestroyTestWindow(m_window);
    m_device = nullptr;
    m_window = nullptr;
  }

  template <typename T>
  T* Hold(T* object) {
    m_held.emplace_back(object);
    return object;
  }

  void MakePrograms() {
    const auto vs = Assemble(kTexturedVs), ps = Assemble(kTexturedPs), colour = Assemble(kColourPs);
    ASSERT_EQ(m_device->CreateVertexShader(vs.data(), vs.size() * 4, &m_vs), GFX_OK);
    ASSERT_EQ(m_device->CreatePixelShader(ps.data(), ps.size() * 4, &m_texturedPs), GFX_OK);
    ASSERT_EQ(m_device->CreatePixelShader(colour.data(), colour.size() * 4, &m_colourPs), GFX_OK);
    ASSERT_EQ(m_device->CreateVertexDeclaration(kVertexElements, &m_decl), GFX_OK);
    Hold(m_vs), Hold(m_texturedPs), Hold(m_colourPs), Hold(m_decl);
  }

  // Binds the programs and a pixel matrix for a target of the given size.
  void UsePrograms(bool textured, float width = kSize, float height = kSize) {
    float matrix[16];
    PixelMatrix(width, height, matrix);
    ASSERT_EQ(m_device->SetVertexDeclaration(m_decl), GFX_OK);
    ASSERT_EQ(m_device->SetVertexShader(m_vs), GFX_OK);
    ASSERT_EQ(m_device->SetPixelShader(textured ? m_texturedPs : m_colourPs), GFX_OK);
    ASSERT_EQ(m_device->SetVertexShaderConstantF(0, matrix, 4), GFX_OK);
  }

  // A quad over pixels [x0, x1) x [y0, y1): corners on pixel edges (-0.5 in this convention).
  static void Quad(float x0, float y0, float x1, float y1, uint32_t colour, float z, SVertex out[4]) {
    out[0] = {x0 - 0.5f, y0 - 0.5f, z, colour, 0, 0};
    out[1] = {x1 - 0.5f, y0 - 0.5f, z, colour, 1, 0};
    out[2] = {x1 - 0.5f, y1 - 0.5f, z, colour, 1, 1};
    out[3] = {x0 - 0.5f, y1 - 0.5f, z, colour, 0, 1};
  }

  uint32_t DrawQuad(float x0, float y0, float x1, float y1, uint32_t colour, float z = 0.5f) {
    SVertex v[4];
    Quad(x0, y0, x1, y1, colour, z, v);
    static const uint16_t indices[6] = {0, 1, 2, 2, 3, 0};
    return m_device->DrawIndexedPrimitiveUP(GFX_PT_TRIANGLELIST, 0, 4, 2, indices, GFX_FMT_INDEX16, v,
                                            sizeof(SVertex));
  }

  CGfxTexture* MakeTexture(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb) {
    CGfxTexture* texture = nullptr;
    EXPECT_EQ(m_device->CreateTexture(width, height, 1, 0, GFX_FMT_A8R8G8B8, GFX_POOL_MANAGED, &texture), GFX_OK);
    SGfxLockedRect locked;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), GFX_OK);
    for (uint32_t y = 0; y < height; ++y)
      std::memcpy(static_cast<uint8_t*>(locked.bits) + y * locked.pitch, &argb[y * width], width * 4);
    EXPECT_EQ(texture->UnlockRect(0), GFX_OK);
    return Hold(texture);
  }

  std::vector<uint8_t> ReadBack() {
    std::vector<uint8_t> rgba;
    uint32_t w = 0, h = 0;
    EXPECT_EQ(m_device->ReadBackBuffer(rgba, &w, &h), GFX_OK);
    EXPECT_EQ(w, uint32_t(kSize));
    return rgba;
  }

  static SRgba Pixel(const std::vector<uint8_t>& rgba, int width, int x, int y) {
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
  }

  PlatformWindowHandle m_window = nullptr;
  CGfxDevice* m_device = nullptr;
  CGfxShader* m_vs = nullptr;
  CGfxShader* m_texturedPs = nullptr;
  CGfxShader* m_colourPs = nullptr;
  CGfxVertexDeclaration* m_decl = nullptr;
  std::vector<CGfxRef<CGfxObject>> m_held;  // given back before the device goes
};

}  // namespace gfxtest
