// The production an executable plays. This file is compiled into each
// executable on its own, with ZEMBLA_PRODUCTION set to that production's id.
#include "system/zemblasystem.h"

#ifndef ZEMBLA_PRODUCTION
#define ZEMBLA_PRODUCTION PRODUCTION_TIDEWELL
#endif

int ZemblaSystem::production = ZEMBLA_PRODUCTION;
