#pragma once
// The script manager: owner of the Lua state and of the loaded scripts. The script module
// creates the one instance and deletes it at the end of the run.

#include "Quor/CMemWatch.h"

namespace Ombrel {

class CScriptManager : public CMemWatch {};

}  // namespace Ombrel
