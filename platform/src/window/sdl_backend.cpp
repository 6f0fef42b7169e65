// The SDL2 back-end: one SDL window per top-level window, showing its client area; SDL events
// become window messages.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "window/backend.h"

namespace zqwin {

// Everything made for one window on the screen; the texture belongs to the renderer, the
// renderer to the window, and all three go in DestroyWindow.
struct NativeWindow {
  SDL_Window* window = nullptr;
  uint32_t id = 0;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int textureW = 0, textureH = 0;
};

}  // namespace zqwin

using namespace zqwin;

namespace {

HWND g_pressTarget = nullptr;  // receives the mouse while a button is held
std::map<int, SDL_Cursor*> g_cursors;

Window* bySdlId(uint32_t id) {
  for (auto& [k, w] : state().windows)
    if (w->native && w->native->id == id) return w.get();
  return nullptr;
}

SDL_Window* sdlWindow(const Window* w) { return w && w->native ? w->native->window : nullptr; }

std::string titleUtf8(const Window* w) {
  if (w->titleCodePage == 950) return zqBig5ToUtf8(w->title);
  if (w->titleCodePage == 65001) return w->title;
  return zqGbkToUtf8(w->title);
}

UINT vkOf(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return VK_NUMPAD1 + (sc - SDL_SCANCODE_KP_1);
  switch (sc) {
    case SDL_SCANCODE_0:
      return '0';
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return VK_RETURN;
    case SDL_SCANCODE_ESCAPE:
      return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE:
      return VK_BACK;
    case SDL_SCANCODE_TAB:
      return VK_TAB;
    case SDL_SCANCODE_SPACE:
      return VK_SPACE;
    case SDL_SCANCODE_MINUS:
      return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS:
      return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET:
      return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET:
      return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH:
      return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON:
      return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE:
      return VK_OEM_7;
    case SDL_SCANCODE_GRAVE:
      return VK_OEM_3;
    case SDL_SCANCODE_COMMA:
      return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD:
      return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH:
      return VK_OEM_2;
    case SDL_SCANCODE_CAPSLOCK:
      return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN:
      return VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK:
      return VK_SCROLL;
    case SDL_SCANCODE_PAUSE:
      return VK_PAUSE;
    case SDL_SCANCODE_INSERT:
      return VK_INSERT;
    case SDL_SCANCODE_HOME:
      return VK_HOME;
    case SDL_SCANCODE_PAGEUP:
      return VK_PRIOR;
    case SDL_SCANCODE_DELETE:
      return VK_DELETE;
    case SDL_SCANCODE_END:
      return VK_END;
    case SDL_SCANCODE_PAGEDOWN:
      return VK_NEXT;
    case SDL_SCANCODE_RIGHT:
      return VK_RIGHT;
    case SDL_SCANCODE_LEFT:
      return VK_LEFT;
    case SDL_SCANCODE_DOWN:
      return VK_DOWN;
    case SDL_SCANCODE_UP:
      return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE:
      return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY:
      return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS:
      return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS:
      return VK_ADD;
    case SDL_SCANCODE_KP_0:
      return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD:
      return VK_DECIMAL;
    case SDL_SCANCODE_APPLICATION:
      return VK_APPS;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return VK_CONTROL;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return VK_SHIFT;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return VK_MENU;
    case SDL_SCANCODE_LGUI:
      return VK_LWIN;
    case SDL_SCANCODE_RGUI:
      return VK_RWIN;
    default:
      return 0;
  }
}

// The deepest visible child under a client point; the point becomes that child's.
HWND childAt(HWND hwnd, int& x, int& y) {
  Window* w = find(hwnd);
  if (!w) return hwnd;
  for (HWND c : w->children) {
    Window* cw = find(c);
    if (!cw || !cw->visible) continue;
    POINT o = clientOriginOnScreen(cw), po = clientOriginOnScreen(w);
    RECT wr;
    GetWindowRect(c, &wr);
    int sx = po.x + x, sy = po.y + y;
    if (sx >= wr.left && sx < wr.right && sy >= wr.top && sy < wr.bottom) {
      x = sx - o.x;
      y = sy - o.y;
      return childAt(c, x, y);
    }
  }
  return hwnd;
}

void mouseMessage(Window* top, UINT msg, int x, int y, WPARAM extra) {
  auto& s = state();
  HWND topH = handleOf(top);
  POINT sp{x, y};
  ClientToScreen(topH, &sp);
  setCursorScreenPos(sp);
  HWND target = s.capture ? s.capture : g_pressTarget;
  int cx = x, cy = y;
  if (target && find(target)) {
    POINT p = sp;
    ScreenToClient(target, &p);
    cx = p.x;
    cy = p.y;
  } else {
    target = childAt(topH, cx, cy);
  }
  WPARAM keys = mouseKeyFlags() | extra;
  LPARAM lp = msg == WM_MOUSEWHEEL ? MAKELPARAM(sp.x, sp.y) : MAKELPARAM(cx, cy);
  queueInput(MSG{target, msg, keys, lp, timeGetTime(), sp});
  bool anyDown = (mouseKeyFlags() & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
  if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN) {
    if (!g_pressTarget) g_pressTarget = target;
  } else if (!anyDown) {
    g_pressTarget = nullptr;
  }
}

void applySdlGeometry(Window* w) {
  HWND h = handleOf(w);
  int x, y, cw, ch;
  SDL_GetWindowPosition(sdlWindow(w), &x, &y);
  SDL_GetWindowSize(sdlWindow(w), &cw, &ch);
  if (w->minimized) return;
  RECT in = nonClientInsets(w->style, w->exStyle, w->menu != nullptr);
  RECT nr{x - in.left, y - in.top, x + cw + in.right, y + ch + in.bottom};
  if (std::memcmp(&nr, &w->rect, sizeof nr) == 0) return;
  RECT oldClient = clientRectOf(w);
  POINT oldOrigin = clientOriginOnScreen(w);
  w->rect = nr;
  RECT newClient = clientRectOf(w);
  POINT newOrigin = clientOriginOnScreen(w);
  WINDOWPOS wp{h,
               nullptr,
               int(nr.left),
               int(nr.top),
               int(nr.right - nr.left),
               int(nr.bottom - nr.top),
               SWP_NOZORDER | SWP_NOACTIVATE};
  if (newClient.right == oldClient.right && newClient.bottom == oldClient.bottom)
    wp.flags |= 0x0800;
  else
    invalidate(w);
  if (newOrigin.x == oldOrigin.x && newOrigin.y == oldOrigin.y) wp.flags |= 0x1000;
  send(h, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
}

void windowEvent(const SDL_WindowEvent& e) {
  Window* w = bySdlId(e.windowID);
  if (!w) return;
  HWND h = handleOf(w);
  switch (e.event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
      invalidate(w);
      break;
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      applySdlGeometry(w);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      setMinimized(h, true);
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      w->maximized = true;
      applySdlGeometry(w);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      if (w->minimized) setMinimized(h, false);
      if ((w = find(h)) && w->maximized) {
        w->maximized = false;
        applySdlGeometry(w);
      }
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      SetActiveWindow(h);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      if (!SDL_GetKeyboardFocus()) setAppActive(false);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

void keyEvent(const SDL_KeyboardEvent& e) {
  auto& s = state();
  UINT vk = vkOf(e.keysym.scancode);
  if (!vk) return;
  bool isDown = e.type == SDL_KEYDOWN;
  bool wasDown = asyncKeyDown(vk);
  updateAsyncKeyState(vk, isDown);
  bool alt = asyncKeyDown(VK_MENU);
  UINT msg = isDown ? WM_KEYDOWN : WM_KEYUP;
  if ((alt && vk != VK_MENU) || vk == VK_F10 || (vk == VK_MENU && isDown) || (vk == VK_MENU && !isDown))
    msg = isDown ? WM_SYSKEYDOWN : WM_SYSKEYUP;
  Window* top = bySdlId(e.windowID);
  HWND target = s.focus;
  if (!target && top) target = handleOf(top);
  if (!target) return;
  POINT pt{0, 0};
  GetCursorPos(&pt);
  queueInput(MSG{target, msg, WPARAM(vk), keyLParam(msg, vk, 1, wasDown && isDown), timeGetTime(), pt});
}

}  // namespace

namespace {

class SdlBackend final : public Backend {
 public:
  bool onScreen() const override { return true; }

  void create(Window* w) override {
    if (!isTopLevel(w)) return;
    RECT cr = clientRectOf(w);
    POINT o = clientOriginOnScreen(w);
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (w->style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    if ((w->style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* sw = SDL_CreateWindow(titleUtf8(w).c_str(), o.x, o.y, std::max<int>(cr.right, 1),
                                      std::max<int>(cr.bottom, 1), flags);
    if (!sw) {
      std::fprintf(stderr, "zqplatform: SDL_CreateWindow failed: %s\n", SDL_GetError());
      return;
    }
    auto* n = new NativeWindow;
    n->window = sw;
    n->id = SDL_GetWindowID(sw);
    // The renderer is made while the window is still hidden: a GL renderer replaces the native
    // window of a window made without GL, and one replaced after it was shown loses input sent to it.
    n->renderer = SDL_CreateRenderer(sw, -1, 0);
    if (!n->renderer) n->renderer = SDL_CreateRenderer(sw, -1, SDL_RENDERER_SOFTWARE);
    if (!n->renderer) std::fprintf(stderr, "zqplatform: SDL_CreateRenderer failed: %s\n", SDL_GetError());
    w->native = n;
  }

  void destroy(Window* w) override {
    NativeWindow* n = w->native;
    if (!n) return;
    w->native = nullptr;
    if (n->texture) SDL_DestroyTexture(n->texture);
    if (n->renderer) SDL_DestroyRenderer(n->renderer);
    SDL_DestroyWindow(n->window);
    delete n;
  }

  void show(Window* w, bool show) override {
    if (!w->native) return;
    if (show) {
      updateLimits(w);
      if (!(w = liveNative(w))) return;
      SDL_ShowWindow(w->native->window);
      SDL_RaiseWindow(w->native->window);
    } else {
      SDL_HideWindow(w->native->window);
    }
  }

  void syncGeometry(Window* w) override {
    if (!w->native || w->minimized) return;
    SDL_Window* sw = w->native->window;
    RECT cr = clientRectOf(w);
    POINT o = clientOriginOnScreen(w);
    int cw, ch, x, y;
    SDL_GetWindowSize(sw, &cw, &ch);
    SDL_GetWindowPosition(sw, &x, &y);
    if (cw != cr.right || ch != cr.bottom)
      SDL_SetWindowSize(sw, std::max<int>(cr.right, 1), std::max<int>(cr.bottom, 1));
    if (x != o.x || y != o.y) SDL_SetWindowPosition(sw, o.x, o.y);
  }

  void setTitle(Window* w) override {
    if (w->native) SDL_SetWindowTitle(w->native->window, titleUtf8(w).c_str());
  }

  void minimize(Window* w, bool minimize) override {
    if (!w->native) return;
    if (minimize)
      SDL_MinimizeWindow(w->native->window);
    else
      SDL_RestoreWindow(w->native->window);
  }

  void maximize(Window* w) override {
    if (w->native) SDL_MaximizeWindow(w->native->window);
  }

  void pump() override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_WINDOWEVENT:
          windowEvent(e.window);
          break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
          keyEvent(e.key);
          break;
        case SDL_MOUSEMOTION:
          if (Window* w = bySdlId(e.motion.windowID))
            mouseMessage(w, WM_MOUSEMOVE, e.motion.x, e.motion.y, 0);
          break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
          buttonEvent(e.button);
          break;
        case SDL_MOUSEWHEEL: {
          Window* w = bySdlId(e.wheel.windowID);
          if (!w) break;
          int mx = 0, my = 0;
          SDL_GetMouseState(&mx, &my);
          int delta = e.wheel.y * WHEEL_DELTA;
          if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
          mouseMessage(w, WM_MOUSEWHEEL, mx, my, WPARAM(DWORD(WORD(short(delta))) << 16));
          break;
        }
        default:
          break;
      }
    }
  }

  bool wait(bool haveTimer, DWORD timerWaitMs, bool outsideSources) override {
    int timeout = haveTimer ? int(std::min<DWORD>(timerWaitMs, 100)) : 100;
    if (outsideSources) timeout = std::min(timeout, 10);
    SDL_WaitEventTimeout(nullptr, timeout);
    if (haveTimer && zqIsManualClock() && timerWaitMs > 0) zqAdvanceClock(timerWaitMs);
    return true;
  }

  void present(Window* w, const DWORD* pixels, int width, int height) override {
    NativeWindow* n = w->native;
    if (!n || !n->renderer || width <= 0 || height <= 0) return;
    if (!n->texture || n->textureW != width || n->textureH != height) {
      if (n->texture) SDL_DestroyTexture(n->texture);
      n->texture = SDL_CreateTexture(n->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                     width, height);
      n->textureW = width;
      n->textureH = height;
      if (!n->texture) return;
    }
    SDL_UpdateTexture(n->texture, nullptr, pixels, width * 4);
    SDL_RenderCopy(n->renderer, n->texture, nullptr, nullptr);
    SDL_RenderPresent(n->renderer);
  }

  void applyCursor() override {
    if (!cursorShown()) {
      SDL_ShowCursor(SDL_DISABLE);
      return;
    }
    SDL_SystemCursor sc = SDL_SYSTEM_CURSOR_ARROW;
    switch (currentCursorId()) {
      case 32513:
        sc = SDL_SYSTEM_CURSOR_IBEAM;
        break;
      case 32514:
        sc = SDL_SYSTEM_CURSOR_WAIT;
        break;
      case 32515:
        sc = SDL_SYSTEM_CURSOR_CROSSHAIR;
        break;
      case 32646:
        sc = SDL_SYSTEM_CURSOR_SIZEALL;
        break;
      case 32648:
        sc = SDL_SYSTEM_CURSOR_NO;
        break;
      case 32649:
        sc = SDL_SYSTEM_CURSOR_HAND;
        break;
    }
    SDL_Cursor*& c = g_cursors[int(sc)];
    if (!c) c = SDL_CreateSystemCursor(sc);
    if (c) SDL_SetCursor(c);
    SDL_ShowCursor(SDL_ENABLE);
  }

  int messageBox(const std::string& text, const std::string& caption, UINT type, HWND owner) override {
    struct B {
      int id;
      const char* label;
    };
    static const B sets[6][3] = {{{IDOK, "OK"}},
                                 {{IDOK, "OK"}, {IDCANCEL, "Cancel"}},
                                 {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}},
                                 {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}},
                                 {{IDYES, "Yes"}, {IDNO, "No"}},
                                 {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}}};
    UINT kind = type & 0x0F;
    if (kind > 5) kind = 0;
    SDL_MessageBoxButtonData buttons[3];
    int n = 0;
    int def = (type & 0x0F00) == MB_DEFBUTTON2 ? 1 : (type & 0x0F00) == MB_DEFBUTTON3 ? 2 : 0;
    for (int i = 0; i < 3 && sets[kind][i].id; ++i, ++n) {
      buttons[i].flags = i == def ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
      buttons[i].buttonid = sets[kind][i].id;
      buttons[i].text = sets[kind][i].label;
    }
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    UINT icon = type & 0xF0;
    if (icon == MB_ICONHAND) flags = SDL_MESSAGEBOX_ERROR;
    if (icon == MB_ICONEXCLAMATION) flags = SDL_MESSAGEBOX_WARNING;
    Window* w = find(owner);
    SDL_MessageBoxData data{flags, sdlWindow(w), caption.c_str(), text.c_str(), n, buttons, nullptr};
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return 0;
    return pressed > 0 ? pressed : (kind == 0 ? IDOK : IDCANCEL);
  }

  bool screenSize(int& w, int& h) override {
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(0, &m) != 0 || m.w <= 0 || m.h <= 0) return false;
    w = m.w;
    h = m.h;
    return true;
  }

  void* nativeWindow(const Window* w) const override { return sdlWindow(w); }

 private:
  // The window again if a window procedure called on the way left it and its native window alive.
  static Window* liveNative(Window* w) {
    HWND h = handleOf(w);
    Window* again = find(h);
    return again && again->native ? again : nullptr;
  }

  void updateLimits(Window* w) {
    if (!(w->style & WS_THICKFRAME)) return;
    MINMAXINFO mmi;
    HWND h = handleOf(w);
    if (!queryMinMax(h, mmi) || !(w = liveNative(w))) return;
    RECT in = nonClientInsets(w->style, w->exStyle, w->menu != nullptr);
    int ex = in.left + in.right, ey = in.top + in.bottom;
    SDL_SetWindowMinimumSize(w->native->window, std::max<int>(1, mmi.ptMinTrackSize.x - ex),
                             std::max<int>(1, mmi.ptMinTrackSize.y - ey));
    SDL_SetWindowMaximumSize(w->native->window, std::max<int>(1, mmi.ptMaxTrackSize.x - ex),
                             std::max<int>(1, mmi.ptMaxTrackSize.y - ey));
  }

  static void buttonEvent(const SDL_MouseButtonEvent& b) {
    Window* w = bySdlId(b.windowID);
    if (!w) return;
    bool d = b.type == SDL_MOUSEBUTTONDOWN;
    UINT msg = 0, vk = 0;
    if (b.button == SDL_BUTTON_LEFT) {
      msg = d ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      vk = VK_LBUTTON;
    }
    if (b.button == SDL_BUTTON_RIGHT) {
      msg = d ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      vk = VK_RBUTTON;
    }
    if (b.button == SDL_BUTTON_MIDDLE) {
      msg = d ? WM_MBUTTONDOWN : WM_MBUTTONUP;
      vk = VK_MBUTTON;
    }
    if (!msg) return;
    updateAsyncKeyState(vk, d);
    mouseMessage(w, msg, b.x, b.y, 0);
  }
};

}  // namespace

namespace zqwin {

std::unique_ptr<Backend> makeSdlBackend() {
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // A held button keeps the mouse: its release outside the window still reaches the
  // window that was pressed (mouseMessage sends it to the press target).
  SDL_SetHintWithPriority(SDL_HINT_MOUSE_AUTO_CAPTURE, "1", SDL_HINT_OVERRIDE);
  // The click that activates a window reaches it, as on Windows: SDL drops a press handled
  // within 10 ms of a focus change, which without a window manager follows every show.
  SDL_SetHintWithPriority(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1", SDL_HINT_OVERRIDE);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "zqplatform: no window system (%s); running headless\n", SDL_GetError());
    return nullptr;
  }
  return std::make_unique<SdlBackend>();
}

}  // namespace zqwin
