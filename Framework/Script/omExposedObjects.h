#pragma once
// The application objects scripts reach through the table "system": the configuration
// ("AppConfig"), the logo and reminder screens ("Logo", "Reminder") and the start state
// ("AppStart"). Each bind sets the field to the object's userdata.

#include "Framework/Script/omLuaState.h"

namespace Ombrel {

class CAppConfig;
class CAS_Start;
class CLogo;
class CReminder;

void BindAppConfig(const CLuaObject& table, CAppConfig* config);
void BindLogo(const CLuaObject& table, CLogo* logo);
void BindReminder(const CLuaObject& table, CReminder* reminder);
void BindAppStart(const CLuaObject& table, CAS_Start* start);

}  // namespace Ombrel
