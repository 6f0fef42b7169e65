// CDibMap against .bmp files written by ImageMagick.
#include <gtest/gtest.h>

#include "ZqLib.h"
#include "assets_support.h"

using namespace assets_test;

namespace {

constexpr int kW = 9, kH = 3;  // 27 colours: the tool needs 8 bits for them

Picture Source() {
  Picture p{kW, kH, {}};
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      p.rgba.insert(p.rgba.end(), {uint8_t(x * 25), uint8_t(y * 90), uint8_t(x * y * 9 + 7), 255});
  return p;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}

struct Variant {
  const char* options;
  unsigned bits, colors, header;
};

}  // namespace

class ToolBmp : public ::testing::TestWithParam<Variant> {};

TEST_P(ToolBmp, HeaderPaletteAndBitsAsTheToolWroteThem) {
  ScratchDir dir;
  WritePam(dir / "src.pam", Source());
  std::string bmp = dir / "pic.bmp";
  ASSERT_TRUE(RunTool("convert '" + (dir / "src.pam") + "' " + GetParam().options + ":'" + bmp + "'"));
  auto file = ReadBytes(bmp);
  ASSERT_EQ(Le32(file, 14), GetParam().header) << "the tool wrote another header";
  CDibMap dib;
  ASSERT_EQ(dib.CreateFormBitmap(bmp.c_str()), 1);
  EXPECT_EQ(dib.GetSize(), file.size() - 14);
  EXPECT_EQ(dib.GetWidth(), (unsigned long)kW);
  EXPECT_EQ(dib.GetHeight(), (unsigned long)kH);
  // Colours in use, or all that the depth allows.
  unsigned colors = GetParam().header >= 40 && Le32(file, 46) ? Le32(file, 46) : GetParam().colors;
  EXPECT_EQ(dib.DIBNumColors(), colors);
  EXPECT_EQ(dib.FindDIBBits() - dib.GetData(), (ptrdiff_t)Le32(file, 10) - 14);

  // Decode the bottom-up rows through the palette and compare with the tool's reading.
  Picture tool = ToolPixels(bmp);
  const unsigned bits = GetParam().bits, stride = (kW * bits + 31) / 32 * 4;
  const uint8_t* table = dib.GetData() + Le32(file, 14);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint8_t* p = dib.FindDIBBits() + (kH - 1 - y) * stride + x * (bits / 8);
      if (bits == 8) p = table + *p * 4;
      EXPECT_EQ(0xFF000000u | p[2] << 16 | p[1] << 8 | p[0], tool.Argb(x, y) | 0xFF000000u) << x << "," << y;
    }

  // Saving writes the same .bmp again.
  std::string copy = dir / "copy.bmp";
  ASSERT_EQ(dib.SaveToBitmap(copy.c_str()), 1);
  EXPECT_EQ(ReadBytes(copy), file);
}

INSTANTIATE_TEST_SUITE_P(Depths, ToolBmp,
                         ::testing::Values(Variant{"-type Palette -compress None BMP3", 8, 256, 40},
                                           Variant{"-type TrueColor BMP3", 24, 0, 40},
                                           Variant{"-type TrueColorAlpha BMP", 32, 0, 124},
                                           Variant{"-type TrueColor BMP2", 24, 0, 12}));

TEST(Dib, RefusesWhatDoesNotFit) {
  ScratchDir dir;
  std::vector<uint8_t> info = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
  std::vector<uint8_t> header = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
  header.resize(40, 0);
  struct { const char* name; std::vector<uint8_t> body; } cases[] = {
      {"empty", {}},
      {"header cut", {40, 0, 0, 0, 2, 0}},
      {"no pixel rows", header},
      {"palette past the end", [&] { auto h = header; h[32] = 200; return h; }()},
      {"header size past the end", [&] { auto h = header; h[0] = 200; return h; }()},
  };
  CDibMap dib;
  for (auto& c : cases) {
    auto bytes = info;
    bytes.insert(bytes.end(), c.body.begin(), c.body.end());
    WriteBytes(dir / "x.bmp", bytes);
    EXPECT_EQ(dib.CreateFormBitmap((dir / "x.bmp").c_str()), 0) << c.name;
    EXPECT_EQ(dib.GetData(), nullptr) << c.name;
    EXPECT_EQ(dib.SaveToBitmap((dir / "y.bmp").c_str()), 0) << c.name;
  }
  EXPECT_EQ(dib.CreateFormBitmap((dir / "missing.bmp").c_str()), 0);
  auto ok = info;
  ok.insert(ok.end(), header.begin(), header.end());
  ok.resize(ok.size() + 16, 0x33);  // two rows of 2 pixels, padded to 8 bytes
  WriteBytes(dir / "x.bmp", ok);
  EXPECT_EQ(dib.CreateFormBitmap((dir / "x.bmp").c_str()), 1);
}
