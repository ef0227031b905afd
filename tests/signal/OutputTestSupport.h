// The output tests' helpers (RampGen, WaitUntil) live with the other chain parts.
#pragma once

#include "tests/signal/CoreTestParts.h"
