#pragma once
// Shared set-up of the particle tests: the three global objects the framework would create,
// parameter sets read from XML text, and engine services that record what is drawn.

#include "Common/Particles/CEffectLibrary.h"
#include "Common/Particles/CEffectManager.h"
#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/CElementStateMap.h"
#include "Common/Particles/ParticleServices.h"
#include "Quor/ReportError.h"
#include "tests/support/engine/ReportScope.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace particle_test {

// Every draw call the renderer made, with its vertices copied.
struct SRecordedDraw {
  SParticleDrawCall call;
  std::vector<SParticleVertex> vertices;
};

inline std::vector<SRecordedDraw>& RecordedDraws() {
  static std::vector<SRecordedDraw> draws;
  return draws;
}

using hmtest::Reports;

// A stand-in texture: only its address matters to the particle code.
inline TextureRecord* FakeTexture() {
  static char storage;
  return reinterpret_cast<TextureRecord*>(&storage);
}

inline std::vector<std::string>& LoadedTextures() {
  static std::vector<std::string> paths;
  return paths;
}

// The three global objects as the framework's effect-resource loader creates them, and
// destroys them in its order: manager, map contents, library, map.
inline void CreateParticleGlobals() {
  g_elementStateMap = new CElementStateMap;
  g_effectManager = new CEffectManager;
  g_effectLibrary = new CEffectLibrary;
}

inline void DestroyParticleGlobals() {
  delete g_effectManager;
  g_effectManager = nullptr;
  g_elementStateMap->Clear();
  delete g_effectLibrary;
  g_effectLibrary = nullptr;
  delete g_elementStateMap;
  g_elementStateMap = nullptr;
}

// The parameter sets of a parsed description, taken over as the effect resource takes them.
inline std::vector<std::unique_ptr<CEffectParams>> TakeEffectSets(const TiXmlDocument& document,
                                                                  std::vector<std::string>* names = nullptr) {
  g_effectLibrary->Load(document);
  std::vector<std::unique_ptr<CEffectParams>> sets;
  if (names) names->clear();
  for (uint32_t i = 0; i < g_effectLibrary->GetCount(); ++i) {
    sets.emplace_back(g_effectLibrary->GetRecord(i)->params);
    if (names) names->push_back(g_effectLibrary->GetRecord(i)->name);
  }
  g_effectLibrary->Clear();
  return sets;
}

class ParticleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordedDraws().clear();
    LoadedTextures().clear();
    CreateParticleGlobals();
    SParticleServices& services = GetParticleServices();
    services = SParticleServices{};
    services.loadTexture = [](const char* path) {
      LoadedTextures().push_back(path);
      return FakeTexture();
    };
    services.drawTriangleList = [](const SParticleDrawCall& call) {
      RecordedDraws().push_back({call, std::vector<SParticleVertex>(call.vertices, call.vertices + call.vertexCount)});
    };
    SetParticleTextureFolder("Effects\\Textures\\");
    BeginParticleDraw();  // the neutral camera and world, whatever an earlier test applied
  }

  void TearDown() override {
    DestroyParticleGlobals();
    GetParticleServices() = SParticleServices{};
  }

  hmtest::CReportScope m_reports;

  // Reads XML text into parameter sets the test owns, as the effect resource takes them.
  std::vector<std::unique_ptr<CEffectParams>> LoadEffects(const char* xml) {
    TiXmlDocument document;
    document.Parse(xml);
    EXPECT_FALSE(document.Error()) << document.ErrorDesc();
    return TakeEffects(document);
  }

  std::vector<std::unique_ptr<CEffectParams>> TakeEffects(const TiXmlDocument& document) {
    return TakeEffectSets(document, &names);
  }

  std::vector<std::string> names;
};

}  // namespace particle_test
