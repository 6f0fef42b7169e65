// frame animations: CZqAnimation (not yet built).
#pragma once

#include "ZqDefs.h"
