// On a real X server (run under xvfb-run by its own CTest entry): the presented frame read back
// from the server's copy of the window matches the back buffer stretched into the client area.
#include <cstdio>
#include <string>

#include "present_scene.h"
#include "x_server.h"

namespace {

std::string run(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

}  // namespace

struct PresentOnScreen : PresentFixture {
  static void pump() {
    MSG m;
    for (int k = 0; k < 64 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++k) DispatchMessageA(&m);
  }

  // Presents until the X server's copy of the window shows the stretched back buffer; the count of
  // wrong pixels, or -1 when the window never appeared or could not be read back.
  int wrongPixelsOnScreen(const std::string& title) {
    const std::string id = WaitForXWindow(title, hwnd, pump);
    if (id.empty()) return -1;
    // The server shows the frame once it has processed the present; present again and read back
    // until it does (each read is a full round trip through the server).
    int wrong = -1;
    PumpUntil(pump, [&] {
      if (present() != DD_OK) return false;
      const std::string rgb =
          run("xwd -silent -id " + id + " 2>/dev/null | convert xwd:- -depth 8 rgb:- 2>/dev/null");
      if (rgb.size() != size_t(clientW) * clientH * 3) return false;
      wrong = 0;
      for (int y = 0; y < clientH; ++y)
        for (int x = 0; x < clientW; ++x) {
          const unsigned char* p =
              reinterpret_cast<const unsigned char*>(rgb.data()) + (size_t(y) * clientW + x) * 3;
          const DWORD got = DWORD(p[0]) << 16 | DWORD(p[1]) << 8 | p[2];
          wrong += got != expectedAt(x, y);
        }
      return wrong == 0;
    });
    return wrong;
  }
};

TEST_F(PresentOnScreen, FrameReadBackFromTheXServerIsTheStretchedBackBuffer) {
  ZQ_NEED_X_SERVER();
  openWindow("zq display readback");
  ASSERT_TRUE(zqGetNativeWindow(hwnd));
  drawScene();
  EXPECT_EQ(wrongPixelsOnScreen("zq display readback"), 0);
}

// The window's frame, its texture and renderer go with the window; the next window made is
// presented into afresh (under ASan this also shows nothing of the first one is touched again).
TEST_F(PresentOnScreen, AWindowDestroyedAndMadeAgainIsPresentedInto) {
  ZQ_NEED_X_SERVER();
  openWindow("zq display first");
  drawScene();
  ASSERT_EQ(wrongPixelsOnScreen("zq display first"), 0);
  const HWND first = hwnd;
  ASSERT_GT(zqDisplayPresentCount(first), 0u);

  primary->Release();
  clipper->Release();
  primary = nullptr;
  clipper = nullptr;
  ASSERT_TRUE(DestroyWindow(first));
  hwnd = nullptr;
  EXPECT_EQ(zqDisplayPresentCount(first), 0u);
  EXPECT_EQ(zqDisplayPresentedFrame(first, nullptr, nullptr), nullptr);

  openWindow("zq display second");
  ASSERT_NE(hwnd, first);
  EXPECT_EQ(wrongPixelsOnScreen("zq display second"), 0);
}
