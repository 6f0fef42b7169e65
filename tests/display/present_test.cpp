// Presenting the back buffer into a window's client area, and the PNG of what it shows.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "present_scene.h"

using Present = PresentFixture;

TEST_F(Present, FrameIsTheBackBufferStretchedIntoTheClientAreaAndWritesAPng) {
  openWindow("display present");
  drawScene();
  ASSERT_EQ(clientW, 720);
  ASSERT_EQ(clientH, 540);
  ASSERT_EQ(present(), DD_OK);
  int w = 0, h = 0;
  const DWORD* frame = zqDisplayPresentedFrame(hwnd, &w, &h);
  ASSERT_TRUE(frame);
  ASSERT_EQ(w, 720);
  ASSERT_EQ(h, 540);
  EXPECT_EQ(zqDisplayPresentCount(hwnd), 1u);
  int wrong = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) wrong += frame[size_t(y) * w + x] != expectedAt(x, y);
  EXPECT_EQ(wrong, 0);

  // The scene as a PNG next to the build's programs, for anyone to look at.
  const std::string path = std::string(ZQ_BIN_DIR) + "/display_scene.png";
  std::remove(path.c_str());
  ASSERT_TRUE(zqDisplayWritePresentedFramePng(hwnd, path.c_str()));
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  auto be32 = [&](size_t at) {
    return DWORD(BYTE(bytes[at])) << 24 | DWORD(BYTE(bytes[at + 1])) << 16 | DWORD(BYTE(bytes[at + 2])) << 8 |
           BYTE(bytes[at + 3]);
  };
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  EXPECT_EQ(be32(16), 720u);
  EXPECT_EQ(be32(20), 540u);
  EXPECT_TRUE(
      zqDisplayWriteSurfacePng(target, (std::string(ZQ_BIN_DIR) + "/display_back_buffer.png").c_str()));
  EXPECT_FALSE(zqDisplayWritePresentedFramePng(hwnd, "/nonexistent-folder/frame.png"));
}

TEST_F(Present, AWindowsFrameGoesWithTheWindow) {
  openWindow("display present gone");
  drawScene();
  ASSERT_EQ(present(), DD_OK);
  const HWND gone = hwnd;
  ASSERT_EQ(zqDisplayPresentCount(gone), 1u);
  primary->Release();
  clipper->Release();
  primary = nullptr;
  clipper = nullptr;
  ASSERT_TRUE(DestroyWindow(gone));
  hwnd = nullptr;
  EXPECT_EQ(zqDisplayPresentCount(gone), 0u);
  EXPECT_EQ(zqDisplayPresentedFrame(gone, nullptr, nullptr), nullptr);
}
