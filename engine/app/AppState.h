// Process-wide state of the application frame.
#pragma once

#include "ZqDefs.h"

namespace zq::app {
extern int g_nPauseCount;   // nested pauses
extern int g_nPauseToggle;  // state of the pause command
// Loop counter and time of the last rate measurement, one pair per frame class.
extern int g_nLoops;
extern DWORD g_dwLastMeasure;
extern int g_nLoopsEx;
extern DWORD g_dwLastMeasureEx;
}  // namespace zq::app
