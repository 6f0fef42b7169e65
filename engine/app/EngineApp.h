// The engine's view of the application object (engine-internal).
#pragma once

#include "ZqDefs.h"
#include "ZqDevice.h"

class CZqEngine;

namespace zq_engine {

bool AppExists();
SDxDeviceInfo* AppDeviceInfo();
// Registers under the smallest id no engine holds; returns that id.
int AppRegister(CZqEngine* engine);
void AppUnregister(CZqEngine* engine);
HMENU AppWindowMenu();
void AppEngineConnected(CZqEngine* engine);
DWORD AppTime();    // the application time of this pass
DWORD AppTimeEx();  // the live application clock
float AppLoopRate();

}  // namespace zq_engine
