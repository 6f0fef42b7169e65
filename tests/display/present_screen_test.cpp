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

using PresentOnScreen = PresentFixture;

TEST_F(PresentOnScreen, FrameReadBackFromTheXServerIsTheStretchedBackBuffer) {
  ZQ_NEED_X_SERVER();
  openWindow("zq display readback");
  ASSERT_TRUE(zqGetNativeWindow(hwnd));
  drawScene();
  auto pump = [] {
    MSG m;
    for (int k = 0; k < 64 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++k) DispatchMessageA(&m);
  };
  const std::string id = WaitForXWindow("zq display readback", hwnd, pump);
  ASSERT_FALSE(id.empty()) << "the window was never mapped where it is placed";
  // The server shows the frame once it has processed the present; present again and read back
  // until it does (each read is a full round trip through the server).
  std::string rgb;
  int wrong = -1;
  PumpUntil(pump, [&] {
    if (present() != DD_OK) return false;
    rgb = run("xwd -silent -id " + id + " 2>/dev/null | convert xwd:- -depth 8 rgb:- 2>/dev/null");
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
  EXPECT_EQ(rgb.size(), size_t(clientW) * clientH * 3);
  EXPECT_EQ(wrong, 0);
}
