// game base class: CZqGame (not yet built).
#pragma once

#include "ZqDefs.h"
