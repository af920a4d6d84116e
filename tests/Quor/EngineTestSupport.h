#pragma once
// The engine's test helpers live with the rest of the test kit.
#include "tests/support/engine/EngineTestSupport.h"
