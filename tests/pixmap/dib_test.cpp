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

namespace {

// An 8-bit run-length DIB of one colour whose header claims `imageSize` bytes of bits; 4 are there.
std::vector<uint8_t> Rle8(std::vector<uint8_t> h, uint32_t imageSize) {
  h[14] = 8, h[16] = 1, h[32] = 1;
  for (int i = 0; i < 4; ++i) h[20 + i] = uint8_t(imageSize >> (8 * i));
  h.insert(h.end(), {0, 0, 0xFF, 0});  // the colour
  h.insert(h.end(), {2, 0, 0, 1});     // two pixels, end of picture
  return h;
}

}  // namespace

TEST(Dib, RefusesWhatDoesNotFit) {
  ScratchDir dir;
  std::vector<uint8_t> info = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
  std::vector<uint8_t> header = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};
  header.resize(40, 0);
  struct {
    const char* name;
    std::vector<uint8_t> body;
  } cases[] = {
      {"empty", {}},
      {"header cut", {40, 0, 0, 0, 2, 0}},
      {"no pixel rows", header},
      {"palette past the end",
       [&] {
         auto h = header;
         h[32] = 200;
         return h;
       }()},
      {"header size past the end",
       [&] {
         auto h = header;
         h[0] = 200;
         return h;
       }()},
      {"run-length size past the end",
       [&] {
         auto h = Rle8(header, 200);
         return h;
       }()},
      {"bit-field masks past the end",
       [&] {
         auto h = header;
         h[14] = 32, h[16] = 3, h[4] = 1, h[8] = 1;
         h.resize(44);
         return h;
       }()},
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
  auto rle = info;
  auto body = Rle8(header, 4);
  rle.insert(rle.end(), body.begin(), body.end());
  WriteBytes(dir / "x.bmp", rle);
  EXPECT_EQ(dib.CreateFormBitmap((dir / "x.bmp").c_str()), 1);
}

namespace {

// X8R8G8B8 pixel memory with a device context over it, filled with a sentinel.
struct Screen {
  static constexpr uint32_t kSentinel = 0x12345678;
  int width, height;
  std::vector<uint32_t> px;
  HDC dc;
  Screen(int w, int h) : width(w), height(h), px(size_t(w) * h, kSentinel) {
    dc = zqCreateSurfaceDC(px.data(), w, h, w * 4, 32, 0xFF0000, 0x00FF00, 0x0000FF);
  }
  ~Screen() { zqDeleteSurfaceDC(dc); }
  uint32_t At(int x, int y) const { return px[size_t(y) * width + x] & 0xFFFFFF; }
};

}  // namespace

// Painting a part of a .bmp, at its size and stretched, shows that part of the picture upright.
TEST(Dib, PaintShowsTheSourceRectangle) {
  ScratchDir dir;
  WritePam(dir / "src.pam", Source());
  for (const char* options : {"-type Palette -compress None BMP3", "-type TrueColor BMP3", "top-down"}) {
    SCOPED_TRACE(options);
    std::string bmp = dir / "pic.bmp";
    bool topDown = std::string(options) == "top-down";
    ASSERT_TRUE(RunTool("convert '" + (dir / "src.pam") + "' " +
                        (topDown ? "-type TrueColor BMP3" : options) + ":'" + bmp + "'"));
    Picture tool = ToolPixels(bmp);
    if (topDown) {  // the same picture with its rows stored top first (negative height)
      auto file = ReadBytes(bmp);
      const size_t bits = Le32(file, 10), stride = (kW * 3 + 3) / 4 * 4;
      std::vector<uint8_t> flipped(file.begin(), file.begin() + bits);
      for (int y = kH - 1; y >= 0; --y)
        flipped.insert(flipped.end(), file.begin() + bits + y * stride,
                       file.begin() + bits + (y + 1) * stride);
      for (int i = 0; i < 4; ++i) flipped[22 + i] = uint8_t(uint32_t(-kH) >> (8 * i));
      WriteBytes(bmp, flipped);
    }
    CDibMap dib;
    ASSERT_EQ(dib.CreateFormBitmap(bmp.c_str()), 1);

    // Same size: columns 2..5 of picture rows 1..2, placed at (5, 4).
    Screen same(16, 8);
    EXPECT_EQ(dib.Paint(same.dc, SScreenRect(2, 1, 6, 3), SScreenRect(5, 4, 9, 6)), kH);
    for (int y = 0; y < same.height; ++y)
      for (int x = 0; x < same.width; ++x) {
        bool inside = x >= 5 && x < 9 && y >= 4 && y < 6;
        uint32_t want = inside ? tool.Argb(x - 5 + 2, y - 4 + 1) & 0xFFFFFF : Screen::kSentinel & 0xFFFFFF;
        ASSERT_EQ(same.At(x, y), want) << x << "," << y;
      }

    // Stretched twice: columns 1..3 of picture rows 0..1 fill a 6 x 4 rectangle at (1, 1).
    Screen big(8, 6);
    EXPECT_EQ(dib.Paint(big.dc, SScreenRect(1, 0, 4, 2), SScreenRect(1, 1, 7, 5)), 4);
    for (int y = 0; y < big.height; ++y)
      for (int x = 0; x < big.width; ++x) {
        bool inside = x >= 1 && x < 7 && y >= 1 && y < 5;
        uint32_t want =
            inside ? tool.Argb(1 + (x - 1) / 2, (y - 1) / 2) & 0xFFFFFF : Screen::kSentinel & 0xFFFFFF;
        ASSERT_EQ(big.At(x, y), want) << x << "," << y;
      }
  }

  CDibMap none;
  Screen s(4, 4);
  EXPECT_EQ(none.Paint(s.dc, SScreenRect(0, 0, 4, 4), SScreenRect(0, 0, 4, 4)), 0);
  EXPECT_EQ(s.At(0, 0), Screen::kSentinel & 0xFFFFFF);
}
