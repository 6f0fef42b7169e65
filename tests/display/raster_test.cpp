// Pixels of the software device.
#include <cmath>

#include "display_fixture.h"

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
