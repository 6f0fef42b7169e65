// The painter on the software device, observed through the back buffer's pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

#include "ZqLib.h"
#include "engine_window.h"
#include "runtime_support.h"
#include "zqplatform/display_hooks.h"

namespace {

class PaintEngine : public CZqEngine {
 public:
  void SetTime(DWORD t) { m_dwEngineTime = t; }
};

class PainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("painter");
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new PaintEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    ASSERT_NE(engine->GetD3dDevice(), nullptr);
    back = engine->GetBackSurface();
    Fill(0xFF000000);
    Blend();
  }
  void TearDown() override {
    delete engine;
    delete app;
    CloseEngineWindow();
  }
  void Fill(DWORD argb) { back->Clear(back->ConvertColor(argb)); }
  // Ordinary alpha blending of texture x diffuse.
  void Blend() {
    engine->PreparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE, D3DTOP_MODULATE);
  }
  DWORD Px(long x, long y) { return back->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr); }
  BYTE Red(long x, long y) {
    BYTE r = 0;
    back->GetPixelInfo(x, y, nullptr, &r, nullptr, nullptr);
    return r;
  }
  // A texture whose left half is one colour and right half another.
  CZqTexture* Texture(DWORD w, DWORD h, DWORD left, DWORD right, long baseX = 0, long baseY = 0) {
    auto* t = new CZqTexture(engine);
    owned.emplace_back(t);
    EXPECT_EQ(t->CreateEx(w, h, D3DX_SF_A8R8G8B8, 0), 0);
    BYTE* bits = nullptr;
    LONG pitch = 0;
    EXPECT_GE(t->BeginLock(&bits, &pitch), 0);
    for (DWORD y = 0; y < h; ++y)
      for (DWORD x = 0; x < w; ++x) {
        const DWORD v = x < w / 2 ? left : right;
        std::memcpy(bits + y * pitch + x * 4, &v, 4);
      }
    t->EndLock();
    t->SetBasePoint(SScreenPoint(baseX, baseY));
    return t;
  }

  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  PaintEngine* engine = nullptr;
  CZqSurface* back = nullptr;
  std::vector<std::unique_ptr<CZqTexture>> owned;
};

const DWORD kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

TEST_F(PainterTest, AlphaByteIsTheFloorOfAlphaTimes255Clamped) {
  // Written straight through: the pixel is the diffuse colour of the untextured quad.
  engine->PreparePaint(D3DBLEND_ONE, D3DBLEND_ZERO, D3DTOP_SELECTARG2, D3DTOP_SELECTARG2);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float alpha;
    DWORD top;
  } cases[] = {{1.0f, 0xFF}, {0.5f, 0x7F}, {0.25f, 0x3F}, {1.7f, 0xFF}, {-3.0f, 0x00}, {nan, 0x00}};
  for (const auto& c : cases) {
    Fill(0x00000000);
    // The colour argument's own top byte is replaced.
    EXPECT_EQ(engine->Render_PaintFast(0, 0, nullptr, 0.0f, 1, 1, c.alpha, 0x12345678), 0);
    EXPECT_EQ(Px(0, 0), (c.top << 24) | 0x345678u) << c.alpha;
    EXPECT_EQ(Px(799, 599), (c.top << 24) | 0x345678u) << "no texture covers the back buffer";
  }
}

TEST_F(PainterTest, AlphaAndColourTintTheTexture) {
  CZqTexture* t = Texture(8, 8, kWhite, kWhite);
  ASSERT_EQ(engine->Render_Paint(10, 10, t, 0.0f, 1, 1, 0.5f, 0.0f, 0xFFFFFF), 0);
  EXPECT_NEAR(Red(13, 13), 0x7F, 1);
  ASSERT_EQ(engine->Render_Paint(30, 10, t, 0.0f, 1, 1, 1.0f, 0.0f, 0x00FF00), 0);
  EXPECT_EQ(Px(33, 13) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(Px(50, 50) & 0xFFFFFF, 0u);
}

TEST_F(PainterTest, BasePointAndScalePlaceTheQuad) {
  // 20x10 with base (5, 5) at (100, 100), scaled 2 x 3: x 90..130, y 85..115.
  CZqTexture* t = Texture(20, 10, kWhite, kWhite, 5, 5);
  for (int fast = 0; fast < 2; ++fast) {
    Fill(0xFF000000);
    if (fast)
      ASSERT_EQ(engine->Render_PaintFast(100, 100, t, 0.0f, 2, 3, 1.0f, 0xFFFFFF), 0);
    else
      ASSERT_EQ(engine->Render_Paint(100, 100, t, 0.0f, 2, 3, 1.0f, 0.0f, 0xFFFFFF), 0);
    EXPECT_EQ(Red(91, 86), 0xFF) << fast;
    EXPECT_EQ(Red(128, 113), 0xFF) << fast;
    EXPECT_EQ(Red(88, 100), 0) << fast;
    EXPECT_EQ(Red(132, 100), 0) << fast;
    EXPECT_EQ(Red(110, 83), 0) << fast;
    EXPECT_EQ(Red(110, 117), 0) << fast;
  }
}

TEST_F(PainterTest, PositiveAngleTurnsClockwiseAboutThePoint) {
  // A bar pointing right from its base point turns to point down.
  CZqTexture* t = Texture(40, 6, kWhite, kWhite, 0, 3);
  ASSERT_EQ(engine->Render_Paint(400, 300, t, 0.0f, 1, 1, 1.0f, std::numbers::pi_v<float> / 2, 0xFFFFFF), 0);
  EXPECT_EQ(Red(400, 330), 0xFF);
  EXPECT_EQ(Red(430, 300), 0);
  EXPECT_EQ(Red(400, 270), 0);
  // The rotating clip member ignores its rectangle.
  Fill(0xFF000000);
  ASSERT_EQ(
      engine->Render_ClipPaint(400, 300, SScreenRect(0, 0, 10, 10), t, 0.0f, 1, 1, 1.0f, 0.0f, 0xFFFFFF), 0);
  EXPECT_EQ(Red(430, 300), 0xFF);
}

TEST_F(PainterTest, ClipMovesEdgesAndTextureCoordinatesThenResetsThem) {
  // Red left half, blue right half, at x 100..120, y 100..110.
  CZqTexture* t = Texture(20, 10, kRed, kBlue);
  ASSERT_EQ(
      engine->Render_ClipPaintFast(100, 100, SScreenRect(110, 0, 800, 600), t, 0.0f, 1, 1, 1.0f, 0xFFFFFF),
      0);
  EXPECT_EQ(Px(105, 105) & 0xFFFFFF, 0u) << "left of the clip stays empty";
  EXPECT_EQ(Px(112, 105) & 0xFFFFFF, 0x0000FFu) << "the right half stays in place";
  EXPECT_EQ(Px(118, 105) & 0xFFFFFF, 0x0000FFu);

  // The next paint has the full texture again.
  Fill(0xFF000000);
  ASSERT_EQ(engine->Render_PaintFast(100, 100, t, 0.0f, 1, 1, 1.0f, 0xFFFFFF), 0);
  EXPECT_EQ(Px(102, 105) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(Px(118, 105) & 0xFFFFFF, 0x0000FFu);

  // Clipped on the right and bottom: the left half shows, squeezed to nothing of the blue.
  Fill(0xFF000000);
  ASSERT_EQ(engine->Render_ClipPaintFastEx(100, 100, SScreenRect(0, 0, 110, 105), t, kWhite, kWhite, kWhite,
                                           kWhite, 0.0f, 1, 1),
            0);
  EXPECT_EQ(Px(102, 102) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(Px(112, 102) & 0xFFFFFF, 0u);
  EXPECT_EQ(Px(102, 107) & 0xFFFFFF, 0u);
}

TEST_F(PainterTest, QuadOutsideTheClipDrawsNothing) {
  CZqTexture* t = Texture(20, 10, kRed, kRed);
  const SScreenRect clip(200, 200, 300, 300);
  const long outside[][2] = {{100, 250}, {250, 100}, {350, 250}, {250, 350}};
  for (auto& p : outside) {
    EXPECT_EQ(engine->Render_ClipPaintFastFrame(p[0], p[1], clip, t, 1, kBlue, kBlue, kBlue, kBlue, 0.0f, 1,
                                                1, 1.0f, 0xFFFFFF),
              0);
  }
  for (long y = 0; y < 400; y += 5)
    for (long x = 0; x < 400; x += 5) ASSERT_EQ(Px(x, y) & 0xFFFFFF, 0u) << x << "," << y;
}

TEST_F(PainterTest, FrameBoxIsDrawnUnderTheTexture) {
  // A see-through texture over a filled box shows the box's corner colours.
  CZqTexture* t = Texture(20, 20, 0x00FFFFFF, 0x00FFFFFF);
  ASSERT_EQ(
      engine->Render_PaintFastFrame(100, 100, t, 1, kRed, kRed, kBlue, kBlue, 0.0f, 1, 1, 1.0f, 0xFFFFFF), 0);
  EXPECT_GT(Red(110, 101), 0xE0) << std::hex << Px(110, 101);
  EXPECT_LT(Px(110, 101) & 0xFF, 0x20u);
  EXPECT_GT(Px(110, 118) & 0xFF, 0xE0u);
}

TEST_F(PainterTest, PlainSurfaceIsCopiedOrStretchedWithoutTintOrTurn) {
  // A picture larger than the device's textures becomes a plain surface.
  ScratchDir dir;
  std::string ppm = "P6\n32 20\n255\n";
  for (int i = 0; i < 32 * 20; ++i) ppm += std::string("\xC8\x28\x28", 3);
  WriteFileBytes(dir.file("p.ppm"), ppm);
  ASSERT_EQ(system(("convert " + dir.file("p.ppm") + " -quality 100 " + dir.file("p.jpg")).c_str()), 0);
  zqDisplaySetMaxTextureSize(16);
  CZqTexture plain(engine);
  plain.SetStreamSource("p.jpg");
  ASSERT_EQ(plain.RestoreObjects(), 0);
  ASSERT_EQ(plain.IsTexture(), 0);
  plain.SetBasePoint(SScreenPoint(2, 4));

  // Scale 1: at (100 - 2, 100 - 4), full colour, whatever the angle, alpha and tint.
  ASSERT_EQ(engine->Render_Paint(100, 100, &plain, 0.0f, 1, 1, 0.1f, 1.0f, 0x000000), 0);
  EXPECT_NEAR(Red(98, 96), 200, 4);
  EXPECT_NEAR(Red(129, 115), 200, 4);
  EXPECT_EQ(Red(97, 100), 0);
  EXPECT_EQ(Red(130, 100), 0);
  EXPECT_EQ(Red(100, 116), 0);

  // Scaled: stretched into (300 - 4, 300 - 8) .. (300 + 60, 300 + 32).
  ASSERT_EQ(engine->Render_PaintFastEx(300, 300, &plain, 0, 0, 0, 0, 0.0f, 2, 2), 0);
  EXPECT_NEAR(Red(297, 293), 200, 4);
  EXPECT_NEAR(Red(358, 330), 200, 4);
  EXPECT_EQ(Red(295, 300), 0);
  EXPECT_EQ(Red(361, 300), 0);
  EXPECT_EQ(Red(300, 333), 0);
}

TEST_F(PainterTest, LinesAndRectangles) {
  engine->PreparePaint(D3DBLEND_ONE, D3DBLEND_ZERO, D3DTOP_SELECTARG2, D3DTOP_SELECTARG2);
  ASSERT_EQ(engine->Render_DrawLine(10, 20, 60, 20, kRed), 0);
  EXPECT_EQ(Px(30, 20), kRed);
  EXPECT_EQ(Px(30, 21) & 0xFFFFFF, 0u);
  SScreenRect r(100, 100, 140, 130);
  ASSERT_EQ(engine->Render_DrawRect(&r, 0, kBlue, 0.0f), 0);
  EXPECT_EQ(Px(120, 100), kBlue);
  EXPECT_EQ(Px(120, 115) & 0xFFFFFF, 0u) << "an outline leaves the inside";
  ASSERT_EQ(engine->Render_DrawRect(&r, 1, kBlue, 0.0f), 0);
  EXPECT_EQ(Px(120, 115), kBlue);
  ASSERT_EQ(engine->Render_DrawRectEx(&r, 1, kRed, kRed, kBlue, kBlue, 0.0f), 0);
  EXPECT_EQ(Px(120, 100), kRed);
  EXPECT_GT(Px(120, 129) & 0xFF, 0xE0u) << "blue at the bottom corners";
  EXPECT_NE(engine->Render_DrawRect(nullptr, 1, kBlue, 0.0f), 0);
}

TEST_F(PainterTest, DarkenAndLightMultiplyTheSceneByTheLevel) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float level;
    int expect;
  } cases[] = {{0.0f, 0x00}, {0.5f, 0x30}, {1.0f, 0x60},  {1.5f, 0x90},
               {2.0f, 0xC0}, {3.0f, 0xC0}, {-1.0f, 0x00}, {nan, 0x00}};
  SScreenRect inner(100, 100, 200, 200);
  for (const auto& c : cases) {
    Fill(0xFF606060);
    ASSERT_EQ(engine->DarkenScene(c.level), 0) << c.level;
    EXPECT_NEAR(Red(10, 10), c.expect, 2) << "darken " << c.level;
    EXPECT_NEAR(Red(790, 590), c.expect, 2) << "darken " << c.level;

    Fill(0xFF606060);
    ASSERT_EQ(engine->Render_LightRect(&inner, c.level), 0) << c.level;
    EXPECT_NEAR(Red(150, 150), c.expect, 2) << "light " << c.level;
    EXPECT_EQ(Red(50, 50), 0x60) << "outside the rectangle";

    Fill(0xFF606060);
    ASSERT_EQ(engine->Render_LightRect(nullptr, c.level), 0) << c.level;
    EXPECT_NEAR(Red(50, 50), c.expect, 2) << "whole scene " << c.level;
  }
}

TEST_F(PainterTest, ValueLoopAndCycleFollowTheEngineTime) {
  const DWORD start = 5000;
  const struct {
    DWORD elapsed;
    long period, divisor;
    float loop, cycle;
  } cases[] = {
      {0, 0, 0, 0.0f, 10.0f},     {250, 0, 0, 2.5f, 7.5f},   {1000, 0, 0, 0.0f, 0.0f},
      {1500, 0, 0, 5.0f, 5.0f},   {2000, 0, 0, 0.0f, 10.0f}, {500, 100, 10, 5.0f, 5.0f},
      {750, 100, 10, 7.5f, 2.5f}, {40, 200, 0, 2.0f, 8.0f},
  };
  for (const auto& c : cases) {
    engine->SetTime(start + c.elapsed);
    EXPECT_FLOAT_EQ(engine->ValueLoop(0, 10, start, c.period, c.divisor), c.loop) << c.elapsed;
    EXPECT_FLOAT_EQ(engine->ValueCycle(0, 10, start, c.period, c.divisor), c.cycle) << c.elapsed;
  }
  // Before the start the difference wraps as unsigned: 2^32 - 100 mod 1000 = 196.
  engine->SetTime(start - 100);
  EXPECT_NEAR(engine->ValueLoop(0, 10, start, 0, 0), 1.96f, 1e-5);
  // Periods too large to double in 32 bits still give a value.
  engine->SetTime(start + 10);
  EXPECT_TRUE(std::isfinite(engine->ValueCycle(0, 10, start, 0x80000000L, 0)));
  EXPECT_TRUE(std::isfinite(engine->ValueLoop(0, 10, start, 0x100000000L, 0x100000000L)));
}

}  // namespace
