// CZqFunc helpers that reach the application object.
#include "ZqApp.h"
#include "ZqFunc.h"
#include "common/Globals.h"

HWND zq::AppWindow() { return zq::g_app ? zq::g_app->GetMainWnd() : nullptr; }

int CZqFunc::AppSetTimer(UINT id, UINT ms) {
  HWND wnd = zq::AppWindow();
  if (!zq::g_app) return 0;
  if (ms == 0) return KillTimer(wnd, id) ? 1 : 0;
  return SetTimer(wnd, id, ms, nullptr) ? 1 : 0;
}
