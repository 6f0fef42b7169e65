// Frame animations on the manual clock, driven by a real engine's frame updates and drawn on
// the software device.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "engine_window.h"
#include "runtime_support.h"
#include "tga_files.h"

namespace {

class LoopApp : public CZqApp {
 public:
  void SetAppTime(DWORD t) { m_dwAppTime = t; }
};

// Hands each frame update to the test.
class AnimEngine : public CZqEngine {
 public:
  std::function<void()> onUpdate;
  // An elapsed time the engine's own frame never hands out (it cuts lags to a few seconds).
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
  int OnUpdate() override {
    if (onUpdate) onUpdate();
    return 1;
  }
};

// Ten numbered 4x4 frames f0.tga .. f9.tga, frame i opaque with red 10 + 20 i.
const char* const kGroup = "f%d.tga#0;9";
DWORD FrameColor(int i) { return 0xFF000000u | (DWORD)(10 + 20 * i) << 16 | 0x3040u; }

void WriteTga(const std::string& path, DWORD argb) { WriteSolidTga(path, 4, 4, argb); }

class AnimationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 10; ++i) WriteTga(dir.file("f" + std::to_string(i) + ".tga"), FrameColor(i));
    std::ofstream(dir.file("empty.ini")) << "[x]\n";  // a file that gives a group without frames
    wnd = OpenEngineWindow("animation");
    app = new LoopApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new AnimEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    app->SetAppTime(now);
    engine->_UpdateEngine();
  }
  void TearDown() override {
    delete engine;
    delete app;
    CloseEngineWindow();
  }
  // One engine frame of dt units; `a` updates in it and its result is returned.
  long Step(CZqAnimation& a, DWORD dt) {
    long result = -2;
    engine->onUpdate = [&] { result = a.Update(); };
    now += dt;
    app->SetAppTime(now);
    engine->_UpdateEngine();
    engine->onUpdate = nullptr;
    return result;
  }
  // The frames after each of n steps of dt.
  std::vector<long> Frames(CZqAnimation& a, DWORD dt, int n) {
    std::vector<long> out;
    for (int i = 0; i < n; ++i) {
      Step(a, dt);
      out.push_back(a.GetCurrentFrameEx());
    }
    return out;
  }
  std::string G(const std::string& fields = "") const { return std::string(kGroup) + fields; }
  // The back buffer has no alpha: colours only.
  DWORD Px(long x, long y) {
    return engine->GetBackSurface()->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr) & 0xFFFFFFu;
  }

  ScratchDir dir;
  HWND wnd = nullptr;
  LoopApp* app = nullptr;
  AnimEngine* engine = nullptr;
  DWORD now = 100000;
};

TEST_F(AnimationTest, DescriptionFieldsAndDefaults) {
  struct Case {
    std::string text;
    int result;
    long cur, first, last, count;
    DWORD delay;
    long mode;
  };
  const std::vector<Case> cases = {
      {G(), 1, 0, 0, 9, 10, 1000, 0},  // the group's default delay, stopped
      {G(","), 1, 0, 0, 9, 10, 1000, 0},
      {G(",3"), 1, 3, 3, 3, 1, 1000, 0},
      {G(",4,1"), 1, 4, 1, 4, 4, 1000, 0},
      {G(",7,9,3"), 1, 7, 7, 7, 1, 1000, 0},
      {G(",0,0,9,700"), 1, 0, 0, 9, 10, 700, 0},
      {G(",0,0,9,1000,loop"), 1, 0, 0, 9, 10, 1000, 1},
      {G(",0,0,9,1000,loop_back"), 1, 0, 0, 9, 10, 1000, 1},
      {G(",5,2,8,500,rotate"), 1, 5, 2, 8, 7, 500, 3},
      {G(",5,2,8,500,rotate_back"), 1, 5, 2, 8, 7, 500, 4},
      {G(",1,0,9,0,loop"), 1, 1, 0, 9, 10, 1000, 1},
      {G(",1,0,9,-5,loop"), 1, 1, 0, 9, 10, 1000, 1},
      {G(",0,0,9,1000,Loop"), 1, 0, 0, 9, 10, 1000, 0},
      {G(",0,0,9,1000,loop "), 1, 0, 0, 9, 10, 1000, 0},
      {G(",0,0,9,1000,loop,x"), 1, 0, 0, 9, 10, 1000, 0},
      {G(",0,0,9,1000,"), 1, 0, 0, 9, 10, 1000, 0},
      {G(", 2x,+1junk,8;,700ms,rotate"), 1, 2, 1, 8, 8, 700, 3},
      {G(",x,y,z"), 1, 0, 0, 0, 1, 1000, 0},
      // Absurd frame numbers stay within a countable range.
      {G(",99999999999,-99999999999,5"), 1, 0x3FFFFFFF, -0x3FFFFFFF, 0x3FFFFFFF, 0x7FFFFFFF, 1000, 0},
      {G(",1,0,9,99999999999"), 1, 1, 0, 9, 10, 0x7FFFFFFF, 0},
      {"empty.ini", 1, 0, 0, -1, 1, 1000, 0},
      {"missing.tga", 0, 0, 0, 0, 0, 300, 0},
      {"missing.tga,0,0,9,1000,loop", 0, 0, 0, 0, 0, 300, 0},
      {"", 0, 0, 0, 0, 0, 300, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CZqAnimation a(engine);
    EXPECT_EQ(a.Create(c.text.c_str()), c.result);
    EXPECT_STREQ(a.GetKey(), c.text.c_str());
    EXPECT_EQ(a.IsReady(), c.result);
    EXPECT_EQ(a.GetCurrentFrameEx(), c.cur);
    EXPECT_EQ(a.GetFirstFrame(), c.first);
    EXPECT_EQ(a.GetLastFrame(), c.last);
    EXPECT_EQ(a.GetFrameCount(), c.count);
    EXPECT_EQ(a.GetFrameDelay(), c.delay);
    EXPECT_EQ(a.GetMode(), c.mode);
    EXPECT_EQ(a.IsPlaying(), c.mode != 0);
  }
  CZqAnimation none(engine);
  EXPECT_EQ(none.Create(nullptr), 0);
  EXPECT_STREQ(none.GetKey(), "");
  CZqAnimation detached;
  EXPECT_EQ(detached.Create(G(",0,0,9,1000,loop").c_str()), 0) << "no engine";
  EXPECT_STREQ(detached.GetKey(), G(",0,0,9,1000,loop").c_str());
  EXPECT_EQ(detached.Update(), -1);
  EXPECT_EQ(detached.Draw(0, 0, 0, 1, 1, 1, 0, 0xFFFFFF), 0);
}

TEST_F(AnimationTest, DescriptionLengthLimits) {
  // The fields after the group name: 99 characters are read, the rest is ignored.
  const std::string pad(99 - std::string("0,0,9,1000,loop").size(), ' ');
  struct Case {
    std::string text;
    long last, mode;
  };
  std::string longName = G();
  while (longName.size() < 993) longName = "./" + longName;  // 993 characters, still the group
  const std::vector<Case> cases = {
      {G("," + pad + "0,0,9,1000,loop"), 9, 1},   // exactly 99
      {G(", " + pad + "0,0,9,1000,loop"), 9, 0},  // 100: the mode word loses its last letter
      {longName + ",3,1,8", 8, 0},                // exactly 999
      {"./" + longName + ",3,1,8", 3, 0},         // 1001: ",8" is cut off, last = cur
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.size());
    CZqAnimation a(engine);
    ASSERT_EQ(a.Create(c.text.c_str()), 1);
    EXPECT_EQ(a.GetLastFrame(), c.last);
    EXPECT_EQ(a.GetMode(), c.mode);
    EXPECT_EQ(std::string(a.GetKey()), c.text) << "the key keeps the whole text";
  }
}

TEST_F(AnimationTest, EveryModesFrameSequence) {
  struct Case {
    const char* name;
    std::string text;
    std::function<void(CZqAnimation&)> start;
    DWORD dt;
    std::vector<long> frames;
  };
  const std::vector<Case> cases = {
      {"loop", G(",0,0,9,1000,loop"), nullptr, 1000, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1}},
      {"loop_back plays forward",
       G(",0,0,9,1000,loop_back"),
       nullptr,
       1000,
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1}},
      {"rotate", G(",5,2,8,500,rotate"), nullptr, 500, {6, 7, 8, 8, 7, 6, 5, 4, 3, 2, 2, 3, 4}},
      {"rotate_back", G(",5,2,8,500,rotate_back"), nullptr, 500, {4, 3, 2, 2, 3, 4, 5, 6, 7, 8, 8, 7}},
      {"backward loop",
       G(",0,0,9,1000"),
       [](CZqAnimation& a) { a.Play(2, 1, 0, 0, 0); },
       1000,
       {8, 7, 6, 5, 4, 3, 2, 1, 0, 9, 8}},
      {"rotate restarts at first",
       G(",5,2,8,500"),
       [](CZqAnimation& a) { a.Play(3, 1, 0, 0, 0); },
       500,
       {3, 4, 5, 6, 7, 8, 8, 7}},
      {"rotate_back restarts at last",
       G(",5,2,8,500"),
       [](CZqAnimation& a) { a.Play(4, 1, 0, 0, 0); },
       500,
       {7, 6, 5, 4, 3, 2, 2, 3}},
      {"half delays", G(",0,0,9,1000,loop"), nullptr, 500, {0, 1, 1, 2, 2, 3}},
      {"delay in seconds", G(",0,0,9"), [](CZqAnimation& a) { a.Play(1, 1, 0, 0, 0.02f); }, 200, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CZqAnimation a(engine);
    ASSERT_EQ(a.Create(c.text.c_str()), 1);
    if (c.start) c.start(a);
    EXPECT_EQ(Frames(a, c.dt, (int)c.frames.size()), c.frames);
  }
}

TEST_F(AnimationTest, OneLongFrameStepsLikeManyShortOnes) {
  // Whatever the elapsed time, one update lands where single steps would.
  for (const char* mode : {"loop", "rotate", "rotate_back"}) {
    for (int k = 0; k < 40; ++k) {
      SCOPED_TRACE(std::string(mode) + " " + std::to_string(k));
      CZqAnimation slow(engine), fast(engine);
      const std::string text = G(",5,2,8,100,") + mode;
      ASSERT_EQ(slow.Create(text.c_str()), 1);
      ASSERT_EQ(fast.Create(text.c_str()), 1);
      for (int i = 0; i < k; ++i) Step(slow, 100);
      EXPECT_EQ(Step(fast, 100 * k + 37), k);
      EXPECT_EQ(fast.GetCurrentFrameEx(), slow.GetCurrentFrameEx());
      // The direction matches too: the next steps agree.
      EXPECT_EQ(Frames(fast, 100, 9), Frames(slow, 100, 9));
    }
  }
  CZqAnimation a(engine);
  ASSERT_EQ(a.Create(G(",0,0,9,1,loop").c_str()), 1);
  engine->SetElapsed(4000000003u);
  EXPECT_EQ(a.Update(), 4000000003l) << "no frame-by-frame stepping";
  EXPECT_EQ(a.GetCurrentFrameEx(), 3);
}

TEST_F(AnimationTest, LongFrameKeepsTheRemainderAndZeroDelayCountsAsOne) {
  CZqAnimation a(engine);
  ASSERT_EQ(a.Create(G(",0,0,9,1000,loop").c_str()), 1);
  EXPECT_EQ(Step(a, 2500), 2);
  EXPECT_EQ(a.GetCurrentFrameEx(), 2);
  EXPECT_EQ(Step(a, 499), 0);
  EXPECT_EQ(Step(a, 1), 1) << "500 units were kept";
  EXPECT_EQ(a.GetCurrentFrameEx(), 3);

  a.SetFrameDelay(0);
  EXPECT_EQ(Step(a, 7), 7);
  EXPECT_EQ(a.GetCurrentFrameEx(), 0);
}

TEST_F(AnimationTest, PlayToEndAndPlayToStartStopAfterOnePass) {
  CZqAnimation a(engine);
  ASSERT_EQ(a.Create(G(",4,0,9,1000,loop").c_str()), 1);
  a.PlayToEnd(1, 0);
  EXPECT_EQ(a.GetCurrentFrameEx(), 0);
  EXPECT_EQ(a.GetTimeLimit(), 9999u);
  EXPECT_EQ(Frames(a, 1000, 9), (std::vector<long>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_TRUE(a.IsPlaying());
  EXPECT_EQ(Step(a, 1000), -1);
  EXPECT_FALSE(a.IsPlaying());
  EXPECT_EQ(a.GetCurrentFrameEx(), 9);
  EXPECT_EQ(Step(a, 5000), -1);
  EXPECT_EQ(a.GetCurrentFrameEx(), 9);

  a.PlayToStart(1, 0);
  EXPECT_EQ(a.GetCurrentFrameEx(), 9);
  EXPECT_EQ(Frames(a, 1000, 9), (std::vector<long>{8, 7, 6, 5, 4, 3, 2, 1, 0}));
  EXPECT_EQ(Step(a, 1000), -1);
  EXPECT_EQ(a.GetCurrentFrameEx(), 0);

  // A pass timed in seconds runs at that delay to the end.
  a.PlayToEnd(1, 0.05f);
  EXPECT_EQ(a.GetFrameDelay(), 500u);
  EXPECT_EQ(Frames(a, 500, 9), (std::vector<long>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(Step(a, 500), -1);
  EXPECT_EQ(a.GetCurrentFrameEx(), 9);

  // Time past the limit steps no frame, even in one long update.
  a.PlayToEnd(1, 0.1f);
  EXPECT_EQ(Step(a, 50000), -1) << "ending now";
  EXPECT_FALSE(a.IsPlaying());
  EXPECT_EQ(a.GetCurrentFrameEx(), 9);
}

TEST_F(AnimationTest, TimeLimitOfPassesAndExtraTime) {
  CZqAnimation a(engine);
  ASSERT_EQ(a.Create(G(",0,0,9,1000").c_str()), 1);
  a.Play(1, 1, 2.0f, 500.0f, 0);
  EXPECT_EQ(a.GetTimeLimit(), 20500u);
  for (int i = 0; i < 20; ++i) ASSERT_EQ(Step(a, 1000), 1) << i;
  EXPECT_EQ(a.GetCurrentFrameEx(), 0);
  EXPECT_EQ(Step(a, 1000), -1) << "the last 500 units step nothing";
  EXPECT_EQ(a.GetCurrentFrameEx(), 0);

  // Nonsense limits neither wrap nor end the animation at once.
  for (float passes : {-1.0f, 1e30f, std::numeric_limits<float>::quiet_NaN()}) {
    a.Play(1, 1, passes, 0, 0);
    EXPECT_EQ(a.GetTimeLimit(), passes > 0 ? 0xFFFFFFFFu : 0u) << passes;
    EXPECT_EQ(Step(a, 1000), 1) << passes;
  }
}

TEST_F(AnimationTest, PlayToReframeRewindsThenStops) {
  CZqAnimation a(engine);
  ASSERT_EQ(a.Create(G(",0,0,9,1000").c_str()), 1);
  a.PlayToReframe(0, 3, 2, 1, 0);
  EXPECT_FALSE(a.IsPlaying()) << "flag 0 does nothing";

  a.PlayToReframe(1, 3, 2, 1, 0);
  std::vector<long> frames, results;
  for (int i = 0; i < 18; ++i) {
    results.push_back(Step(a, 1000));
    frames.push_back(a.GetCurrentFrameEx());
  }
  EXPECT_EQ(frames, (std::vector<long>{1, 2, 3, 4, 5, 6, 7, 8, 9, 6, 7, 8, 9, 6, 7, 8, 9, 9}));
  EXPECT_EQ(results, (std::vector<long>{1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, -1}));
  EXPECT_FALSE(a.IsPlaying());

  // Rewinds further back than the pass is long stay in the range.
  a.PlayToReframe(1, 25, 1, 1, 0);
  for (int i = 0; i < 10; ++i) Step(a, 1000);
  EXPECT_EQ(a.GetCurrentFrameEx(), 4);  // 9 - 25 within 0..9
  EXPECT_TRUE(a.IsPlaying());
}

TEST_F(AnimationTest, UpdateResultsOfStillAndStoppedAnimations) {
  CZqAnimation notReady(engine);
  EXPECT_EQ(Step(notReady, 1000), -1);
  notReady.Play(1, 1, 0, 0, 0);
  EXPECT_FALSE(notReady.IsPlaying());

  CZqAnimation still(engine);
  ASSERT_EQ(still.Create(G(",3").c_str()), 1);
  still.Play(1, 1, 0, 0, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Step(still, 5000), 0);
  EXPECT_EQ(still.GetCurrentFrameEx(), 3);

  CZqAnimation stopped(engine);
  ASSERT_EQ(stopped.Create(G().c_str()), 1);
  EXPECT_EQ(Step(stopped, 5000), -1);
  EXPECT_EQ(stopped.GetCurrentFrameEx(), 0);

  // A frame set outside the range comes back into it on the next update.
  ASSERT_EQ(stopped.Create(G(",0,0,9,1000,loop").c_str()), 1);
  stopped.SetCurrentFrameEx(25);
  EXPECT_EQ(Step(stopped, 1), 0);
  EXPECT_EQ(stopped.GetCurrentFrameEx(), 5);
  stopped.SetCurrentFrameEx(0xFFFFFFFFu);  // -1
  EXPECT_EQ(Step(stopped, 1), 0);
  EXPECT_EQ(stopped.GetCurrentFrameEx(), 9);

  stopped.Cleanup();
  EXPECT_FALSE(stopped.IsReady());
  EXPECT_EQ(stopped.GetFrameDelay(), 300u);
  EXPECT_STREQ(stopped.GetKey(), "");
  EXPECT_EQ(Step(stopped, 1000), -1);
}

TEST_F(AnimationTest, SetPos) {
  CZqAnimation a(engine);
  ASSERT_EQ(a.Create(G().c_str()), 1);
  a.SetPos(10);
  EXPECT_EQ(a.GetCurrentFrameEx(), 9);
  ASSERT_EQ(a.Create(G(",2,2,7").c_str()), 1);
  for (auto [pos, frame] :
       std::vector<std::pair<int, long>>{{0, 2}, {3, 5}, {5, 7}, {6, 7}, {-1, 7}, {99, 7}}) {
    a.SetPos(pos);
    EXPECT_EQ(a.GetCurrentFrameEx(), frame) << pos;
  }
}

TEST_F(AnimationTest, DrawPaintsTheCurrentFrameOrNothing) {
  CZqSurface* back = engine->GetBackSurface();
  back->Clear(back->ConvertColor(0xFF000000));
  engine->PreparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE, D3DTOP_MODULATE);

  CZqAnimation a(engine);
  ASSERT_EQ(a.Create(G(",4,0,9,1000,loop").c_str()), 1);
  EXPECT_EQ(a.Draw(100, 100, 0.0f, 1, 1, 1.0f, 0.0f, 0xFFFFFF), 0);
  EXPECT_EQ(Px(101, 101), FrameColor(4) & 0xFFFFFFu);
  EXPECT_EQ(Px(105, 101), 0u) << "a 4x4 frame";
  Step(a, 1000);
  EXPECT_EQ(a.DrawFast(200, 100, 0.0f, 2, 2, 1.0f, 0xFFFFFF), 0);
  EXPECT_EQ(Px(206, 106), FrameColor(5) & 0xFFFFFFu) << "scaled to 8x8";
  ASSERT_NE(a.GetCurrentFrame(), nullptr);
  EXPECT_EQ(a.GetCurrentFrame(), a.GetTextureGroup()->GetTexture(5));

  // No texture at the current frame: nothing is painted, the painter's full-screen quad least of all.
  back->Clear(back->ConvertColor(0xFF000000));
  CZqAnimation outside(engine), empty(engine), missing(engine);
  ASSERT_EQ(outside.Create(G(",12").c_str()), 1);
  ASSERT_EQ(empty.Create("empty.ini"), 1);
  EXPECT_EQ(missing.Create("missing.tga"), 0);
  for (CZqAnimation* n : {&outside, &empty, &missing}) {
    EXPECT_EQ(n->GetCurrentFrame(), nullptr);
    EXPECT_EQ(n->Draw(100, 100, 0.0f, 1, 1, 1.0f, 0.0f, 0xFFFFFF), 0);
    EXPECT_EQ(n->DrawFast(100, 100, 0.0f, 1, 1, 1.0f, 0xFFFFFF), 0);
  }
  for (auto [x, y] : std::vector<std::pair<long, long>>{{0, 0}, {101, 101}, {400, 300}, {799, 599}})
    EXPECT_EQ(Px(x, y), 0u) << x << "," << y;
}

TEST_F(AnimationTest, AnimationsShareTheirGroupUntilTheLastLetsGo) {
  CZqAnimation a(engine), b(engine);
  ASSERT_EQ(a.Create(G(",1").c_str()), 1);
  ASSERT_EQ(b.Create(G(",2").c_str()), 1);
  EXPECT_EQ(a.GetTextureGroup(), b.GetTextureGroup());
  a.Cleanup();
  ASSERT_NE(b.GetCurrentFrame(), nullptr) << "b's user reference keeps the group";
  EXPECT_EQ(b.GetCurrentFrame()->GetPixelInfo(0, 0, nullptr, nullptr, nullptr, nullptr), FrameColor(2));
  EXPECT_EQ(b.ReleaseObjects(), 0);
  ASSERT_NE(b.GetCurrentFrame(), nullptr) << "frames come back on demand";
  // Re-creating and moving to another engine give the group back.
  ASSERT_EQ(b.Create(G(",3").c_str()), 1);
  b.SetZqEngine(engine);
  EXPECT_FALSE(b.IsReady());
  ASSERT_EQ(b.Create(G(",3").c_str()), 1);
}

}  // namespace
