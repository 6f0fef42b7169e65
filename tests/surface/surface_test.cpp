// Surfaces over a running engine: channel tables, blits, one-colour text, picture bodies.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <cstring>
#include <vector>

#include "ZqLib.h"
#include "engine_window.h"
#include "zqplatform/display_hooks.h"

namespace {

class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("s", 728, 567, 1000);
    app = new CZqApp();
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new CZqEngine();
    ASSERT_EQ(engine->InitEngine(wnd, 800, 600, 0), 0);
  }
  void TearDown() override {
    delete engine;
    delete app;
    CloseEngineWindow();
  }
  // A system-memory surface whose pixel (x, y) is x + 256 * y.
  CZqSurface* Pattern(DWORD w, DWORD h) {
    CZqSurface* s = new CZqSurface(engine);
    EXPECT_EQ(s->CreateEx(w, h, 0), 0);
    BYTE* bits;
    LONG pitch;
    EXPECT_EQ(s->BeginLock(&bits, &pitch), 0);
    for (DWORD y = 0; y < h; ++y)
      for (DWORD x = 0; x < w; ++x) reinterpret_cast<DWORD*>(bits + y * pitch)[x] = x + 256 * y;
    s->EndLock();
    return s;
  }
  DWORD At(CDxSurface* s, long x, long y) {
    return s->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr);
  }

  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
};

TEST_F(SurfaceTest, ChannelTableOf565) {
  CZqSurface s(engine);
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  d.dwWidth = d.dwHeight = 4;
  d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  d.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  d.ddpfPixelFormat.dwFlags = DDPF_RGB;
  d.ddpfPixelFormat.dwRGBBitCount = 16;
  d.ddpfPixelFormat.dwRBitMask = 0xF800;
  d.ddpfPixelFormat.dwGBitMask = 0x07E0;
  d.ddpfPixelFormat.dwBBitMask = 0x001F;
  ASSERT_EQ(s.Create(&d), 0);
  const int loss[4] = {3, 2, 3, 8}, shift[4] = {11, 5, 0, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(int32_t{s.GetChannel(i).loss}, loss[i]);
    EXPECT_EQ(int32_t{s.GetChannel(i).shift}, shift[i]);
  }
  EXPECT_EQ(s.ConvertColor(0xFFFFFFFF), 0xFFFFu);
  EXPECT_EQ(s.GetSurfaceFormat(), D3DX_SF_R5G6B5);
  ASSERT_EQ(s.Clear(s.ConvertColor(0xFF10FF80)), 0);
  BYTE a, r, g, b;
  s.GetPixelInfo(1, 1, &a, &r, &g, &b);
  EXPECT_EQ(int{r}, 0x10);
  EXPECT_EQ(int{a}, 0);
  EXPECT_EQ(int{g}, 0xFC);
  EXPECT_EQ(int{b}, 0x80);
  EXPECT_EQ(s.GetPixelInfo(4, 0, &a, &r, &g, &b), 0u);
}

TEST_F(SurfaceTest, PlacedBltClipsAtEveryEdge) {
  CZqSurface* src = Pattern(100, 20);
  CZqSurface dst(engine);
  ASSERT_EQ(dst.CreateEx(120, 20, 0), 0);
  SScreenRect r(0, 0, 100, 20);
  ASSERT_EQ(dst.Blt(-10, 0, src, &r, 0), 0);
  EXPECT_EQ(r, SScreenRect(10, 0, 100, 20));  // the caller's rectangle is adjusted
  EXPECT_EQ(At(&dst, 0, 0), 10u);
  EXPECT_EQ(At(&dst, 89, 5), 99u + 256 * 5);
  EXPECT_EQ(At(&dst, 90, 5), 0u);
  // Past the right edge the source is cut.
  dst.Clear(0);
  SScreenRect all(0, 0, 100, 20);
  ASSERT_EQ(dst.Blt(50, 0, src, &all, 0), 0);
  EXPECT_EQ(all, SScreenRect(0, 0, 70, 20));
  EXPECT_EQ(At(&dst, 119, 0), 69u);
  EXPECT_EQ(dst.Blt(121, 0, src, nullptr, 0), 0);  // wholly outside: nothing
  EXPECT_EQ(dst.Blt(0, 0, nullptr, nullptr, 0), E_INVALIDARG);
  // Same-format copies go straight through memory with the same clipping.
  dst.Clear(0);
  ASSERT_EQ(dst.CopySurface(-10, -5, src, nullptr), 0);
  EXPECT_EQ(At(&dst, 0, 0), 10u + 256 * 5);
  EXPECT_EQ(At(&dst, 0, 15), 0u);
  delete src;
}

TEST_F(SurfaceTest, StretchBltKeepsContentWhenClipped) {
  CZqSurface* src = Pattern(10, 10);
  CZqSurface dst(engine);
  ASSERT_EQ(dst.CreateEx(20, 20, 0), 0);
  // 10x10 doubled to 20x20 starting 4 pixels left of the surface: source moves by 2.
  SScreenRect d(-4, 0, 16, 20);
  ASSERT_EQ(dst.Blt(&d, src, nullptr, 0), 0);
  EXPECT_EQ(At(&dst, 0, 0), 2u);
  EXPECT_EQ(At(&dst, 1, 0), 2u);
  EXPECT_EQ(At(&dst, 15, 19), 9u + 256 * 9);
  EXPECT_EQ(At(&dst, 16, 0), 0u);
  delete src;
}

TEST_F(SurfaceTest, ColourKeySkipsKeyedPixels) {
  CZqSurface src(engine);
  ASSERT_EQ(src.CreateEx(4, 1, 0), 0);
  src.RGBClear(RGB(255, 0, 255));
  SScreenRect right(2, 0, 4, 1);
  src.RGBClear(RGB(0, 200, 0), &right);
  ASSERT_EQ(src.SetColorKey(RGB(255, 0, 255)), 0);
  CZqSurface dst(engine);
  ASSERT_EQ(dst.CreateEx(4, 1, 0), 0);
  dst.RGBClear(RGB(1, 2, 3));
  ASSERT_EQ(dst.Blt(0, 0, &src, nullptr, 1), 0);
  EXPECT_EQ(At(&dst, 0, 0) & 0xFFFFFF, 0x010203u);
  EXPECT_EQ(At(&dst, 3, 0) & 0xFFFFFF, 0x00C800u);
}

TEST_F(SurfaceTest, GbkCaptionIsExactlyTheTextColourOrUntouched) {
  CZqSurface s(engine);
  ASSERT_EQ(s.CreateEx(200, 40, 0), 0);
  const DWORD paper = 0x00123456;
  s.Clear(paper);
  HFONT font = CreateFontA(-20, 0, 0, 0, 400, 0, 0, 0, 134, 0, 0, 0, 0, "");
  SScreenRect r(0, 0, 200, 40);
  const char caption[] = "\xC4\xE3\xBA\xC3 123";  // "你好 123"
  ASSERT_EQ(s.DrawTextA(font, caption, &r, 200, 40, DT_LEFT | DT_SINGLELINE, 0xFFFFCC00, 0), 0);
  const DWORD ink = s.ConvertColor(0xFFFFCC00);
  int inked = 0;
  for (long y = 0; y < 40; ++y)
    for (long x = 0; x < 200; ++x) {
      DWORD v = At(&s, x, y);
      ASSERT_TRUE(v == ink || v == paper) << x << "," << y << " " << std::hex << v;
      inked += v == ink;
    }
  EXPECT_GT(inked, 50);
  DeleteObject(font);
}

TEST_F(SurfaceTest, WrappedTextEndingInALeadByteStaysInside) {
  CZqSurface s(engine);
  ASSERT_EQ(s.CreateEx(60, 60, 0), 0);
  const char text[] = "ab\xC4\xE3\xBA\xC3\xC4";  // ends in a lone lead byte
  EXPECT_EQ(s.DrawTextInRect(nullptr, text, 0, 0, 30, 60, RGB(255, 255, 255), 0), 0);
  EXPECT_EQ(s.DrawTextCenter(nullptr, "a much wider text than its field", 0, 0, 10, RGB(255, 255, 255), 0),
            0);
}

// Text tests: one font with Chinese glyphs, and the sizes its characters measure on a surface.
class SurfaceTextTest : public SurfaceTest {
 protected:
  void SetUp() override {
    SurfaceTest::SetUp();
    font = CreateFontA(-20, 0, 0, 0, 400, 0, 0, 0, 134, 0, 0, 0, 0, "");
    ASSERT_NE(font, nullptr);
  }
  void TearDown() override {
    DeleteObject(font);
    SurfaceTest::TearDown();
  }
  SIZE Extent(const char* text) {
    CZqSurface s(engine);
    EXPECT_EQ(s.CreateEx(8, 8, 0), 0);
    HDC dc = nullptr;
    EXPECT_EQ(s.BeginDc(&dc), 0);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &size);
    SelectObject(dc, old);
    s.EndDc(dc);
    return size;
  }
  // Every pixel of two surfaces of one size; the first difference is reported.
  void ExpectSamePixels(CZqSurface& a, CZqSurface& b) {
    for (long y = 0; y < long(a.GetHeight()); ++y)
      for (long x = 0; x < long(a.GetWidth()); ++x) ASSERT_EQ(At(&a, x, y), At(&b, x, y)) << x << "," << y;
  }
  std::vector<long> InkColumns(CZqSurface& s) {
    std::vector<long> out;
    for (long x = 0; x < long(s.GetWidth()); ++x)
      for (long y = 0; y < long(s.GetHeight()); ++y)
        if (At(&s, x, y)) {
          out.push_back(x);
          break;
        }
    return out;
  }
  HFONT font = nullptr;
};

// Right-aligned numbers stand in cells as wide as "8", from the right: each digit is where it
// would be alone in its cell, whatever its neighbours.
TEST_F(SurfaceTextTest, DrawNumberPutsEachDigitInItsOwnCell) {
  const long W = 200, H = 30;
  const long e = Extent("8").cx;
  ASSERT_GT(e, 4);
  const long right = W - e / 2;  // the right edge moves in by half a cell
  auto draw = [&](CZqSurface& s, const char* text) {
    SScreenRect r(0, 0, W, H);
    return s.DrawNumber(font, text, &r, W, H, DT_RIGHT | DT_SINGLELINE, 0xFFFFFFFF, 0);
  };
  CZqSurface number(engine);
  ASSERT_EQ(number.CreateEx(W, H, 0), 0);
  number.Clear(0);
  ASSERT_EQ(draw(number, "123"), 0);
  const std::vector<long> ink = InkColumns(number);
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.front(), right - 3 * e) << "the 1 stands two cells left of the 3";
  EXPECT_LT(ink.back(), right);

  CZqSurface digits(engine);
  ASSERT_EQ(digits.CreateEx(W, H, 0), 0);
  digits.Clear(0);
  for (const char* one : {"1  ", " 2 ", "  3"}) ASSERT_EQ(draw(digits, one), 0);
  ExpectSamePixels(number, digits);

  // The cell of each digit holds its ink alone.
  for (int cell = 0; cell < 3; ++cell) {
    CZqSurface alone(engine);
    ASSERT_EQ(alone.CreateEx(W, H, 0), 0);
    alone.Clear(0);
    std::string text = "   ";
    text[2 - cell] = "321"[cell];
    ASSERT_EQ(draw(alone, text.c_str()), 0);
    for (long x : InkColumns(alone)) {
      EXPECT_GE(x, right - (cell + 1) * e) << "digit "
                                           << "321"[cell];
      EXPECT_LT(x, right - cell * e) << "digit "
                                     << "321"[cell];
    }
  }
}

// Lines break where a character would stick out of the width by more than a third of its own
// width; double-byte characters are never split. Each case is drawn line by line for comparison.
TEST_F(SurfaceTextTest, DrawTextInRectBreaksLinesByPixels) {
  const long e = Extent("8").cx, lineHeight = Extent("8").cy;
  const char kNi[] = "\xC4\xE3";  // 你
  const long c = Extent(kNi).cx;
  ASSERT_GT(e, 4);
  ASSERT_GT(c, 4);
  const std::string ni(kNi), hao("\xBA\xC3");  // 好
  struct Case {
    std::string text;
    long width;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"8888", 4 * e, {"8888"}},
      {"8888", 2 * e + e / 2, {"88", "88"}},  // the third sticks out by half: break
      {"8888", 3 * e - e / 5, {"888", "8"}},  // by a fifth only: it stays
      {"8888", 0, {"8", "8", "8", "8"}},      // every line keeps one character
      {ni + hao + ni + hao, 2 * c + c / 2, {ni + hao, ni + hao}},
      {"8" + ni + hao, e + c + c / 2, {"8" + ni, hao}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text + " in " + std::to_string(k.width));
    CZqSurface wrapped(engine), lines(engine);
    ASSERT_EQ(wrapped.CreateEx(160, 120, 0), 0);
    ASSERT_EQ(lines.CreateEx(160, 120, 0), 0);
    wrapped.Clear(0);
    lines.Clear(0);
    ASSERT_EQ(wrapped.DrawTextInRect(font, k.text.c_str(), 4, 2, k.width, 0, RGB(255, 255, 255), 0), 0);
    for (size_t i = 0; i < k.lines.size(); ++i)
      ASSERT_EQ(
          lines.DrawTextDirect(font, k.lines[i].c_str(), 4, 2 + long(i) * lineHeight, RGB(255, 255, 255), 0),
          0);
    ASSERT_FALSE(InkColumns(lines).empty());
    ExpectSamePixels(wrapped, lines);
  }
}

// A picture body: 36-byte header, spans at 50, pixels after.
std::vector<BYTE> Body(int32_t spanCount, int32_t pixelCount, const std::vector<int16_t>& spans, int pixels) {
  std::vector<BYTE> b(size_t(70 + 6 * spans.size() / 3 + 4 * pixels), 0);
  const int32_t pixelOffset = int32_t(50 + 2 * spans.size() + 20);
  const int32_t head[9] = {50, spanCount, pixelOffset, pixelCount, 1, 2, 4, 2, 1};
  std::memcpy(b.data(), head, sizeof head);
  std::memcpy(b.data() + 50, spans.data(), 2 * spans.size());
  for (int i = 0; i < pixels; ++i) {
    BYTE* p = b.data() + pixelOffset + 4 * i;
    p[0] = BYTE(i + 1);  // blue
    p[3] = 255;
  }
  return b;
}

long LoadBody(CDxSurface& s, const std::vector<BYTE>& bytes) {
  FILE* f = tmpfile();
  fwrite(bytes.data(), 1, bytes.size(), f);
  SStreamBuf sb{f, int32_t(bytes.size()), 0};
  long hr = s.LoadFromPGMFile(&sb);
  fclose(f);
  return hr;
}

TEST_F(SurfaceTest, PictureBodyIsBoundedByTheStreamAndTheSurface) {
  CZqSurface s(engine);
  ASSERT_EQ(s.CreateEx(4, 2, 0), 0);
  // Row 0 columns 1..3, then a span that leaves the surface (clipped, pixels still consumed),
  // then a span for which no pixels remain.
  ASSERT_EQ(LoadBody(s, Body(3, 5, {0, 1, 3, 1, 2, 6, 1, 0, 4}, 5)), 0);
  EXPECT_EQ(At(&s, 1, 0) & 0xFF, 1u);
  EXPECT_EQ(At(&s, 2, 0) & 0xFF, 2u);
  EXPECT_EQ(At(&s, 2, 1) & 0xFF, 3u);
  EXPECT_EQ(At(&s, 3, 1) & 0xFF, 4u);
  EXPECT_EQ(At(&s, 0, 1), 0u);
  EXPECT_EQ(s.GetBasePoint(), SScreenPoint(1, 2));
  EXPECT_EQ(s.GetSpanCount(), 3);
  // Counts beyond what the stream holds are refused.
  EXPECT_EQ(LoadBody(s, Body(1000, 5, {0, 0, 4}, 5)), E_FAIL);
  EXPECT_EQ(LoadBody(s, Body(1, 100000, {0, 0, 4}, 5)), E_FAIL);
  EXPECT_EQ(LoadBody(s, Body(-1, 5, {0, 0, 4}, 5)), E_FAIL);
}

TEST_F(SurfaceTest, JpegKeyColourWithinOneIsTransparent) {
  // A 16x8 picture made at test time (ImageMagick convert, quality 100, no chroma subsampling).
  const char* ppm = "surface_key.ppm";
  const char* jpg = "surface_key.jpg";
  FILE* f = fopen(ppm, "wb");
  ASSERT_TRUE(f);
  fprintf(f, "P6\n16 8\n255\n");
  for (int i = 0; i < 128; ++i) fputc(i < 64 ? 11 : 12, f), fputc(20, f), fputc(30, f);
  fclose(f);
  std::string cmd =
      std::string("convert ") + ppm + " -quality 100 -sampling-factor 1x1 " + jpg + " 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "ImageMagick missing";
  CZqSurface s(engine);
  ASSERT_EQ(s.CreateEx(16, 8, 0), 0);
  // A8R8G8B8 keeps the alpha the loader writes.
  ASSERT_EQ(s.ChangeFormat(D3DX_SF_A8R8G8B8), 0);
  // The decoder may move a channel by one or two: take the colours it gives, then a key one
  // step from the top half's colour, away from the bottom half's.
  ASSERT_EQ(s.LoadFromJpegFile(jpg, nullptr, 0, 0), 0);
  BYTE la, lr, lg, lb, ra, rr, rg, rb;
  s.GetPixelInfo(0, 0, &la, &lr, &lg, &lb);
  s.GetPixelInfo(0, 7, &ra, &rr, &rg, &rb);
  ASSERT_NE(lr, rr);
  auto step = [](int l, int r) { return l + (r >= l ? -1 : 1); };
  SPixel24 key(BYTE(step(lr, rr)), BYTE(step(lg, rg)), BYTE(step(lb, rb)));
  ASSERT_EQ(s.LoadFromJpegFile(jpg, &key, 0, 0), 0);
  // Whatever colour the decoder gives back, a pixel is transparent exactly when every channel
  // lies within one of the key; both kinds must occur.
  int transparent = 0, opaque = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) {
      BYTE a, r, g, b;
      s.GetPixelInfo(x, y, &a, &r, &g, &b);
      bool near = std::abs(r - key.red) <= 1 && std::abs(g - key.green) <= 1 && std::abs(b - key.blue) <= 1;
      EXPECT_EQ(int{a}, near ? 0 : 255)
          << x << "," << y << " rgb " << int{r} << "," << int{g} << "," << int{b};
      (near ? transparent : opaque)++;
    }
  EXPECT_GT(transparent, 0);
  EXPECT_GT(opaque, 0);
  std::remove(ppm);
  std::remove(jpg);
}

}  // namespace
