// screen geometry types: SScreenPoint, SScreenRect (not yet built).
#pragma once

#include "ZqDefs.h"
