// debug log and timer: CZqDebug, CZqTimer (not yet built).
#pragma once

#include "ZqDefs.h"
