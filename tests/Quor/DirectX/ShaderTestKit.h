#pragma once
// Shared by the effect, material and batch tests: a device on a small hidden window, a
// content folder read through the file system, effect files made with fxtool's writer, and
// the reports made while a test runs.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Quor/CVFS.h"
#include "Quor/DirectX/CCompiledFx.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "tests/Platform/GfxTestSupport.h"
#include "tests/Quor/VfsTestKit.h"
#include "tools/fxtool/FxDescription.h"

namespace shadertest {

// A flat-colour effect: positions times mxWVP (c0..c3), the vertex colour times the pixel
// constant "factor". "VS_Only" has the same vertex shader and no pixel shader.
inline const char* const kFlatEffect = R"(
technique VS_PS
pass
vs inline
vs_2_0
dcl_position v0
dcl_texcoord v1
dcl_color v2
mul r0, v0.x, c0
mad r0, v0.y, c1, r0
mad r0, v0.z, c2, r0
mad oPos, v0.w, c3, r0
mov oD0, v2
mov oT0, v1
end
ps inline
ps_2_0
dcl v0
mul r0, v0, c2
mov oC0, r0
end
param vs mxWVP 0 second 4
param vs unused 8 list 1
param ps factor 2 1 1 1 1
sampler SamplerDiffuse 0
sampler SamplerShadow 3
state 27 1
state 15 0
triple1 0 1 3
triple2 1 5 2
technique VS_Only
pass
vs inline
vs_2_0
dcl_position v0
mov oPos, v0
end
param vs mxWVP 0
)";

class CShaderDeviceTest : public gfxtest::CGfxFixture {
 protected:
  void SetUp() override {
    CGfxFixture::SetUp();
    SetD3DDevice(m_device);
    m_vfs = std::make_unique<CVFS>((m_folder + "/Content").c_str());
    g_pVFS = m_vfs.get();
    CreateEffectCache("Effects");
  }

  void TearDown() override {
    DestroyEffectCache();
    DestroyAllDeviceResources();
    g_pVFS = nullptr;
    SetD3DDevice(nullptr);
    CGfxFixture::TearDown();
  }

  std::string ContentPath(const std::string& name) const { return m_folder + "/Content/" + name; }

  void WriteContent(const std::string& name, const vfstest::Bytes& bytes) const {
    vfstest::WriteBytes(ContentPath(name), bytes);
  }

  static vfstest::Bytes MakeFx(const char* description, uint16_t version = kFxVersionWithStates) {
    SFxDescription parsed;
    std::string error;
    EXPECT_TRUE(ParseFxDescriptionText(description, "test.fx.txt", parsed, error)) << error;
    vfstest::Bytes bytes;
    EXPECT_TRUE(WriteCompiledFx(parsed, version, bytes, error)) << error;
    return bytes;
  }

  vfstest::ArchiveFlag m_plain{false};
  std::string m_folder = vfstest::MakeTempFolder();
  std::unique_ptr<CVFS> m_vfs;
  vfstest::ReportCapture m_reports;
};

}  // namespace shadertest
