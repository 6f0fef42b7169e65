// Fixture of the application-frame tests: headless window system, manual clock, default
// display machine, and an application whose hooks are recorded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "engine_window.h"
#include "zqplatform/display_hooks.h"

// Exposes the protected settings the derived applications of the system set.
class TestApp : public CZqApp {
 public:
  using CZqApp::m_wExitCmd;
  using CZqApp::m_wModeMenuItem;
  using CZqApp::m_wNoSleepCmd;
  using CZqApp::m_wPauseCmd;
  using CZqApp::m_wPopupMenuId;

  void OnLpsChange(float rate) override { rates.push_back(rate); }
  void OnInitApp() override { ++initCalls; }
  void OnUpdateMenu(HMENU menu) override { updatedMenus.push_back(menu); }
  long MainLoop(DWORD apptime) override {
    loopTimes.push_back(apptime);
    return mainLoopResult;
  }

  std::vector<float> rates;
  std::vector<DWORD> loopTimes;
  std::vector<HMENU> updatedMenus;
  int initCalls = 0;
  long mainLoopResult = 0;
};

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("app", 200, 150, 100000, &AppTest::WndProc);
    s_dispatched = &dispatched;
  }
  void TearDown() override {
    s_dispatched = nullptr;
    CloseEngineWindow();
  }

  // Every dispatched message id, in order.
  static LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (s_dispatched) s_dispatched->push_back(m);
    return DefWindowProcA(h, m, w, l);
  }

  HWND wnd = nullptr;
  std::vector<UINT> dispatched;
  static inline std::vector<UINT>* s_dispatched = nullptr;
};

// A task that records its loop calls and messages and can act on a given pass.
class RecordingTask : public CZqTask {
 public:
  explicit RecordingTask(int active = 1) { m_bActive = active; }
  void OnLoop(DWORD apptime) override {
    loops.push_back(apptime);
    if (onLoop) onLoop((int)loops.size());
  }
  long MsgProc(UINT message, WPARAM, LPARAM) override {
    messages.push_back(message);
    return 0;
  }
  std::vector<DWORD> loops;
  std::vector<UINT> messages;
  std::function<void(int pass)> onLoop;
};
