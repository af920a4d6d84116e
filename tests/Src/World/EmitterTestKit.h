#pragma once
// A particle manager for a test, with emitters made from text descriptions (tests/Particles'
// kit), and the engine's reports kept.

#include <gtest/gtest.h>

#include "Quor/ReportError.h"
#include "Src/World/Vey_MPManager.h"
#include "tests/Particles/PtcTestKit.h"
#include "tests/support/ReportCapture.h"

#include <initializer_list>
#include <string>

namespace gametest {

// A looping burst of four particles living half a second, added to the manager under that name.
inline MP::CEmitter* AddBurst(MP::CManager& manager, const char* name) {
  std::string description = ptctest::BurstDescription(4, 1.0f, 0.5f, "on");
  description.replace(description.find("Spark"), 5, name);
  const std::vector<uint8_t> bytes = ptctest::BuildPtc(description);
  const HM_FILE file = Magic_OpenFileInMemory(bytes.data(), bytes.size(), "Test.ptc");
  manager.AddEmitter(Magic_LoadEmitter(file, name));
  Magic_CloseFile(file);
  return manager.FindEmitter(name);
}

// Emitters of the manager made from one description, without atlas textures: nothing here
// draws.
class CEmitterFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    hmtest::Reports().clear();
    ReportHandler = hmtest::CaptureReport;
    m_manager = MP::CManager::CreateInstance();
  }
  void TearDown() override {
    MP::CManager::DeleteInstance();
    ReportHandler = nullptr;
  }

  // The named emitters of the description, wrapped by the manager.
  void Load(const std::string& description, std::initializer_list<const char*> names) {
    const std::vector<uint8_t> bytes = ptctest::BuildPtc(description);
    const HM_FILE file = Magic_OpenFileInMemory(bytes.data(), bytes.size(), "Test.ptc");
    ASSERT_NE(file, 0);
    for (const char* name : names) m_manager->AddEmitter(Magic_LoadEmitter(file, name));
    Magic_CloseFile(file);
  }

  MP::CEmitter* Spark(int burst = 4) {
    Load(ptctest::BurstDescription(burst), {"Spark"});
    return m_manager->FindEmitter("spark");
  }

  static uint32_t Live(const MP::CEmitter* emitter) {
    MAGIC_RENDERING list;
    return static_cast<uint32_t>(Magic_CreateFirstRenderedParticlesList(emitter->GetHandle(), &list));
  }

  MP::CManager* m_manager = nullptr;
};

}  // namespace gametest
