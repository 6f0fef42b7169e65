// A headless window system on the manual clock, with a window procedure that logs messages.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "zqplatform/window.h"

struct LoggedMessage {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

class WindowTest : public ::testing::Test {
 public:
  static LRESULT CALLBACK LoggingProcFor(HWND h, UINT m, WPARAM w, LPARAM l) {
    return LoggingProc(h, m, w, l);
  }

 protected:
  static std::vector<LoggedMessage>& log() {
    static std::vector<LoggedMessage> l;
    return l;
  }
  static LRESULT CALLBACK LoggingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    log().push_back({h, m, w, l});
    return DefWindowProcA(h, m, w, l);
  }
  void SetUp() override {
    zqResetWindowSystem();
    zqSetManualClock(TRUE, 100000);
    log().clear();
    registerClass("ZqTest", 0);
    registerClass("ZqTestDbl", CS_DBLCLKS);
  }
  void TearDown() override {
    zqResetWindowSystem();
    zqSetManualClock(FALSE, 0);
  }
  static void registerClass(const char* name, UINT style) {
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = LoggingProc;
    wc.lpszClassName = name;
    ASSERT_NE(RegisterClassA(&wc), 0);
  }
  HWND create(DWORD style = WS_OVERLAPPEDWINDOW, const char* cls = "ZqTest", HWND parent = nullptr,
              int w = 728, int h = 567) {
    HWND hwnd = CreateWindowExA(0, cls, "test", style, 10, 20, w, h, parent, nullptr, nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr);
    return hwnd;
  }
  // Messages of one kind the procedure saw.
  static std::vector<LoggedMessage> seen(UINT msg) {
    std::vector<LoggedMessage> r;
    for (const auto& m : log())
      if (m.msg == msg) r.push_back(m);
    return r;
  }
  // Retrieves and dispatches every message now available; returns their ids in order.
  static std::vector<UINT> drain(HWND filter = nullptr) {
    std::vector<UINT> ids;
    MSG m;
    while (PeekMessageA(&m, filter, 0, 0, PM_REMOVE)) {
      ids.push_back(m.message);
      if (m.message == WM_QUIT) continue;
      TranslateMessage(&m);
      DispatchMessageA(&m);
      if (ids.size() > 100) break;
    }
    return ids;
  }
};
