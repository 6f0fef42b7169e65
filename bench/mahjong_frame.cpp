// The mahjong kind's busiest frame through the engine's whole frame (update, render, present) as
// the client's idle pass runs it: three tile reels turning while the win lines blink, the side
// table shows the lit dice lamps, the pay table lights its awards, the all-mahjong and
// heavenly-hand effects play, the bonus cards lie dealt and the free-game award is lit.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ScriptMode.h"
#include "SlotServer.h"
#include "ZqLib.h"
#include "engine_window.h"
#include "games/core/SlotGame.h"
#include "mahjong_folder.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"
#include "runtime_support.h"

namespace {

const std::vector<std::string> kPanels = {
    "玩家筹码", "中奖筹码", "筹码面值", "下注筹码", "活动字幕", "autoplay", "退出",
    "一倍按钮", "最大按钮", "转动按钮", "INFO",     "赔率表",   "加",       "减",
    "停止",     "pool",     "停止1",    "停止2",    "停止3",    "拉出",     "拉进"};

struct MahjongScene {
  ScratchDir dir;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
  std::unique_ptr<CSlotGame> game;
  std::unique_ptr<CScriptMode> mode;
  std::unique_ptr<CSlotServer> server;
  bool ready = false;

  MahjongScene() {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("ZQ_HEADLESS", "1", 0);
    zqSetManualClock(1, 1000);
    wnd = OpenEngineWindow("bench-mahjong", 816, 653);
    app = new CZqApp;
    app->InitApp(wnd);
    engine = new CZqEngine;
    engine->InitEngine(wnd, 800, 600, 0);
    app->SetActive(1);
    app->SetNoSleep(1);
    g_hMainWnd = wnd;
    // One looping effect of the "EFFECT_%d" list besides the kind's pieces.
    const std::string effect = mahjongfolder::Frames(dir.path(), "bench-fx", 4, 64, 64, 0xFF80FF80);
    mahjongfolder::Write(
        dir.path(), kPanels,
        "[EFFECT_1]\npos_x=500\npos_y=150\nscale=1.0\nimage=" + effect + ",0,0,3,300,loop\n");
    game = std::make_unique<CSlotGame>(engine);
    g_pSlotGame = game.get();
    engine->SetGame(game.get());
    g_NetTask.SetGame(game.get());
    // Connected to a server that lets the game in and then stays silent.
    std::vector<SScriptStep> steps;
    std::string error;
    CServerScript::Parse("expect 1500*\nreply 1501 1\nexpect 1510 3\nreply 1511 1 x 2 y 10 z 5 w 6\nsilent\n",
                         &steps, &error);
    mode = std::make_unique<CScriptMode>(std::move(steps));
    server = std::make_unique<CSlotServer>(*mode);
    if (!server->Listen(0, &error) || g_NetTask.InitTask() != 1) return;
    g_NetTask.ParseConnectString(("127.0.0.1 " + std::to_string(server->Port()) + " 1 3 183").c_str());
    if (g_NetTask.ConnectAndLogin() != 1) return;
    for (int i = 0; i < 40 && !g_NetTask.IsJoined(); ++i) {
      server->Step(50);
      g_NetTask.OnLoop(0);
    }
    game->m_nCredits = 10000;
    if (!g_NetTask.IsJoined() || game->LoadGame("mahjong.ini") != 1) return;
    ready = game->m_CardReels.size() == 3;

    // The side table in with five lamps lit, the pay table's awards, the free-game award and
    // three rows of bonus cards on their places.
    game->m_pWinTable->SlideIn();
    game->m_pDiceLamps->SetLit(5);
    game->m_pPayTable->SetAwards("abc");
    game->m_pPayTable->LightAwards();
    game->m_pFreeAward->Light(5);
    const int faces[3] = {1, 2, 3};
    for (int row = 0; row < 3; ++row) {
      game->m_pCardAnimSet->DealRow(faces);
      for (int i = 0; i < 200 && game->m_pCardAnimSet->GetState() == CCardAnimSet::kDealing; ++i) {
        zqAdvanceClock(16);
        app->DoIdle();
      }
    }
    spin();
  }
  ~MahjongScene() {
    g_NetTask.SetGame(nullptr);
    g_NetTask.Cleanup();
    server.reset();
    mode.reset();
    engine->SetGame(nullptr);
    game.reset();
    g_pSlotGame = nullptr;
    g_hMainWnd = nullptr;
    delete engine;
    delete app;
    CloseEngineWindow();
  }

  // The reels start again, as after a 1543, and the effects play again once they are over.
  void spin() {
    static const char* const columns[] = {"abc", "def", "fed", "cba"};
    int i = 0;
    for (CCardReel* reel : game->m_CardReels) reel->Start(columns[(round + i++) % 4]);
    ++round;
    game->m_nMahjongState = 1;
    const int lines[3] = {1, 1, 1};
    game->m_pWinLineBlink->SetLines(lines);
    game->m_pWinLineBlink->Blink();
  }
  void keepEffects() {
    if (game->m_pAllMahjong->GetState() == CAllMahjongEffect::kIdle) game->m_pAllMahjong->Start();
    if (game->m_pHeavenlyHand->GetState() == CHeavenlyHandEffect::kIdle) game->m_pHeavenlyHand->Start();
  }
  int round = 0;
};

void BM_MahjongBusiestFrame(benchmark::State& state) {
  MahjongScene scene;
  if (!scene.ready) {
    state.SkipWithError("the game folder did not load");
    return;
  }
  for (auto _ : state) {
    scene.keepEffects();
    zqAdvanceClock(16);
    scene.app->DoIdle();
    // Started again before they slow down, so every frame has three reels turning.
    if (scene.game->CardReel(1)->GetState() != CCardReel::kTileSpin) scene.spin();
  }
}
BENCHMARK(BM_MahjongBusiestFrame)->Unit(benchmark::kMillisecond);

}  // namespace
