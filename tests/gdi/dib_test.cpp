// DIB blits onto surface DCs: depths, row orders, sub-rectangles, stretching, palettes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "canvas.h"

namespace {

constexpr int W = 5, H = 3;

COLORREF picture(int x, int y) { return RGB(40 * x + 10, 80 * y + 20, (x * 7 + y * 13) * 8 % 256); }

// A packed DIB (header, colour table, bits) of the picture in one depth and row order.
struct Dib {
  std::vector<uint8_t> bytes;
  size_t bitsOffset = 0;
  const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(bytes.data()); }
  const void* bits() const { return bytes.data() + bitsOffset; }
};

enum class Kind { Pal8, Core8, Rgb565, Rgb24, Rgb32 };

Dib makeDib(Kind kind, bool topDown) {
  const int bpp = kind == Kind::Rgb565 ? 16 : kind == Kind::Rgb24 ? 24 : kind == Kind::Rgb32 ? 32 : 8;
  const size_t stride = size_t((W * bpp + 31) / 32) * 4;
  Dib d;
  std::vector<uint8_t> header;
  auto append = [&](const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    header.insert(header.end(), b, b + n);
  };
  if (kind == Kind::Core8) {
    BITMAPCOREHEADER c{sizeof(BITMAPCOREHEADER), W, H, 1, 8};  // core headers are bottom-up only
    append(&c, sizeof(c));
    for (int i = 0; i < W * H; ++i) {
      COLORREF col = picture(i % W, i / W);
      RGBTRIPLE t{GetBValue(col), GetGValue(col), GetRValue(col)};
      append(&t, sizeof(t));
    }
    for (int i = W * H; i < 256; ++i) append("\0\0\0", 3);
  } else {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(h);
    h.biWidth = W;
    h.biHeight = topDown ? -H : H;
    h.biPlanes = 1;
    h.biBitCount = WORD(bpp);
    h.biCompression = kind == Kind::Rgb565 ? BI_BITFIELDS : BI_RGB;
    if (kind == Kind::Pal8) h.biClrUsed = W * H;
    append(&h, sizeof(h));
    if (kind == Kind::Rgb565) {
      DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
      append(masks, sizeof(masks));
    }
    if (kind == Kind::Pal8)
      for (int i = 0; i < W * H; ++i) {
        COLORREF col = picture(i % W, i / W);
        RGBQUAD q{GetBValue(col), GetGValue(col), GetRValue(col), 0};
        append(&q, sizeof(q));
      }
  }
  d.bitsOffset = header.size();
  d.bytes = header;
  d.bytes.resize(header.size() + stride * H, 0);
  for (int y = 0; y < H; ++y) {
    int stored = (topDown && kind != Kind::Core8) ? y : H - 1 - y;
    uint8_t* row = d.bytes.data() + d.bitsOffset + size_t(stored) * stride;
    for (int x = 0; x < W; ++x) {
      COLORREF c = picture(x, y);
      switch (bpp) {
        case 8:
          row[x] = uint8_t(y * W + x);
          break;
        case 16: {
          uint16_t v =
              uint16_t(((GetRValue(c) >> 3) << 11) | ((GetGValue(c) >> 2) << 5) | (GetBValue(c) >> 3));
          std::memcpy(row + 2 * x, &v, 2);
          break;
        }
        case 24:
          row[3 * x] = GetBValue(c), row[3 * x + 1] = GetGValue(c), row[3 * x + 2] = GetRValue(c);
          break;
        default: {
          uint32_t v = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
          std::memcpy(row + 4 * x, &v, 4);
        }
      }
    }
  }
  return d;
}

// The picture's colour as the DIB holds it (5-6-5 loses low bits), as the canvas stores it.
uint32_t expected(const Canvas& c, Kind kind, int x, int y) {
  COLORREF col = picture(x, y);
  if (kind == Kind::Rgb565) {
    BYTE r = GetRValue(col) >> 3, g = GetGValue(col) >> 2, b = GetBValue(col) >> 3;
    col = RGB(r << 3, g << 2, b << 3);
  }
  return c.value(col);
}

struct DibCase {
  Kind kind;
  bool topDown;
  const char* name;
};

const DibCase kCases[] = {
    {Kind::Pal8, false, "8-bit bottom-up"},    {Kind::Pal8, true, "8-bit top-down"},
    {Kind::Core8, false, "8-bit core header"}, {Kind::Rgb565, false, "16-bit bitfields"},
    {Kind::Rgb565, true, "16-bit top-down"},   {Kind::Rgb24, false, "24-bit bottom-up"},
    {Kind::Rgb24, true, "24-bit top-down"},    {Kind::Rgb32, false, "32-bit bottom-up"},
    {Kind::Rgb32, true, "32-bit top-down"},
};

}  // namespace

TEST(GdiDib, SetDIBitsToDeviceCopiesThePictureInEveryDepthAndRowOrder) {
  for (const PixelLayout* l : {&kX8R8G8B8, &kR5G6B5}) {
    for (const DibCase& k : kCases) {
      SCOPED_TRACE(std::string(l->name) + " " + k.name);
      Canvas c(12, 8, *l);
      Dib d = makeDib(k.kind, k.topDown);
      EXPECT_EQ(SetDIBitsToDevice(c.dc, 3, 2, W, H, 0, 0, 0, H, d.bits(), d.info(), DIB_RGB_COLORS), H);
      for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
          bool inside = x >= 3 && x < 3 + W && y >= 2 && y < 2 + H;
          ASSERT_EQ(c.at(x, y), inside ? expected(c, k.kind, x - 3, y - 2) : c.background) << x << "," << y;
        }
    }
  }
}

TEST(GdiDib, SourceRectanglesUseDibCoordinates) {
  // A 2x2 part from column 1, picture row 1. A bottom-up DIB counts rows from its bottom.
  for (const DibCase& k : kCases) {
    SCOPED_TRACE(k.name);
    Canvas c(6, 6);
    Dib d = makeDib(k.kind, k.topDown);
    bool bottomUp = !k.topDown || k.kind == Kind::Core8;
    int ySrc = bottomUp ? H - 1 - 2 : 1;
    SetDIBitsToDevice(c.dc, 0, 0, 2, 2, 1, ySrc, 0, H, d.bits(), d.info(), DIB_RGB_COLORS);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x) ASSERT_EQ(c.at(x, y), expected(c, k.kind, x + 1, y + 1)) << x << "," << y;
    EXPECT_EQ(c.at(2, 0), c.background);
    EXPECT_EQ(c.at(0, 2), c.background);
  }
}

TEST(GdiDib, StretchDIBitsScalesMirrorsAndClips) {
  for (const DibCase& k : kCases) {
    SCOPED_TRACE(k.name);
    Canvas c(2 * W, 2 * H);
    Dib d = makeDib(k.kind, k.topDown);
    EXPECT_EQ(
        StretchDIBits(c.dc, 0, 0, 2 * W, 2 * H, 0, 0, W, H, d.bits(), d.info(), DIB_RGB_COLORS, SRCCOPY),
        2 * H);
    for (int y = 0; y < 2 * H; ++y)
      for (int x = 0; x < 2 * W; ++x)
        ASSERT_EQ(c.at(x, y), expected(c, k.kind, x / 2, y / 2)) << x << "," << y;

    // Negative destination width mirrors; a destination off the surface's edges is clipped.
    c.clear(0);
    StretchDIBits(c.dc, W, 0, -W, H, 0, 0, W, H, d.bits(), d.info(), DIB_RGB_COLORS, SRCCOPY);
    for (int x = 0; x < W; ++x) ASSERT_EQ(c.at(x, 0), expected(c, k.kind, W - 1 - x, 0)) << x;
    c.clear(0);
    StretchDIBits(c.dc, -2, -1, W, H, 0, 0, W, H, d.bits(), d.info(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(c.at(0, 0), expected(c, k.kind, 2, 1));
    EXPECT_EQ(c.at(W - 3, H - 2), expected(c, k.kind, W - 1, H - 1));
    EXPECT_EQ(c.at(W - 2, 0), c.background);
  }
}

TEST(GdiDib, DownscaleSamplesSourcePixels) {
  Canvas c(W, H);
  Dib d = makeDib(Kind::Rgb24, false);
  StretchDIBits(c.dc, 0, 0, 2, 1, 0, 0, W, H, d.bits(), d.info(), DIB_RGB_COLORS, SRCCOPY);
  // Every destination pixel is one of the picture's, taken from the middle row.
  EXPECT_EQ(c.at(0, 0), c.value(picture(1, 1)));
  EXPECT_EQ(c.at(1, 0), c.value(picture(3, 1)));
}

TEST(GdiDib, PaletteIndicesUseTheSelectedPalette) {
  Canvas c(4, 1);
  std::vector<uint8_t> lpBytes(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(lpBytes.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = 4;
  const PALETTEENTRY e[4] = {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {9, 8, 7, 0}};
  std::memcpy(lp->palPalEntry, e, sizeof(e));
  HPALETTE pal = CreatePalette(lp);
  ASSERT_NE(pal, nullptr);
  HPALETTE old = SelectPalette(c.dc, pal, TRUE);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(RealizePalette(c.dc), 4u);
  EXPECT_EQ(SetStretchBltMode(c.dc, COLORONCOLOR), BLACKONWHITE);
  EXPECT_EQ(GetStretchBltMode(c.dc), COLORONCOLOR);

  // An 8-bit DIB whose colour table holds palette indices 3, 2, 1, 0.
  struct {
    BITMAPINFOHEADER h;
    WORD idx[4];
    uint8_t bits[4];
  } dib{};
  dib.h = {sizeof(BITMAPINFOHEADER), 4, 1, 1, 8, BI_RGB, 0, 0, 0, 4, 0};
  const WORD idx[4] = {3, 2, 1, 0};
  std::memcpy(dib.idx, idx, sizeof(idx));
  const uint8_t bits[4] = {0, 1, 2, 3};
  std::memcpy(dib.bits, bits, 4);
  SetDIBitsToDevice(c.dc, 0, 0, 4, 1, 0, 0, 0, 1, dib.bits, reinterpret_cast<BITMAPINFO*>(&dib),
                    DIB_PAL_COLORS);
  EXPECT_EQ(c.at(0, 0), c.value(RGB(9, 8, 7)));
  EXPECT_EQ(c.at(1, 0), c.value(RGB(0, 0, 255)));
  EXPECT_EQ(c.at(3, 0), c.value(RGB(255, 0, 0)));

  EXPECT_FALSE(DeleteObject(pal));  // still selected
  EXPECT_EQ(SelectPalette(c.dc, old, TRUE), pal);
  EXPECT_TRUE(DeleteObject(pal));
  EXPECT_FALSE(DeleteObject(pal));  // a stale handle is refused, not freed twice
  EXPECT_EQ(SelectPalette(c.dc, pal, TRUE), nullptr);
  EXPECT_EQ(CreatePalette(nullptr), nullptr);
}

TEST(GdiDib, UndrawableDescriptionsAreRefused) {
  Canvas c(4, 4);
  Dib good = makeDib(Kind::Rgb24, false);
  struct Case {
    const char* name;
    void (*edit)(BITMAPINFOHEADER&);
  } cases[] = {
      {"run-length 24-bit", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }},
      {"zero width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
      {"zero height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
      {"odd depth", [](BITMAPINFOHEADER& h) { h.biBitCount = 7; }},
      {"header size", [](BITMAPINFOHEADER& h) { h.biSize = 20; }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Dib d = good;
    k.edit(*reinterpret_cast<BITMAPINFOHEADER*>(d.bytes.data()));
    EXPECT_EQ(SetDIBitsToDevice(c.dc, 0, 0, W, H, 0, 0, 0, H, d.bits(), d.info(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 4, 4, 0, 0, W, H, d.bits(), d.info(), DIB_RGB_COLORS, SRCCOPY), 0);
  }
  EXPECT_FALSE(c.changedBox(nullptr));
  EXPECT_EQ(SetDIBitsToDevice(c.dc, 0, 0, W, H, 0, 0, 0, H, nullptr, good.info(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(SetDIBitsToDevice(nullptr, 0, 0, W, H, 0, 0, 0, H, good.bits(), good.info(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 4, 4, 0, 0, W, H, good.bits(), good.info(), DIB_RGB_COLORS, 0x00EE0086),
            0);
}

TEST(GdiDib, RunLengthBitsAreExpanded) {
  // 6x2, bottom row first: a run of 3 index-1, a literal 2,3,1; end of line; a delta of 2, a run
  // of 2 index-2; end of bitmap. Skipped pixels take index 0.
  const uint8_t coded[] = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 2, 2, 0, 1};
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[4];
  } dib{};
  dib.h = {sizeof(BITMAPINFOHEADER), 6, 2, 1, 8, BI_RLE8, sizeof(coded), 0, 0, 4, 0};
  dib.colors[0] = {0, 0, 0, 0};
  dib.colors[1] = {0, 0, 255, 0};
  dib.colors[2] = {0, 255, 0, 0};
  dib.colors[3] = {255, 0, 0, 0};
  Canvas c(6, 2);
  EXPECT_EQ(SetDIBitsToDevice(c.dc, 0, 0, 6, 2, 0, 0, 0, 2, coded, reinterpret_cast<BITMAPINFO*>(&dib),
                              DIB_RGB_COLORS),
            2);
  const COLORREF k = RGB(0, 0, 0), r = RGB(255, 0, 0), g = RGB(0, 255, 0), b = RGB(0, 0, 255);
  const COLORREF bottom[6] = {r, r, r, g, b, r}, top[6] = {k, k, g, g, k, k};
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(c.at(x, 1), c.value(bottom[x])) << x;
    EXPECT_EQ(c.at(x, 0), c.value(top[x])) << x;
  }
}
