// Input arriving in the queue: double clicks, mouse key flags, injected test input.
#include <cstdlib>

#include "window/state.h"

using namespace zqwin;

namespace {

constexpr DWORD kDoubleClickMs = 500;

struct LastDown {
  HWND hwnd = nullptr;
  UINT button = 0;  // the WM_*BUTTONDOWN message
  DWORD time = 0;
  int x = 0, y = 0;
  bool valid = false;
} g_last;

UINT downOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return WM_LBUTTONDOWN;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return WM_RBUTTONDOWN;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return WM_MBUTTONDOWN;
  }
  return 0;
}

}  // namespace

namespace zqwin {

void queueInput(const MSG& in) {
  auto& s = state();
  MSG m = in;
  if (UINT down = downOf(m.message)) {
    Window* w = find(m.hwnd);
    bool dbl = w && (w->cls->style & CS_DBLCLKS);
    int x = GET_X_LPARAM(m.lParam), y = GET_Y_LPARAM(m.lParam);
    if (!dbl) {
      m.message = down;
      g_last = LastDown{m.hwnd, down, m.time, x, y, true};
    } else if (m.message == down) {
      bool isDouble = g_last.valid && g_last.hwnd == m.hwnd && g_last.button == down &&
                      m.time - g_last.time <= kDoubleClickMs &&
                      std::abs(x - g_last.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                      std::abs(y - g_last.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
      if (isDouble) {
        m.message = down + 2;  // the matching WM_*BUTTONDBLCLK
        g_last.valid = false;  // a third press starts over
      } else {
        g_last = LastDown{m.hwnd, down, m.time, x, y, true};
      }
    } else {
      g_last.valid = false;
    }
  }
  s.input.push_back(m);
}

UINT mouseKeyFlags() {
  UINT k = 0;
  if (asyncKeyDown(VK_LBUTTON)) k |= MK_LBUTTON;
  if (asyncKeyDown(VK_RBUTTON)) k |= MK_RBUTTON;
  if (asyncKeyDown(VK_MBUTTON)) k |= MK_MBUTTON;
  if (asyncKeyDown(VK_SHIFT)) k |= MK_SHIFT;
  if (asyncKeyDown(VK_CONTROL)) k |= MK_CONTROL;
  return k;
}

void resetInput() {
  g_last = LastDown{};
  resetInputKeys();
}

}  // namespace zqwin

void zqInjectMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys) {
  Window* w = find(hwnd);
  if (!w) return;
  POINT sp{x, y};
  ClientToScreen(hwnd, &sp);
  setCursorScreenPos(sp);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      updateAsyncKeyState(VK_LBUTTON, true);
      break;
    case WM_LBUTTONUP:
      updateAsyncKeyState(VK_LBUTTON, false);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      updateAsyncKeyState(VK_RBUTTON, true);
      break;
    case WM_RBUTTONUP:
      updateAsyncKeyState(VK_RBUTTON, false);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      updateAsyncKeyState(VK_MBUTTON, true);
      break;
    case WM_MBUTTONUP:
      updateAsyncKeyState(VK_MBUTTON, false);
      break;
  }
  LPARAM lp = MAKELPARAM(x, y);
  if (msg == WM_MOUSEWHEEL) lp = MAKELPARAM(sp.x, sp.y);  // wheel positions are on the screen
  queueInput(MSG{hwnd, msg, keys, lp, timeGetTime(), sp});
}

void zqInjectMinimize(HWND hwnd, BOOL minimized) {
  if (!find(hwnd)) return;
  ShowWindow(hwnd, minimized ? SW_MINIMIZE : SW_RESTORE);
}

void zqInjectClose(HWND hwnd) {
  if (!find(hwnd)) return;
  PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}
