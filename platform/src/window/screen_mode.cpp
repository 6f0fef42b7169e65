// The screen while a program holds a display mode, and the confined cursor as a mouse grab.
#include <SDL.h>

#include "window/backend.h"
#include "window/state.h"

namespace zqwin {

namespace {
int g_modeW = 0, g_modeH = 0;
HWND g_grabbed = nullptr;  // looked up again: the window may be gone
}  // namespace

bool screenModeSize(int& w, int& h) {
  if (g_modeW <= 0 || g_modeH <= 0) return false;
  w = g_modeW;
  h = g_modeH;
  return true;
}

void grabMouse(const RECT* screenRect) {
  if (Window* was = g_grabbed ? find(g_grabbed) : nullptr) {
    if (auto* native = static_cast<SDL_Window*>(backend().nativeWindow(was))) {
      SDL_SetWindowMouseRect(native, nullptr);
      SDL_SetWindowMouseGrab(native, SDL_FALSE);
    }
  }
  g_grabbed = nullptr;
  if (!screenRect || !backend().onScreen()) return;
  auto& s = state();
  Window* w = find(s.active ? s.active : s.focus);
  while (w && !isTopLevel(w)) w = find(w->parent);
  auto* native = w ? static_cast<SDL_Window*>(backend().nativeWindow(w)) : nullptr;
  if (!native) return;
  // SDL confines the pointer in the window's client coordinates.
  const POINT origin = clientOriginOnScreen(w);
  const SDL_Rect r{int(screenRect->left - origin.x), int(screenRect->top - origin.y),
                   int(screenRect->right - screenRect->left), int(screenRect->bottom - screenRect->top)};
  SDL_SetWindowMouseRect(native, &r);
  SDL_SetWindowMouseGrab(native, SDL_TRUE);
  g_grabbed = handleOf(w);
}

}  // namespace zqwin

void zqSetScreenMode(int width, int height) {
  zqwin::g_modeW = width > 0 && height > 0 ? width : 0;
  zqwin::g_modeH = width > 0 && height > 0 ? height : 0;
}
