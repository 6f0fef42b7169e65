// TGA input of CPixelMap32 against files written by ImageMagick and hand-made packets.
#include <gtest/gtest.h>

#include "ZqLib.h"
#include "assets_support.h"

using namespace assets_test;

namespace {

// 7 x 5, many colours; alpha varies when asked.
Picture Source(bool alpha) {
  Picture p{7, 5, {}};
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      bool same = x > 3;  // runs for the run-length coder
      p.rgba.insert(p.rgba.end(), {uint8_t(same ? 200 : x * 30), uint8_t(same ? 10 : y * 50),
                                   uint8_t((x * y) * 9), uint8_t(alpha ? (x % 3) * 127 : 255)});
    }
  return p;
}

void ExpectSamePixels(const CPixelMap32& map, const Picture& tool) {
  ASSERT_EQ(map.GetWidth(), (unsigned long)tool.width);
  ASSERT_EQ(map.GetHeight(), (unsigned long)tool.height);
  for (int y = 0; y < tool.height; ++y)
    for (int x = 0; x < tool.width; ++x) EXPECT_EQ(map.At(x, y).Value(), tool.Argb(x, y)) << x << "," << y;
}

struct Variant {
  const char* options;
  bool alpha;
};

}  // namespace

class ToolTga : public ::testing::TestWithParam<Variant> {};

TEST_P(ToolTga, DecodesAsTheToolDoes) {
  ScratchDir dir;
  WritePam(dir / "src.pam", Source(GetParam().alpha));
  std::string tga = dir / "pic.tga";
  ASSERT_TRUE(RunTool("convert '" + (dir / "src.pam") + "' " + GetParam().options + " '" + tga + "'"));
  CPixelMap32 map;
  ASSERT_EQ(map.LoadFromTgaFile(tga.c_str()), 1);
  EXPECT_EQ(map.GetName(), "pic.tga");
  ExpectSamePixels(map, ToolPixels(tga));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ToolTga,
    ::testing::Values(Variant{"-type TrueColor", false}, Variant{"-type TrueColorAlpha", true},
                      Variant{"-compress RLE -type TrueColor", false},
                      Variant{"-compress RLE -type TrueColorAlpha", true}, Variant{"-type Palette", false},
                      Variant{"-compress RLE -type Palette", false}, Variant{"-type Palette -depth 5", false},
                      Variant{"-type Grayscale", false}, Variant{"-compress RLE -type Grayscale", false},
                      Variant{"-depth 5 -type TrueColor", false},
                      Variant{"-orient TopLeft -type TrueColorAlpha", true},
                      Variant{"-orient TopRight -compress RLE -type TrueColorAlpha", true},
                      Variant{"-orient BottomRight -type TrueColor", false}));

namespace {

std::vector<uint8_t> Header(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, uint8_t descriptor) {
  return {0,          0,
          type,       0,
          0,          0,
          0,          0,
          0,          0,
          0,          0,
          uint8_t(w), uint8_t(w >> 8),
          uint8_t(h), uint8_t(h >> 8),
          depth,      descriptor};
}

}  // namespace

TEST(Tga, RunLengthPacketsCrossRowsAndStopAtTheEnd) {
  ScratchDir dir;
  // 4 x 2 grey, top to bottom: a run of 6 (0x85) crosses into row 1, then 0x05 offers 6 literals for 2
  // pixels.
  auto bytes = Header(11, 4, 2, 8, 0x20);
  bytes.insert(bytes.end(), {0x85, 7, 0x05, 1, 2, 3, 4, 5, 6});
  WriteBytes(dir / "r.tga", bytes);
  CPixelMap32 map;
  ASSERT_EQ(map.LoadFromTgaFile((dir / "r.tga").c_str()), 1);
  uint8_t want[8] = {7, 7, 7, 7, 7, 7, 1, 2};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(map.At(i % 4, i / 4).Value(), 0xFF000000u | want[i] * 0x010101u) << i;
}

TEST(Tga, ShortOrUnsupportedPicturesLeaveClearedPixels) {
  ScratchDir dir;
  auto truncated = Header(2, 2, 1, 24, 0x20);
  truncated.insert(truncated.end(), {1, 2, 3});  // one pixel of two
  auto unknown = Header(32, 2, 1, 24, 0x20);
  unknown.insert(unknown.end(), 6, 0xFF);
  CPixelMap32 map;
  WriteBytes(dir / "t.tga", truncated);
  ASSERT_EQ(map.LoadFromTgaFile((dir / "t.tga").c_str()), 1);
  EXPECT_EQ(map.At(0, 0).Value(), 0xFF030201u);
  EXPECT_EQ(map.At(1, 0).Value(), 0u);
  WriteBytes(dir / "u.tga", unknown);
  ASSERT_EQ(map.LoadFromTgaFile((dir / "u.tga").c_str()), 1);
  EXPECT_EQ(map.At(0, 0).Value(), 0u);
  EXPECT_EQ(map.LoadFromTgaFile((dir / "missing.tga").c_str()), 0);
}
