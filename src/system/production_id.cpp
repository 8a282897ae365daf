// The production an executable plays. This file is compiled into each
// executable on its own, with ZEMBLA_PRODUCTION set to that production's id.
#include "system/productions.h"
#include "system/zemblasystem.h"

// Programs built without a production of their own (tests, tools,
// benchmarks) start on the default one.
#ifndef ZEMBLA_PRODUCTION
#define ZEMBLA_PRODUCTION kDefaultProduction
#endif

int ZemblaSystem::production = ZEMBLA_PRODUCTION;
