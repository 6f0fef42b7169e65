// UI panels: CZqUIPanel (not yet built).
#pragma once

#include "ZqDefs.h"
