#include "engine_window.h"

#include "zqplatform/display_hooks.h"
#include "zqplatform/window.h"

HWND OpenEngineWindow(const char* title, int outerWidth, int outerHeight, DWORD clockStart, WNDPROC proc) {
  zqResetWindowSystem();
  zqDisplaySetDrivers(nullptr, -1);
  zqDisplaySetMaxTextureSize(0);
  zqSetManualClock(TRUE, clockStart);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = "EngineTestWindow";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "EngineTestWindow", title, WS_OVERLAPPEDWINDOW, 0, 0, outerWidth, outerHeight,
                         nullptr, nullptr, nullptr, nullptr);
}

void CloseEngineWindow() {
  zqDisplaySetMaxTextureSize(0);
  zqResetWindowSystem();
  zqSetManualClock(FALSE, 0);
}
