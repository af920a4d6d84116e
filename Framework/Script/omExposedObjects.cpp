#include "Framework/Script/omExposedObjects.h"

#include "Framework/Script/omLuaExposure.h"
#include "Framework/omAS_Start.h"
#include "Framework/omAppConfig.h"
#include "Framework/omLogo.h"
#include "Framework/omReminder.h"

namespace Ombrel {

// The method tables, in the order the methods are registered.

void CAppConfig::RegisterScriptMethods(CLuaExposure<CAppConfig>& methods) {
  methods.Add("ConfigureFromSaves", &CAppConfig::ConfigureFromSaves);
  methods.Add("SetFPSLimitI", &CAppConfig::SetFPSLimitI);
  methods.Add("SetFullscreen", &CAppConfig::SetFullscreen);
  methods.Add("SetWidescreen", &CAppConfig::SetWidescreen);
  methods.Add("SetPlayerCount", &CAppConfig::SetPlayerCount);
  methods.Add("IsFullscreen", &CAppConfig::IsFullscreen);
  methods.Add("IsWidescreen", &CAppConfig::IsWidescreen);
  methods.Add("GetPlayerCount", &CAppConfig::GetPlayerCount);
  methods.Add("GetMaxPlayerCount", &CAppConfig::GetMaxPlayerCount);
  methods.Add("GetScreenWidth", &CAppConfig::GetScreenWidth);
  methods.Add("GetScreenHeight", &CAppConfig::GetScreenHeight);
  methods.Add("GetAspectRatio", &CAppConfig::GetAspectRatio);
}

void CLogo::RegisterScriptMethods(CLuaExposure<CLogo>& methods) {
  methods.Add("SetMinTime", &CLogo::SetMinTime);
  methods.Add("SetShowTime", &CLogo::SetShowTime);
  methods.Add("SetFadeTime", &CLogo::SetFadeTime);
  methods.Add("SetAllowCancel", &CLogo::SetAllowCancel);
  methods.Add("SetBackgroundColor", &CLogo::SetBackgroundColor);
  methods.Add("SetSize", &CLogo::SetSize);
  methods.Add("SetPos", &CLogo::SetPos);
  methods.Add("ShowStatic", &CLogo::ShowStatic);
  methods.Add("ShowAnimated", &CLogo::ShowAnimated);
  methods.Add("ShowFromDir", &CLogo::ShowFromDir);
}

void CReminder::RegisterScriptMethods(CLuaExposure<CReminder>& methods) {
  methods.Add("Show", &CReminder::Show);
}

void CAS_Start::RegisterScriptMethods(CLuaExposure<CAS_Start>& methods) {
  methods.Add("Reset", &CAS_Start::Reset);
  methods.Add("AddAppState", &CAS_Start::AddAppState);
  methods.Add("SetStartDelay", &CAS_Start::SetStartDelay);
}

void BindAppConfig(const CLuaObject& table, CAppConfig* config) { BindExposed(table, "AppConfig", config); }
void BindLogo(const CLuaObject& table, CLogo* logo) { BindExposed(table, "Logo", logo); }
void BindReminder(const CLuaObject& table, CReminder* reminder) { BindExposed(table, "Reminder", reminder); }
void BindAppStart(const CLuaObject& table, CAS_Start* start) { BindExposed(table, "AppStart", start); }

}  // namespace Ombrel
