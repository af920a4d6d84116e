#pragma once
// The logo screens that the start-up script shows; they exist while the start state's Init runs.

#include "Quor/CMemWatch.h"

namespace Ombrel {

class CLogo : public CMemWatch {};

}  // namespace Ombrel
