// script data object (not yet built).
#pragma once

#include "ZqDefs.h"
