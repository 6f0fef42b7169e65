// The engine's view of the application object.
#include "app/EngineApp.h"

#include "ZqApp.h"
#include "ZqFunc.h"

namespace zq_engine {

bool AppExists() { return CZqFunc::GetZqApp() != nullptr; }

SDxDeviceInfo* AppDeviceInfo() {
  CZqApp* app = CZqFunc::GetZqApp();
  return app ? app->GetDxDeviceInfoPtr() : nullptr;
}

int AppRegister(CZqEngine* engine) {
  CZqApp* app = CZqFunc::GetZqApp();
  if (!app) return -1;
  // Ids stay unique when an engine in the middle went away.
  int id = 0;
  while (app->GetEngine(id)) ++id;
  app->RegisterEngine(id, engine);
  return id;
}

void AppUnregister(CZqEngine* engine) {
  if (CZqApp* app = CZqFunc::GetZqApp()) app->UnregisterEngine(engine);
}

HMENU AppWindowMenu() {
  CZqApp* app = CZqFunc::GetZqApp();
  return app ? app->GetWindowMenu() : nullptr;
}

void AppEngineConnected(CZqEngine* engine) {
  if (CZqApp* app = CZqFunc::GetZqApp()) app->OnEngineConnected(engine);
}

DWORD AppTime() {
  CZqApp* app = CZqFunc::GetZqApp();
  return app ? app->GetAppTime() : 0;
}

DWORD AppTimeEx() {
  CZqApp* app = CZqFunc::GetZqApp();
  return app ? app->GetAppTimeEx() : 0;
}

float AppLoopRate() {
  CZqApp* app = CZqFunc::GetZqApp();
  return app ? app->GetLoopPerSecond() : 0.0f;
}

}  // namespace zq_engine
