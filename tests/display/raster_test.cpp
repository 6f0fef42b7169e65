// Pixels of the software device.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "display_fixture.h"
#include "zqplatform/display_hooks.h"

using Raster = DisplayFixture;

TEST_F(Raster, FillRuleCoversPixelCentresTopLeftInclusive) {
  clear(0);
  ASSERT_EQ(quad(10, 20, 14, 23, 0xFFFFFFFF), D3D_OK);
  // centres at integers: x 10..13, y 20..22
  EXPECT_EQ(at(10, 20), 0xFFFFFFu);
  EXPECT_EQ(at(13, 22), 0xFFFFFFu);
  EXPECT_EQ(at(9, 20), 0u);
  EXPECT_EQ(at(14, 20), 0u);
  EXPECT_EQ(at(10, 19), 0u);
  EXPECT_EQ(at(10, 23), 0u);
  // Fractional edges: a centre is covered when it lies inside, or on a top or left edge.
  clear(0);
  ASSERT_EQ(quad(10.5f, 20.5f, 14.5f, 22.5f, 0xFFFFFFFF), D3D_OK);
  EXPECT_EQ(at(10, 21), 0u);
  EXPECT_EQ(at(11, 21), 0xFFFFFFu);
  EXPECT_EQ(at(14, 22), 0xFFFFFFu);
  EXPECT_EQ(at(15, 22), 0u);
  EXPECT_EQ(at(11, 20), 0u);
  EXPECT_EQ(at(11, 23), 0u);
  // Two quads sharing an edge at x = 14 neither overlap nor leave a gap (additive blending).
  clear(0);
  dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
  dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
  dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  // A diagonal shared edge: two triangles of a rotated square.
  D3DTLVERTEX v[4] = {vtx(100.3f, 100.1f, 0xFF404040), vtx(140.7f, 110.2f, 0xFF404040),
                      vtx(90.2f, 140.6f, 0xFF404040), vtx(130.9f, 150.4f, 0xFF404040)};
  ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0), D3D_OK);
  int overlaps = 0, covered = 0;
  for (int y = 95; y < 155; ++y)
    for (int x = 85; x < 145; ++x) {
      DWORD c = at(x, y) & 0xFF;
      covered += c != 0;
      overlaps += c > 0x40;
    }
  EXPECT_EQ(overlaps, 0);
  EXPECT_GT(covered, 1500);
}

TEST_F(Raster, OneToOneQuadReproducesTexelsUnderBothFilters) {
  std::vector<DWORD> tex(64 * 48);
  for (int i = 0; i < 64 * 48; ++i) tex[size_t(i)] = 0xFF000000u | DWORD(i * 2654435761u >> 8);
  LPDIRECTDRAWSURFACE7 t = makeTexture(64, 48, tex);
  for (DWORD filter : {DWORD(D3DTFG_POINT), DWORD(D3DTFG_LINEAR)}) {
    clear(0);
    dev->SetTexture(0, t);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
    dev->SetTextureStageState(0, D3DTSS_MINFILTER, filter);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    // Bilinear samples at texel centres when the quad sits half a pixel up and left.
    const float o = filter == D3DTFG_LINEAR ? 0.5f : 0.f;
    ASSERT_EQ(quad(7 - o, 5 - o, 71 - o, 53 - o, 0xFFFFFFFF), D3D_OK);
    int wrong = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) wrong += at(7 + x, 5 + y) != (tex[size_t(y) * 64 + x] & 0xFFFFFF);
    EXPECT_EQ(wrong, 0) << "filter " << filter;
  }
  dev->SetTexture(0, nullptr);
  t->Release();
}

namespace {

// Reference blend arithmetic: per channel min(255, round(s * fs / 255) + round(d * fd / 255)).
int factorOf(DWORD code, bool source, int k, const int s[4], const int d[4]) {
  const int sa = s[3], da = d[3];
  switch (code) {
    case D3DBLEND_ZERO:
      return 0;
    case D3DBLEND_ONE:
      return 255;
    case D3DBLEND_SRCCOLOR:
      return s[k];
    case D3DBLEND_INVSRCCOLOR:
      return 255 - s[k];
    case D3DBLEND_SRCALPHA:
      return sa;
    case D3DBLEND_INVSRCALPHA:
      return 255 - sa;
    case D3DBLEND_DESTALPHA:
      return da;
    case D3DBLEND_INVDESTALPHA:
      return 255 - da;
    case D3DBLEND_DESTCOLOR:
      return d[k];
    case D3DBLEND_INVDESTCOLOR:
      return 255 - d[k];
    case D3DBLEND_SRCALPHASAT:
      return k == 3 ? 255 : std::min(sa, 255 - da);
    case D3DBLEND_BOTHSRCALPHA:
      return source ? sa : 255 - sa;
    case D3DBLEND_BOTHINVSRCALPHA:
      return source ? 255 - sa : sa;
    default:
      return -1;
  }
}

DWORD referenceBlend(DWORD src, DWORD dst, DWORD sb, DWORD db) {
  int s[4], d[4];
  for (int k = 0; k < 4; ++k) {
    s[k] = int(src >> (8 * k)) & 255;
    d[k] = int(dst >> (8 * k)) & 255;
  }
  d[3] = 255;  // an X8R8G8B8 target reads as opaque
  const DWORD fdCode = (sb == D3DBLEND_BOTHSRCALPHA || sb == D3DBLEND_BOTHINVSRCALPHA) ? sb : db;
  DWORD out = 0;
  for (int k = 0; k < 3; ++k) {
    const double v = std::round(s[k] * factorOf(sb, true, k, s, d) / 255.0) +
                     std::round(d[k] * factorOf(fdCode, false, k, s, d) / 255.0);
    out |= DWORD(std::min(255.0, v)) << (8 * k);
  }
  return out;
}

}  // namespace

TEST_F(Raster, BlendFactorPairsMatchTheBlendEquation) {
  struct Pair {
    DWORD src, dst;
  };
  // The painter's pairs (alpha painting, darkening, lightening), then every factor on each side.
  std::vector<Pair> pairs = {{D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                             {D3DBLEND_ZERO, D3DBLEND_SRCALPHA},
                             {D3DBLEND_DESTCOLOR, D3DBLEND_SRCALPHA}};
  for (DWORD f = D3DBLEND_ZERO; f <= D3DBLEND_BOTHINVSRCALPHA; ++f) pairs.push_back({f, D3DBLEND_ZERO});
  for (DWORD f = D3DBLEND_ZERO; f <= D3DBLEND_SRCALPHASAT; ++f) pairs.push_back({D3DBLEND_ONE, f});
  const DWORD sources[] = {0xA0306090, 0x40FFFFFF, 0xFF102030, 0x00C0C0C0};
  const DWORD dests[] = {0x00C08040, 0x00404040};
  for (bool textured : {false, true}) {
    for (const Pair& p : pairs)
      for (DWORD src : sources)
        for (DWORD dst : dests) {
          clear(dst);
          LPDIRECTDRAWSURFACE7 t = nullptr;
          if (textured) {
            // The colour comes from a texel (point-sampled; the painter's linear filter over
            // one texel gives the same), the diffuse is white.
            t = makeTexture(1, 1, {src});
            preparePaint(p.src, p.dst, D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
            dev->SetTexture(0, t);
          } else {
            preparePaint(p.src, p.dst, D3DTOP_SELECTARG2, D3DTOP_SELECTARG2);
            dev->SetTexture(0, nullptr);
          }
          ASSERT_EQ(quad(4, 4, 12, 12, textured ? 0xFFFFFFFF : src), D3D_OK);
          EXPECT_EQ(at(7, 7), referenceBlend(src, dst, p.src, p.dst))
              << "src blend " << p.src << " dest blend " << p.dst << std::hex << " source " << src << " dest "
              << dst << (textured ? " textured" : " diffuse");
          EXPECT_EQ(at(3, 7), dst & 0xFFFFFF);
          dev->SetTexture(0, nullptr);
          if (t) t->Release();
        }
  }
}

TEST_F(Raster, Modulate2xByHalfGreyDoublesTheRoundedProduct) {
  // Every byte value on each channel; the painter's state with the panel colour 0xFF7F7F7F.
  std::vector<DWORD> tex(256);
  for (DWORD i = 0; i < 256; ++i) tex[i] = 0xFF000000u | (i << 16) | ((255 - i) << 8) | (i ^ 0x5A);
  LPDIRECTDRAWSURFACE7 t = makeTexture(256, 1, tex);
  auto expect = [](DWORD c) {
    DWORD out = 0;
    for (int k = 0; k < 24; k += 8) {
      const double v = 2 * std::round(((c >> k) & 255) * 127 / 255.0);
      out |= DWORD(std::min(255.0, v)) << k;
    }
    return out;
  };
  // Point and linear filtering (both sample texel centres of a 1:1 quad), and an untextured quad.
  for (DWORD filter : {DWORD(D3DTFG_POINT), DWORD(D3DTFG_LINEAR)}) {
    clear(0);
    preparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE2X, D3DTOP_MODULATE);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
    dev->SetTextureStageState(0, D3DTSS_MINFILTER, filter);
    dev->SetTexture(0, t);
    const float o = filter == D3DTFG_LINEAR ? 0.5f : 0.f;
    ASSERT_EQ(quad(10 - o, 3 - o, 266 - o, 4 - o, 0xFF7F7F7F), D3D_OK);
    int wrong = 0;
    for (int x = 0; x < 256; ++x) wrong += at(10 + x, 3) != expect(tex[size_t(x)]);
    EXPECT_EQ(wrong, 0) << "filter " << filter;
  }
  dev->SetTexture(0, nullptr);
  t->Release();
  // No texture reads as opaque white: 2 * 0x7F per channel.
  clear(0);
  preparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE2X, D3DTOP_MODULATE);
  ASSERT_EQ(quad(0, 0, 4, 4, 0xFF7F7F7F), D3D_OK);
  EXPECT_EQ(at(1, 1), 0xFEFEFEu);
}

TEST_F(Raster, UnboundTextureReadsAsOpaqueWhite) {
  clear(0x00102030);
  dev->SetTexture(0, nullptr);  // default stage: MODULATE texture by diffuse, alpha from the texture
  dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  ASSERT_EQ(quad(0, 0, 4, 4, 0x00336699), D3D_OK);  // the white texel's alpha, not the diffuse's
  EXPECT_EQ(at(1, 1), 0x336699u);
}

TEST_F(Raster, ZOrderWithAndWithoutAZBuffer) {
  // Red near (z 0.3), then green far (0.6), then blue at the same depth as red.
  auto scene = [&](LPDIRECT3DDEVICE7 d) {
    D3DTLVERTEX r[4] = {vtx(10, 10, 0xFFFF0000, 0, 0, 0.3f), vtx(30, 10, 0xFFFF0000, 0, 0, 0.3f),
                        vtx(10, 30, 0xFFFF0000, 0, 0, 0.3f), vtx(30, 30, 0xFFFF0000, 0, 0, 0.3f)};
    D3DTLVERTEX g[4] = {vtx(20, 20, 0xFF00FF00, 0, 0, 0.6f), vtx(40, 20, 0xFF00FF00, 0, 0, 0.6f),
                        vtx(20, 40, 0xFF00FF00, 0, 0, 0.6f), vtx(40, 40, 0xFF00FF00, 0, 0, 0.6f)};
    D3DTLVERTEX b[4] = {vtx(25, 5, 0xFF0000FF, 0, 0, 0.3f), vtx(35, 5, 0xFF0000FF, 0, 0, 0.3f),
                        vtx(25, 15, 0xFF0000FF, 0, 0, 0.3f), vtx(35, 15, 0xFF0000FF, 0, 0, 0.3f)};
    d->SetTexture(0, nullptr);
    d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    for (D3DTLVERTEX* q : {r, g, b})
      ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
  };
  auto px = [&](LPDIRECTDRAWSURFACE7 s, int x, int y) { return pixel(s, x, y) & 0xFFFFFF; };

  // No Z buffer: the painter's order.
  clear(0);
  scene(dev);
  EXPECT_EQ(at(25, 25), 0x00FF00u);
  EXPECT_EQ(at(28, 12), 0x0000FFu);

  for (DWORD bits : {16u, 32u}) {
    LPDIRECTDRAWSURFACE7 t = makeSurface(64, 64, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    DDSURFACEDESC2 zd;
    std::memset(&zd, 0, sizeof zd);
    zd.dwSize = sizeof zd;
    zd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_ZBUFFERBITDEPTH;
    zd.dwWidth = zd.dwHeight = 64;
    zd.dwMipMapCount = bits;  // the Z bit depth shares this slot
    zd.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
    LPDIRECTDRAWSURFACE7 z = nullptr;
    ASSERT_EQ(dd->CreateSurface(&zd, &z, nullptr), DD_OK);
    ASSERT_EQ(t->AddAttachedSurface(z), DD_OK);
    LPDIRECT3DDEVICE7 d = nullptr;
    ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, t, &d), D3D_OK);
    d->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
    d->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    d->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.f, 0), D3D_OK);
    scene(d);
    EXPECT_EQ(px(t, 25, 25), 0xFF0000u) << bits;  // the far quad stays behind
    EXPECT_EQ(px(t, 35, 35), 0x00FF00u) << bits;
    EXPECT_EQ(px(t, 28, 12), 0x0000FFu) << bits;  // equal depth passes LESSEQUAL
    // Z testing off: the painter's order again, even with the buffer attached.
    d->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE);
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.f, 0), D3D_OK);
    scene(d);
    EXPECT_EQ(px(t, 25, 25), 0x00FF00u) << bits;
    // Without Z writes the near quad leaves the buffer at 1, so the far one covers it.
    d->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
    d->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.f, 0), D3D_OK);
    scene(d);
    EXPECT_EQ(px(t, 25, 25), 0x00FF00u) << bits;
    d->Release();
    z->Release();
    t->Release();
  }
}

TEST_F(Raster, AlphaTestGreaterEqualOneDropsTransparentTexels) {
  // The engine's Z-wish state: ALPHATESTENABLE, ALPHAREF 1, ALPHAFUNC GREATEREQUAL.
  LPDIRECTDRAWSURFACE7 t = makeTexture(4, 1, {0x00FF0000, 0x01FF0000, 0x80FF0000, 0xFFFF0000});
  struct Case {
    DWORD func, ref;
    bool written[4];
  };
  const Case cases[] = {{D3DCMP_GREATEREQUAL, 1, {false, true, true, true}},
                        {D3DCMP_GREATER, 0x80, {false, false, false, true}},
                        {D3DCMP_LESS, 0x80, {true, true, false, false}},
                        {D3DCMP_ALWAYS, 0, {true, true, true, true}}};
  for (const Case& c : cases) {
    clear(0x000000FF);
    dev->SetTexture(0, t);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_ALPHAREF, c.ref);
    dev->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, c.func);
    ASSERT_EQ(quad(0, 0, 4, 1, 0xFFFFFFFF), D3D_OK);
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(at(x, 0), c.written[x] ? 0xFF0000u : 0x0000FFu) << c.func << " x " << x;
  }
  dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, FALSE);
  dev->SetTexture(0, nullptr);
  t->Release();
}

TEST_F(Raster, LinesLightEveryPixelFromTheStartUpToTheEnd) {
  dev->SetTexture(0, nullptr);
  dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
  dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);  // a pixel lit twice shows 0x80
  struct Case {
    float x0, y0, x1, y1;
    int count;  // pixels lit
    int firstX, firstY, lastX, lastY;
  };
  const Case cases[] = {{10, 10, 20, 10, 10, 10, 10, 19, 10},   // horizontal
                        {30, 5, 30, 15, 10, 30, 5, 30, 14},     // vertical
                        {20, 40, 10, 40, 10, 20, 40, 11, 40},   // right to left
                        {50, 50, 60, 60, 10, 50, 50, 59, 59},   // diagonal
                        {70, 70, 80, 75, 10, 70, 70, 79, 75}};  // shallow
  for (const Case& c : cases) {
    clear(0);
    D3DTLVERTEX v[2] = {vtx(c.x0, c.y0, 0xFF404040), vtx(c.x1, c.y1, 0xFF404040)};
    ASSERT_EQ(dev->DrawPrimitive(D3DPT_LINELIST, D3DFVF_TLVERTEX, v, 2, 0), D3D_OK);
    int lit = 0, twice = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) {
        const DWORD p = at(x, y) & 0xFF;
        lit += p != 0;
        twice += p > 0x40;
      }
    EXPECT_EQ(lit, c.count) << c.x0 << "," << c.y0;
    EXPECT_EQ(twice, 0);
    EXPECT_EQ(at(c.firstX, c.firstY), 0x404040u);
    EXPECT_EQ(at(c.lastX, c.lastY), 0x404040u);
    EXPECT_EQ(at(int(c.x1), int(c.y1)), 0u);  // the end pixel is left out
  }
  // The painter's outline: an indexed line strip 0, 1, 3, 2, 0 lights the border exactly once.
  clear(0);
  D3DTLVERTEX q[4] = {vtx(100, 100, 0xFF404040), vtx(110, 100, 0xFF404040), vtx(100, 105, 0xFF404040),
                      vtx(110, 105, 0xFF404040)};
  WORD outline[5] = {0, 1, 3, 2, 0};
  ASSERT_EQ(dev->DrawIndexedPrimitive(D3DPT_LINESTRIP, D3DFVF_TLVERTEX, q, 4, outline, 5, 0), D3D_OK);
  int lit = 0, twice = 0;
  for (int y = 95; y < 115; ++y)
    for (int x = 95; x < 115; ++x) {
      const DWORD p = at(x, y) & 0xFF;
      const bool border = (x >= 100 && x <= 110 && (y == 100 || y == 105)) ||
                          ((x == 100 || x == 110) && y >= 100 && y <= 105);
      EXPECT_EQ(p != 0, border) << x << "," << y;
      lit += p != 0;
      twice += p > 0x40;
    }
  EXPECT_EQ(lit, 30);
  EXPECT_EQ(twice, 0);
}

TEST_F(Raster, WrapAddressingRepeatsTheTexture) {
  const std::vector<DWORD> texels = {0xFF110000, 0xFF002200, 0xFF000033, 0xFF444444};
  LPDIRECTDRAWSURFACE7 t = makeTexture(4, 1, texels);
  dev->SetTexture(0, t);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  dev->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_WRAP);
  // u from -1 to 3 over 16 pixels: four repeats starting at texel 0; v far outside 0..1.
  for (float v0 : {0.f, -7.f, 12.f}) {
    clear(0);
    D3DTLVERTEX v[4] = {vtx(0, 0, 0xFFFFFFFF, -1, v0), vtx(16, 0, 0xFFFFFFFF, 3, v0),
                        vtx(0, 2, 0xFFFFFFFF, -1, v0 + 2), vtx(16, 2, 0xFFFFFFFF, 3, v0 + 2)};
    ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0), D3D_OK);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 16; ++x)
        EXPECT_EQ(at(x, y), texels[size_t(x % 4)] & 0xFFFFFF) << x << "," << y << " v " << v0;
  }
  dev->SetTexture(0, nullptr);
  t->Release();
}

TEST_F(Raster, BilinearMidpointAndWrappedSeam) {
  // Two texels magnified to four pixels: pixel centres 1 and 3 fall on texel centres, 2 on the
  // midpoint, 0 on the midpoint across the wrapped seam (clamped: the first texel).
  const DWORD a = 0xFF204060, b = 0xFF6080A0;
  LPDIRECTDRAWSURFACE7 t = makeTexture(2, 1, {a, b});
  struct Case {
    DWORD address;
    DWORD expect[4];
  };
  const Case cases[] = {{D3DTADDRESS_WRAP, {0x406080, 0x204060, 0x406080, 0x6080A0}},
                        {D3DTADDRESS_CLAMP, {0x204060, 0x204060, 0x406080, 0x6080A0}}};
  for (const Case& c : cases) {
    clear(0);
    dev->SetTexture(0, t);
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    dev->SetTextureStageState(0, D3DTSS_ADDRESS, c.address);
    ASSERT_EQ(quad(0, 0, 4, 1, 0xFFFFFFFF), D3D_OK);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(at(x, 0), c.expect[x]) << "address " << c.address << " x " << x;
  }
  dev->SetTexture(0, nullptr);
  t->Release();
}

TEST_F(Raster, TextureCoordinatesOutOfRangeSampleSomeTexel) {
  // NaN, infinite and huge texture coordinates, under both filters and addressing modes, by
  // the fused kernels and the general path: every pixel of a one-colour texture shows that
  // colour, and nothing is converted out of range (the sanitizer build checks).
  const DWORD c = 0xFF336699;
  LPDIRECTDRAWSURFACE7 t = makeTexture(8, 8, std::vector<DWORD>(64, c));
  const float nan = std::nanf(""), inf = INFINITY;
  const float coords[][4] = {{nan, 0, 1, 1},
                             {0, inf, 1, 1},
                             {-inf, 0, inf, 1},
                             {1e30f, 0, -1e30f, 1e30f},
                             {3e9f, -3e9f, 3e9f + 1e3f, -3e9f},
                             {0, 0, 1e7f, 1}};
  for (DWORD address : {DWORD(D3DTADDRESS_WRAP), DWORD(D3DTADDRESS_CLAMP)})
    for (DWORD filter : {DWORD(D3DTFG_POINT), DWORD(D3DTFG_LINEAR)})
      for (bool general : {false, true})
        for (const auto& uv : coords) {
          clear(0);
          preparePaint(D3DBLEND_ONE, D3DBLEND_ZERO, D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
          dev->SetTextureStageState(0, D3DTSS_ADDRESS, address);
          dev->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
          dev->SetTextureStageState(0, D3DTSS_MINFILTER,
                                    filter == D3DTFG_POINT ? D3DTFN_POINT : D3DTFN_LINEAR);
          dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, general);
          dev->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL);
          dev->SetRenderState(D3DRENDERSTATE_ALPHAREF, 0);
          dev->SetTexture(0, t);
          D3DTLVERTEX v[4] = {vtx(10, 10, 0xFFFFFFFF, uv[0], uv[1]), vtx(50, 12, 0xFFFFFFFF, uv[2], uv[1]),
                              vtx(8, 40, 0xFFFFFFFF, uv[0], uv[3]), vtx(48, 42, 0xFFFFFFFF, uv[2], uv[3])};
          ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0), D3D_OK);
          EXPECT_EQ(at(30, 25), c & 0xFFFFFF)
              << "address " << address << " filter " << filter << " u " << uv[0];
          EXPECT_EQ(at(60, 25), 0u);
        }
  dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, FALSE);
  dev->SetTexture(0, nullptr);
  t->Release();
}

TEST_F(Raster, SliversWithHugeColourGradientsStayWithinTheirCornerColours) {
  // Nearly collinear corners make the colour planes' gradients enormous; the shading saturates
  // at the corners' colours instead of overflowing its fixed-point steps.
  dev->SetTexture(0, nullptr);
  dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  dev->SetRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
  dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  // Each has a pixel centre on its left edge in every row it spans, and a third corner a
  // hair's breadth to the side.
  const float slivers[][6] = {{10, 10, 10, 500, 10.0001f, 500},
                              {300, 20, 300.00002f, 580, 300, 580},
                              {700, 590, 700.00005f, 30, 700, 30}};
  for (const auto& t : slivers) {
    clear(0x00123456);
    D3DTLVERTEX v[3] = {vtx(t[0], t[1], 0xFF000000), vtx(t[2], t[3], 0xFF00FF00),
                        vtx(t[4], t[5], 0xFFFFFFFF)};
    ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, 0), D3D_OK);
    int lit = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const DWORD p = at(x, y);
        if (p == 0x123456u) continue;
        ++lit;
        // Red and blue are equal: no corner has one without the other.
        ASSERT_EQ(p >> 16 & 255, p & 255) << x << "," << y << std::hex << " " << p;
      }
    EXPECT_GT(lit, 100);
  }
}

TEST_F(Raster, GouraudCornersAndInterpolation) {
  // A quad with its corners on pixel centres 15 apart; channels step by 16 a pixel, so every
  // interpolated value is exact. The strip splits it along the top-right to bottom-left diagonal.
  const int L = 20, T = 30;
  auto col = [](DWORD r, DWORD g, DWORD b) { return 0xFF000000u | r << 16 | g << 8 | b; };
  clear(0);
  dev->SetTexture(0, nullptr);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
  dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  D3DTLVERTEX v[4] = {vtx(L, T, col(0, 0, 0)), vtx(L + 15, T, col(0xF0, 0, 0)),
                      vtx(L, T + 15, col(0, 0xF0, 0)), vtx(L + 15, T + 15, col(0xF0, 0xF0, 0x78))};
  ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0), D3D_OK);
  EXPECT_EQ(at(L, T), 0x000000u);          // the top-left corner shows its own colour
  EXPECT_EQ(at(L + 14, T), 0xE00000u);     // top edge towards red
  EXPECT_EQ(at(L, T + 14), 0x00E000u);     // left edge towards green
  EXPECT_EQ(at(L + 7, T + 3), 0x703000u);  // upper triangle: red by x, green by y
  // Lower triangle (TR, BL, BR): blue grows from the diagonal towards the bottom-right corner.
  EXPECT_EQ(at(L + 14, T + 14), 0xE0E068u);
  EXPECT_EQ(at(L + 15, T + 15), 0u);  // right and bottom edges are outside
  EXPECT_EQ(at(L + 15, T), 0u);
}

TEST_F(Raster, FusedKernelsMatchTheGeneralPath) {
  // The same scaled, rotated and blended quads drawn by the fused painting kernels and by the
  // general span pipeline (an alpha test that always passes takes the general path).
  std::vector<DWORD> tex(37 * 23);
  for (size_t i = 0; i < tex.size(); ++i) tex[i] = DWORD(i * 2654435761u) | (DWORD(i * 7) & 0xFF) << 24;
  LPDIRECTDRAWSURFACE7 t = makeTexture(37, 23, tex);
  auto draw = [&](bool general) -> std::vector<DWORD> {
    clear(0x00406080);
    for (DWORD colorOp : {DWORD(D3DTOP_MODULATE2X), DWORD(D3DTOP_MODULATE), DWORD(D3DTOP_SELECTARG1)})
      for (int i = 0; i < 6; ++i) {
        preparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, colorOp, D3DTOP_MODULATE);
        dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, general);
        dev->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        dev->SetRenderState(D3DRENDERSTATE_ALPHAREF, 0);
        dev->SetTexture(0, i == 5 ? nullptr : t);
        const float a = 0.37f * float(i), c = std::cos(a), s = std::sin(a), k = 0.6f + 0.45f * float(i);
        const float x = 60.f + 120.f * float(i), y = 80.f + 150.f * float(colorOp % 3);
        const float cx[4] = {0, 37, 0, 37}, cy[4] = {0, 0, 23, 23};
        D3DTLVERTEX v[4];
        for (int j = 0; j < 4; ++j)
          v[j] = vtx(x + k * (cx[j] * c - cy[j] * s), y + k * (cx[j] * s + cy[j] * c), 0xC07F7F7F,
                     cx[j] / 37 * 1.5f - 0.25f, cy[j] / 23 * 1.2f + 0.1f);
        EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0), D3D_OK);
      }
    std::vector<DWORD> out(size_t(width) * height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out[size_t(y) * width + x] = at(x, y);
    return out;
  };
  const std::vector<DWORD> fused = draw(false), general = draw(true);
  int differ = 0;
  for (size_t i = 0; i < fused.size(); ++i)
    if (fused[i] != general[i] && ++differ <= 5)
      ADD_FAILURE() << "pixel " << i % width << "," << i / width << std::hex << " fused " << fused[i]
                    << " general " << general[i];
  EXPECT_EQ(differ, 0);
  dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, FALSE);
  dev->SetTexture(0, nullptr);
  t->Release();
}

namespace {

// The kernel widths this processor runs: 512 with AVX-512 (F, BW, VL), 256 with AVX2, and 128
// always. The test's output says which ran and which were skipped, since asking for a width the
// processor lacks would only run a narrower one again.
std::vector<int> KernelWidths() {
  const bool avx2 = __builtin_cpu_supports("avx2");
  const bool avx512 = avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                      __builtin_cpu_supports("avx512vl");
  std::vector<int> ran;
  std::string skipped;
  for (auto [bits, has] : {std::pair{512, avx512}, std::pair{256, avx2}, std::pair{128, true}}) {
    if (has)
      ran.push_back(bits);
    else
      skipped += " " + std::to_string(bits);
  }
  std::string widths;
  for (int bits : ran) widths += (widths.empty() ? "" : " ") + std::to_string(bits);
  ::testing::Test::RecordProperty("kernel_widths", widths);
  std::printf("[ widths   ] ran %s; skipped%s\n", widths.c_str(),
              skipped.empty() ? " none" : (skipped + " (not on this processor)").c_str());
  return ran;
}

}  // namespace

TEST_F(Raster, FastPathsOfEitherWidthMatchTheGeneralPath) {
  // Quads mapping texels 1:1 at whole, half and other fractional offsets, magnified along
  // rows, mirrored, rotated and repeating the texture across and down, with and without
  // blending, each drawn by the fused kernels
  // (AVX-512 and AVX2 where the processor has them, and SSE2) and by the general span pipeline.
  std::vector<DWORD> tex(41 * 29);
  for (size_t i = 0; i < tex.size(); ++i) tex[i] = DWORD(i * 2654435761u) ^ DWORD(i * 40503u) << 24;
  LPDIRECTDRAWSURFACE7 alpha = makeTexture(41, 29, tex), opaque = makeTexture(41, 29, tex, D3DX_SF_X8R8G8B8);
  struct Case {
    float scaleX, scaleY;  // pixels per texel; negative mirrors
    float du, dv;          // texel offset of the mapping
    float angle = 0;
    float repeat = 1;  // copies of the texture along each side
  };
  const Case cases[] = {{1, 1, 0, 0},
                        {1, 1, 0.5f, 0.5f},
                        {1, 1, 0.25f, 0.75f},
                        {1, 1, 0.5f, 0},
                        {1, 1, 0.1f, 0.9f},
                        {83.f / 64, 83.f / 64, 0, 0},
                        {1.5f, 1, 0.3f, 0.2f},
                        {2, 3, 0, 0.5f},
                        {-1.3f, 1.2f, 0.4f, 0},
                        {1, 1.7f, 0, 0},
                        {1.01f, 1, 0, 0},
                        {1, 1, 0, 0, 0.5235988f},
                        {1.4f, 0.8f, 0.3f, 0.1f, -2.1f},
                        {1, 1, -20.5f, 7.5f, 0, 2.3f},
                        {1.2f, 1, 13.3f, -3.f, 0, 2.6f},
                        {-1, 1, 0.5f, 0.5f, 0, 1.8f}};
  uint32_t seed = 12345;
  auto rnd = [&]() {
    seed = seed * 1664525u + 1013904223u;
    return float(seed >> 8) / float(1 << 24);
  };
  // Half the cases a screen.
  const size_t half = (std::size(cases) + 1) / 2;
  auto draw = [&](bool general, size_t part) -> std::vector<DWORD> {
    seed = 12345;
    clear(0x00406080);
    int slot = 0;
    for (size_t ci = part * half; ci < std::min(std::size(cases), part * half + half); ++ci)
      for (const Case& c = cases[ci]; LPDIRECTDRAWSURFACE7 t : {alpha, opaque})
        for (DWORD colorOp : {DWORD(D3DTOP_MODULATE2X), DWORD(D3DTOP_SELECTARG1)}) {
          preparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, colorOp, D3DTOP_MODULATE);
          dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, general);
          dev->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL);
          dev->SetRenderState(D3DRENDERSTATE_ALPHAREF, 0);
          dev->SetTexture(0, t);
          // Whole-pixel positions half the time, else a random fraction.
          const float fx = (slot & 1) ? rnd() : 0.f, fy = (slot & 2) ? rnd() : 0.f;
          const float x = float(10 + (slot % 8) * 98) + fx, y = float(10 + (slot / 8) * 85) + fy;
          ++slot;
          const float w = 41 * std::fabs(c.scaleX) * c.repeat, h = 29 * std::fabs(c.scaleY) * c.repeat;
          const float u0 = (c.scaleX < 0 ? c.repeat : 0.f) + c.du / 41,
                      u1 = (c.scaleX < 0 ? 0.f : c.repeat) + c.du / 41;
          const float v0 = (c.scaleY < 0 ? c.repeat : 0.f) + c.dv / 29,
                      v1 = (c.scaleY < 0 ? 0.f : c.repeat) + c.dv / 29;
          const DWORD diffuse = t == opaque ? 0xFF7F7F7F : 0xC07F7F7F;
          const float cs = std::cos(c.angle), sn = std::sin(c.angle);
          const float cx[4] = {0, w, 0, w}, cy[4] = {0, 0, h, h}, cu[4] = {u0, u1, u0, u1},
                      cv[4] = {v0, v0, v1, v1};
          D3DTLVERTEX v[4];
          for (int j = 0; j < 4; ++j)
            v[j] = vtx(x + 20 + (cx[j] - 20) * cs - (cy[j] - 20) * sn,
                       y + 20 + (cx[j] - 20) * sn + (cy[j] - 20) * cs, diffuse, cu[j], cv[j]);
          EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0), D3D_OK);
        }
    std::vector<DWORD> out(size_t(width) * height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out[size_t(y) * width + x] = at(x, y);
    return out;
  };
  const std::vector<int> widths = KernelWidths();
  for (size_t part = 0; part < 2; ++part) {
    const std::vector<DWORD> general = draw(true, part);
    for (int wide : widths) {
      zqDisplaySetKernelWidth(wide);
      const std::vector<DWORD> fused = draw(false, part);
      int differ = 0;
      for (size_t i = 0; i < fused.size(); ++i)
        if (fused[i] != general[i] && ++differ <= 5)
          ADD_FAILURE() << "part " << part << " wide " << wide << " pixel " << i % width << "," << i / width
                        << std::hex << " fused " << fused[i] << " general " << general[i];
      EXPECT_EQ(differ, 0) << "part " << part << " wide " << wide;
    }
  }
  zqDisplaySetKernelWidth(512);
  dev->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, FALSE);
  dev->SetTexture(0, nullptr);
  opaque->Release();
  alpha->Release();
}

TEST_F(Raster, RowsWiderThanTheKernelBuffersMatchTheGeneralPath) {
  // A target wider than a row kernel's texel buffer: magnified rows are drawn in pieces, which
  // must continue one another's stepping exactly, at every vector width.
  constexpr int kWide = 2600, kHigh = 4;
  LPDIRECTDRAWSURFACE7 wide = makeSurface(kWide, kHigh, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
  LPDIRECT3DDEVICE7 d = nullptr;
  ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, wide, &d), D3D_OK);
  std::vector<DWORD> tex(41 * 29);
  for (size_t i = 0; i < tex.size(); ++i) tex[i] = DWORD(i * 2654435761u) ^ DWORD(i * 40503u) << 24;
  LPDIRECTDRAWSURFACE7 t = makeTexture(41, 29, tex);
  auto draw = [&](bool general) {
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00406080, 1.f, 0);
    d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE2X);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, general);
    d->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    d->SetRenderState(D3DRENDERSTATE_ALPHAREF, 0);
    d->SetTexture(0, t);
    // Right to left on one row, left to right on the others: both signs of the step.
    D3DTLVERTEX v[4] = {vtx(0.3f, 0, 0xC07F7F7F, 2.7f, 0.1f), vtx(kWide - 0.4f, 0, 0xC07F7F7F, -0.2f, 0.1f),
                        vtx(0.3f, kHigh, 0xC07F7F7F, 2.7f, 0.3f),
                        vtx(kWide - 0.4f, kHigh, 0xC07F7F7F, -0.2f, 0.3f)};
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0), D3D_OK);
    std::vector<DWORD> out;
    for (int y = 0; y < kHigh; ++y)
      for (int x = 0; x < kWide; ++x) out.push_back(pixel(wide, x, y));
    return out;
  };
  const std::vector<DWORD> general = draw(true);
  for (int bits : KernelWidths()) {
    zqDisplaySetKernelWidth(bits);
    const std::vector<DWORD> fused = draw(false);
    int differ = 0;
    for (size_t i = 0; i < fused.size(); ++i)
      if (fused[i] != general[i] && ++differ <= 5)
        ADD_FAILURE() << "wide " << bits << " pixel " << i % kWide << "," << i / kWide << std::hex
                      << " fused " << fused[i] << " general " << general[i];
    EXPECT_EQ(differ, 0) << "wide " << bits;
  }
  zqDisplaySetKernelWidth(512);
  d->SetTexture(0, nullptr);
  t->Release();
  d->Release();
  wide->Release();
}

TEST_F(Raster, QuadStripCoversAndShadesLikeItsTwoTriangles) {
  // A four-vertex strip that is a parallelogram is drawn a row at a time; the same two
  // triangles as a list must light the same pixels, edges on pixel centres included, in the
  // same colours (the one plane of the quad may round a texel weight the other way: at most
  // 1 a channel). An additive blend shows a pixel drawn twice or missed on the diagonal.
  std::vector<DWORD> tex(16 * 16);
  for (size_t i = 0; i < tex.size(); ++i) tex[i] = DWORD(i * 2654435761u) | 0x80000000u;
  LPDIRECTDRAWSURFACE7 t = makeTexture(16, 16, tex);
  struct Case {
    float x, y, ax, ay, bx, by;  // corner and the two side vectors
    bool textured;
  };
  const Case cases[] = {{10, 10, 40, 0, 0, 30, true},
                        {60.5f, 10.5f, 33, 0, 0, 21, true},
                        {120.25f, 10.75f, 20.5f, 0, 0, 40.25f, true},
                        {200, 10, 30, 10, -8, 25, true},
                        {300, 20, 16, 16, 16, -16, false},
                        {400.5f, 30, -20, 12, 14, 22.5f, true},
                        {500, 50, 0, 30, 40, 0, false}};
  auto draw = [&](bool strip) {
    clear(0x00102030);
    for (const Case& c : cases) {
      dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
      dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
      dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
      dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
      dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
      dev->SetTexture(0, c.textured ? t : nullptr);
      const DWORD col = 0xFF302010;
      D3DTLVERTEX v[4] = {vtx(c.x, c.y, col, 0, 0), vtx(c.x + c.ax, c.y + c.ay, col, 1, 0),
                          vtx(c.x + c.bx, c.y + c.by, col, 0, 1),
                          vtx(c.x + c.ax + c.bx, c.y + c.ay + c.by, col, 1, 1)};
      if (strip) {
        EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0), D3D_OK);
      } else {
        D3DTLVERTEX list[6] = {v[0], v[1], v[2], v[2], v[1], v[3]};
        EXPECT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, list, 6, 0), D3D_OK);
      }
    }
    std::vector<DWORD> out(size_t(width) * 120);
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < width; ++x) out[size_t(y) * width + x] = at(x, y);
    return out;
  };
  const std::vector<DWORD> quads = draw(true), triangles = draw(false);
  int differ = 0, lit = 0;
  for (size_t i = 0; i < quads.size(); ++i) {
    lit += quads[i] != 0x102030u;
    bool same = (quads[i] != 0x102030u) == (triangles[i] != 0x102030u);
    for (int k = 0; k < 24; k += 8)
      same = same && std::abs(int((quads[i] >> k) & 255) - int((triangles[i] >> k) & 255)) <= 1;
    if (!same && ++differ <= 5)
      ADD_FAILURE() << "pixel " << i % width << "," << i / width << std::hex << " strip " << quads[i]
                    << " list " << triangles[i];
  }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(lit, 5000);
  dev->SetTexture(0, nullptr);
  t->Release();
}

TEST_F(Raster, TrianglesSharingEdgesLightEachPixelOnce) {
  // Pairs of triangles sharing an edge that passes exactly through pixel centres, the edge
  // long in one triangle and short in the other, and a mesh of many slopes; drawn as lists
  // with an additive blend, every pixel is lit at most once and none inside is missed.
  struct Pair {
    float a[2], b[2], left[2], right[2];  // shared edge a-b, a third vertex on either side
  };
  const Pair pairs[] = {{{0, 0.5f}, {14, 25.5f}, {-10, 13}, {20, 30}},
                        {{100, 0.5f}, {128, 25.5f}, {90, 13}, {140, 30}},
                        {{200, 1.5f}, {214, 26.5f}, {214, 40}, {230, 5}}};
  std::vector<D3DTLVERTEX> list;
  const DWORD col = 0xFF010101;
  for (const Pair& p : pairs)
    for (const float* third : {p.left, p.right}) {
      list.push_back(vtx(p.a[0], p.a[1], col));
      list.push_back(vtx(p.b[0], p.b[1], col));
      list.push_back(vtx(third[0], third[1], col));
    }
  // The mesh: integer and half-integer corners, sheared so that edges take many slopes, each
  // cell split along alternating diagonals.
  constexpr int kCols = 12, kRows = 8;
  auto corner = [](int i, int j) {
    return std::pair<float, float>{float(300 + i * 23 + (j * 7) % 11) + ((i + j) % 3 == 0 ? 0.5f : 0.f),
                                   float(60 + j * 29 + (i * 5) % 13) + ((i * j) % 4 == 1 ? 0.5f : 0.f)};
  };
  for (int j = 0; j + 1 < kRows; ++j)
    for (int i = 0; i + 1 < kCols; ++i) {
      const std::pair<float, float> a = corner(i, j), b = corner(i + 1, j), c = corner(i, j + 1),
                                    d = corner(i + 1, j + 1);
      const std::pair<float, float> split[2][6] = {{a, d, c, a, b, d}, {a, b, c, b, d, c}};
      for (const auto& [x, y] : split[(i + j) % 2]) list.push_back(vtx(x, y, col));
    }
  clear(0);
  dev->SetTexture(0, nullptr);
  dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
  dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
  dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
  dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, list.data(), DWORD(list.size()), 0),
            D3D_OK);
  EXPECT_EQ(at(7, 13), 0x010101u);  // exactly on the first shared edge
  int twice = 0, missed = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const DWORD p = at(x, y);
      // Inside the mesh, away from its outline.
      const bool inside = x >= 330 && x < 550 && y >= 100 && y < 240;
      const bool bad = p > 0x010101u || (inside && p == 0);
      twice += p > 0x010101u;
      missed += inside && p == 0;
      if (bad && twice + missed <= 5) ADD_FAILURE() << "pixel " << x << "," << y << std::hex << " " << p;
    }
  EXPECT_EQ(twice, 0);
  EXPECT_EQ(missed, 0);
}

TEST_F(Raster, HugeCoordinatesAreClippedNotConverted) {
  // Far outside the target, vertices still clip to what lies inside, and quickly.
  dev->SetTexture(0, nullptr);
  dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  clear(0);
  D3DTLVERTEX line[2] = {vtx(-1e30f, 5, 0xFF404040), vtx(1e30f, 5, 0xFF404040)};
  ASSERT_EQ(dev->DrawPrimitive(D3DPT_LINELIST, D3DFVF_TLVERTEX, line, 2, 0), D3D_OK);
  EXPECT_EQ(at(0, 5), 0x404040u);
  EXPECT_EQ(at(width - 1, 5), 0x404040u);
  EXPECT_EQ(at(width / 2, 4), 0u);
  D3DTLVERTEX q[4] = {vtx(-1e30f, 20, 0xFF808080), vtx(1e30f, 20, 0xFF808080), vtx(-1e30f, 30, 0xFF808080),
                      vtx(1e30f, 30, 0xFF808080)};
  ASSERT_EQ(dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, q, 4, 0), D3D_OK);
  EXPECT_EQ(at(0, 20), 0x808080u);
  EXPECT_EQ(at(width - 1, 29), 0x808080u);
  EXPECT_EQ(at(width / 2, 30), 0u);
}
