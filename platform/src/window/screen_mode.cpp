// The screen while a program holds a display mode, and the confined cursor as a mouse grab.
#include <SDL.h>

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

void sdlGrabMouse(const RECT* screenRect) {
  if (Window* was = g_grabbed ? find(g_grabbed) : nullptr) {
    if (was->sdl) {
      SDL_SetWindowMouseRect(was->sdl, nullptr);
      SDL_SetWindowMouseGrab(was->sdl, SDL_FALSE);
    }
  }
  g_grabbed = nullptr;
  if (!screenRect || !sdlActive()) return;
  auto& s = state();
  Window* w = find(s.active ? s.active : s.focus);
  while (w && !isTopLevel(w)) w = find(w->parent);
  if (!w || !w->sdl) return;
  // SDL confines the pointer in the window's client coordinates.
  const POINT origin = clientOriginOnScreen(w);
  const SDL_Rect r{int(screenRect->left - origin.x), int(screenRect->top - origin.y),
                   int(screenRect->right - screenRect->left), int(screenRect->bottom - screenRect->top)};
  SDL_SetWindowMouseRect(w->sdl, &r);
  SDL_SetWindowMouseGrab(w->sdl, SDL_TRUE);
  g_grabbed = handleOf(w);
}

}  // namespace zqwin

void zqSetScreenMode(int width, int height) {
  zqwin::g_modeW = width > 0 && height > 0 ? width : 0;
  zqwin::g_modeH = width > 0 && height > 0 ? height : 0;
}
