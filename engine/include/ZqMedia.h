// media playback: CZqMedia (not yet built).
#pragma once

#include "ZqDefs.h"
