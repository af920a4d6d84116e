#pragma once
// A small device (64 x 64) with the engine's draw layer, a content folder read through the
// file system, a texture manager over its "Textures" folder, and captured reports.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Quor/CTextureManager.h"
#include "Quor/CVFS.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DrawSubmission.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "tests/Platform/GfxTestSupport.h"
#include "tests/Quor/VfsTestKit.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/ReportCapture.h"
#include "tests/support/engine/ReportScope.h"

namespace rendertest {

using gfxtest::SRgba;

using hmtest::Reported;
using hmtest::Reports;

inline void ForwardRenderState(uint32_t state, uint32_t value) {
  if (CGfxDevice* device = GetD3DDevice()) device->SetRenderState(state, value);
}

using hmtest::SBytes;

// An MPT holding one raw picture (R, G, B, A texels).
inline std::vector<uint8_t> MptFile(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba) {
  return SBytes().Tag("MPT ").U16(0x100).U16(1).Tag("RGBA").U32(16).U32(width).U32(height).Append(rgba).data;
}

// A top-down 32-bit BMP (B, G, R, A texels as stored).
inline std::vector<uint8_t> BmpFile(int32_t width, int32_t height, const std::vector<uint8_t>& bgra) {
  SBytes file;
  file.U8('B').U8('M').U32(54 + uint32_t(bgra.size())).U32(0).U32(54);
  file.U32(40).U32(uint32_t(width)).U32(uint32_t(-height)).U16(1).U16(32).U32(0).U32(uint32_t(bgra.size()));
  file.U32(0).U32(0).U32(0).U32(0);
  return file.Append(bgra).data;
}

// width x height texels of one R, G, B, A colour.
inline std::vector<uint8_t> Solid(uint32_t width, uint32_t height, SRgba c) {
  std::vector<uint8_t> texels;
  for (uint32_t i = 0; i < width * height; ++i) texels.insert(texels.end(), {c.r, c.g, c.b, c.a});
  return texels;
}

class CRenderFixture : public gfxtest::CGfxFixture {
 protected:
  void SetUp() override {
    gfxtest::CGfxFixture::SetUp();
    SetD3DDevice(m_device);
    SetRenderStateSink(ForwardRenderState);
    InitDrawState();
    m_vfs = std::make_unique<CVFS>(m_folder.c_str());
    g_pVFS = m_vfs.get();
    m_manager = std::make_unique<CTextureManager>("Textures");
    SetTextureManager(m_manager.get());
  }

  void TearDown() override {
    SetTextureManager(nullptr);
    m_manager.reset();
    g_pVFS = nullptr;
    m_vfs.reset();
    ShutdownDrawState();
    m_device->SetTexture(0, nullptr);
    DestroyAllDeviceResources();
    SetRenderStateSink(nullptr);
    SetD3DDevice(nullptr);
    gfxtest::CGfxFixture::TearDown();
  }

  void WriteContent(const std::string& name, const std::vector<uint8_t>& bytes) {
    vfstest::WriteBytes(m_folder + "/" + name, bytes);
  }

  // The frame service's recovery around a reset.
  void LoseAndRecover() {
    m_device->SetTexture(0, nullptr);
    m_device->ForceDeviceLoss();
    ReleaseAllDeviceResources();
    ASSERT_EQ(m_device->Reset(m_device->GetPresentParams()), GFX_OK);
    RestoreAllDeviceResources();
    InvalidateDrawState();
  }

  void BeginFrame(uint32_t clearColour = 0xFF000000) {
    ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, clearColour, 1.0f, 0), GFX_OK);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    // As the frame service leaves them: no culling; here also no depth test.
    CullOff();
    DepthTestOff();
  }
  std::vector<uint8_t> EndFrame() {
    EXPECT_EQ(m_device->EndScene(), GFX_OK);
    return ReadBack();
  }

  // Virtual coordinates of a pixel edge: 8 units a pixel on the 64-pixel screen, pixel
  // centres on whole pixel coordinates.
  static float Edge(int pixel) { return 1792.0f + 8.0f * (float(pixel) - 0.5f); }

  // A quad over pixels [x0, x1) x [y0, y1), texture coordinates 0..1.
  static void PixelQuad(int x0, int y0, int x1, int y1, uint32_t colour, SDrawVertex out[4]) {
    out[0] = {Edge(x0), Edge(y0), 0.5f, colour, 0, 0};
    out[1] = {Edge(x0), Edge(y1), 0.5f, colour, 0, 1};
    out[2] = {Edge(x1), Edge(y1), 0.5f, colour, 1, 1};
    out[3] = {Edge(x1), Edge(y0), 0.5f, colour, 1, 0};
  }

  hmtest::CReportScope m_reports;
  std::string m_folder = vfstest::MakeTempFolder();
  vfstest::ArchiveFlag m_plain{false};
  std::unique_ptr<CVFS> m_vfs;
  std::unique_ptr<CTextureManager> m_manager;
};

}  // namespace rendertest
