#pragma once
// The reminder screen that the start-up script shows; it exists while the start state's Init runs.

#include "Quor/CMemWatch.h"

namespace Ombrel {

class CReminder : public CMemWatch {};

}  // namespace Ombrel
