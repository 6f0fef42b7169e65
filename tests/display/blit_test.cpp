// Surface blits: clipping, point-sampled stretch, source colour keys, colour fills.
#include "display_fixture.h"

namespace {

struct Blit : DisplayFixture {
  // A surface whose pixel (x, y) is 0xFF000000 | x << 8 | y (X8R8G8B8 unless a format is given).
  LPDIRECTDRAWSURFACE7 pattern(int w, int h, const DDPIXELFORMAT* pf = nullptr) {
    LPDIRECTDRAWSURFACE7 s = makeSurface(w, h, DDSCAPS_OFFSCREENPLAIN, pf);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        reinterpret_cast<DWORD*>(static_cast<BYTE*>(d.lpSurface) + y * d.lPitch)[x] =
            0xFF000000u | DWORD(x) << 8 | DWORD(y);
    s->Unlock(nullptr);
    return s;
  }
  void fill(LPDIRECTDRAWSURFACE7 s, DWORD raw, RECT* r = nullptr) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = raw;
    ASSERT_EQ(s->Blt(r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  }
  static DWORD px(int x, int y) { return 0xFF000000u | DWORD(x) << 8 | DWORD(y); }
};

constexpr DWORD kUntouched = 0x00ABCDEF;

}  // namespace

TEST_F(Blit, ClippedAndStretchedBlitsSampleSourcePixelCentres) {
  LPDIRECTDRAWSURFACE7 src = pattern(8, 8);
  LPDIRECTDRAWSURFACE7 dst = makeSurface(16, 16, DDSCAPS_OFFSCREENPLAIN);
  struct Case {
    RECT dest, source;
  };
  const Case cases[] = {
      {{4, 4, 12, 12}, {0, 0, 8, 8}},    // plain copy
      {{-2, -3, 6, 5}, {0, 0, 8, 8}},    // clipped at the top-left: the source follows
      {{12, 10, 20, 18}, {0, 0, 8, 8}},  // clipped at the bottom-right
      {{0, 0, 16, 16}, {2, 2, 6, 6}},    // enlarged 4x
      {{1, 2, 6, 13}, {0, 0, 8, 8}},     // shrunk in x, stretched in y, uneven ratios
      {{-8, -4, 8, 12}, {0, 0, 4, 8}},   // stretched and clipped
  };
  for (const Case& c : cases) {
    fill(dst, kUntouched);
    RECT d = c.dest, s = c.source;
    ASSERT_EQ(dst->Blt(&d, src, &s, DDBLT_WAIT, nullptr), DD_OK);
    const LONG dw = d.right - d.left, dh = d.bottom - d.top, sw = s.right - s.left, sh = s.bottom - s.top;
    int wrong = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        DWORD want = kUntouched;
        if (x >= d.left && x < d.right && y >= d.top && y < d.bottom) {
          // The source pixel under the destination pixel's centre.
          const int sx = s.left + int(((x - d.left) + 0.5) * sw / dw);
          const int sy = s.top + int(((y - d.top) + 0.5) * sh / dh);
          want = px(sx, sy);
        }
        wrong += pixel(dst, x, y) != want;
      }
    EXPECT_EQ(wrong, 0) << "dest " << d.left << "," << d.top << "," << d.right << "," << d.bottom;
  }
  // A source rectangle outside the source is refused and changes nothing.
  fill(dst, kUntouched);
  RECT bad{4, 4, 9, 8};
  EXPECT_EQ(dst->Blt(nullptr, src, &bad, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(pixel(dst, 0, 0), kUntouched);
  dst->Release();
  src->Release();
}

TEST_F(Blit, OverlappingBlitWithinOneSurfaceKeepsItsSource) {
  LPDIRECTDRAWSURFACE7 s = pattern(8, 8);
  RECT d{1, 1, 8, 8}, r{0, 0, 7, 7};
  ASSERT_EQ(s->Blt(&d, s, &r, DDBLT_WAIT, nullptr), DD_OK);
  for (int y = 1; y < 8; ++y)
    for (int x = 1; x < 8; ++x) EXPECT_EQ(pixel(s, x, y), px(x - 1, y - 1)) << x << "," << y;
  s->Release();
}

TEST_F(Blit, SourceColourKeyComparesTheColourBitsOnly) {
  // A8R8G8B8 source: the key matches whatever the alpha byte holds.
  DDPIXELFORMAT argb{};
  argb.dwSize = sizeof argb;
  argb.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
  argb.dwRGBBitCount = 32;
  argb.dwRBitMask = 0xFF0000;
  argb.dwGBitMask = 0xFF00;
  argb.dwBBitMask = 0xFF;
  argb.dwRGBAlphaBitMask = 0xFF000000;
  LPDIRECTDRAWSURFACE7 src = makeSurface(4, 1, DDSCAPS_OFFSCREENPLAIN, &argb);
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  ASSERT_EQ(src->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  const DWORD row[4] = {0x00FF00FF, 0xFFFF00FF, 0x80FF00FE, 0x12345678};
  std::memcpy(d.lpSurface, row, sizeof row);
  src->Unlock(nullptr);
  LPDIRECTDRAWSURFACE7 dst = makeSurface(4, 1, DDSCAPS_OFFSCREENPLAIN, &argb);

  // Without a key set, a keyed blit is refused.
  EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DDERR_NOCOLORKEY);
  DDCOLORKEY key{0x00FF00FF, 0x00FF00FF};
  ASSERT_EQ(src->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  fill(dst, kUntouched);
  ASSERT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(pixel(dst, 0, 0), kUntouched);
  EXPECT_EQ(pixel(dst, 1, 0), kUntouched);
  EXPECT_EQ(pixel(dst, 2, 0), 0x80FF00FEu);
  EXPECT_EQ(pixel(dst, 3, 0), 0x12345678u);
  // A key range (colour space) and an override key given with the blit.
  key = {0x00FF00FE, 0x00FF00FF};
  ASSERT_EQ(src->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &key), DD_OK);
  fill(dst, kUntouched);
  ASSERT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(pixel(dst, 2, 0), kUntouched);
  EXPECT_EQ(pixel(dst, 3, 0), 0x12345678u);
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.ddckSrcColorkey = {0x345678, 0x345678};
  fill(dst, kUntouched);
  ASSERT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_KEYSRCOVERRIDE | DDBLT_WAIT, &fx), DD_OK);
  EXPECT_EQ(pixel(dst, 0, 0), 0x00FF00FFu);
  EXPECT_EQ(pixel(dst, 3, 0), kUntouched);
  dst->Release();
  src->Release();

  // R5G6B5 with a stretch: keyed texels stay out at every enlarged pixel.
  DDPIXELFORMAT rgb16{};
  rgb16.dwSize = sizeof rgb16;
  rgb16.dwFlags = DDPF_RGB;
  rgb16.dwRGBBitCount = 16;
  rgb16.dwRBitMask = 0xF800;
  rgb16.dwGBitMask = 0x07E0;
  rgb16.dwBBitMask = 0x001F;
  LPDIRECTDRAWSURFACE7 s16 = makeSurface(2, 1, DDSCAPS_OFFSCREENPLAIN, &rgb16);
  LPDIRECTDRAWSURFACE7 d16 = makeSurface(4, 2, DDSCAPS_OFFSCREENPLAIN, &rgb16);
  ASSERT_EQ(s16->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  static_cast<WORD*>(d.lpSurface)[0] = 0xF81F;
  static_cast<WORD*>(d.lpSurface)[1] = 0x07E0;
  s16->Unlock(nullptr);
  key = {0xF81F, 0xF81F};
  ASSERT_EQ(s16->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  fill(d16, 0x1234);
  ASSERT_EQ(d16->Blt(nullptr, s16, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  ASSERT_EQ(d16->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  for (int y = 0; y < 2; ++y) {
    const WORD* r = reinterpret_cast<const WORD*>(static_cast<BYTE*>(d.lpSurface) + y * d.lPitch);
    EXPECT_EQ(r[0], 0x1234);
    EXPECT_EQ(r[1], 0x1234);
    EXPECT_EQ(r[2], 0x07E0);
    EXPECT_EQ(r[3], 0x07E0);
  }
  d16->Unlock(nullptr);
  d16->Release();
  s16->Release();
}

TEST_F(Blit, ColourFillIsClippedToTheSurface) {
  LPDIRECTDRAWSURFACE7 s = makeSurface(8, 8, DDSCAPS_OFFSCREENPLAIN);
  fill(s, kUntouched);
  RECT r{-3, 5, 3, 20};
  fill(s, 0x00112233, &r);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(pixel(s, x, y), (x < 3 && y >= 5) ? 0x00112233u : kUntouched) << x << "," << y;
  RECT inverted{5, 5, 2, 6};
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  EXPECT_EQ(s->Blt(&inverted, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDRECT);
  s->Release();
}

TEST_F(Blit, LostSurfacesRefuseBlitsUntilRestored) {
  LPDIRECTDRAWSURFACE7 src = pattern(4, 4);
  LPDIRECTDRAWSURFACE7 dst = makeSurface(4, 4, DDSCAPS_OFFSCREENPLAIN);
  zqDisplayMarkAllSurfacesLost();
  EXPECT_EQ(dst->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
  ASSERT_EQ(dst->Restore(), DD_OK);
  EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);  // the source too
  ASSERT_EQ(src->Restore(), DD_OK);
  EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(pixel(dst, 3, 2), px(3, 2));
  // The fixture's target and device were lost too.
  EXPECT_EQ(dev->BeginScene(), DDERR_SURFACELOST);
  ASSERT_EQ(dd->RestoreAllSurfaces(), DD_OK);
  EXPECT_EQ(dev->BeginScene(), D3D_OK);
  EXPECT_EQ(dev->EndScene(), D3D_OK);
  dst->Release();
  src->Release();
}
