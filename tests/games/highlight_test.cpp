// The award highlighters, the win-line blinker and the two sliding tables: lit rectangles read as
// pixels, blink and slide timing on the manual clock, quad positions along the slides.
#include <string>
#include <vector>

#include "games/pieces/AwardHighlight.h"
#include "games/pieces/DiceLamps.h"
#include "games/pieces/FreeAwardHighlight.h"
#include "games/pieces/PayTableSlide.h"
#include "games/pieces/TableSlide.h"
#include "games/pieces/WinLineBlink.h"
#include "pieces_fixture.h"

namespace gamestest {
namespace {

constexpr DWORD kGrey = 0xFF404040;

class HighlightTest : public PiecesTest {
 protected:
  // Whether the highlight doubled the grey at (x, y) (the brightness starts at its peak).
  bool Lit(long x, long y) const {
    const int r = Red(x, y);
    EXPECT_TRUE(r == 0x40 || (r >= 0x7E && r <= 0x80)) << x << "," << y << ": " << r;
    return r > 0x40;
  }
};

TEST_F(HighlightTest, AwardLettersAndFreeGameEntriesLightTheirRectangles) {
  ASSERT_GT(engine->ValueCycle(1, 2, 0, 1000, 1), 1.99f);
  CConfig config = Config("awards.ini",
                          "[AwardList]\na=0,0,10,10\nb=20,0,30,10\no=40,0,50,10\n"
                          "[FreeAwardIdx]\n1=5\n2=10\n3=15\n"
                          "[FreeAwardList]\n1=0,100,10,110\n2=20,100,30,110\n3=40,100,50,110\n");
  CAwardHighlight awards;
  ASSERT_EQ(awards.Load(engine, config), 1);
  EXPECT_EQ(awards.GetRect(14), SScreenRect(40, 0, 50, 10));
  EXPECT_EQ(awards.GetRect(3), SScreenRect()) << "a missing letter has an empty rectangle";
  struct Case {
    const char* letters;
    int enabled;
    bool a, b, o;
  } cases[] = {
      {"bpo", 1, false, true, true}, {"ppp", 1, false, false, false}, {"apz", 1, true, false, false},
      {"a", 1, true, false, false},  {"abo", 0, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.letters);
    awards.SetLetters(c.letters);
    c.enabled ? awards.Enable() : awards.Disable();
    ClearBack(kGrey);
    awards.Render();
    EXPECT_EQ(Lit(5, 5), c.a);
    EXPECT_EQ(Lit(25, 5), c.b);
    EXPECT_EQ(Lit(45, 5), c.o);
    EXPECT_FALSE(Lit(15, 5));
  }

  CFreeAwardHighlight free;
  ASSERT_EQ(free.Load(engine, config), 1);
  ASSERT_EQ(free.GetEntries().size(), 8u);
  EXPECT_EQ(free.GetEntries()[7].nKey, 0);
  struct Light {
    int games;
    bool first, second, third;
  } lights[] = {{10, false, true, false}, {15, false, false, true}, {7, false, false, false}};
  for (const Light& l : lights) {
    SCOPED_TRACE(l.games);
    free.Light(l.games);
    ClearBack(kGrey);
    free.Render();
    EXPECT_EQ(Lit(5, 105), l.first);
    EXPECT_EQ(Lit(25, 105), l.second);
    EXPECT_EQ(Lit(45, 105), l.third);
  }
  free.Light(5);
  free.Dark();
  ClearBack(kGrey);
  free.Render();
  EXPECT_FALSE(Lit(5, 105));
}

class WinLineTest : public HighlightTest {
 protected:
  // Frame 0 red, frame 1 blue; lines at y 0, 50 and 100.
  std::string LineConfig(int frames, const char* invtime) {
    const std::string image = Frames("line" + std::to_string(frames) + "_", frames, 20, 10,
                                     [](int i) { return i == 0 ? 0xFFFF0000u : 0xFF0000FFu; });
    std::string text = "[WIN_LINE]\nimage=" + image + "\npos1=0,0\npos2=0,50\npos3=0,100\n";
    if (invtime) text += std::string("invtime=") + invtime + "\n";
    return text;
  }
  // Which look each line shows: 'r', 'b' or '-' (nothing).
  std::string Looks(CWinLineBlink& blink) {
    ClearBack(0xFF000000);
    engine->PreparePaint(5, 6, 5, 4);
    blink.Render();
    std::string out;
    for (int y : {5, 55, 105}) out += Red(5, y) > 0x80 ? 'r' : Blue(5, y) > 0x80 ? 'b' : '-';
    return out;
  }
};

TEST_F(WinLineTest, LoadNeedsTwoFramesAndTheIntervalDefaultsTo100) {
  for (int frames : {1, 3}) {
    CConfig c = Config("w.ini", LineConfig(frames, "40"));
    CWinLineBlink blink(engine);
    EXPECT_FALSE(blink.Load(c)) << frames;
    EXPECT_EQ(Looks(blink), "---");
  }
  struct Case {
    const char* invtime;
    int interval;
  } cases[] = {{nullptr, 100}, {"0", 100}, {"-5", 100}, {"40", 40}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.invtime ? c.invtime : "absent");
    CConfig config = Config("w.ini", LineConfig(2, c.invtime));
    CWinLineBlink blink(engine);
    ASSERT_TRUE(blink.Load(config));
    EXPECT_EQ(blink.GetInterval(), c.interval);
    blink.Blink();
    std::vector<int> toggles;
    for (int t = 1; t <= 250; ++t) {
      zqAdvanceClock(1);
      const int before = blink.GetBlinkFrame();
      blink.Update();
      if (blink.GetBlinkFrame() != before) toggles.push_back(t);
    }
    std::vector<int> expected;
    for (int t = c.interval; t <= 250; t += c.interval) expected.push_back(t);
    EXPECT_EQ(toggles, expected);
  }
}

TEST_F(WinLineTest, BlinkingShowsTheFlaggedLinesAndTheCountShowsTheBetsLines) {
  CConfig config = Config("w.ini", LineConfig(2, "100"));
  CWinLineBlink blink(engine);
  ASSERT_TRUE(blink.Load(config));
  const int flags[3] = {1, 0, 1};
  blink.SetLines(flags);
  blink.Blink();
  EXPECT_EQ(Looks(blink), "b-b") << "the opposite of blink frame 0";
  zqAdvanceClock(100);
  blink.Update();
  EXPECT_EQ(Looks(blink), "r-r");
  blink.Update();  // no time has passed
  EXPECT_EQ(Looks(blink), "r-r");

  struct Case {
    int count;
    const char* looks;
  } cases[] = {{1, "-r-"}, {2, "rr-"}, {3, "rrr"}, {0, "---"}};
  for (const Case& c : cases) {
    blink.ShowCount(c.count);
    EXPECT_EQ(Looks(blink), c.looks) << c.count;
    zqAdvanceClock(500);
    blink.Update();  // the count does not blink
    EXPECT_EQ(Looks(blink), c.looks) << c.count;
  }
  blink.SetState(CWinLineBlink::kOff);
  EXPECT_EQ(Looks(blink), "---");
}

class SlideTest : public HighlightTest {
 protected:
  std::string TableConfig(const char* time, const char* length) {
    const std::string shade = Frames("shade", 1, 64, 64, [](int) { return 0x80000000u; });
    const std::string table = Frames("table", 1, 128, 64, [](int) { return 0xFF00FF00u; });
    return std::string("[WINTABLELT]\nshade_height=40\nshade_width=50\nshade_pos=0,300\n") +
           "table_height=40\ntable_width=100\ntable_pos=50,300\ntime=" + time + "\nlong=" + length +
           "\nshade_image=" + shade + "\ntable_image=" + table + "\n";
  }
  float TableLeft(const CTableSlide& s) const { return s.GetTableQuad().v[0].sx; }
};

TEST_F(SlideTest, TheTableSlidesInTenPixelsAStepAndTurnsBackFromWhereItIs) {
  CConfig config = Config("t.ini", TableConfig("400", "100"));
  CZqUIPanel pool(static_cast<CZqEngine*>(engine));
  pool.SetVisible(1);
  CDiceLamps lamps(engine);
  CTableSlide slide;
  ASSERT_TRUE(slide.Load(engine, &pool, &lamps, config, "WINTABLELT"));
  EXPECT_FLOAT_EQ(slide.GetStepInterval(), 0.4f);
  EXPECT_EQ(slide.GetState(), CTableSlide::kOut);
  EXPECT_FLOAT_EQ(TableLeft(slide), -50.0f);
  EXPECT_FLOAT_EQ(slide.GetTableQuad().v[1].sx, 50.0f);
  EXPECT_FLOAT_EQ(slide.GetTableQuad().v[0].tv, (40.0f / 64.0f) / 40.0f) << "one texel down";
  EXPECT_FLOAT_EQ(slide.GetShadeQuad().v[3].tu, 50.0f / 64.0f);

  slide.SlideOut();  // already out
  EXPECT_EQ(slide.GetState(), CTableSlide::kOut);
  slide.SlideIn();
  EXPECT_EQ(slide.GetState(), CTableSlide::kSlidingIn);
  for (int step = 1; step <= 4; ++step) {
    zqAdvanceClock(1);
    slide.Update();
    EXPECT_EQ(slide.GetOffset(), 10 * step);
    EXPECT_FLOAT_EQ(TableLeft(slide), -50.0f + 10.0f * step);
  }
  // Turning back mid-way: the way out left is what the way in covered.
  slide.SlideOut();
  EXPECT_EQ(slide.GetState(), CTableSlide::kSlidingOut);
  EXPECT_EQ(slide.GetOffset(), 60);
  zqAdvanceClock(1);
  slide.Update();
  EXPECT_FLOAT_EQ(TableLeft(slide), 50.0f - 70.0f) << "continues from x = -10";
  slide.SlideIn();
  EXPECT_EQ(slide.GetOffset(), 30);
  EXPECT_EQ(pool.GetVisibleValue(), 1);
  // Offsets reach the length quickly; the slide still lasts its time.
  int updates = 0;
  while (slide.GetState() == CTableSlide::kSlidingIn && updates < 1000) {
    zqAdvanceClock(1);
    slide.Update();
    ++updates;
  }
  EXPECT_EQ(slide.GetState(), CTableSlide::kIn);
  EXPECT_EQ(updates, 400);
  EXPECT_FLOAT_EQ(TableLeft(slide), 50.0f);
  EXPECT_EQ(lamps.IsVisible(), 1);
  EXPECT_EQ(pool.GetVisibleValue(), 1);

  slide.SlideOut();
  EXPECT_EQ(lamps.IsVisible(), 0);
  EXPECT_EQ(pool.GetVisibleValue(), 0);
  zqAdvanceClock(400);
  for (int i = 0; i < 11; ++i) {
    zqAdvanceClock(1);
    slide.Update();
  }
  EXPECT_EQ(slide.GetState(), CTableSlide::kOut);
  EXPECT_FLOAT_EQ(TableLeft(slide), -50.0f);

  // Drawn: the table's green where it is.
  ClearBack(0xFF000000);
  engine->PreparePaint(5, 6, 5, 4);
  slide.Render();
  EXPECT_EQ(Px(60, 320) & 0xFF00u, 0u);
  EXPECT_GT(Px(20, 320) & 0xFF00u, 0x3000u) << "under the shade, still seen";
}

TEST_F(SlideTest, ZeroLengthOrTimeStillEndsAndMissingPicturesFail) {
  for (auto [time, length] : {std::pair{"0", "0"}, {"300", "0"}, {"0", "35"}}) {
    SCOPED_TRACE(std::string(time) + "/" + length);
    CConfig config = Config("t.ini", TableConfig(time, length));
    CTableSlide slide;
    ASSERT_TRUE(slide.Load(engine, nullptr, nullptr, config, "WINTABLELT"));
    slide.SlideIn();
    for (int i = 0; i < 400 && slide.GetState() != CTableSlide::kIn; ++i) {
      zqAdvanceClock(1);
      slide.Update();
    }
    EXPECT_EQ(slide.GetState(), CTableSlide::kIn);
    EXPECT_FLOAT_EQ(TableLeft(slide), 50.0f);
  }
  CConfig broken = Config("b.ini", "[WINTABLELT]\ntable_image=" + File("none.tga") + "\n");
  CTableSlide slide;
  EXPECT_FALSE(slide.Load(engine, nullptr, nullptr, broken, "WINTABLELT"));
}

class PayTableTest : public HighlightTest {
 protected:
  std::string PayConfig(const char* length) {
    const std::string image = Frames("pay", 1, 256, 128, [](int) { return 0xFF00FF00u; });
    const std::string out = Frames("out", 1, 16, 128, [](int) { return 0xFFFF0000u; });
    const std::string back = Frames("back", 1, 16, 128, [](int) { return 0xFF0000FFu; });
    return std::string("[WIN_TABLE]\nrect=100,200,300,300\ntime=50\nlong=") + length + "\nimage=" + image +
           "\noutimage=" + out + "\nbackimage=" + back +
           "\noutrect=300,200,316,264\n[AwardList]\na=110,210,120,220\n";
  }
  // Frames until the slide ends; every result of Update in order.
  std::vector<int> Run(CPayTableSlide& table, int frames) {
    std::vector<int> codes;
    for (int i = 0; i < frames; ++i) {
      zqAdvanceClock(1);
      codes.push_back(table.Update());
    }
    return codes;
  }
  static int Count(const std::vector<int>& codes, int code) {
    int n = 0;
    for (int c : codes) n += c == code;
    return n;
  }
};

TEST_F(PayTableTest, SlidingReportsSixAndSevenOnceEachAndMovesBothQuads) {
  CConfig config = Config("p.ini", PayConfig("100"));
  CPayTableSlide table(engine);
  ASSERT_EQ(table.Load(config, "WIN_TABLE"), 1);
  EXPECT_EQ(table.GetState(), CPayTableSlide::kIn);
  EXPECT_FLOAT_EQ(table.GetTableQuad().v[3].tu, 200.0f / 256.0f);
  EXPECT_FLOAT_EQ(table.GetOutQuad().v[0].tv, 2.0f * (100.0f / 128.0f) / 64.0f);

  ASSERT_EQ(table.SlideOut(), 1);
  EXPECT_EQ(table.GetState(), CPayTableSlide::kSlidingOut);
  std::vector<float> tableX, outX;
  std::vector<int> codes;
  for (int i = 0; i < 60; ++i) {
    zqAdvanceClock(1);
    codes.push_back(table.Update());
    tableX.push_back(table.GetTableQuad().v[0].sx);
    outX.push_back(table.GetOutQuad().v[0].sx);
  }
  EXPECT_EQ(Count(codes, CPayTableSlide::kHasSlidOut), 1);
  EXPECT_EQ(codes[9], CPayTableSlide::kHasSlidOut) << "ten steps of ten pixels";
  EXPECT_EQ(Count(codes, 0), 50) << "nothing more once out";
  EXPECT_FLOAT_EQ(tableX[0], 110.0f);
  EXPECT_FLOAT_EQ(outX[0], 310.0f);
  EXPECT_FLOAT_EQ(tableX[9], 200.0f);
  EXPECT_FLOAT_EQ(outX[9], 400.0f);
  EXPECT_EQ(table.GetState(), CPayTableSlide::kOut);

  // Out: the highlight stays off.
  table.SetAwards("app");
  table.LightAwards();
  EXPECT_EQ(table.GetAwards().IsEnabled(), 0);

  ASSERT_EQ(table.SlideIn(), 1);
  codes = Run(table, 60);
  EXPECT_EQ(Count(codes, CPayTableSlide::kHasSlidIn), 1);
  EXPECT_EQ(codes[9], CPayTableSlide::kHasSlidIn);
  EXPECT_EQ(Count(codes, CPayTableSlide::kSlidingIn), 9);
  EXPECT_FLOAT_EQ(table.GetTableQuad().v[0].sx, 100.0f);
  table.LightAwards();
  EXPECT_EQ(table.GetAwards().IsEnabled(), 1);

  // Drawn in place with the award lit; the out strip shows only while sliding.
  ClearBack(kGrey);
  engine->PreparePaint(5, 6, 5, 4);
  table.Render();
  EXPECT_GT(Px(150, 250) & 0xFF00u, 0x7000u);
  EXPECT_EQ(Red(305, 210), 0x40);
  table.UnlightAwards();
  EXPECT_EQ(table.GetAwards().IsEnabled(), 0);
  table.SlideIn();
  zqAdvanceClock(1);
  table.Update();
  ClearBack(kGrey);
  table.Render();
  EXPECT_GT(Red(305 + 90, 210), 0x70) << "the out image rides with the table";

  table.SetDisabled(1);
  EXPECT_EQ(table.SlideOut(), 0);
  EXPECT_EQ(table.GetState(), CPayTableSlide::kSlidingIn);
}

TEST_F(PayTableTest, LengthsThatAreNoMultipleOfTenOrZeroStillEnd) {
  for (const char* length : {"105", "0", "7"}) {
    SCOPED_TRACE(length);
    CConfig config = Config("p.ini", PayConfig(length));
    CPayTableSlide table(engine);
    ASSERT_EQ(table.Load(config, "WIN_TABLE"), 1);
    table.SlideOut();
    std::vector<int> codes = Run(table, 100);
    EXPECT_EQ(Count(codes, CPayTableSlide::kHasSlidOut), 1);
    EXPECT_FLOAT_EQ(table.GetTableQuad().v[0].sx, 100.0f + std::stof(length));
    table.SlideIn();
    codes = Run(table, 100);
    EXPECT_EQ(Count(codes, CPayTableSlide::kHasSlidIn), 1);
    EXPECT_FLOAT_EQ(table.GetTableQuad().v[0].sx, 100.0f);
  }
  CConfig broken = Config("b.ini", "[WIN_TABLE]\nimage=" + File("none.tga") + "\n");
  CPayTableSlide table(engine);
  EXPECT_EQ(table.Load(broken, "WIN_TABLE"), 0);
}

}  // namespace
}  // namespace gamestest
