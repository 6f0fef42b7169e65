// INI configuration: CConfig, sFont (not yet built).
#pragma once

#include "ZqDefs.h"
