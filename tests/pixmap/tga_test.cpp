// TGA input of CPixelMap32 against files written by ImageMagick and hand-made packets.
#include <gtest/gtest.h>

#include "ZqLib.h"
#include "assets_support.h"
#include "peak_memory.h"

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

TEST(Tga, ShortPicturesAreRefusedAndUnsupportedOnesLeaveClearedPixels) {
  ScratchDir dir;
  auto truncated = Header(2, 2, 1, 24, 0x20);
  truncated.insert(truncated.end(), {1, 2, 3});  // one pixel of two
  auto unknown = Header(32, 2, 1, 24, 0x20);
  unknown.insert(unknown.end(), 6, 0xFF);
  CPixelMap32 map;
  WriteBytes(dir / "t.tga", truncated);
  ASSERT_EQ(map.LoadFromTgaFile((dir / "t.tga").c_str()), 1);
  EXPECT_EQ(map.GetWidth(), 0ul);
  EXPECT_EQ(map.GetData(), nullptr);
  WriteBytes(dir / "u.tga", unknown);
  ASSERT_EQ(map.LoadFromTgaFile((dir / "u.tga").c_str()), 1);
  EXPECT_EQ(map.At(0, 0).Value(), 0u);
  EXPECT_EQ(map.LoadFromTgaFile((dir / "missing.tga").c_str()), 0);
}

// Headers that claim far more pixels than the file's bytes could fill are refused before any
// allocation: the map stays empty and the process's peak memory does not move.
TEST(Tga, HugeHeadersOverFewBytesAllocateNothing) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  auto with = [](std::vector<uint8_t> head, std::vector<uint8_t> body) {
    head.insert(head.end(), body.begin(), body.end());
    return head;
  };
  std::vector<uint8_t> palette = Header(1, 65535, 65535, 8, 0x20);
  palette[1] = 1;  // a colour map of two entries
  palette[5] = 2;
  palette[7] = 24;
  const Case cases[] = {
      {"raw true colour, header only", Header(2, 65535, 65535, 32, 0x20)},
      {"raw grey, a few pixels", with(Header(3, 65535, 65535, 8, 0), {1, 2, 3, 4})},
      {"colour-mapped", with(palette, {0, 0, 0, 9, 9, 9, 1, 0, 1})},
      {"run-length, a few runs",
       with(Header(10, 16384, 16384, 32, 0x20), {0xFF, 1, 2, 3, 4, 0xFF, 5, 6, 7, 8})},
      {"run-length grey, one run short of the picture",
       with(Header(11, 129, 1, 8, 0), {0xFF, 7})},  // 128 pixels at most
      {"unsupported type", Header(5, 65535, 65535, 32, 0)},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(dir / "big.tga", c.bytes);
    CPixelMap32 map;
    int result = 0;
    const long grown =
        test_memory::PeakGrowthKb([&] { result = map.LoadFromTgaFile((dir / "big.tga").c_str()); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(map.GetWidth(), 0ul);
    EXPECT_EQ(map.GetHeight(), 0ul);
    EXPECT_LT(grown, 16 * 1024);
  }

  // The same run-length header with enough packets is a picture: 128 pixels a packet of two bytes.
  std::vector<uint8_t> full = Header(11, 256, 1, 8, 0x20);
  full.insert(full.end(), {0xFF, 7, 0xFF, 8});
  WriteBytes(dir / "full.tga", full);
  CPixelMap32 map;
  ASSERT_EQ(map.LoadFromTgaFile((dir / "full.tga").c_str()), 1);
  ASSERT_EQ(map.GetWidth(), 256ul);
  EXPECT_EQ(map.At(127, 0).Value(), 0xFF070707u);
  EXPECT_EQ(map.At(128, 0).Value(), 0xFF080808u);
}
