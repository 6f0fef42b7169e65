// The thread message queue: posting, sending, retrieval in Windows' order, dispatch, timers.
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "window/backend.h"

using namespace zqwin;

namespace {

struct Hook {
  void (*fn)(void*);
  void* ctx;
};
std::vector<Hook>& hooks() {
  static std::vector<Hook> h;
  return h;
}

constexpr UINT kTimerMinimum = 10;  // USER_TIMER_MINIMUM

bool rangeMatches(UINT m, UINT lo, UINT hi) { return (lo == 0 && hi == 0) || (m >= lo && m <= hi); }

bool windowMatches(HWND target, HWND filter) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(intptr_t(-1))) return target == nullptr;
  return target == filter || IsChild(filter, target);
}

bool matches(const MSG& m, HWND hwnd, UINT lo, UINT hi) {
  return windowMatches(m.hwnd, hwnd) && rangeMatches(m.message, lo, hi);
}

POINT cursorNow() {
  POINT p{0, 0};
  GetCursorPos(&p);
  return p;
}

void pumpSources() {
  runPumpHooks();
  backend().pump();
  ipcPoll();
}

// A window that needs painting, parents before children.
HWND findPaint(HWND root, HWND filter) {
  Window* w = find(root);
  if (!w || !w->visible) return nullptr;
  if (w->needsPaint && windowMatches(root, filter)) return root;
  for (HWND c : w->children)
    if (HWND h = findPaint(c, filter)) return h;
  return nullptr;
}

// Mouse input reaching the window: the hit test and the cursor shape are asked first.
void beforeMouse(const MSG& m) {
  if (!find(m.hwnd)) return;
  POINT sp = m.pt;
  LRESULT hit = send(m.hwnd, WM_NCHITTEST, 0, MAKELPARAM(sp.x, sp.y));
  if (!find(m.hwnd)) return;
  send(m.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m.hwnd), MAKELPARAM(WORD(hit), m.message));
}

bool takeMessage(LPMSG out, HWND hwnd, UINT lo, UINT hi, UINT remove) {
  auto& s = state();
  bool take = (remove & PM_REMOVE) != 0;
  {
    std::lock_guard<std::mutex> g(s.postLock);
    for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
      if (!matches(*it, hwnd, lo, hi)) continue;
      *out = *it;
      if (take) s.posted.erase(it);
      s.lastMessageTime = out->time;
      return true;
    }
  }
  for (auto it = s.input.begin(); it != s.input.end(); ++it) {
    if (!matches(*it, hwnd, lo, hi)) continue;
    *out = *it;
    if (take) {
      s.input.erase(it);
      if (out->message >= WM_KEYFIRST && out->message <= WM_KEYLAST)
        updateKeyState(out->message, UINT(out->wParam));
      if (out->message >= WM_MOUSEFIRST && out->message <= WM_MOUSELAST && out->message != WM_MOUSEWHEEL)
        beforeMouse(*out);
    }
    s.lastMessageTime = out->time;
    return true;
  }
  DWORD now = timeGetTime();
  if (s.quitPending && rangeMatches(WM_QUIT, lo, hi)) {
    *out = MSG{nullptr, WM_QUIT, WPARAM(s.quitCode), 0, now, cursorNow()};
    if (take) s.quitPending = false;
    s.lastMessageTime = now;
    return true;
  }
  if (rangeMatches(WM_PAINT, lo, hi)) {
    for (HWND t : s.topLevel) {
      if (HWND p = findPaint(t, hwnd)) {
        *out = MSG{p, WM_PAINT, 0, 0, now, cursorNow()};
        s.lastMessageTime = now;
        return true;
      }
    }
  }
  if (rangeMatches(WM_TIMER, lo, hi)) {
    Timer* best = nullptr;
    for (Timer& t : s.timers) {
      if (!windowMatches(t.hwnd, hwnd)) continue;
      if (int32_t(now - t.due) < 0) continue;
      if (!best || int32_t(t.due - best->due) < 0) best = &t;
    }
    if (best) {
      *out = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), now, cursorNow()};
      // Ticks that fell due meanwhile are folded into this one.
      if (take) best->due = now + best->period;
      s.lastMessageTime = now;
      return true;
    }
  }
  return false;
}

// Waits for something to arrive. Returns false when nothing ever can (headless).
bool waitForInput(HWND hwnd) {
  auto& s = state();
  DWORD now = timeGetTime();
  bool haveTimer = false;
  DWORD wait = 0;
  for (const Timer& t : s.timers) {
    if (!windowMatches(t.hwnd, hwnd)) continue;
    DWORD d = int32_t(t.due - now) > 0 ? t.due - now : 0;
    if (!haveTimer || d < wait) wait = d;
    haveTimer = true;
  }
  return backend().wait(haveTimer, wait, havePumpHooks() || ipcListening());
}

}  // namespace

namespace zqwin {

void runPumpHooks() {
  std::vector<Hook> copy = hooks();
  for (const Hook& h : copy) h.fn(h.ctx);
}

bool havePumpHooks() { return !hooks().empty(); }

}  // namespace zqwin

void zqAddPumpHook(void (*fn)(void*), void* ctx) {
  if (fn) hooks().push_back(Hook{fn, ctx});
}

void zqRemovePumpHook(void (*fn)(void*), void* ctx) {
  auto& h = hooks();
  h.erase(std::remove_if(h.begin(), h.end(), [&](const Hook& x) { return x.fn == fn && x.ctx == ctx; }),
          h.end());
}

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove) {
  if (!msg) return FALSE;
  pumpSources();
  return takeMessage(msg, hwnd, filterMin, filterMax, remove) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg) return FALSE;
  for (;;) {
    pumpSources();
    if (takeMessage(msg, hwnd, filterMin, filterMax, PM_REMOVE))
      return msg->message == WM_QUIT ? FALSE : TRUE;
    if (!waitForInput(hwnd)) {
      std::fprintf(stderr, "zqplatform: GetMessage: nothing can arrive (headless); returning WM_QUIT\n");
      *msg = MSG{nullptr, WM_QUIT, 0, 0, timeGetTime(), POINT{0, 0}};
      return FALSE;
    }
  }
}

BOOL WaitMessage() {
  MSG m;
  for (;;) {
    pumpSources();
    if (takeMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
    if (!waitForInput(nullptr)) return FALSE;
  }
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& s = state();
  if (hwnd == reinterpret_cast<HWND>(uintptr_t(0xFFFF))) {  // HWND_BROADCAST
    for (HWND t : s.topLevel) PostMessageA(t, msg, wParam, lParam);
    return TRUE;
  }
  if (hwnd && !find(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  MSG m{hwnd, msg, wParam, lParam, timeGetTime(), cursorNow()};
  std::lock_guard<std::mutex> g(s.postLock);
  s.posted.push_back(m);
  return TRUE;
}

BOOL PostThreadMessageA(DWORD, UINT msg, WPARAM wParam, LPARAM lParam) {
  return PostMessageA(nullptr, msg, wParam, lParam);
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& s = state();
  if (hwnd == reinterpret_cast<HWND>(uintptr_t(0xFFFF))) {
    std::vector<HWND> tops = s.topLevel;
    for (HWND t : tops) send(t, msg, wParam, lParam);
    return 0;
  }
  if (ipcIsRemote(hwnd)) return ipcSend(hwnd, msg, wParam, lParam);
  if (!find(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return send(hwnd, msg, wParam, lParam);
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, UINT_PTR(msg->wParam), msg->time);
    return 0;
  }
  Window* w = find(msg->hwnd);
  if (!w) return 0;
  LRESULT r = send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  // A window that handled WM_PAINT is painted, whether or not it validated itself.
  if (msg->message == WM_PAINT)
    if (Window* after = find(msg->hwnd)) after->needsPaint = false;
  return r;
}

void PostQuitMessage(int exitCode) {
  auto& s = state();
  s.quitPending = true;
  s.quitCode = exitCode;
}

DWORD GetMessageTime() { return state().lastMessageTime; }

DWORD GetCurrentThreadId() { return DWORD(syscall(SYS_gettid)); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  auto& s = state();
  if (hwnd && !find(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  elapseMs = std::clamp<UINT>(elapseMs, kTimerMinimum, 0x7FFFFFFF);
  if (!hwnd) {
    bool exists = false;
    for (const Timer& t : s.timers)
      if (!t.hwnd && t.id == id) exists = true;
    if (!exists || id == 0) id = s.nextThreadTimerId++;
  }
  DWORD due = timeGetTime() + elapseMs;
  for (Timer& t : s.timers) {
    if (t.hwnd == hwnd && t.id == id) {
      t.period = elapseMs;
      t.due = due;
      t.proc = proc;
      return hwnd ? (id ? id : 1) : id;
    }
  }
  s.timers.push_back(Timer{hwnd, id, elapseMs, due, proc});
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto& s = state();
  auto it = std::find_if(s.timers.begin(), s.timers.end(),
                         [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == s.timers.end()) return FALSE;
  s.timers.erase(it);
  return TRUE;
}
