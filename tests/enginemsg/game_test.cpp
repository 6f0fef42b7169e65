// The current game receives the engine's input, its UI panel events and every message.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "enginemsg_support.h"
#include "input_recorder.h"

namespace enginemsg {
namespace {

class RecordingGame : public InputRecorder<CZqGame> {
 public:
  explicit RecordingGame(CZqEngine* engine) : InputRecorder(engine) {}
  std::vector<UINT> messages;
  std::vector<std::pair<CZqUIPanel*, UINT>> commands;
  std::vector<LPARAM> commandParams;

  long MsgProc(UINT msg, UINT, long) override {
    messages.push_back(msg);
    return 77;
  }
  void OnUICmd(CZqUIPanel* panel, UINT msg, LPARAM l) override {
    commands.push_back({panel, msg});
    commandParams.push_back(l);
  }

 protected:
  DWORD Answer() const override { return (DWORD)calls.size() + 1000; }
};

class EngineGameTest : public EngineMsgTest {
 protected:
  void StartWithGame() {
    Start(true);
    game = new RecordingGame(engine);
    engine->SetGame(game);
  }
  void TearDown() override {
    if (engine) engine->SetGame(nullptr);
    delete game;
    EngineMsgTest::TearDown();
  }
  RecordingGame* game = nullptr;
};

TEST_F(EngineGameTest, HandlersPassTheirArgumentsAndTheMousePointToTheGame) {
  Start();
  // Without a game every handler answers 0.
  EXPECT_EQ(engine->CZqEngine::OnLButtonDown(0), 0u);
  EXPECT_EQ(engine->CZqEngine::OnKeyDown(1, 2, 3), 0u);
  EXPECT_EQ(engine->MsgProc(WM_MOUSEMOVE, 0, MAKELPARAM(360, 270)), 0);

  game = new RecordingGame(engine);
  engine->SetGame(game);
  const SScreenPoint pt = engine->GetMousePoint();  // (400, 300) from the move above
  ASSERT_EQ(pt, SScreenPoint(400, 300));
  struct Case {
    std::function<DWORD()> call;
    InputCall expected;
  };
  const Case cases[] = {
      {[&] { return engine->CZqEngine::OnMouseMove(1); }, {"move", 1, 0, 0, pt}},
      {[&] { return engine->CZqEngine::OnMouseWheel(2, -120); }, {"wheel", 2, (UINT)-120, 0, pt}},
      {[&] { return engine->CZqEngine::OnLButtonDown(3); }, {"ldown", 3, 0, 0, pt}},
      {[&] { return engine->CZqEngine::OnLButtonUp(4); }, {"lup", 4, 0, 0, pt}},
      {[&] { return engine->CZqEngine::OnLButtonDbClk(5); }, {"ldbl", 5, 0, 0, pt}},
      {[&] { return engine->CZqEngine::OnRButtonDown(6); }, {"rdown", 6, 0, 0, pt}},
      {[&] { return engine->CZqEngine::OnRButtonUp(7); }, {"rup", 7, 0, 0, pt}},
      {[&] { return engine->CZqEngine::OnRButtonDbClk(8); }, {"rdbl", 8, 0, 0, pt}},
      {[&] { return engine->CZqEngine::OnChar(9, 10, 11); }, {"char", 9, 10, 11, {}}},
      {[&] { return engine->CZqEngine::OnKeyDown(12, 13, 14); }, {"keydown", 12, 13, 14, {}}},
      {[&] { return engine->CZqEngine::OnKeyUp(15, 16, 17); }, {"keyup", 15, 16, 17, {}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected.name);
    game->calls.clear();
    EXPECT_EQ(c.call(), 1001u);  // the game's answer
    ASSERT_EQ(game->calls.size(), 1u);
    const InputCall& got = game->calls[0];
    EXPECT_EQ(got.name, c.expected.name);
    EXPECT_EQ(got.a, c.expected.a);
    EXPECT_EQ(got.b, c.expected.b);
    EXPECT_EQ(got.c, c.expected.c);
    EXPECT_EQ(got.point, c.expected.point);
  }
}

TEST_F(EngineGameTest, InjectedInputReachesTheGameInBackBufferSpace) {
  StartWithGame();
  SetClientSize(1000, 750);
  zqInjectMouse(wnd, WM_LBUTTONDOWN, 500, 375, MK_LBUTTON);  // before any move
  zqInjectMouse(wnd, WM_MOUSEMOVE, 500, 375, MK_LBUTTON);
  zqInjectMouse(wnd, WM_LBUTTONUP, 1200, 375, 0);  // released outside the window
  zqInjectKey(wnd, WM_KEYDOWN, VK_OEM_PLUS, 1);
  Pump();
  ASSERT_GE(game->calls.size(), 4u);
  EXPECT_EQ(game->calls[0].name, "ldown");
  EXPECT_EQ(game->calls[0].point, SScreenPoint(0, 0));
  EXPECT_EQ(game->calls[1].name, "move");
  EXPECT_EQ(game->calls[1].point, SScreenPoint(400, 300));
  EXPECT_EQ(game->calls[2].name, "lup");
  EXPECT_EQ(game->calls[3].name, "keydown");
  EXPECT_EQ(game->calls[3].a, 0xFFFFFFBBu);
}

TEST_F(EngineGameTest, EveryMessageButTheAnsweredCommandsReachesTheGame) {
  StartWithGame();
  SDxDeviceInfo* device = engine->m_pDeviceInfo;
  ASSERT_GE(device->dwNumModes, 2u);
  struct Case {
    WORD id;
    bool reaches;
  };
  const Case cases[] = {
      {kSingleStep, true},
      {kSingleStep, true},
      {kStep, true},
      {ZQ_MENU_MODE_BASE + 1, true},
      {ZQ_MENU_MODE_BASE, true},
      {1234, true},
      {kPause, false},
      {kPause, false},
      {ZQ_MENU_WINDOWED, false},
      {ZQ_MENU_WINDOWED, false},
      {kGdiWindow, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    game->messages.clear();
    EXPECT_EQ(engine->MsgProc(WM_COMMAND, c.id, 0), c.reaches ? 77 : 0);
    EXPECT_EQ(game->messages.size(), c.reaches ? 1u : 0u);
  }
  game->messages.clear();
  EXPECT_EQ(engine->MsgProc(WM_COMMAND, kModeSwitch, 0), 0);
  EXPECT_TRUE(game->messages.empty());
  EXPECT_EQ(engine->MsgProc(WM_TIMER, 1, 0), 77);
  EXPECT_EQ(engine->MsgProc(WM_KEYDOWN, 'A', 1), 77);
}

TEST_F(EngineGameTest, PanelEventsReachOnUICmdOnlyForARegisteredPanel) {
  StartWithGame();
  CZqUIPanel panel(engine);
  const DWORD id = engine->_RegisterUI(&panel);
  ASSERT_NE(id, 0u);
  for (UINT msg = ZQ_UIMSG_CLICK; msg <= ZQ_UIMSG_UNTOUCH; ++msg) PostMessageA(wnd, msg, id, 42);
  PostMessageA(wnd, ZQ_UIMSG_CLICK, 9000, 0);      // no panel under that id
  PostMessageA(wnd, ZQ_UIMSG_UNTOUCH + 1, id, 0);  // not a panel event
  EXPECT_TRUE(game->commands.empty());             // posted: handled on a later turn
  Pump();
  ASSERT_EQ(game->commands.size(), 5u);
  for (UINT i = 0; i < 5; ++i) {
    EXPECT_EQ(game->commands[i].first, &panel);
    EXPECT_EQ(game->commands[i].second, ZQ_UIMSG_CLICK + i);
    EXPECT_EQ(game->commandParams[i], 42);
  }
  // Each of them still reaches the game's message handler.
  size_t uiMessages = 0;
  for (UINT m : game->messages) uiMessages += (m >= ZQ_UIMSG_CLICK && m <= ZQ_UIMSG_UNTOUCH + 1);
  EXPECT_EQ(uiMessages, 7u);

  // A forgotten panel, or no current game: dropped.
  engine->_ForgetUI(id, &panel);
  game->commands.clear();
  PostMessageA(wnd, ZQ_UIMSG_CLICK, id, 0);
  Pump();
  EXPECT_TRUE(game->commands.empty());
  engine->_RegisterUI(&panel);
  engine->SetGame(nullptr);
  EXPECT_EQ(engine->MsgProc(ZQ_UIMSG_CLICK, id, 0), 0);
  EXPECT_TRUE(game->commands.empty());
  engine->_ForgetUI(id, &panel);
}

}  // namespace
}  // namespace enginemsg
