// Bitmaps from .bmp files made by ImageMagick, memory DCs, pixels and DC-to-DC blits.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "canvas.h"

namespace fs = std::filesystem;

namespace {

struct Pixels {
  int width = 0, height = 0;
  std::map<std::pair<int, int>, COLORREF> at;
};

// What ImageMagick says the file holds ("convert FILE -depth 8 txt:-").
Pixels toolPixels(const fs::path& file) {
  Pixels p;
  std::string cmd = "convert '" + file.string() + "' -depth 8 txt:-";
  FILE* in = popen(cmd.c_str(), "r");
  if (!in) return p;
  char line[256];
  while (fgets(line, sizeof(line), in)) {
    int x, y, r, g, b;
    if (std::sscanf(line, "%d,%d: (%d,%d,%d", &x, &y, &r, &g, &b) == 5) {
      p.at[{x, y}] = RGB(r, g, b);
      p.width = std::max(p.width, x + 1);
      p.height = std::max(p.height, y + 1);
    }
  }
  pclose(in);
  return p;
}

class GdiBitmap : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zq-gdi-bmp-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "in.ppm")
        << "P3\n3 2\n255\n255 0 0  0 255 0  0 0 255\n10 20 30  200 100 50  255 255 255\n";
  }
  void TearDown() override { fs::remove_all(dir); }
  // convert ARGS FORMAT:DIR/NAME
  fs::path make(const std::string& name, const std::string& args, const std::string& format) {
    fs::path out = dir / name;
    std::string cmd =
        "cd '" + dir.string() + "' && convert " + args + " " + format + ":'" + out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return out;
  }
  fs::path dir;
};

}  // namespace

TEST_F(GdiBitmap, LoadedFilesShowWhatTheToolSays) {
  struct {
    const char *name, *args, *format;
  } files[] = {
      {"p4.bmp", "in.ppm -type Palette", "BMP3"},                        // 4-bit palette
      {"p8.bmp", "-size 3x20 gradient:red-blue -type Palette", "BMP3"},  // 8-bit palette
      {"t24.bmp", "in.ppm -type TrueColor", "BMP3"},
      {"t32.bmp", "in.ppm -alpha set -type TrueColorAlpha", "BMP"},  // 124-byte header, bit fields
  };
  for (auto& f : files) {
    SCOPED_TRACE(f.name);
    fs::path file = make(f.name, f.args, f.format);
    Pixels want = toolPixels(file);
    ASSERT_GT(want.width, 0);
    HBITMAP bm =
        (HBITMAP)LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(bm, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bm, sizeof(info), &info), int(sizeof(info)));
    EXPECT_EQ(info.bmWidth, want.width);
    EXPECT_EQ(info.bmHeight, want.height);

    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bm);
    ASSERT_NE(old, nullptr);
    for (auto& [xy, colour] : want.at)
      ASSERT_EQ(GetPixel(mem, xy.first, xy.second), colour) << xy.first << "," << xy.second;

    // Stretched twice as large into a 16-bit surface.
    Canvas c(2 * want.width, 2 * want.height, kR5G6B5);
    EXPECT_TRUE(StretchBlt(c.dc, 0, 0, c.width, c.height, mem, 0, 0, want.width, want.height, SRCCOPY));
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x)
        ASSERT_EQ(c.at(x, y), c.value(want.at[{x / 2, y / 2}])) << x << "," << y;

    EXPECT_FALSE(DeleteObject(bm));  // selected
    SelectObject(mem, old);
    EXPECT_TRUE(DeleteDC(mem));
    EXPECT_TRUE(DeleteObject(bm));
  }
}

TEST_F(GdiBitmap, LoadImageScalesToTheAskedSize) {
  fs::path file = make("t24.bmp", "in.ppm -type TrueColor", "BMP3");
  HBITMAP bm = (HBITMAP)LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 6, 4, LR_LOADFROMFILE);
  ASSERT_NE(bm, nullptr);
  BITMAP info{};
  GetObjectA(bm, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 6);
  EXPECT_EQ(info.bmHeight, 4);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bm);
  EXPECT_EQ(GetPixel(mem, 5, 3), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mem, 2, 0), RGB(0, 255, 0));
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bm);
}

TEST_F(GdiBitmap, BrokenFilesAreRefused) {
  fs::path file = make("t24.bmp", "in.ppm -type TrueColor", "BMP3");
  std::ifstream in(file, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto write = [&](const char* name, const std::string& bytes) {
    fs::path p = dir / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  };
  std::string badSig = data;
  badSig[0] = 'X';
  std::string hugeWidth = data;
  hugeWidth[18] = '\x7F', hugeWidth[21] = '\x7F';
  const fs::path broken[] = {write("cut.bmp", data.substr(0, data.size() - 4)),
                             write("head.bmp", data.substr(0, 20)), write("sig.bmp", badSig),
                             write("wide.bmp", hugeWidth), dir / "missing.bmp"};
  for (const fs::path& p : broken)
    EXPECT_EQ(LoadImageA(nullptr, p.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr) << p;
  // This platform has no module resources.
  EXPECT_EQ(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, 0), nullptr);
  EXPECT_EQ(LoadBitmapA(nullptr, "IDB_LOGO"), nullptr);
}

TEST(GdiPixels, SetPixelRoundTripsThroughEveryLayout) {
  for (const PixelLayout* l : {&kX8R8G8B8, &kR5G6B5, &kX1R5G5B5}) {
    SCOPED_TRACE(l->name);
    Canvas c(4, 4, *l);
    COLORREF set = SetPixel(c.dc, 1, 2, RGB(0xFF, 0x84, 0x10));
    EXPECT_EQ(c.at(1, 2), c.value(RGB(0xFF, 0x84, 0x10)));
    EXPECT_EQ(GetPixel(c.dc, 1, 2), set);
    // Reading back and writing what was read leaves the stored value unchanged.
    uint32_t raw = c.at(1, 2);
    SetPixel(c.dc, 1, 2, GetPixel(c.dc, 1, 2));
    EXPECT_EQ(c.at(1, 2), raw);
    EXPECT_EQ(GetPixel(c.dc, 4, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(c.dc, -1, 0, 0), CLR_INVALID);
  }
  Canvas c(4, 4);
  EXPECT_EQ(GetDeviceCaps(c.dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(c.dc, HORZRES), 4);
  EXPECT_EQ(GetDeviceCaps(c.dc, LOGPIXELSY), 96);
}

TEST(GdiPixels, BitBltBetweenSurfacesAndWithinOne) {
  Canvas src(4, 4, kX8R8G8B8), dst(4, 4, kR5G6B5);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.put(x, y, uint32_t((x * 60) << 16 | (y * 60) << 8));
  EXPECT_TRUE(BitBlt(dst.dc, 1, 1, 4, 4, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.at(0, 0), dst.background);
  EXPECT_EQ(dst.at(1, 1), dst.value(RGB(0, 0, 0)));
  EXPECT_EQ(dst.at(3, 2), dst.value(RGB(120, 60, 0)));
  // Overlapping copy inside one surface reads the pixels as they were.
  EXPECT_TRUE(BitBlt(src.dc, 1, 0, 3, 1, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(src.at(1, 0), 0u);
  EXPECT_EQ(src.at(2, 0), uint32_t(60 << 16));
  EXPECT_EQ(src.at(3, 0), uint32_t(120 << 16));
  EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
}
