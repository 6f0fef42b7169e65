// Input end to end: injected mouse input goes through the window's queue, the engine's mapping
// and the game's main panel to a button, whose click comes back to the game on a later turn.
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "enginemsg_support.h"
#include "runtime_support.h"

namespace enginemsg {
namespace {

class ClickGame : public CZqGame {
 public:
  explicit ClickGame(CZqEngine* engine) : CZqGame(engine) {}
  void OnUICmd(CZqUIPanel* panel, UINT msg, LPARAM) override {
    if (msg == ZQ_UIMSG_CLICK) clicks.push_back(panel);
  }
  std::vector<CZqUIPanel*> clicks;
};

class PanelInputTest : public EngineMsgTest {
 protected:
  void SetUp() override {
    EngineMsgTest::SetUp();
    Start();
    SetClientSize(1000, 750);  // stretched: window points are 5/4 of back-buffer points
    std::ofstream(dir.file("main.ini")) << "[SETING]\nsize=800,600\nvisible=true\nenable=true\n";
    std::ofstream(dir.file("button.ini"))
        << "[SETING]\nsize=40,20\nvisible=true\nenable=true\nheader_rect=0,0,40,20\n";
    game = new ClickGame(engine);
    ASSERT_EQ(game->GetMainUI()->Create("main.ini", SScreenPoint(0, 0), "main"), 1);
    button = new ZQ_UI_Button(game->GetMainUI());
    ASSERT_EQ(button->Create("button.ini", SScreenPoint(100, 100), "ok"), 1);
    engine->SetGame(game);
  }
  void TearDown() override {
    delete game;
    EngineMsgTest::TearDown();
  }
  // A press at one window point and the release at another, with the moves between.
  void PressAndRelease(int x1, int y1, int x2, int y2) {
    zqInjectMouse(wnd, WM_MOUSEMOVE, x1, y1, 0);
    zqInjectMouse(wnd, WM_LBUTTONDOWN, x1, y1, MK_LBUTTON);
    zqInjectMouse(wnd, WM_MOUSEMOVE, x2, y2, MK_LBUTTON);
    zqInjectMouse(wnd, WM_LBUTTONUP, x2, y2, 0);
    Pump();
  }

  ScratchDir dir;
  ClickGame* game = nullptr;
  ZQ_UI_Button* button = nullptr;  // owned by the main panel
};

TEST_F(PanelInputTest, AClickInsideTheButtonReachesTheGame) {
  PressAndRelease(150, 137, 160, 140);  // (120, 109) and (128, 112) in the back buffer
  ASSERT_EQ(game->clicks.size(), 1u);
  EXPECT_EQ(game->clicks[0], button);
  EXPECT_EQ(button->IsPressed(), 0);
}

TEST_F(PanelInputTest, ReleasedOutsideTheWindowTheButtonLetsGoWithoutAClick) {
  zqInjectMouse(wnd, WM_MOUSEMOVE, 150, 137, 0);
  zqInjectMouse(wnd, WM_LBUTTONDOWN, 150, 137, MK_LBUTTON);
  Pump();
  ASSERT_EQ(button->IsPressed(), 1);
  zqInjectMouse(wnd, WM_MOUSEMOVE, -30, 137, MK_LBUTTON);
  zqInjectMouse(wnd, WM_LBUTTONUP, -30, 137, 0);
  Pump();
  EXPECT_EQ(button->IsPressed(), 0);
  EXPECT_TRUE(game->clicks.empty());
}

}  // namespace
}  // namespace enginemsg
