// The poker-card kind's frames on the sample game through the engine's whole frame (update,
// render, present) as the client's idle pass runs it: five card reels turning after a deal, and
// the busiest case, the same with every win and jackpot effect, the blinking win frame, the win
// digits and the lit pay table at once.
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
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

namespace {

struct CardScene {
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
  CZqSource pack;
  std::unique_ptr<CSlotGame> game;
  std::unique_ptr<CScriptMode> mode;
  std::unique_ptr<CSlotServer> server;
  bool ready = false;

  explicit CardScene(bool effects) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("ZQ_HEADLESS", "1", 0);
    zqSetManualClock(1, 1000);
    wnd = OpenEngineWindow("bench-cards", 816, 653);
    app = new CZqApp;
    app->InitApp(wnd);
    engine = new CZqEngine;
    engine->InitEngine(wnd, 800, 600, 0);
    app->SetActive(1);
    app->SetNoSleep(1);
    if (pack.Load(ZQ_DEMO_PACK) != 1) return;
    engine->SetSource(&pack);
    g_hMainWnd = wnd;
    game = std::make_unique<CSlotGame>(engine);
    g_pSlotGame = game.get();
    engine->SetGame(game.get());
    g_NetTask.SetGame(game.get());
    // Connected to a server that lets the game in and then stays silent.
    std::vector<SScriptStep> steps;
    std::string error;
    CServerScript::Parse("expect 1500*\nreply 1501 1\nexpect 1510 3\nreply 1511 1 x 3 y 10 z 5 w 6\nsilent\n",
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
    if (!g_NetTask.IsJoined() || game->LoadGame(ZQ_GBK("Banvik\\配置\\游戏")) != 1) return;
    game->m_nCredits = 10000;
    ready = game->m_CardReels.size() == 5;
    if (!effects) return;
    game->m_bWin = 1;
    game->m_bShowZPD = game->m_bShowStar = game->m_bShowPMD = game->m_bShowLight = 1;
    game->m_bPayTableLit = 1;
    game->m_rcHandRow = SScreenRect(180, 100, 620, 115);
    game->m_rcHandCell = SScreenRect(380, 100, 460, 115);
    if (game->m_WinBlink) game->m_WinBlink->Show(1);
    game->m_nRoundWin = 1250;
    game->ShowWinDigits(1);
  }
  ~CardScene() {
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

  // A deal: every reel lands a new card; the game waits for them as after a 1543.
  void deal(int round) {
    static const char* const codes[] = {"a0", "k1", "l2", "m3", "j0", "b1", "c2", "d3"};
    int i = 0;
    for (CCardReel* reel : game->m_CardReels) reel->SetResultCard(codes[(round + i++) % 8]);
    game->m_bCardsTurning = 1;
    game->m_nTurntableState = 1;
    game->m_nCardState = 5;
  }
};

void RunDealFrames(benchmark::State& state, bool effects) {
  CardScene scene(effects);
  if (!scene.ready) {
    state.SkipWithError("the sample data or the game did not load");
    return;
  }
  int round = 0;
  scene.deal(round);
  for (auto _ : state) {
    zqAdvanceClock(16);
    scene.app->DoIdle();
    // Dealt again before the cards land, so every frame has five reels turning.
    if (scene.game->CardReel(1)->GetState() != CCardReel::kCardSpin) scene.deal(++round);
  }
}
void BM_CardDealFrame(benchmark::State& state) { RunDealFrames(state, false); }
void BM_CardDealFrameWithEveryEffect(benchmark::State& state) { RunDealFrames(state, true); }
BENCHMARK(BM_CardDealFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CardDealFrameWithEveryEffect)->Unit(benchmark::kMillisecond);

}  // namespace
