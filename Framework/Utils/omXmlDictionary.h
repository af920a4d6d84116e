#pragma once
// The phrase dictionary of the current language. The application owns the one instance and
// hands it to every registered state.

#include "Quor/CMemWatch.h"

namespace Ombrel {

class CXmlDictionary : public CMemWatch {};

}  // namespace Ombrel
