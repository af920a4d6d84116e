// Tutorial descriptions as the main story reads them: the input is the description's text; its
// steps are loaded, the progress of a profile past their end is taken back, and each step is shown
// over an empty screen and ended. A damaged description must never stop the game.

#include "Framework/omLayout2D.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Investigation/Vey_TutorialNode.h"
#include "Src/Investigation/Vey_Tutorials.h"
#include "tests/fuzz/FuzzHarness.h"

#include <memory>
#include <string>

void FuzzSetUp() { fuzz::TreatFatalStopsAsFindings(); }

void FuzzOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static auto save = std::make_unique<Vey::SSaveData>();
  save->current = 0;
  Vey::SSaveData::ResetProfileGame(save->profiles[0]);
  Vey::CTutorialNode node(Vey::STutorialFrameTextures{}, nullptr);
  Vey::CTutorials tutorials(save.get());
  tutorials.Load("fuzz", text.c_str(), &node);
  save->profiles[0].tutorialStep = 1000;
  tutorials.LoadProgress();
  save->profiles[0].tutorialStep = 0;
  tutorials.LoadProgress();
  const Ombrel::CLayout2D screen;
  for (int step = 0; step <= tutorials.GetStepCount(); ++step) {
    tutorials.ShowStep(&screen);
    tutorials.Update(0.5f, false, false, Vector2{2048.0f, 2048.0f});
    tutorials.SetState(Vey::ITutorials::kFadingOut);
    tutorials.FinishStep();
  }
}
