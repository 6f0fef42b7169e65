// The engine picture files written by CPixelMap32 and CPixMapGroup.
#include <gtest/gtest.h>

#include <cstring>

#include "ZqLib.h"
#include "assets_support.h"

using namespace assets_test;

namespace {

int32_t I32(const std::vector<uint8_t>& b, size_t at) {
  return (int32_t)(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24);
}
int16_t I16(const std::vector<uint8_t>& b, size_t at) { return (int16_t)(b[at] | b[at + 1] << 8); }

void Fill(CPixelMap32& map, DWORD w, DWORD h, std::initializer_list<std::pair<int, int>> opaque) {
  ASSERT_EQ(map.Create(w, h), 1);
  for (DWORD y = 0; y < h; ++y)
    for (DWORD x = 0; x < w; ++x) map.At(x, y) = SPixel32(0x00123456u);  // colour, alpha 0: not stored
  int n = 1;
  for (auto [x, y] : opaque)
    map.At(x, y) = SPixel32(BYTE(n * 10), BYTE(n * 20), BYTE(n * 30), BYTE(100 + n)), ++n;
}

// A picture body read back into a map of the box size: (box width, height, base x, y) and pixels.
struct Body {
  int32_t width, height, baseX, baseY, format;
  std::vector<uint32_t> pixels;
};

Body ReadBody(const std::vector<uint8_t>& f, size_t b) {
  Body out{I32(f, b + 24), I32(f, b + 28), I32(f, b + 16), I32(f, b + 20), I32(f, b + 32), {}};
  out.pixels.assign((size_t)out.width * out.height, 0);
  EXPECT_EQ(I32(f, b), 50);
  int32_t spans = I32(f, b + 4), p = I32(f, b + 8), m = I32(f, b + 12);
  EXPECT_EQ(p, 50 + 6 * spans + 20);
  size_t px = b + p, size = out.format == 1 ? 4 : 3;
  int32_t used = 0;
  for (int32_t s = 0; s < spans; ++s) {
    int16_t row = I16(f, b + 50 + 6 * s), first = I16(f, b + 52 + 6 * s), end = I16(f, b + 54 + 6 * s);
    for (int x = first; x < end; ++x, px += size, ++used)
      out.pixels[(size_t)row * out.width + x] =
          f[px] | f[px + 1] << 8 | f[px + 2] << 16 | (uint32_t)(size == 4 ? f[px + 3] : 0xFF) << 24;
  }
  EXPECT_EQ(used, m);
  return out;
}

}  // namespace

TEST(PictureFile, PgmLayout) {
  ScratchDir dir;
  CPixelMap32 map;
  // Row 1: a span of two and an isolated pixel; row 2: one pixel. Box (1, 1)-(5, 3).
  Fill(map, 6, 4, {{1, 1}, {2, 1}, {4, 1}, {2, 2}});
  map.SetBasePoint(SScreenPoint(10, 20));
  std::string path = dir / "p.pgm";
  ASSERT_EQ(map.SaveToPGM(path.c_str(), 1), 1);
  auto f = ReadBytes(path);
  ASSERT_EQ(f.size(), 20u + 88 + 16);
  EXPECT_EQ(std::string((const char*)f.data()), "PGM2003a");
  const int32_t header[] = {50, 3, 88, 4, 9, 19, 4, 2, 1};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(I32(f, 20 + 4 * i), header[i]) << "field " << i;
  const int16_t spans[] = {0, 0, 2, 0, 3, 4, 1, 1, 2};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(I16(f, 70 + 2 * i), spans[i]) << "span value " << i;
  const uint8_t first[] = {30, 20, 10, 101}, last[] = {120, 80, 40, 104};  // blue, green, red, alpha
  EXPECT_EQ(0, memcmp(&f[108], first, 4));
  EXPECT_EQ(0, memcmp(&f[120], last, 4));

  ASSERT_EQ(map.SaveToPGM(path.c_str(), 2), 1);  // 3-byte pixels
  f = ReadBytes(path);
  EXPECT_EQ(f.size(), 20u + 88 + 12);
  EXPECT_EQ(I32(f, 52), 2);
  EXPECT_EQ(0, memcmp(&f[108 + 9], last, 3));
}

TEST(PictureFile, PgmRefusals) {
  ScratchDir dir;
  std::string path = dir / "p.pgm";
  CPixelMap32 map;
  EXPECT_EQ(map.SaveToPGM(path.c_str(), 1), 0);  // empty map
  Fill(map, 2, 2, {{0, 0}});
  EXPECT_EQ(map.SaveToPGM(path.c_str(), 3), 0);
  EXPECT_EQ(map.SaveToPGM((SStreamBuf*)nullptr, 1), 0);
  EXPECT_EQ(map.SaveToPGM((dir / "no/such/dir.pgm").c_str(), 1), 0);
  Fill(map, 32768, 1, {{0, 0}, {32767, 0}});  // spans hold 16-bit columns
  EXPECT_EQ(map.SaveToPGM(path.c_str(), 1), 0);
  Fill(map, 32767, 1, {{0, 0}, {32766, 0}});
  EXPECT_EQ(map.SaveToPGM(path.c_str(), 1), 1);
}

TEST(PictureFile, PggBodiesReadBackFrameByFrame) {
  ScratchDir dir;
  CPixMapGroup group;
  Fill(*group.AddPixmap(), 3, 2, {{0, 0}, {1, 0}, {2, 1}});
  Fill(*group.AddPixmap(), 4, 4, {{3, 3}});
  group.AddPixmap();  // an empty layer still gets a body
  Fill(*group.AddPixmap(), 5, 1, {{0, 0}, {2, 0}, {4, 0}});
  group.GetPixmap(3)->SetBasePoint(SScreenPoint(7, -3));
  std::string path = dir / "g.pgg";
  ASSERT_EQ(group.SaveToPGG(path.c_str(), 1), 1);
  auto f = ReadBytes(path);
  EXPECT_EQ(std::string((const char*)f.data()), "PGG2003a");
  ASSERT_EQ(I32(f, 20), 4);
  size_t table = (size_t)I32(f, 24);
  ASSERT_EQ(table + 16, f.size());  // the table ends the file
  size_t previousEnd = 0;
  for (int i = 0; i < 4; ++i) {
    size_t at = (size_t)I32(f, table + 4 * i);
    EXPECT_GE(at, 28u);
    if (i > 0) {
      EXPECT_EQ(at, previousEnd + 10) << i;
    }
    CPixelMap32* map = group.GetPixmap(i);
    Body body = ReadBody(f, at);
    // A body ends with its pixels, or with its header when it has none.
    size_t pixels = (size_t)I32(f, at + 12);
    previousEnd = pixels ? at + (size_t)I32(f, at + 8) + pixels * 4 : at + 36;
    if (map->GetWidth() == 0) {
      EXPECT_EQ(body.width * body.height, 0);
      continue;
    }
    // Every opaque pixel is where the box and base fields put it.
    for (DWORD y = 0; y < map->GetHeight(); ++y)
      for (DWORD x = 0; x < map->GetWidth(); ++x) {
        if (!map->At(x, y).alpha) continue;
        int bx = (int)x - (map->GetBasePoint().x - body.baseX),
            by = (int)y - (map->GetBasePoint().y - body.baseY);
        ASSERT_TRUE(bx >= 0 && by >= 0 && bx < body.width && by < body.height) << i;
        EXPECT_EQ(body.pixels[(size_t)by * body.width + bx], map->At(x, y).Value())
            << i << " " << x << "," << y;
      }
  }
}
