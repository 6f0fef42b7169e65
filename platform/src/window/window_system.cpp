// The window system's one state object and its reset for tests.
#include "window/state.h"

namespace zqwin {

State& state() {
  static State* s = new State;  // never destroyed: windows may be torn down from static dtors
  return *s;
}

Window* find(HWND hwnd) {
  auto& s = state();
  auto it = s.windows.find(reinterpret_cast<uintptr_t>(hwnd));
  return it == s.windows.end() ? nullptr : it->second.get();
}

bool isTopLevel(const Window* w) { return (w->style & WS_CHILD) == 0; }

}  // namespace zqwin

using namespace zqwin;

void zqResetWindowSystem() {
  auto& s = state();
  std::vector<HWND> tops = s.topLevel;
  for (HWND h : tops) DestroyWindow(h);
  while (!s.windows.empty()) DestroyWindow(reinterpret_cast<HWND>(s.windows.begin()->first));
  s.classes.clear();
  {
    std::lock_guard<std::mutex> g(s.postLock);
    s.posted.clear();
  }
  s.input.clear();
  s.quitPending = false;
  s.quitCode = 0;
  s.timers.clear();
  s.focus = s.active = s.capture = nullptr;
  s.appActive = false;
  s.boxes.clear();
  s.boxAnswers.clear();
  s.tracked.clear();
  resetCursor();
  resetAccelerators();
  resetMenus();
  resetInput();
  ipcReset();
}
