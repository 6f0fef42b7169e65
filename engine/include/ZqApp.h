// application frame, clock and task loop: CZqApp, CZqAppEx, CZqTask (not yet built).
#pragma once

#include "ZqDefs.h"
