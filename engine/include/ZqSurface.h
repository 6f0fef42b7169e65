// surfaces: CDxSurface, CZqSurface (not yet built).
#pragma once

#include "ZqDefs.h"
