// The engine's view of the application object.
#include "EngineApp.h"

#include "ZqFunc.h"

namespace zq_engine {

bool AppExists() { return CZqFunc::GetZqApp() != nullptr; }
SDxDeviceInfo* AppDeviceInfo() { return nullptr; }
int AppRegister(CZqEngine*) { return -1; }
void AppUnregister(CZqEngine*) {}
HMENU AppWindowMenu() { return nullptr; }
void AppEngineConnected(CZqEngine*) {}
DWORD AppTime() { return 0; }
DWORD AppTimeEx() { return 0; }
float AppLoopRate() { return 0.0f; }

}  // namespace zq_engine
