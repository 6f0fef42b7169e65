// Application activation, the active window, keyboard focus and mouse capture.
#include <algorithm>
#include <vector>

#include "window/state.h"

using namespace zqwin;

namespace {
struct Listener {
  void (*fn)(void*, BOOL);
  void* ctx;
};
std::vector<Listener>& listeners() {
  static std::vector<Listener> l;
  return l;
}
HWND g_lastActive = nullptr;
}  // namespace

namespace zqwin {

void setAppActive(bool active) {
  auto& s = state();
  if (s.appActive == active) return;
  if (!active && s.active) {
    HWND a = s.active;
    send(a, WM_NCACTIVATE, FALSE, 0);
    send(a, WM_ACTIVATE, WA_INACTIVE, 0);
    g_lastActive = a;
    s.active = nullptr;
  }
  s.appActive = active;
  std::vector<HWND> tops = s.topLevel;
  for (HWND t : tops) send(t, WM_ACTIVATEAPP, active ? TRUE : FALSE, LPARAM(GetCurrentThreadId()));
  if (!active && s.focus) {
    HWND f = s.focus;
    s.focus = nullptr;
    send(f, WM_KILLFOCUS, 0, 0);
  }
  std::vector<Listener> copy = listeners();
  for (const Listener& l : copy) l.fn(l.ctx, active ? TRUE : FALSE);
}

}  // namespace zqwin

HWND SetActiveWindow(HWND hwnd) {
  auto& s = state();
  Window* w = find(hwnd);
  if (!w) return nullptr;
  while (w && !isTopLevel(w) && w->parent) {
    hwnd = w->parent;
    w = find(hwnd);
  }
  if (!w) return nullptr;
  HWND old = s.active;
  if (old == hwnd && s.appActive) return old;
  if (old && old != hwnd) {
    send(old, WM_NCACTIVATE, FALSE, 0);
    send(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
  }
  s.active = hwnd;
  g_lastActive = hwnd;
  if (!s.appActive) setAppActive(true);
  if (s.active != hwnd || !find(hwnd)) return old;
  send(hwnd, WM_NCACTIVATE, TRUE, 0);
  send(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
  return old;
}

HWND GetActiveWindow() { return state().active; }
HWND GetForegroundWindow() { return state().appActive ? state().active : nullptr; }
BOOL SetForegroundWindow(HWND hwnd) {
  if (!find(hwnd)) return FALSE;
  SetActiveWindow(hwnd);
  return TRUE;
}

HWND SetFocus(HWND hwnd) {
  auto& s = state();
  HWND old = s.focus;
  if (hwnd && !find(hwnd)) return nullptr;
  if (old == hwnd) return old;
  s.focus = hwnd;
  if (old && find(old)) send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && s.focus == hwnd && find(hwnd)) send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() { return state().focus; }

HWND SetCapture(HWND hwnd) {
  auto& s = state();
  HWND old = s.capture;
  s.capture = find(hwnd) ? hwnd : nullptr;
  if (old && old != s.capture) send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  auto& s = state();
  HWND old = s.capture;
  s.capture = nullptr;
  if (old) send(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return state().capture; }

void zqAddActivationListener(void (*fn)(void*, BOOL), void* ctx) {
  if (fn) listeners().push_back(Listener{fn, ctx});
}

void zqRemoveActivationListener(void (*fn)(void*, BOOL), void* ctx) {
  auto& l = listeners();
  l.erase(std::remove_if(l.begin(), l.end(), [&](const Listener& x) { return x.fn == fn && x.ctx == ctx; }),
          l.end());
}

void zqInjectActivation(BOOL active) {
  auto& s = state();
  if (!active) {
    setAppActive(false);
    return;
  }
  HWND target = find(g_lastActive) ? g_lastActive : nullptr;
  if (!target)
    for (HWND t : s.topLevel)
      if (IsWindowVisible(t)) {
        target = t;
        break;
      }
  if (target)
    SetActiveWindow(target);
  else
    setAppActive(true);
}
