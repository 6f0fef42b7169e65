// A window whose messages go to an engine of the older build, started on the application's
// chosen device, with helpers to pick the full-screen mode and to count the engine's passes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZqLib.h"
#include "engine_window.h"
#include "zqplatform/display_hooks.h"

namespace oldertest {

constexpr WORD kModeSwitch = 603, kGdiWindow = 605;

class FsEngine : public CZqEngine {
 public:
  using CZqEngine::m_bFsWindowFlag;
  using CZqEngine::m_bStereo;
  using CZqEngine::m_idModeSwitch;
  using CZqEngine::m_idNoEffect;
  using CZqEngine::m_matLeft;
  using CZqEngine::m_matRight;
  using CZqEngine::m_matView;
  using CZqEngine::SetViewParams;

  // Each pass paints its whole surface: the left eye red, the back buffer green.
  long OnDraw(CZqSurface* surface) override {
    drawnOn.push_back(surface);
    if (surface) surface->Clear(surface == GetBackSurface() ? 0x0000FF00u : 0x00FF0000u);
    return 0;
  }
  std::vector<CZqSurface*> drawnOn;
};

class FullScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zqDisplaySetDesktopMode(0, 0, 0, 0);
    wnd = OpenEngineWindow("older", 728, 567, 100000, &FullScreenTest::WndProc);
    MoveWindow(wnd, 50, 40, 728, 567, TRUE);
    RestartApp();
  }
  // A new application on the window (its window menu and device choice taken afresh).
  void RestartApp() {
    delete app;
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    device = app->GetDxDeviceInfoPtr();
    ASSERT_NE(device, nullptr);
  }
  void TearDown() override {
    s_engine = nullptr;
    delete engine;
    delete app;
    CloseEngineWindow();
  }
  // Makes the record's mode w x h x bpp current; false when the device has no such mode.
  bool ChooseMode(DWORD w, DWORD h, DWORD bpp) {
    for (DWORD i = 0; i < device->dwNumModes; ++i) {
      const DDSURFACEDESC2& m = device->pddsdModes[i];
      if (m.dwWidth == w && m.dwHeight == h && m.ddpfPixelFormat.dwRGBBitCount == bpp)
        return Device_SelectMode(device, i) == 0;
    }
    return false;
  }
  void Start(FsEngine* e = nullptr) {
    engine = e ? e : new FsEngine;
    engine->m_idModeSwitch = kModeSwitch;
    engine->m_idNoEffect = kGdiWindow;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    s_engine = engine;
  }
  LRESULT Command(WORD id) { return SendMessageA(wnd, WM_COMMAND, id, 0); }
  static RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
  }
  static bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
  static ZqDisplayFullscreenState State() {
    ZqDisplayFullscreenState s{};
    zqDisplayGetFullscreenState(&s);
    return s;
  }

  static LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (s_engine) {
      const long r = s_engine->MsgProc(m, (UINT)w, (long)l);
      if ((m == WM_SETCURSOR || m == WM_SYSCOMMAND) && r) return r;
    }
    return DefWindowProcA(h, m, w, l);
  }

  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  SDxDeviceInfo* device = nullptr;
  FsEngine* engine = nullptr;
  static inline CZqEngine* s_engine = nullptr;
};

}  // namespace oldertest
