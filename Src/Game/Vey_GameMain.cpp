// The game's start-up: it chooses the player's language, creates the application with the
// game's phrases and states and the save information, and runs it until the program is to
// end. With HOLLOWMERE_SHOWCASE set it runs a frame loop of its own instead (services, then a
// frame begun, cleared and ended through the device) in which each frame also draws the engine
// showcase.

#include "Framework/omAppConfig.h"
#include "Framework/omApplication.h"
#include "Framework/Utils/omXmlDictionary.h"

#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/Engine.h"
#include "Quor/FrameLimiter.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"
#include "Src/Game/Vey_CollectorsGame.h"
#include "Src/Game/Vey_EngineShowcase.h"
#include "Src/Game/Vey_Game.h"
#include "Src/World/Vey_Language.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Game/Vey_StartupParams.h"
#include "Src/Menu/Vey_Intro.h"
#include "Src/Menu/Vey_LoadingScreen.h"
#include "Src/Menu/Vey_Menu.h"
#include "Src/Menu/Vey_Outro.h"
#include "Src/Menu/Vey_OutroCe.h"

#include "Platform/GraphicsDevice.h"
#include "Platform/PlatformSystem.h"
#include "Platform/PlatformTestDriver.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* kVeyGameMainSource = "Src/Game/Vey_GameMain.cpp";
// While no frame can begin (no device yet), the loop retries after this pause.
constexpr float kFramePause = 0.016f;
// The application configuration's default frame-rate mode: frames of at least 0.02 s.
constexpr int kFrameRateMode = 0;
// A calm dark slate, so a running window is told apart from a blank one at a glance.
constexpr uint32_t kBackgroundColour = 0xFF1E2A38;
constexpr const char* kGameDictionary = "App/Configs/GameDictionary.xml";

// The frame has begun with its depth cleared to 0 for the "greater or equal" test it sets up:
// only the colour is cleared again here, so that depth-tested drawing still passes.
void DrawFrame() {
  if (CGfxDevice* device = GetD3DDevice()) device->Clear(0, nullptr, GFX_CLEAR_TARGET, kBackgroundColour, 0.0f, 0);
}

}  // namespace

namespace {

// The game's states, each registered by its name; the ids of the states a state leaves for are
// handed over once all are known.
// The running application and its two playing states, for the test driver's idle probe.
struct SIdleProbe {
  const Ombrel::CApplication* application = nullptr;
  const Vey::CGame* states[2] = {};
  int32_t ids[2] = {-1, -1};
};
SIdleProbe g_idleProbe;

// A scripted player's wait ends only in a playing state that waits for the player: the menu,
// the comics and a state being switched to count as busy.
bool GameWaitsForPlayer() {
  if (!g_idleProbe.application) return false;
  const int32_t current = g_idleProbe.application->GetCurrentStateId();
  for (int i = 0; i < 2; ++i)
    if (g_idleProbe.states[i] && g_idleProbe.ids[i] == current) return g_idleProbe.states[i]->IsWaitingForPlayer();
  return false;
}

void RegisterStates(Ombrel::CApplication& application) {
  // The main story, the main menu, the intro and the outro load behind the front end's loading
  // screen, the bonus chapter and its outro behind its own; the providers live as long as the
  // program.
  static Vey::CLoading<Vey::CLoadingScreen> loading;
  static Vey::CLoading<Vey::CLoadingScreenCe> bonusLoading;
  auto* game = new Vey::CGame(&application, application.GetConfig(), &loading);
  const int32_t gameId = application.RegisterState(Vey::CGame::kStateName, game, &loading);
  auto* bonus = new Vey::CCollectorsGame(&application, application.GetConfig(), &bonusLoading);
  const int32_t bonusId = application.RegisterState(Vey::CCollectorsGame::kStateName, bonus, &bonusLoading);
  auto* menu = new Vey::CMenu(&application, application.GetConfig());
  const int32_t menuId = application.RegisterState(Vey::CMenu::kStateName, menu, &loading);
  const int32_t introId = application.RegisterState(Vey::CIntro::kStateName,
                                                    new Vey::CIntro(&application, application.GetConfig()), &loading);
  const int32_t outroId = application.RegisterState(Vey::COutro::kStateName,
                                                    new Vey::COutro(&application, application.GetConfig()), &loading);
  const int32_t bonusOutroId = application.RegisterState(
      Vey::COutroCe::kStateName, new Vey::COutroCe(&application, application.GetConfig()), &bonusLoading);
  g_idleProbe = {&application, {game, bonus}, {gameId, bonusId}};
  PlatformTestDriverSetIdleProbe(&GameWaitsForPlayer);
  menu->SetGameId(gameId);
  menu->SetCollectorsGameId(bonusId);
  menu->SetIntroId(introId);
  game->SetOutroId(outroId);
  game->SetMenuId(menuId);
  game->SetBonusGameId(bonusId);
  bonus->SetMenuId(menuId);
  bonus->SetBonusOutroId(bonusOutroId);
}

int RunShowcase() {
  EngineInit();
  Vey::CEngineShowcase showcase;
  const bool showcaseOpen = showcase.Open();
  if (showcaseOpen) showcase.Load();
  CFrameLimiter limiter(FrameTimeLimitForMode(kFrameRateMode));
  uint32_t frames = 0;
  while (EngineServicePass()) {
    if (!IsDrawingAllowed()) {
      SleepSeconds(0.1f);
      continue;
    }
    if (!BeginFrame()) {
      SleepSeconds(kFramePause);
      continue;
    }
    ++frames;
    DrawFrame();
    if (showcaseOpen) showcase.Draw();
    FinishFrame();
    limiter.WaitForDeadline();
  }
  std::printf("Hollowmere ran %u frames.\n", frames);
  return 0;
}

// The application over the content tree beside the program's folder, with the game's states.
int RunApplication(int argumentCount) {
  // The player's own choice, else the content tree's default.
  const int32_t language = Vey::ReadPlayerLanguage(GetUserDataFolder(), Vey::kLanguageFile);
  Vey::SStartupParams params;
  std::string programFolder;
  std::string error;
  if (Ombrel::RunningProgramFolder(&programFolder, &error)) {
    params.ResolveContentRoots(programFolder);
  } else {
    HM_REPORT(kVeyGameMainSource, "The game's content cannot be found: %s", error.c_str());
  }
  SetLanguage(language);
  auto* application = new Ombrel::CApplication(argumentCount, params.FileSystemConfig());
  application->SetClearColour(kBackgroundColour);
  // Set again: the application's start may have chosen the system's language.
  SetLanguage(language);
  Ombrel::CXmlDictionary* dictionary = application->GetDictionary();
  dictionary->Load(kGameDictionary);
  RegisterStates(*application);
  Vey::InstallSaveInfo(*application, dictionary->GetPhrase("SAVE_TITLE_0"), dictionary->GetPhrase("SAVE_TITLE_1"));
  application->Start();
  application->Run();
  const uint32_t frames = GetFrameCounter();
  PlatformTestDriverSetIdleProbe(nullptr);
  g_idleProbe = SIdleProbe();
  delete application;
  std::printf("Hollowmere ran %u frames.\n", frames);
  return 0;
}

}  // namespace

int GameMain(int argumentCount) {
  char showcase[512];
  if (PlatformGetEnv(Vey::CEngineShowcase::kVariable, showcase, sizeof showcase)) return RunShowcase();
  return RunApplication(argumentCount);
}
