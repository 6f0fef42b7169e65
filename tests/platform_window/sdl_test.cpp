// The SDL back-end on a real X server (run under xvfb-run by CTest, see CMakeLists.txt): the
// window appears with its title, and input sent with xdotool arrives as window messages.
#include <unistd.h>

#include <functional>
#include <string>

#include "window_fixture.h"
#include "x_server.h"

class SdlWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    ZQ_NEED_X_SERVER();
    WindowTest::SetUp();
    zqSetManualClock(FALSE, 0);  // X events take real time
  }
  // Pumps the queue (translating keys) until done() holds or ten seconds pass.
  static bool pumpUntil(const std::function<bool()>& done) {
    return PumpUntil([] { drain(); }, done);
  }
};

TEST_F(SdlWindowTest, WindowShowsItsTitleAndXInputArrivesAsMessages) {
  std::string title = "Zq window " + std::to_string(getpid());
  HWND w = CreateWindowExA(0, "ZqTest", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 728, 567,
                           nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  ASSERT_NE(zqGetNativeWindow(w), nullptr);

  const std::string id = WaitForXWindow(title, w, [] { drain(); });
  ASSERT_FALSE(id.empty()) << "no X window named " << title << " mapped where the window is";
  EXPECT_EQ(RunShell("xdotool getwindowname " + id), title);
  EXPECT_EQ(RunShell("xdotool getwindowgeometry " + id + " | grep Geometry"), "  Geometry: 720x540");

  // Keyboard: focus the window, then a plain and a shifted letter and Return.
  RunShell("xdotool windowfocus --sync " + id);
  ASSERT_TRUE(pumpUntil([&] { return GetActiveWindow() == w; })) << "focus never arrived";
  log().clear();
  RunShell("xdotool key --delay 20 a shift+b Return");
  auto keyDowns = [&] {
    std::vector<WPARAM> r;
    for (auto& m : seen(WM_KEYDOWN)) r.push_back(m.wParam);
    return r;
  };
  ASSERT_TRUE(pumpUntil([&] { return seen(WM_KEYUP).size() >= 4; }));
  EXPECT_EQ(keyDowns(), (std::vector<WPARAM>{'A', VK_SHIFT, 'B', VK_RETURN}));
  auto downs = seen(WM_KEYDOWN);
  EXPECT_EQ(DWORD(downs[0].lParam), 0x001E0001u);  // scan code, repeat 1, first press
  EXPECT_EQ(downs[0].hwnd, w);
  std::vector<WPARAM> chars;
  for (auto& m : seen(WM_CHAR)) chars.push_back(m.wParam);
  EXPECT_EQ(chars, (std::vector<WPARAM>{'a', 'B', '\r'}));
  EXPECT_EQ(DWORD(seen(WM_KEYUP)[0].lParam) & 0xC0000000u, 0xC0000000u);

  // Mouse: a left click at a client point, then a right press with Shift held.
  log().clear();
  ASSERT_TRUE(MovePointerInto(id, w, 50, 60, [] { drain(); })) << "the pointer never arrived";
  RunShell("xdotool click 1");
  ASSERT_TRUE(pumpUntil([&] { return !seen(WM_LBUTTONUP).empty(); }));
  auto ld = seen(WM_LBUTTONDOWN);
  ASSERT_EQ(ld.size(), 1u);
  EXPECT_EQ(ld[0].hwnd, w);
  EXPECT_EQ(ld[0].wParam, WPARAM(MK_LBUTTON));
  EXPECT_EQ(GET_X_LPARAM(ld[0].lParam), 50);
  EXPECT_EQ(GET_Y_LPARAM(ld[0].lParam), 60);
  auto lu = seen(WM_LBUTTONUP);
  EXPECT_EQ(lu[0].wParam, 0u);
  EXPECT_EQ(GET_X_LPARAM(lu[0].lParam), 50);
  EXPECT_EQ(GET_Y_LPARAM(lu[0].lParam), 60);
  ASSERT_FALSE(seen(WM_MOUSEMOVE).empty());
  EXPECT_EQ(GET_X_LPARAM(seen(WM_MOUSEMOVE).back().lParam), 50);

  log().clear();
  ASSERT_TRUE(MovePointerInto(id, w, 200, 100, [] { drain(); })) << "the pointer never arrived";
  RunShell("xdotool keydown shift mousedown 3 mouseup 3 keyup shift");
  ASSERT_TRUE(pumpUntil([&] { return !seen(WM_RBUTTONUP).empty(); }));
  auto rd = seen(WM_RBUTTONDOWN);
  ASSERT_EQ(rd.size(), 1u);
  EXPECT_EQ(rd[0].wParam, WPARAM(MK_RBUTTON | MK_SHIFT));
  EXPECT_EQ(GET_X_LPARAM(rd[0].lParam), 200);
  EXPECT_EQ(GET_Y_LPARAM(rd[0].lParam), 100);
  EXPECT_EQ(seen(WM_RBUTTONUP)[0].wParam, WPARAM(MK_SHIFT));

  DestroyWindow(w);
  EXPECT_EQ(zqGetNativeWindow(w), nullptr);
}

// Without a window manager SDL gives a shown window the focus itself; a press handled in the same
// pass as that focus change must still arrive (SDL would drop it as the activating click).
TEST_F(SdlWindowTest, TheClickThatActivatesAWindowReachesIt) {
  std::string title = "Zq activating click " + std::to_string(getpid());
  HWND w = CreateWindowExA(0, "ZqTest", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 728, 567,
                           nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  // Nothing is pumped until the press is in the server's queue, so the focus change and the press
  // are handled together.
  const std::string id = WaitForXWindow(title, w, [] {});
  ASSERT_FALSE(id.empty()) << "no X window named " << title << " mapped where the window is";
  log().clear();
  RunShell("xdotool mousemove --window " + id + " --sync 30 40 click 1");
  ASSERT_TRUE(pumpUntil([&] { return !seen(WM_LBUTTONUP).empty(); })) << "the click never arrived";
  auto ld = seen(WM_LBUTTONDOWN);
  ASSERT_EQ(ld.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(ld[0].lParam), 30);
  EXPECT_EQ(GET_Y_LPARAM(ld[0].lParam), 40);
  EXPECT_EQ(GetActiveWindow(), w);
  DestroyWindow(w);
}
