// pixel maps and picture files: SPixel24, SPixel32, CPixelMap32, CPixMapGroup, CPixGuide, CDibMap (not yet built).
#pragma once

#include "ZqDefs.h"
