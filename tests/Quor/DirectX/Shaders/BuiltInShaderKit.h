#pragma once
// The built-in shaders over the test device: the engine's own effect files (made by the
// build into build/content/Shaders) copied into the test's content folder, a texture
// manager with pictures made in memory, materials written as text, and quads drawn through
// a material's batch and read back.

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Quor/CShaderManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/VertexBatch.h"
#include "Quor/MatrixTable.h"
#include "Quor/RenderPass.h"
#include "tests/Quor/DirectX/ShaderTestKit.h"

namespace builtinshadertest {

using gfxtest::SRgba;

inline const char* const kEffectFiles[] = {
    "Tex1.fxc",     "Tex1_NoShadow.fxc",    "Shadow.fxc",  "Tex1Skin.fxc",  "Tex1Skin_NoShadow.fxc", "ShadowSkin.fxc",
    "EnvSkin.fxc", "EnvSkin_NoShadow.fxc", "Tex1Proj.fx", "Grayscale.fxc", "Blur.fxc",              "Blend.fxc"};

// The shader section of a material over the picture `texture`: clamped, point-sampled, the
// texture coordinates as they are.
inline std::string Material(const char* kind, const char* texture, const std::string& extra = "") {
  return std::string("MAT\r\n1.0\r\n\"test\"\r\n") + kind + "\r\nTexture \"" + texture +
         "\"\r\nAddressU Clamp\r\nAddressV Clamp\r\nunused\r\nFilter 0\r\nU 1 0 0\r\nV 0 1 0\r\n" + extra;
}

inline uint32_t Argb(const SRgba& c) {
  return (uint32_t(c.a) << 24) | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
}

// A model vertex at (x, y) with texture coordinates, opaque white unless told.
inline SModelVertex Vertex(float x, float y, float u, float v, uint32_t colour = 0xFFFFFFFFu) {
  SModelVertex vertex{};
  vertex.position[0] = x;
  vertex.position[1] = y;
  vertex.position[3] = 1;
  vertex.u = u;
  vertex.v = v;
  vertex.colour = colour;
  return vertex;
}

class CBuiltInShaderTest : public shadertest::CShaderDeviceTest {
 protected:
  void SetUp() override {
    CShaderDeviceTest::SetUp();
    for (const char* file : kEffectFiles) {
      WriteContent(std::string("Effects/") + file,
                   vfstest::ReadBytes(std::string(HM_BINARY_DIR) + "/content/Shaders/" + file));
    }
    m_textures = std::make_unique<CTextureManager>("Textures");
    SetTextureManager(m_textures.get());
    m_manager = std::make_unique<CShaderManager>("Mats");
    InitLights();
    ResetTransforms();
    // Pixel coordinates: the view-projection puts (x, y) at the pixel edge of that column and row.
    Matrix4 pixels;
    gfxtest::PixelMatrix(kSize, kSize, pixels.m);
    SetProjection(pixels);
    m_device->SetRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
  }

  void TearDown() override {
    SetProjectedTexture(nullptr);
    m_manager.reset();
    m_textures.reset();
    SetTextureManager(nullptr);
    CShaderDeviceTest::TearDown();
  }

  // A picture of width x height texels, row by row, registered under a file name.
  TextureRecord* Picture(const char* name, uint32_t width, uint32_t height, const std::vector<SRgba>& texels) {
    return m_textures->CreateTexture(m_textures->MakeKey(name).c_str(), width, height,
                                     reinterpret_cast<const uint8_t*>(texels.data()), false, false);
  }
  TextureRecord* Solid(const char* name, SRgba colour) { return Picture(name, 4, 4, std::vector<SRgba>(16, colour)); }

  CShader* LoadMaterial(const char* name, const std::string& text) {
    WriteContent(std::string("Mats/") + name + ".mat", vfstest::Text(text));
    return m_manager->GetMaterial(name);
  }

  // Two triangles over pixels [x0, x1) x [y0, y1) with texture coordinates 0..1.
  SDrawItem* Quad(CShader* shader, float x0, float y0, float x1, float y1, uint32_t colour = 0xFFFFFFFFu,
                  const uint8_t bones[4] = nullptr, float normalZ = 0) {
    SDrawItem* batch = shader->CreateBatch(6, 2);
    const float l = x0 - 0.5f, t = y0 - 0.5f, r = x1 - 0.5f, b = y1 - 0.5f;
    const SModelVertex corners[6] = {Vertex(l, t, 0, 0, colour), Vertex(r, t, 1, 0, colour),
                                     Vertex(r, b, 1, 1, colour), Vertex(r, b, 1, 1, colour),
                                     Vertex(l, b, 0, 1, colour), Vertex(l, t, 0, 0, colour)};
    for (SModelVertex vertex : corners) {
      vertex.weights[0] = 1;
      vertex.normal[2] = normalZ;
      if (bones) std::memcpy(vertex.bones, bones, 4);
      EXPECT_TRUE(shader->AddVertex(batch, vertex));
    }
    shader->CloseBatch(batch);
    return batch;
  }

  // Clears the back buffer, draws the batch through the shader's collection and reads back.
  std::vector<uint8_t> Draw(CShader* shader, SDrawItem* batch, uint32_t clear = 0xFF000000u) {
    EXPECT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, clear, 1.0f, 0), GFX_OK);
    EXPECT_EQ(m_device->BeginScene(), GFX_OK);
    CollectionInit();
    AddToCollection(shader, batch);
    RenderSortedCollection();
    EXPECT_EQ(m_device->EndScene(), GFX_OK);
    return ReadBack();
  }

  void Free(CShader* shader, SDrawItem* batch) {
    m_device->SetStreamSource(0, nullptr, 0, 0);
    shader->FreeBatch(batch);
    m_manager->ReleaseMaterial(shader);
  }

  static bool Near(const SRgba& got, const SRgba& expected, int tolerance = 1) {
    return std::abs(got.r - expected.r) <= tolerance && std::abs(got.g - expected.g) <= tolerance &&
           std::abs(got.b - expected.b) <= tolerance;
  }

  std::unique_ptr<CTextureManager> m_textures;
  std::unique_ptr<CShaderManager> m_manager;
};

}  // namespace builtinshadertest
