// JPEG input glue (not yet built).
#pragma once

#include "ZqDefs.h"
