// Internal state of the window system. Everything runs on the window thread; only the posted
// queue may be filled from other threads.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "zqplatform/window.h"

namespace zqwin {

struct NativeWindow;  // the back-end's own record of a window on the screen

struct WndClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int cbWndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::string menuName;
  WORD menuId = 0;
  WORD atom = 0;
};

struct Window {
  uintptr_t id = 0;
  std::shared_ptr<WndClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string title;  // as given (GBK unless another code page was named)
  UINT titleCodePage = 936;
  HWND parent = nullptr;  // parent (child windows) or owner (top-level)
  std::vector<HWND> children;
  HMENU menu = nullptr;  // top-level: the menu bar
  int ctrlId = 0;        // child: its control id
  HINSTANCE instance = nullptr;
  // Window rectangle: screen coordinates for top-level windows, parent client coordinates for
  // child windows.
  RECT rect{0, 0, 0, 0};
  RECT restoreRect{0, 0, 0, 0};
  bool visible = false;
  bool enabled = true;
  bool minimized = false;
  bool maximized = false;
  bool destroying = false;
  bool needsPaint = false;
  LONG_PTR userData = 0;
  std::vector<uint8_t> extra;
  HICON iconBig = nullptr, iconSmall = nullptr;
  NativeWindow* native = nullptr;  // made, owned and destroyed by the back-end
  bool findable = false;
};

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT period;
  DWORD due;
  TIMERPROC proc;
};

struct Menu;

struct State {
  std::map<std::string, std::shared_ptr<WndClass>> classes;  // key: lower-case name
  WORD nextAtom = 0xC000;
  std::map<uintptr_t, std::unique_ptr<Window>> windows;
  uintptr_t nextWindowId = 0x10010;
  std::vector<HWND> topLevel;  // creation order

  std::mutex postLock;
  std::deque<MSG> posted;
  std::deque<MSG> input;
  bool quitPending = false;
  int quitCode = 0;
  DWORD lastMessageTime = 0;

  std::vector<Timer> timers;
  UINT_PTR nextThreadTimerId = 0x7FF0;

  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  bool appActive = false;

  std::vector<ZqMessageBoxRecord> boxes;
  std::deque<int> boxAnswers;
  std::vector<ZqTrackedMenuRecord> tracked;
};

State& state();

Window* find(HWND hwnd);
inline HWND handleOf(const Window* w) { return reinterpret_cast<HWND>(w->id); }
bool isTopLevel(const Window* w);

// Frame insets of a style: how far the window rectangle extends beyond the client area.
RECT nonClientInsets(DWORD style, DWORD exStyle, bool menu);
RECT clientRectOf(const Window* w);  // (0, 0, w, h)
POINT clientOriginOnScreen(const Window* w);

LRESULT send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Window system core used by several files.
void invalidate(Window* w);
void setAppActive(bool active);
void setMinimized(HWND hwnd, bool minimized);
void destroyMenuTree(HMENU menu);
HMENU copyMenuTree(HMENU menu);
void screenSize(int& w, int& h);
// The size of a display mode a program set in full screen; false when none is set.
bool screenModeSize(int& w, int& h);
void queueInput(const MSG& m);
void updateKeyState(UINT msg, UINT vk);
void updateAsyncKeyState(UINT vk, bool down);
bool asyncKeyDown(UINT vk);
UINT scanCodeOf(UINT vk);
LPARAM keyLParam(UINT msg, UINT vk, int repeat, bool wasDown);
void resetInputKeys();
void setCursorScreenPos(POINT p);
UINT mouseKeyFlags();

bool queryMinMax(HWND hwnd, MINMAXINFO& mmi);
// The cursor confined to a screen rectangle (null: free), as a mouse grab of the active window
// when it is on a screen.
void grabMouse(const RECT* screenRect);

// Pump hooks (media, IPC).
void runPumpHooks();
bool havePumpHooks();

// Cross-process windows.
void ipcPoll();
bool ipcListening();
int ipcFd();
void ipcForget(Window* w);
void ipcReset();
void ipcRetitle(Window* w);
bool ipcIsRemote(HWND hwnd);
bool ipcRemoteAlive(HWND hwnd);
LRESULT ipcSend(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void resetCursor();
void resetAccelerators();
void resetMenus();
void resetInput();

}  // namespace zqwin

namespace zqwin {
WORD currentCursorId();
bool cursorShown();
}  // namespace zqwin
