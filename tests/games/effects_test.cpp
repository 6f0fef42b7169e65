// The win effects: effect records, the all-mahjong and heavenly-hand sequences and the dice
// lamps, on the manual clock, with their configuration clamps; drawings read as pixels.
#include <cmath>
#include <string>
#include <vector>

#include "games/pieces/AllMahjongEffect.h"
#include "games/pieces/DiceLamps.h"
#include "games/pieces/HeavenlyHandEffect.h"
#include "games/pieces/SlotEffect.h"
#include "games/pieces/WinLineBlink.h"
#include "pieces_fixture.h"

namespace gamestest {
namespace {

class EffectsTest : public PiecesTest {
 protected:
  // Ten 10x10 frames, frame i blue 20 (i + 1); a pass of 1000 units a frame.
  std::string Strip() {
    return Frames("f", 10, 10, 10, [](int i) { return 0xFF000000u | DWORD(20 * (i + 1)); }) + ",0,0,9,1000";
  }
  // One engine frame of dt units for `a`.
  void Step(CZqAnimation& a, DWORD dt) {
    engine->SetElapsed(dt);
    a.Update();
  }
};

TEST_F(EffectsTest, EffectRecordsReadTheirRepeatFieldsAndCountDownAfterTheAnimation) {
  struct Case {
    const char* reframe;
    int stored, times, retimes;
  } cases[] = {{"0", 0, 0, 0}, {"1", 1, 4, 0}, {"2", 2, 0, 6}, {"5", 5, 0, 6}, {"-3", 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reframe);
    CConfig config =
        Config("e.ini", "[EFFECT_WIN]\npos_x=30\npos_y=40\nscale=2.0\ntimes=4\nretimes=6\nreframe=" +
                            std::string(c.reframe) + "\nimage=" + Strip() + "\n");
    CSlotEffect e;
    ASSERT_EQ(e.Load(engine, config, "EFFECT_WIN"), 1);
    EXPECT_EQ(e.m_nPosX, 30);
    EXPECT_EQ(e.m_nPosY, 40);
    EXPECT_FLOAT_EQ(e.m_fScale, 2.0f);
    EXPECT_EQ(e.m_nReframe, c.stored);
    EXPECT_EQ(e.m_nTimes, c.times);
    EXPECT_EQ(e.m_nRetimes, c.retimes);
    ASSERT_NE(e.m_pSound, nullptr);
    EXPECT_EQ(e.m_pSound->GetLooping(), 1);
  }
  CConfig none = Config("n.ini", "[EFFECT_WIN]\nimage=" + File("none.tga") + "\n");
  CSlotEffect missing;
  EXPECT_EQ(missing.Load(engine, none, "EFFECT_WIN"), 0);

  CConfig config = Config("e.ini", "[E]\npos_x=30\npos_y=40\nscale=1\nimage=" + Strip() + "\n");
  CSlotEffect e;
  ASSERT_EQ(e.Load(engine, config, "E"), 1);
  e.Restart();
  e.m_nRemaining = 2;  // seconds to stay after the animation
  EXPECT_EQ(e.m_nRemaining, 2);
  engine->SetElapsed(1000);
  for (int frame = 0; frame < 40 && e.m_aniEffect.IsPlaying(); ++frame) {
    zqAdvanceClock(100);
    e.Update();
    EXPECT_EQ(e.m_nRemaining, 2) << "unchanged while it plays";
  }
  EXPECT_FALSE(e.m_aniEffect.IsPlaying());
  engine->SetElapsed(0);
  int shownFrames = 0;
  for (int ms = 0; ms < 3000; ms += 100) {
    zqAdvanceClock(100);
    e.Follow();
    shownFrames += e.IsShown();
  }
  EXPECT_EQ(e.m_nRemaining, 0);
  // The timer was last set on the final playing frame, 100 ms before these frames began.
  EXPECT_EQ(shownFrames, 18) << "one countdown step each time more than 999 ms have passed";

  // Drawn at its point while shown, with the caller's depth.
  e.m_nRemaining = 1;
  ClearBack(0xFF000000);
  engine->PreparePaint(5, 6, 5, 4);
  e.Render(0.2f);
  EXPECT_GT(Blue(35, 45), 150);
  EXPECT_EQ(Blue(45, 45), 0);
  e.m_nRemaining = 0;
  ClearBack(0xFF000000);
  e.Render(0.2f);
  EXPECT_EQ(Blue(35, 45), 0);
}

class AllMahjongTest : public EffectsTest {
 protected:
  std::string Section(const std::string& times) {
    const std::string line = Frames("line", 2, 20, 10, [](int i) { return i ? 0xFF0000FFu : 0xFFFF0000u; });
    const std::string flash = Frames("flash", 2, 10, 10, [](int i) { return i ? 0xFF00FF00u : 0xFF000080u; });
    return "[WIN_LINE]\nimage=" + line + "\npos1=0,0\npos2=0,50\npos3=0,100\ninvtime=100\n" +
           "[EFFECT_ALLMAJIANG]\nflashinv=200\npos=300,300\nlight=400,400,420,420\nimage=" + flash + "\n" +
           times;
  }
};

TEST_F(AllMahjongTest, PhaseTimesBelow500BecomeHalfASecond) {
  struct Case {
    const char* value;
    int ms;
  } cases[] = {{"0", 500}, {"499", 500}, {"-7", 500}, {"500", 500}, {"1200", 1200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const std::string v = c.value;
    CConfig config = Config(
        "m.ini", Section("WinLinePlayTime=" + v + "\nEffectPlayTime=" + v + "\nAddMoneyTime=" + v + "\n"));
    CWinLineBlink blink(engine);
    CAllMahjongEffect effect;
    ASSERT_EQ(effect.Load(engine, config, &blink), 1);
    EXPECT_EQ(effect.GetWinLinePlayTime(), c.ms);
    EXPECT_EQ(effect.GetEffectPlayTime(), c.ms);
    EXPECT_EQ(effect.GetAddMoneyTime(), c.ms);
  }
  CConfig absent = Config("m.ini", Section(""));
  CAllMahjongEffect effect;
  ASSERT_EQ(effect.Load(engine, absent, nullptr), 1);
  EXPECT_EQ(effect.GetWinLinePlayTime(), 500);
  CConfig broken = Config("b.ini", "[EFFECT_ALLMAJIANG]\nimage=" + File("none.tga") + "\n");
  EXPECT_EQ(effect.Load(engine, broken, nullptr), 0);
}

TEST_F(AllMahjongTest, LinesBlinkThenThePictureFlashesWithTheLitRectangle) {
  CConfig config = Config("m.ini", Section("WinLinePlayTime=1000\nEffectPlayTime=3000\nAddMoneyTime=1500\n"));
  CWinLineBlink blink(engine);
  ASSERT_TRUE(blink.Load(config));
  CAllMahjongEffect effect;
  ASSERT_EQ(effect.Load(engine, config, &blink), 1);
  EXPECT_EQ(effect.Update(), 1);
  EXPECT_EQ(effect.Render(), 1);

  effect.Start();
  EXPECT_EQ(effect.GetState(), CAllMahjongEffect::kWinLines);
  EXPECT_EQ(blink.GetState(), CWinLineBlink::kBlinking);
  ClearBack(0xFF404040);
  engine->PreparePaint(5, 6, 5, 4);
  EXPECT_EQ(effect.Render(), 0);
  for (int y : {5, 55, 105}) EXPECT_GT(Blue(5, y), 0x80) << "all three lines, " << y;

  // The results frame by frame, every 100 ms, with the picture's flash frame.
  std::vector<int> results;
  std::vector<long> flashes;
  for (int t = 100; t <= 4200; t += 100) {
    zqAdvanceClock(100);
    results.push_back(effect.Update());
    flashes.push_back(effect.GetFlash());
    if (t == 200) effect.Start();  // ignored while it runs
  }
  std::vector<int> expected;
  for (int t = 100; t <= 4200; t += 100)
    expected.push_back(t < 1000 ? 2 : t < 2500 ? 3 : t < 4000 ? 4 : t == 4000 ? 0 : 1);
  EXPECT_EQ(results, expected);
  EXPECT_EQ(blink.GetState(), CWinLineBlink::kOff);
  // The flash flips in the effect phase every 200 ms, counted from the start: at once at 1000.
  EXPECT_EQ(flashes[8], 0);
  EXPECT_EQ(flashes[9], 1);
  EXPECT_EQ(flashes[10], 1);
  EXPECT_EQ(flashes[11], 0);
  EXPECT_EQ(flashes[13], 1);

  // The effect phase draws the picture and lights the rectangle; idle draws nothing.
  CConfig again = Config("m.ini", Section("WinLinePlayTime=500\nEffectPlayTime=2000\nAddMoneyTime=500\n"));
  CAllMahjongEffect second;
  ASSERT_EQ(second.Load(engine, again, &blink), 1);
  second.Start();
  zqAdvanceClock(500);
  EXPECT_EQ(second.Update(), 3) << "the add-money time counts from the effect phase";
  zqAdvanceClock(500);
  EXPECT_EQ(second.Update(), 4);
  ClearBack(0xFF404040);
  engine->PreparePaint(5, 6, 5, 4);
  EXPECT_EQ(second.Render(), 0);
  EXPECT_LT(Red(305, 305), 0x10) << "the picture";
  EXPECT_GE(Red(410, 410), 0x7E) << "the lit rectangle";
  EXPECT_EQ(Red(430, 410), 0x40);
  second.SetState(CAllMahjongEffect::kIdle);
  EXPECT_EQ(second.Update(), 1);
}

class HeavenlyHandTest : public EffectsTest {
 protected:
  std::string Section(const std::string& time, const std::string& timeinv) {
    const std::string flight = Frames("hand", 1, 10, 10, [](int) { return 0xFF00FF00u; });
    return "[TIANHUCONFIG]\npos_x=0\npos_y=0\nscale=1\nimage=" + Strip() + "\nimage50=" + flight +
           "\nstartrect=500,400,600,500\nendrect=100,200,150,250\nstartframe=3\ntime=" + time +
           "\ntimeinv=" + timeinv + "\n";
  }
  // The first stage until the flight begins; the number of updates taken.
  int RunFirstStage(CHeavenlyHandEffect& hand) {
    int updates = 0;
    engine->SetElapsed(1000);
    while (hand.GetState() == CHeavenlyHandEffect::kFirstStage && updates < 500) {
      zqAdvanceClock(100);
      hand.Update();
      ++updates;
    }
    engine->SetElapsed(0);
    return updates;
  }
};

TEST_F(HeavenlyHandTest, TheFlightMakesStepsPlusOneMovesShrinkingFadingAndSpeedingUp) {
  CConfig config = Config("h.ini", Section("800", "100"));
  CHeavenlyHandEffect hand(engine);
  ASSERT_EQ(hand.Load(config), 1);
  EXPECT_EQ(hand.GetSteps(), 8);
  EXPECT_EQ(hand.GetDx(), 50);
  EXPECT_EQ(hand.GetDy(), 25);
  EXPECT_EQ(hand.Update(), 0);

  hand.Start();
  EXPECT_EQ(hand.GetState(), CHeavenlyHandEffect::kFirstStage);
  EXPECT_EQ(hand.IsShown(), 0);
  // The pass of ten frames, with the tail replayed from the fifth-last frame while time lasts.
  RunFirstStage(hand);
  EXPECT_EQ(hand.GetState(), CHeavenlyHandEffect::kFlying);
  EXPECT_EQ(hand.IsShown(), 1) << "the picture appeared at the start frame";
  EXPECT_EQ(hand.GetCurrentRect().left, 500);

  std::vector<DWORD> gaps;
  DWORD last = timeGetTime();
  int moves = 0, result = 2;
  float scale = 1.0f, alpha = 1.0f;
  while (result == 2 && moves < 50) {
    zqAdvanceClock(1);
    const int before = hand.GetCurrentRect().left;
    result = hand.Update();
    if (hand.GetCurrentRect().left != before) {
      ++moves;
      gaps.push_back(timeGetTime() - last);
      last = timeGetTime();
      scale -= scale * 0.5f / 8;
      alpha -= alpha * 0.33333334f / 8;
      EXPECT_FLOAT_EQ(hand.GetScaleX(), scale) << moves;
      EXPECT_FLOAT_EQ(hand.GetScaleY(), scale) << moves;
      EXPECT_FLOAT_EQ(hand.GetAlpha(), alpha) << moves;
    }
  }
  EXPECT_EQ(result, 0);
  EXPECT_EQ(hand.GetState(), CHeavenlyHandEffect::kIdle);
  EXPECT_EQ(moves, 9);
  EXPECT_EQ(hand.GetCurrentRect().left, 500 - 9 * 50);
  EXPECT_EQ(hand.GetCurrentRect().top, 400 - 9 * 25);
  // Each interval is the last less its half over the steps: 100 - 6 = 94, 94 - 5 = 89, ...
  ASSERT_EQ(gaps.size(), 9u);
  // The picture has waited at the start since the start frame: the first move comes at once.
  EXPECT_LE(gaps[0], 1u);
  EXPECT_EQ(gaps[1], 100u - 6u);
  EXPECT_EQ(gaps[2], 94u - 5u);
  for (size_t i = 2; i < gaps.size(); ++i) EXPECT_LE(gaps[i], gaps[i - 1]);
  EXPECT_EQ(hand.Update(), 0);
}

TEST_F(HeavenlyHandTest, StepsThatWouldBeZeroFlyInOneStepAndTheDrawingFollowsTheStage) {
  for (auto [time, timeinv] : {std::pair{"50", "100"}, {"800", "0"}, {"800", "-20"}}) {
    SCOPED_TRACE(std::string(time) + "/" + timeinv);
    CConfig config = Config("h.ini", Section(time, timeinv));
    CHeavenlyHandEffect hand(engine);
    ASSERT_EQ(hand.Load(config), 1);
    EXPECT_EQ(hand.GetSteps(), 1);
    EXPECT_EQ(hand.GetDx(), 400);
    hand.Start();
    RunFirstStage(hand);
    int updates = 0;
    while (hand.GetState() != CHeavenlyHandEffect::kIdle && updates < 1000) {
      zqAdvanceClock(10);
      hand.Update();
      ++updates;
    }
    EXPECT_EQ(hand.GetState(), CHeavenlyHandEffect::kIdle);
    EXPECT_EQ(hand.GetCurrentRect().left, 500 - 2 * 400);
  }

  CConfig config = Config("h.ini", Section("800", "100"));
  CHeavenlyHandEffect hand(engine);
  ASSERT_EQ(hand.Load(config), 1);
  hand.Start();
  // First stage: its animation at (0, 0); the picture waits at the start rectangle once shown.
  engine->SetElapsed(1000);
  for (int i = 0; i < 3; ++i) hand.Update();
  ClearBack(0xFF000000);
  engine->PreparePaint(5, 6, 5, 4);
  hand.Render();
  EXPECT_GT(Blue(5, 5), 60);
  EXPECT_GT(Px(505, 405) & 0xFF00u, 0x8000u);
  RunFirstStage(hand);
  zqAdvanceClock(100);
  hand.Update();
  ClearBack(0xFF000000);
  hand.Render();
  EXPECT_EQ(Blue(5, 5), 0) << "the first stage is over";
  EXPECT_GT(Px(452, 377) & 0xFF00u, 0x4000u) << "the picture has moved one step";
  EXPECT_EQ(Px(505, 405), 0u);

  CConfig broken =
      Config("b.ini", "[TIANHUCONFIG]\nimage=" + Strip() + "\nimage50=" + File("none.tga") + "\n");
  CHeavenlyHandEffect none(engine);
  EXPECT_EQ(none.Load(broken), 0);
}

class DiceLampsTest : public EffectsTest {
 protected:
  CConfig LampConfig(const std::string& extra) {
    const std::string lamps =
        Frames("lamp", 5, 64, 32, [](int i) { return 0xFF000000u | DWORD(40 * (i + 1)); });
    return Config("d.ini", "[DICECONFIG]\npos=100,100\nimage=" + lamps + "\n" + extra);
  }
  std::string Lamps(const CDiceLamps& d) const {
    std::string s;
    for (int i = 0; i < CDiceLamps::kLamps; ++i) s += d.IsLampOn(i) ? '1' : '0';
    return s;
  }
};

TEST_F(DiceLampsTest, TimesAreClampedAndZeroSizesStayFinite) {
  struct Case {
    const char* timeinv;
    const char* time;
    int interval, ms;
  } cases[] = {{"0", "0", 100, 1000},
               {"29", "999", 100, 1000},
               {"30", "1000", 30, 1000},
               {"-4", "-1", 100, 1000},
               {"250", "4000", 250, 4000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.timeinv) + "/" + c.time);
    CConfig config =
        LampConfig(std::string("timeinv=") + c.timeinv + "\ntime=" + c.time + "\nwidth=40\nheight=20\n");
    CDiceLamps lamps(engine);
    ASSERT_EQ(lamps.Load(config), 1);
    EXPECT_EQ(lamps.GetInterval(), c.interval);
    EXPECT_EQ(lamps.GetTime(), c.ms);
  }
  CConfig sized = LampConfig("width=40\nheight=20\n");
  CDiceLamps lamps(engine);
  ASSERT_EQ(lamps.Load(sized), 1);
  const D3DTLVERTEX* v = lamps.GetQuad().v;
  EXPECT_FLOAT_EQ(v[0].tu, (40.0f / 64.0f) / 40.0f) << "one texel in";
  EXPECT_FLOAT_EQ(v[3].tv, 20.0f / 32.0f - (20.0f / 32.0f) / 20.0f);
  EXPECT_FLOAT_EQ(v[3].sx, 140.0f);

  CConfig zero = LampConfig("width=0\nheight=0\n");
  CDiceLamps tiny(engine);
  ASSERT_EQ(tiny.Load(zero), 1);
  for (const D3DTLVERTEX& p : tiny.GetQuad().v) {
    EXPECT_TRUE(std::isfinite(p.tu));
    EXPECT_TRUE(std::isfinite(p.tv));
  }
  CConfig broken = Config("b.ini", "[DICECONFIG]\nimage=" + File("none.tga") + "\n");
  CDiceLamps none(engine);
  EXPECT_EQ(none.Load(broken), 0);
}

TEST_F(DiceLampsTest, AddingLightsLampsOneSeriesAfterAnother) {
  CConfig config = LampConfig("timeinv=100\ntime=1000\nwidth=64\nheight=32\n");
  struct Case {
    int lit, add;
    const char* during;
    int stateAfterAdd;
    const char* finished;
    int litAfter;
  } cases[] = {
      {3, 2, "11111", CDiceLamps::kAllLit, "00000", 0}, {3, 3, "11111", CDiceLamps::kAllLit, "10000", 1},
      {1, 2, "11100", CDiceLamps::kAdding, "11100", 3}, {0, 0, "00000", CDiceLamps::kAdding, "00000", 0},
      {4, 9, "11111", CDiceLamps::kAllLit, "11110", 4},  // at most five lamps a call
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.lit) + "+" + std::to_string(c.add));
    CDiceLamps lamps(engine);
    ASSERT_EQ(lamps.Load(config), 1);
    lamps.SetLit(c.lit);
    lamps.AddLamps(c.add);
    EXPECT_EQ(lamps.GetState(), c.stateAfterAdd);
    EXPECT_EQ(Lamps(lamps), c.during);
    std::vector<int> codes;
    for (int t = 0; t < 25 && lamps.GetState() != CDiceLamps::kIdle; ++t) {
      zqAdvanceClock(100);
      codes.push_back(lamps.Update());
      if (lamps.GetState() == CDiceLamps::kAllFlashing && codes.back() == 2 && codes.size() > 14)
        lamps.Finish();
    }
    EXPECT_EQ(lamps.GetState(), CDiceLamps::kIdle);
    EXPECT_EQ(Lamps(lamps), c.finished);
    EXPECT_EQ(lamps.GetLitCount(), c.litAfter);
    if (c.stateAfterAdd == CDiceLamps::kAdding) {
      ASSERT_EQ(codes.size(), 11u);
      EXPECT_EQ(codes.back(), 3) << "the series ends itself after more than its time";
    } else {
      EXPECT_EQ(codes[0], 4);
      EXPECT_EQ(codes[9], 4);
      EXPECT_EQ(codes[10], 2) << "all five flash once the time is over";
    }
  }

  // While adding, the new lamps blink every interval; the lit ones stay.
  CDiceLamps lamps(engine);
  ASSERT_EQ(lamps.Load(config), 1);
  lamps.SetLit(1);
  lamps.AddLamps(2);
  std::vector<std::string> looks;
  for (int t = 0; t < 4; ++t) {
    zqAdvanceClock(50);
    lamps.Update();
    looks.push_back(Lamps(lamps));
  }
  EXPECT_EQ(looks, (std::vector<std::string>{"11100", "10000", "10000", "11100"}));
  EXPECT_EQ(lamps.Finish(), 2);
  EXPECT_EQ(Lamps(lamps), "11100");
  EXPECT_EQ(lamps.Finish(), -2) << "idle: the state less two";
  EXPECT_EQ(lamps.Update(), 0);

  // An all-lit row asked again flashes at once.
  lamps.AddLamps(2);
  EXPECT_EQ(lamps.GetState(), CDiceLamps::kAllLit);
  lamps.AddLamps(1);
  EXPECT_EQ(lamps.GetState(), CDiceLamps::kAllFlashing);
  EXPECT_EQ(lamps.GetAddCount(), 0);
  zqAdvanceClock(100);
  EXPECT_EQ(lamps.Update(), 2);
  EXPECT_EQ(Lamps(lamps), "00000");
  EXPECT_EQ(lamps.Finish(), 0);

  lamps.SetLit(9);
  EXPECT_EQ(Lamps(lamps), "11111");
  EXPECT_EQ(lamps.GetLitCount(), 5);
  lamps.SetLit(-1);
  EXPECT_EQ(Lamps(lamps), "00000");
}

TEST_F(DiceLampsTest, EachLitLampDrawsItsFrameOnlyWhileVisible) {
  CConfig config = LampConfig("width=64\nheight=32\n");
  CDiceLamps lamps(engine);
  ASSERT_EQ(lamps.Load(config), 1);
  const auto shown = [&] {
    ClearBack(0xFF000000);
    lamps.Render();
    return int(Blue(120, 110));
  };
  lamps.SetLit(3);
  EXPECT_EQ(shown(), 0) << "invisible";
  lamps.SetVisible(1);
  EXPECT_NEAR(shown(), 120, 2) << "frame 2 drawn last";
  lamps.SetLit(0);
  EXPECT_EQ(shown(), 0);
  lamps.SetLit(5);
  EXPECT_NEAR(shown(), 200, 2);
}

}  // namespace
}  // namespace gamestest
