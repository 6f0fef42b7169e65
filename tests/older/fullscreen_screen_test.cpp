// On a real X server (run under xvfb-run by its own CTest entry): the mode switch makes the SDL
// window a full-screen one at the desktop's mode and gives the window its style and place back.
#include <SDL.h>

#include "older_fixture.h"
#include "x_server.h"

namespace oldertest {
namespace {

using FullScreenOnScreen = FullScreenTest;

void Pump() {
  MSG m;
  for (int k = 0; k < 256 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++k) DispatchMessageA(&m);
}

TEST_F(FullScreenOnScreen, TheWindowCoversTheScreenAndComesBackWhereItWas) {
  if (zqIsHeadless()) GTEST_SKIP() << "needs an X server (run by older_fullscreen_under_xvfb)";
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_TRUE(ChooseMode(DWORD(screenW), DWORD(screenH), 32)) << screenW << "x" << screenH;
  Start();
  ShowWindow(wnd, SW_SHOW);
  auto* win = static_cast<SDL_Window*>(zqGetNativeWindow(wnd));
  ASSERT_NE(win, nullptr);
  ASSERT_TRUE(PumpUntil(Pump, [&] { return (SDL_GetWindowFlags(win) & SDL_WINDOW_SHOWN) != 0; }));
  const DWORD style = DWORD(GetWindowLongA(wnd, GWL_STYLE));
  const RECT placed = WindowRect(wnd);
  RECT client{};
  GetClientRect(wnd, &client);

  ASSERT_EQ(Command(kModeSwitch), 0);
  ASSERT_EQ(engine->IsFullscreen(), 1);
  EXPECT_FALSE(State().exclusiveMode);  // the desktop's own mode: no mode change
  EXPECT_TRUE(Same(WindowRect(wnd), RECT{0, 0, screenW, screenH}));
  EXPECT_TRUE(PumpUntil(Pump, [&] {
    int w = 0, h = 0;
    SDL_GetWindowSize(win, &w, &h);
    return (SDL_GetWindowFlags(win) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP &&
           w == screenW && h == screenH;
  }));
  {
    int w = 0, h = 0;
    SDL_GetWindowSize(win, &w, &h);
    EXPECT_EQ(SDL_GetWindowFlags(win) & SDL_WINDOW_FULLSCREEN_DESKTOP, Uint32(SDL_WINDOW_FULLSCREEN_DESKTOP));
    EXPECT_EQ(w, screenW);
    EXPECT_EQ(h, screenH);
  }
  const DWORD flips = State().flips;
  engine->_RenderEngine();
  EXPECT_EQ(engine->Present(), 0);
  EXPECT_EQ(State().flips, flips + 1);

  ASSERT_EQ(Command(kModeSwitch), 0);
  ASSERT_EQ(engine->IsFullscreen(), 0);
  EXPECT_EQ(DWORD(GetWindowLongA(wnd, GWL_STYLE)), style);
  // Once the server has settled, the window is where it was, at its size.
  EXPECT_TRUE(PumpUntil(Pump, [&] {
    int w = 0, h = 0, x = 0, y = 0;
    SDL_GetWindowSize(win, &w, &h);
    SDL_GetWindowPosition(win, &x, &y);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    return (SDL_GetWindowFlags(win) & SDL_WINDOW_FULLSCREEN) == 0 && w == client.right &&
           h == client.bottom && x == origin.x && y == origin.y && Same(WindowRect(wnd), placed);
  }));
  EXPECT_TRUE(Same(WindowRect(wnd), placed));
  EXPECT_EQ(engine->Present(), 0);
}

}  // namespace
}  // namespace oldertest
