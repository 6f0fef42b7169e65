// Digit wheels, blink sprites and the card sheet: texture coordinates, blink timing on the manual
// clock, card cells, and the pixels a copied card and a drawn digit leave.
#include <gtest/gtest.h>

#include <fstream>

#include "ZqLib.h"
#include "engine_window.h"
#include "games/pieces/BlinkSprite.h"
#include "games/pieces/CardSheet.h"
#include "games/pieces/DigitWheel.h"
#include "runtime_support.h"
#include "tga_files.h"

namespace {

class SpritesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("sprites");
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new CZqEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
  }
  void TearDown() override {
    delete engine;
    delete app;
    CloseEngineWindow();
  }
  std::string File(const char* name) { return dir.file(name); }

  ScratchDir dir;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
};

TEST_F(SpritesTest, DigitWheelRowsColumnsAndTheEvenLengthShift) {
  // A 40x200 strip in a 64x256 picture: the configured part is 40/64 wide and 200/256 high.
  WriteSolidTga(File("digits.tga"), 64, 256, 0xFFFFFFFF);
  CDigitWheel wheel(engine);
  int x = 100, y = 50, w = 40, h = 200, freq = 80;
  ASSERT_EQ(wheel.Setup(File("digits.tga").c_str(), x, y, w, h, freq), 1);
  const float ue = 40.0f / 64.0f, ve = 200.0f / 256.0f;

  struct Case {
    const char* text;
    int even;
    int row;
    int shift;
  } cases[] = {{"9", 0, 0, 0}, {"7", 0, 2, 0}, {"0", 1, 9, 10}, {"x", 0, 9, 10}};
  for (const Case& c : cases) {
    wheel.SetDigit(c.text, c.even);
    wheel.Refresh();
    const D3DTLVERTEX* v = wheel.GetQuad().v;
    EXPECT_EQ(wheel.GetDigitIndex(), c.row) << c.text;
    EXPECT_FLOAT_EQ(v[0].tv, c.row * 0.1f * ve) << c.text;
    EXPECT_FLOAT_EQ(v[2].tv, (c.row * 0.1f + 0.1f) * ve) << c.text;
    EXPECT_FLOAT_EQ(v[0].tu, 0.0f);
    EXPECT_FLOAT_EQ(v[1].tu, 0.5f * ue);
    EXPECT_FLOAT_EQ(v[0].sx, float(100 + c.shift)) << c.text;
    EXPECT_FLOAT_EQ(v[1].sx, float(100 + 20 + c.shift)) << c.text;
    EXPECT_FLOAT_EQ(v[0].sy, 50.0f);
    EXPECT_FLOAT_EQ(v[2].sy, 70.0f);
  }
}

TEST_F(SpritesTest, BlinkTimingDigitWheelsHaveAFloorSpritesDoNot) {
  WriteSolidTga(File("p.tga"), 40, 40, 0xFFFFFFFF);
  CDigitWheel wheel(engine);
  CBlinkSprite sprite(engine);
  int x = 0, y = 0, w = 40, h = 40, fast = 10;
  ASSERT_EQ(wheel.Setup(File("p.tga").c_str(), x, y, w, h, fast), 1);
  ASSERT_EQ(sprite.Setup(File("p.tga").c_str(), x, y, w, h, fast), 1);
  // Hidden: no blinking.
  zqAdvanceClock(1000);
  wheel.Tick();
  sprite.Tick();
  EXPECT_EQ(wheel.GetBlinkColumn(), 0);
  EXPECT_EQ(sprite.GetBlinkRow(), 0);
  wheel.Show(1);
  sprite.Show(1);
  int wheelFlips = 0, spriteFlips = 0;
  for (int i = 0; i < 100; ++i) {  // 100 frames of 11 ms
    zqAdvanceClock(11);
    const int c = wheel.GetBlinkColumn(), r = sprite.GetBlinkRow();
    wheel.Tick();
    sprite.Tick();
    wheelFlips += wheel.GetBlinkColumn() != c;
    spriteFlips += sprite.GetBlinkRow() != r;
  }
  EXPECT_EQ(spriteFlips, 100);            // every frame more than 10 ms after the last toggle
  EXPECT_NEAR(wheelFlips, 1100 / 55, 2);  // at most every 50 ms: each 5th frame
  EXPECT_FLOAT_EQ(wheel.GetQuad().v[0].tu, wheel.GetBlinkColumn() ? 0.5f : 0.0f);
  EXPECT_FLOAT_EQ(sprite.GetQuad().v[0].tv, sprite.GetBlinkRow() ? 0.5f : 0.0f);
  EXPECT_FLOAT_EQ(sprite.GetQuad().v[2].sy, 20.0f);  // the sprite shows half its height
}

TEST_F(SpritesTest, CardSheetCellsAndCopies) {
  // 4 columns x 13 rows of 10x20 cards; the bottom-right cell is white, the rest black.
  WriteSolidTga(File("sheet.tga"), 40, 260, 0xFF000000);
  std::ofstream(File("cards.ini")) << "[MainCard]\nCardHeight=20\nCardWidth=10\nCardImage="
                                   << File("sheet.tga") << "\n";
  CCardSheet sheet(engine);
  ASSERT_EQ(sheet.Load(File("cards.ini").c_str()), 1);
  ASSERT_NE(sheet.GetSheet(), nullptr);
  SScreenRect corner(30, 240, 40, 260);
  sheet.GetSheet()->Clear(sheet.GetSheet()->ConvertColor(0xFFFFFFFF), &corner);

  SScreenRect r;
  ASSERT_EQ(sheet.GetCardRect("m3", &r), 1);
  EXPECT_EQ(r, SScreenRect(30, 240, 40, 260));
  ASSERT_EQ(sheet.GetCardRect("a0", &r), 1);
  EXPECT_EQ(r, SScreenRect(0, 0, 10, 20));
  for (const char* bad : {"n0", "a4", "", "m", "`0"}) EXPECT_EQ(sheet.GetCardRect(bad, &r), 0) << bad;
  ASSERT_EQ(sheet.GetRowRect('l', &r), 1);
  EXPECT_EQ(r, SScreenRect(0, 220, 10, 240));
  EXPECT_EQ(sheet.GetRowRect('m', &r), 0);

  CZqSurface* back = engine->GetBackSurface();
  back->Clear(back->ConvertColor(0xFF0000FF));
  SScreenRect dest(100, 100, 0, 0);
  ASSERT_EQ(sheet.BlitCard("m3", back, &dest), 1);
  EXPECT_EQ(dest, SScreenRect(100, 100, 110, 120));
  BYTE red = 0, blue = 0;
  back->GetPixelInfo(105, 110, nullptr, &red, nullptr, &blue);
  EXPECT_EQ(red, 0xFF);
  back->GetPixelInfo(110, 110, nullptr, &red, nullptr, &blue);
  EXPECT_EQ(blue, 0xFF);  // nothing past the card
  EXPECT_EQ(sheet.BlitCard("n0", back, &dest), 0);

  sheet.Release();
  EXPECT_EQ(sheet.GetCardWidth(), 0);
  EXPECT_EQ(sheet.BlitCard("a0", back, &dest), 0);

  // Cells without a size hold no card: the load fails and leaves no sheet behind.
  ASSERT_EQ(sheet.Load(File("cards.ini").c_str()), 1);
  for (const char* sizes : {"CardHeight=0\nCardWidth=10", "CardHeight=20\nCardWidth=-10", "CardWidth=10"}) {
    SCOPED_TRACE(sizes);
    std::ofstream(File("flat.ini")) << "[MainCard]\n" << sizes << "\nCardImage=" << File("sheet.tga") << "\n";
    EXPECT_EQ(sheet.Load(File("flat.ini").c_str()), 0);
    EXPECT_EQ(sheet.GetSheet(), nullptr);
    EXPECT_EQ(sheet.GetCardWidth(), 0);
    EXPECT_EQ(sheet.GetCardHeight(), 0);
  }
}

TEST_F(SpritesTest, MissingPicturesFailSetupAndLoad) {
  CDigitWheel wheel(engine);
  CBlinkSprite sprite(engine);
  CCardSheet sheet(engine);
  int x = 0, y = 0, w = 10, h = 10, f = 80;
  EXPECT_EQ(wheel.Setup(File("none.tga").c_str(), x, y, w, h, f), 0);
  EXPECT_EQ(sprite.Setup(File("none.tga").c_str(), x, y, w, h, f), 0);
  EXPECT_EQ(sheet.Load(File("none.ini").c_str()), 0);
  CCardSheet noEngine(nullptr);
  EXPECT_EQ(noEngine.Load("x"), 0);
}

}  // namespace
