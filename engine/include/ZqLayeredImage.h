// layered image reader (not yet built).
#pragma once

#include "ZqDefs.h"
