// The lever and bonus panels made by the main frame's UI factory: the pulled image in every
// state, pulls with their sound, and the helpers the turntable kind uses on any panel.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "ZqLib.h"
#include "audio_support.h"
#include "engine_window.h"
#include "games/pieces/BonusPanel.h"
#include "games/pieces/PanelHelpers.h"
#include "games/pieces/StartPolePanel.h"
#include "runtime_support.h"
#include "shell/MainFrame.h"
#include "tga_files.h"

namespace {

class TestFrame : public CMainFrame {
 public:
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
};

// The panel's state flags, set directly: the older build the client loads has no setters for them.
struct PanelFlags : CZqUIPanel {
  static void Set(CZqUIPanel* p, int touched, int pressed, int checked) {
    p->*(&PanelFlags::m_bTouched) = touched;
    p->*(&PanelFlags::m_bPressed) = pressed;
    p->*(&PanelFlags::m_bChecked) = checked;
  }
};

// Normal image red; the four press frames blue 60, 120, 180, 240.
constexpr DWORD kNormal = 0xFFFF0000;
DWORD PressColor(int i) { return 0xFF000000u | DWORD(60 * (i + 1)); }
// What a drawn pixel shows: press frame 0..3, kNormalShown, or kNothing.
constexpr int kNormalShown = -1;
constexpr int kNothing = -2;

class PanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSolidTga(dir.file("n.tga"), 20, 20, kNormal);
    for (int i = 0; i < 4; ++i)
      WriteSolidTga(dir.file("p" + std::to_string(i) + ".tga"), 20, 20, PressColor(i));
    ASSERT_TRUE(MakeToneWave(dir.file("spin.wav"), 22050, 16, 1, 0.5));
    const std::string leaf =
        "[SETING]\nsize=20,20\nvisible=true\nenable=true\n[IMAGE]\nnormal=" + dir.file("n.tga") +
        "\npress=" + dir.file("p%d.tga") + "#0;3,0,0,3,1000\n" + "[SOUND]\nspin=" + dir.file("spin.wav") +
        "\n";
    Write("leaf.ini", leaf);
    Write("bare.ini",
          "[SETING]\nsize=20,20\nvisible=true\nenable=true\n[IMAGE]\nnormal=" + dir.file("n.tga") + "\n");
    Write("main.ini",
          "[SETING]\nsize=800,600\nvisible=true\nenable=true\n"
          "[ITEM_1]\nstyle=start_pole\nname=pole\npos=100,100\nconfig=leaf.ini\n"
          "[ITEM_2]\nstyle=bonus_panel\nname=bonus\npos=200,100\nconfig=leaf.ini\n"
          "[ITEM_3]\nstyle=panel\nname=plain\npos=300,100\nconfig=leaf.ini\n"
          "[ITEM_4]\nstyle=start_pole\nname=bare\npos=400,100\nconfig=bare.ini\n");
    wnd = OpenEngineWindow("panels");
    app = std::make_unique<CZqApp>();
    ASSERT_EQ(app->InitApp(wnd), 1);
    frame = new TestFrame;
    ASSERT_GE(frame->InitEngine(wnd, 800, 600, 0), 0);
    root = std::make_unique<CZqUIPanel>(static_cast<CZqEngine*>(frame));
    ASSERT_EQ(root->Create("main.ini", SScreenPoint(0, 0), "main"), 1);
    root->SetVisible(1);
  }
  void TearDown() override {
    root.reset();
    delete frame;
    app.reset();
    CloseEngineWindow();
  }
  void Write(const std::string& name, const std::string& text) { std::ofstream(dir.file(name)) << text; }
  CZqUIPanel* Find(const char* name) { return frame->FindUIFromName(name); }
  // The main panel drawn (and its panels updated) on a black back buffer; what (x, y) shows.
  int Shown(long x, long y) {
    CZqSurface* back = frame->GetBackSurface();
    back->Clear(back->ConvertColor(0xFF000000));
    frame->PreparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE2X, D3DTOP_MODULATE);
    root->Draw(SScreenPoint(0, 0));
    BYTE r = 0, g = 0, b = 0;
    back->GetPixelInfo(x, y, nullptr, &r, &g, &b);
    if (r > 200 && b < 10) return kNormalShown;
    if (r < 10 && b > 30) return (b + 30) / 60 - 1;
    return kNothing;
  }

  ScratchDir dir;
  HWND wnd = nullptr;
  std::unique_ptr<CZqApp> app;
  TestFrame* frame = nullptr;
  std::unique_ptr<CZqUIPanel> root;
};

TEST_F(PanelsTest, TheFactoryMakesBothStylesAndLeavesTheRestToTheEngine) {
  auto* pole = dynamic_cast<CStartPolePanel*>(Find("pole"));
  auto* bonus = dynamic_cast<CBonusPanel*>(Find("bonus"));
  ASSERT_NE(pole, nullptr);
  ASSERT_NE(bonus, nullptr);
  EXPECT_STREQ(pole->GetStyle(), "start_pole");
  EXPECT_STREQ(bonus->GetStyle(), "bonus_panel");
  CZqUIPanel* plain = Find("plain");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(dynamic_cast<CStartPolePanel*>(plain), nullptr);
  EXPECT_EQ(dynamic_cast<CBonusPanel*>(plain), nullptr);
  EXPECT_NE(pole->GetSpinSound(), nullptr);
  EXPECT_EQ(dynamic_cast<CStartPolePanel*>(Find("bare"))->GetSpinSound(), nullptr);
  // Only as children, like the engine's widgets.
  EXPECT_EQ(frame->UI_New_Register(nullptr, "start_pole"), nullptr);
  EXPECT_EQ(frame->UI_New_Register(nullptr, "bonus_panel"), nullptr);
  std::unique_ptr<CZqUIPanel> made(frame->UI_New_Register(root.get(), "layer"));
  EXPECT_NE(dynamic_cast<ZQ_UI_Layer*>(made.get()), nullptr);
}

TEST_F(PanelsTest, LeverAndBonusShowTheirPressImageInEveryState) {
  CZqUIPanel* pole = Find("pole");
  CZqUIPanel* bonus = Find("bonus");
  EXPECT_EQ(Shown(105, 105), 0);
  EXPECT_EQ(Shown(205, 105), 0);
  EXPECT_EQ(Shown(305, 105), kNormalShown) << "an engine panel shows its normal image";
  struct Case {
    const char* name;
    void (*apply)(CZqUIPanel*);
  } cases[] = {
      {"disabled", [](CZqUIPanel* p) { p->SetEnable(0); }},
      {"enabled again", [](CZqUIPanel* p) { p->SetEnable(1); }},
      {"touched",
       [](CZqUIPanel* p) {
         PanelFlags::Set(p, 1, 0, 0);
         p->UpdateState();
       }},
      {"pressed",
       [](CZqUIPanel* p) {
         PanelFlags::Set(p, 1, 1, 0);
         p->UpdateState();
       }},
      {"checked", [](CZqUIPanel* p) { p->SetChecked(1); }},
      {"released",
       [](CZqUIPanel* p) {
         PanelFlags::Set(p, 0, 0, 0);
         p->UpdateState();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (CZqUIPanel* p : {pole, bonus}) {
      c.apply(p);
      EXPECT_STREQ(p->GetCurrentAnimation()->GetKey(), p->GetImagePress());
    }
    EXPECT_EQ(Shown(105, 105), 0);
    EXPECT_EQ(Shown(205, 105), 0);
  }
  // Without a press image the lever shows nothing, and a pull plays nothing.
  auto* bare = dynamic_cast<CStartPolePanel*>(Find("bare"));
  bare->UpdateState();
  EXPECT_EQ(bare->GetCurrentAnimation()->GetCurrentFrame(), nullptr);
  EXPECT_EQ(Shown(405, 105), kNothing);
  bare->Pull();
  EXPECT_FALSE(bare->GetCurrentAnimation()->IsPlaying());
}

TEST_F(PanelsTest, EachPullRestartsThePulledImageAndPlaysTheSpinSound) {
  auto* pole = dynamic_cast<CStartPolePanel*>(Find("pole"));
  CZqAnimation* pulled = pole->GetCurrentAnimation();
  CZqSound* spin = pole->GetSpinSound();
  ASSERT_NE(spin, nullptr);
  EXPECT_FALSE(pulled->IsPlaying());
  for (int pull = 0; pull < 2; ++pull) {
    SCOPED_TRACE(pull);
    pole->Pull();
    EXPECT_EQ(pulled->GetMode(), 3);
    EXPECT_EQ(pulled->GetCurrentFrameEx(), 0);
    EXPECT_EQ(pulled->GetTimeLimit(), 1000u * 4 * 2) << "two lengths of the four frames";
    EXPECT_EQ(spin->IsPlaying(), 1);
    // The panel's frame update plays it forward.
    frame->SetElapsed(2500);
    EXPECT_EQ(Shown(105, 105), 2);
    zqAdvanceClock(600);  // the half-second sound has ended
    EXPECT_EQ(spin->IsPlaying(), 0);
  }
  // Forward, back and the end of the two lengths.
  frame->SetElapsed(2000);
  EXPECT_EQ(Shown(105, 105), 3);  // the last frame shows twice before turning back
  frame->SetElapsed(4000);
  Shown(105, 105);
  EXPECT_FALSE(pulled->IsPlaying());
}

TEST_F(PanelsTest, HitTestAtAPointPostsOverOrNotOverAndPlayToEndRunsOnePass) {
  CZqUIPanel* plain = Find("plain");
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  struct Case {
    int x, y, inside;
    UINT message;
  } cases[] = {{305, 105, 1, ZQ_UIMSG_TOUCH}, {300, 100, 1, ZQ_UIMSG_TOUCH}, {330, 105, 0, ZQ_UIMSG_UNTOUCH}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(HitTestPanelAt(plain, c.x, c.y), c.inside);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, c.message);
    EXPECT_EQ(msg.wParam, plain->GetID());
  }
  EXPECT_EQ(HitTestPanelAt(nullptr, 0, 0), 0);

  auto* bonus = Find("bonus");
  CZqAnimation* shown = bonus->GetCurrentAnimation();
  shown->SetCurrentFrameEx(2);
  PlayPanelToEnd(bonus);
  EXPECT_EQ(shown->GetCurrentFrameEx(), 0);
  EXPECT_EQ(shown->GetMode(), 1);
  frame->SetElapsed(3000);
  EXPECT_EQ(Shown(205, 105), 3);
  frame->SetElapsed(1000);
  Shown(205, 105);
  EXPECT_FALSE(shown->IsPlaying());
  EXPECT_EQ(Shown(205, 105), 3) << "it stops on the last frame";
  PlayPanelToEnd(nullptr);
}

}  // namespace
