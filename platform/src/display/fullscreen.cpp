// Exclusive full screen. With a screen, the window becomes an SDL full-screen window: on the
// desktop's own mode when the mode asked for has the desktop's size, else on that display mode.
// Headless, the mode and flags are only kept for the tests.
#include "display/fullscreen.h"

#include <SDL.h>

#include <mutex>

#include "display/machine.h"
#include "zqplatform/window.h"

namespace zqdisplay {

namespace {

std::mutex g_lock;
const void* g_owner = nullptr;
ZqDisplayFullscreenState g_state{};

SDL_Window* nativeOf(HWND hwnd) { return hwnd ? static_cast<SDL_Window*>(zqGetNativeWindow(hwnd)) : nullptr; }

// The window's size limits while it covers the screen (a sizing frame's limits would cut it).
SDL_Window* g_limited = nullptr;
int g_minW = 0, g_minH = 0, g_maxW = 0, g_maxH = 0;

void liftLimits(SDL_Window* win) {
  if (g_limited != win) {
    g_limited = win;
    SDL_GetWindowMinimumSize(win, &g_minW, &g_minH);
    SDL_GetWindowMaximumSize(win, &g_maxW, &g_maxH);
  }
  SDL_SetWindowMinimumSize(win, 1, 1);
  SDL_SetWindowMaximumSize(win, 16384, 16384);
}

void leaveScreen(HWND hwnd) {
  if (SDL_Window* win = nativeOf(hwnd)) {
    SDL_SetWindowFullscreen(win, 0);
    if (g_limited == win) {
      if (g_maxW > 0 && g_maxH > 0) SDL_SetWindowMaximumSize(win, g_maxW, g_maxH);
      if (g_minW > 0 && g_minH > 0) SDL_SetWindowMinimumSize(win, g_minW, g_minH);
    }
  }
  g_limited = nullptr;
  zqSetScreenMode(0, 0);
}

}  // namespace

void fullscreenCooperativeLevel(const void* owner, HWND hwnd, DWORD flags) {
  HWND left = nullptr;
  {
    std::lock_guard<std::mutex> l(g_lock);
    if (flags & DDSCL_EXCLUSIVE) {
      if (g_owner && g_owner != owner && g_state.width) left = g_state.window;
      g_owner = owner;
      g_state = ZqDisplayFullscreenState{};
      g_state.window = hwnd;
      g_state.cooperativeFlags = flags;
    } else if (g_owner == owner) {
      if (g_state.width) left = g_state.window;
      g_owner = nullptr;
      g_state = ZqDisplayFullscreenState{};
    }
  }
  if (left) leaveScreen(left);
}

void fullscreenSetMode(const void* owner, HWND hwnd, const DDSURFACEDESC2& mode) {
  {
    std::lock_guard<std::mutex> l(g_lock);
    if (g_owner != owner) return;
    g_state.width = mode.dwWidth;
    g_state.height = mode.dwHeight;
    g_state.bitsPerPixel = mode.ddpfPixelFormat.dwRGBBitCount;
    g_state.refreshRate = mode.dwRefreshRate;
    g_state.flips = 0;
    g_state.lastFlipFlags = 0;
  }
  DDSURFACEDESC2 desktop;
  desktopMode(desktop);
  const bool onDesktop = mode.dwWidth == desktop.dwWidth && mode.dwHeight == desktop.dwHeight;
  // As the exclusive level does, the window is made to cover the screen at the new mode.
  if (SDL_Window* win = nativeOf(hwnd)) liftLimits(win);
  zqSetScreenMode(int(mode.dwWidth), int(mode.dwHeight));
  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, int(mode.dwWidth), int(mode.dwHeight), SWP_NOACTIVATE);
  bool exclusive = false;
  if (SDL_Window* win = nativeOf(hwnd)) {
    if (!onDesktop) {
      SDL_DisplayMode want{SDL_PIXELFORMAT_UNKNOWN, int(mode.dwWidth), int(mode.dwHeight),
                           int(mode.dwRefreshRate), nullptr};
      exclusive = SDL_SetWindowDisplayMode(win, &want) == 0 &&
                  SDL_SetWindowFullscreen(win, SDL_WINDOW_FULLSCREEN) == 0;
    }
    if (!exclusive) SDL_SetWindowFullscreen(win, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    exclusive = !onDesktop;
  }
  std::lock_guard<std::mutex> l(g_lock);
  if (g_owner == owner) g_state.exclusiveMode = exclusive ? TRUE : FALSE;
}

void fullscreenRelease(const void* owner) {
  HWND left = nullptr;
  {
    std::lock_guard<std::mutex> l(g_lock);
    if (g_owner != owner) return;
    if (g_state.width) left = g_state.window;
    g_owner = nullptr;
    g_state = ZqDisplayFullscreenState{};
  }
  if (left) leaveScreen(left);
}

void fullscreenNoteFlip(DWORD flags) {
  std::lock_guard<std::mutex> l(g_lock);
  ++g_state.flips;
  g_state.lastFlipFlags = flags;
}

}  // namespace zqdisplay

BOOL zqDisplayGetFullscreenState(ZqDisplayFullscreenState* out) {
  if (!out) return FALSE;
  std::lock_guard<std::mutex> l(zqdisplay::g_lock);
  *out = zqdisplay::g_state;
  return zqdisplay::g_owner != nullptr && zqdisplay::g_state.width != 0;
}
