// The scrolling caption: trains of lines on the engine's frame time, broadcasts riding one train,
// the flash mode's still, centred train, and the text drawn into the back buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "engine_window.h"
#include "runtime_support.h"

namespace {

class CaptionEngine : public CZqEngine {
 public:
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
  void SetEngineTime(DWORD t) { m_dwEngineTime = t; }
};

class CaptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("caption");
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new CaptionEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    std::ofstream(dir.file("root.ini")) << "[SETING]\nsize=800,600\nvisible=true\nenable=true\n";
    root = new CZqUIPanel(static_cast<CZqEngine*>(engine));
    ASSERT_EQ(root->Create(dir.file("root.ini").c_str(), SScreenPoint(0, 0), "root"), 1);
  }
  void TearDown() override {
    delete root;
    delete engine;
    delete app;
    CloseEngineWindow();
  }

  // A 300x30 caption at (100, 200) scrolling with the given speeds and a 20-pixel gap.
  ZQ_UI_ActiveCaption* Make(const std::string& caption, float sx, float sy = 0.0f) {
    std::ofstream(dir.file("cap.ini"))
        << "[SETING]\nsize=300,30\nvisible=true\nenable=true\nheader_rect=0,0,300,30\nis_caption=true\n"
        << "caption=" << caption << "\ncolor=255,255,255,255\nfont=DejaVu Sans,12,0,0,0,0\n"
        << "[ACTIVE_CAPTION]\nspeed_x=" << sx << "\nspeed_y=" << sy << "\nspace_size=20\n";
    auto* cap = new ZQ_UI_ActiveCaption(root);
    EXPECT_EQ(cap->Create(dir.file("cap.ini").c_str(), SScreenPoint(100, 200), "cap"), 1);
    return cap;
  }
  // One frame of dt (0.1 ms units).
  void Step(ZQ_UI_ActiveCaption* cap, DWORD dt) {
    engine->SetElapsed(dt);
    cap->OnUpdate();
  }
  static std::vector<std::string> Texts(const ZQ_UI_ActiveCaption* cap) {
    std::vector<std::string> out;
    for (const auto& line : cap->GetShownLines()) out.push_back(line.text);
    return out;
  }

  ScratchDir dir;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CaptionEngine* engine = nullptr;
  CZqUIPanel* root = nullptr;
};

TEST_F(CaptionTest, LeftwardTrainEntersFromTheRightAndTheNextFollowsOnceTheLastHasEntered) {
  ZQ_UI_ActiveCaption* cap = Make("A|B", -100.0f);
  ASSERT_EQ(cap->GetLineRecords().size(), 2u);
  const int wa = cap->GetLineRecords()[0].width, wb = cap->GetLineRecords()[1].width;
  ASSERT_GT(wa, 0);
  const auto& shown = cap->GetShownLines();
  ASSERT_EQ(Texts(cap), (std::vector<std::string>{"A", "B"}));
  EXPECT_FLOAT_EQ(shown.front().x, 300.0f);
  EXPECT_FLOAT_EQ(shown.back().x, 300.0f + wa + 20);
  EXPECT_FLOAT_EQ(shown.back().entered, 300.0f - wb - 20);
  EXPECT_EQ(shown.front().boxWidth, wa + 20);
  EXPECT_EQ(shown.front().boxHeight, 30);

  // 100 px/s over 100 ms: 10 px.
  Step(cap, 1000);
  EXPECT_FLOAT_EQ(shown.front().x, 290.0f);

  // B's right end plus the gap comes inside after (wa + wb + 40) px: then the next train starts.
  const float distance = float(wa + wb + 40);
  int frames = 0;
  while (cap->GetShownLines().size() == 2 && frames < 1000) {
    Step(cap, 100);  // 1 px a frame
    ++frames;
  }
  EXPECT_NEAR(frames, distance - 10.0f + 1.0f, 1.5f);
  EXPECT_EQ(Texts(cap), (std::vector<std::string>{"A", "B", "A", "B"}));

  // A line is dropped once its box has left on the left.
  // A line is dropped once its box has left on the left: the first A goes when x < -(wa + 20).
  float frontX = cap->GetShownLines().front().x;
  for (frames = 0; cap->GetShownLines().front().text == "A" && frames < 1000; ++frames) {
    frontX = cap->GetShownLines().front().x;
    Step(cap, 100);
  }
  EXPECT_EQ(cap->GetShownLines().front().text, "B");
  EXPECT_GE(frontX, float(-(wa + 20)));
  EXPECT_LT(frontX - 1.0f, float(-(wa + 20)));
  delete cap;
}

TEST_F(CaptionTest, RightwardAndDownwardSpeedsMoveByTimeTimesSpeed) {
  ZQ_UI_ActiveCaption* right = Make("A", 50.0f);
  const int w = right->GetLineRecords()[0].width;
  EXPECT_FLOAT_EQ(right->GetShownLines().front().x, float(-(w + 20)));
  Step(right, 1000);
  EXPECT_FLOAT_EQ(right->GetShownLines().front().x, float(-(w + 20)) + 5.0f);
  delete right;

  ZQ_UI_ActiveCaption* down = Make("A", 0.0f, 100.0f);
  const int h = down->GetLineRecords()[0].height;
  const auto& line = down->GetShownLines().front();
  EXPECT_FLOAT_EQ(line.y, float(-(h + 20)));
  EXPECT_EQ(line.boxWidth, 300);
  EXPECT_EQ(line.boxHeight, h + 20);
  Step(down, 1000);
  EXPECT_FLOAT_EQ(down->GetShownLines().front().y, float(-(h + 20)) + 10.0f);
  delete down;
}

TEST_F(CaptionTest, ABroadcastRidesInTheNextTrainOnceAndATwiceTextInTwo) {
  ZQ_UI_ActiveCaption* cap = Make("A", -1000.0f);
  // Each placed train as its texts joined by "+".
  std::vector<std::string> trains;
  auto runTrains = [&](size_t count) {
    for (int frames = 0; trains.size() < count && frames < 10000; ++frames) {
      std::vector<std::string> before = Texts(cap);
      Step(cap, 100);  // 10 px a frame
      std::vector<std::string> after = Texts(cap);
      // Lines only leave at the front and join at the back.
      while (!before.empty() && (after.empty() || before.size() > after.size() ||
                                 !std::equal(before.begin(), before.end(), after.begin())))
        before.erase(before.begin());
      if (after.size() > before.size()) {
        std::string train;
        for (size_t i = before.size(); i < after.size(); ++i) train += (train.empty() ? "" : "+") + after[i];
        trains.push_back(train);
      }
    }
  };
  cap->Add_Broadcast("news", false);
  runTrains(3);
  EXPECT_EQ(trains, (std::vector<std::string>{"news", "A", "A"}));
  trains.clear();
  cap->Add_Broadcast("twice", true);
  EXPECT_EQ(cap->GetBroadcastCount(), 2u);
  runTrains(4);
  EXPECT_EQ(trains, (std::vector<std::string>{"twice", "A+twice", "A", "A"}));
  EXPECT_EQ(cap->GetBroadcastCount(), 0u);
  delete cap;
}

TEST_F(CaptionTest, TheQueueHoldsAtMost200TextsTwiceCopiesIncluded) {
  ZQ_UI_ActiveCaption* cap = Make("A", -100.0f);
  for (int i = 0; i < 199; ++i) cap->Add_Broadcast("x", false);
  cap->Add_Broadcast("y", true);  // only one copy still fits
  EXPECT_EQ(cap->GetBroadcastCount(), 200u);
  cap->Add_Broadcast("z", false);
  cap->Add_Broadcast("z", true);
  EXPECT_EQ(cap->GetBroadcastCount(), 200u);
  delete cap;
}

TEST_F(CaptionTest, AnEmptyCaptionPlacesNothingAndNeverShowsBroadcasts) {
  ZQ_UI_ActiveCaption* cap = Make("", -100.0f);
  cap->Add_Broadcast("news", false);
  for (int i = 0; i < 50; ++i) Step(cap, 1000);
  EXPECT_TRUE(cap->GetShownLines().empty());
  EXPECT_EQ(cap->GetBroadcastCount(), 1u);
  delete cap;
}

TEST_F(CaptionTest, SplitSkipsEmptyPiecesAndNeverCutsAGbkCharacter) {
  // 0x7C ('|') is a valid GBK trail byte: the character must stay whole.
  const std::string gbkWithBar = std::string("\x81\x7C", 2);
  ZQ_UI_ActiveCaption* cap = Make("", -100.0f);
  cap->SetCaption((std::string("||") + gbkWithBar + "|B||").c_str());
  ASSERT_EQ(cap->GetLineRecords().size(), 2u);
  EXPECT_EQ(cap->GetLineRecords()[0].text, gbkWithBar);
  EXPECT_EQ(cap->GetLineRecords()[1].text, "B");
  // The 999-byte cut leaves out a character it would halve, and everything after it.
  cap->SetCaption((std::string(998, 'x') + gbkWithBar + "|B").c_str());
  ASSERT_EQ(cap->GetLineRecords().size(), 1u);
  EXPECT_EQ(cap->GetLineRecords()[0].text, std::string(998, 'x'));
  cap->SetCaption((std::string(997, 'x') + gbkWithBar + "|B").c_str());
  ASSERT_EQ(cap->GetLineRecords().size(), 1u);
  EXPECT_EQ(cap->GetLineRecords()[0].text, std::string(997, 'x') + gbkWithBar);
  delete cap;
}

TEST_F(CaptionTest, FlashPlacesOneCentredTrainFromTheFirstLineAndStandsStill) {
  ZQ_UI_ActiveCaption* cap = Make("A", -100.0f);
  cap->SetFlash(1);
  EXPECT_EQ(cap->IsFlash(), 1);
  // The train placed for a longer caption starts at its first line, not where the last one ended.
  cap->SetCaption("A|B|C");
  ASSERT_EQ(Texts(cap), (std::vector<std::string>{"A", "B", "C"}));
  int sum = 0;
  for (const auto& r : cap->GetLineRecords()) sum += r.width + 20;
  const int a = (300 - 20 + sum) / 2;
  EXPECT_FLOAT_EQ(cap->GetShownLines().front().x, float(300 - a));
  const float x = cap->GetShownLines().front().x;
  Step(cap, 10000);
  EXPECT_FLOAT_EQ(cap->GetShownLines().front().x, x);
  // The same flag again changes nothing.
  cap->SetFlash(1);
  EXPECT_FLOAT_EQ(cap->GetShownLines().front().x, x);
  cap->SetFlash(0);
  EXPECT_EQ(cap->IsFlash(), 0);
  delete cap;
}

TEST_F(CaptionTest, AFlashingCaptionPulsesOverFourHundredMilliseconds) {
  ZQ_UI_ActiveCaption* cap = Make("WWWW", -100.0f);
  cap->SetFlash(1);
  CZqSurface* back = engine->GetBackSurface();
  // The brightest red of the caption area drawn at engine time t (0.1 ms units).
  auto peak = [&](DWORD t) {
    engine->SetEngineTime(t);
    back->Clear(back->ConvertColor(0xFF000000));
    engine->PreparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE, D3DTOP_MODULATE);
    EXPECT_EQ(cap->Draw(SScreenPoint(100, 200)), 0);
    int top = 0;
    for (long y = 200; y < 230; ++y)
      for (long x = 100; x < 400; ++x) {
        BYTE r = 0;
        back->GetPixelInfo(x, y, nullptr, &r, nullptr, nullptr);
        top = std::max<int>(top, r);
      }
    return top;
  };
  // A triangle from 2 down to 0 and back over 400 ms, held to 0..1 by the painter.
  const int full = peak(0);
  EXPECT_GT(full, 0x60);
  EXPECT_EQ(peak(1000), full);
  EXPECT_NEAR(peak(1500), full / 2, 3);
  EXPECT_EQ(peak(2000), 0);
  EXPECT_NEAR(peak(2500), full / 2, 3);
  EXPECT_EQ(peak(4000), full);
  delete cap;
}

TEST_F(CaptionTest, AFlashTrainAfterARestoreStillStartsAtTheFirstLine) {
  // A restore places a train and leaves the next line past the one-line caption; the longer
  // caption set afterwards must still show from its first line.
  ZQ_UI_ActiveCaption* cap = Make("A", -100.0f);
  cap->SetFlash(1);
  ASSERT_EQ(cap->Restore(), 1);
  cap->SetCaption("A|B|C");
  EXPECT_EQ(Texts(cap), (std::vector<std::string>{"A", "B", "C"}));
  delete cap;
}

TEST_F(CaptionTest, TheLinesAreDrawnInTheCaptionAreaAndStillSpeedsDrawNothing) {
  CZqSurface* back = engine->GetBackSurface();
  auto litPixels = [&](ZQ_UI_ActiveCaption* cap) {
    back->Clear(back->ConvertColor(0xFF000000));
    engine->PreparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE, D3DTOP_MODULATE);
    EXPECT_EQ(cap->Draw(SScreenPoint(100, 200)), 0);
    int lit = 0, outside = 0;
    for (long y = 150; y < 280; ++y)
      for (long x = 50; x < 450; ++x) {
        BYTE r = 0, g = 0, b = 0;
        back->GetPixelInfo(x, y, nullptr, &r, &g, &b);
        if (r > 0x20) (x >= 100 && x < 400 && y >= 200 && y < 230 ? lit : outside)++;
      }
    EXPECT_EQ(outside, 0);
    return lit;
  };
  ZQ_UI_ActiveCaption* moving = Make("WWWW", 100.0f);
  EXPECT_EQ(litPixels(moving), 0);  // still left of the area
  for (int i = 0; i < 20; ++i) Step(moving, 1000);
  EXPECT_GT(litPixels(moving), 20);
  delete moving;
  ZQ_UI_ActiveCaption* still = Make("WWWW", 0.0f);
  EXPECT_EQ(litPixels(still), 0);
  delete still;
}

}  // namespace
