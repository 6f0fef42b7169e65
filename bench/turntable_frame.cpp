// The turntable kind's frames through the engine's whole frame (update, render, present) as the
// client's idle pass runs it: the sample game's screen with three bent wheels of ten cards
// turning, and the busiest case, the same with the bonus turntable turning, the bonus opening,
// the jackpot, every box and the extra effects playing at once.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ScriptMode.h"
#include "SlotServer.h"
#include "ZqLib.h"
#include "config_files.h"
#include "engine_window.h"
#include "games/core/SlotGame.h"
#include "games/pieces/Turntable.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"
#include "tga_files.h"

namespace {

constexpr int kCardSize = 100;
constexpr int kCards = 10;

// Ten cards of alternating colours, one above the other.
void WriteStrip(const std::string& path) {
  std::ostringstream pixels;
  const unsigned char header[18] = {
      0,  0,   2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 120, 0, kCardSize * kCards & 0xFF, kCardSize * kCards >> 8,
      32, 0x28};
  pixels.write(reinterpret_cast<const char*>(header), sizeof(header));
  for (int y = 0; y < kCardSize * kCards; ++y)
    for (int x = 0; x < 120; ++x) {
      const unsigned char v = static_cast<unsigned char>((y / kCardSize) * 25 + x);
      const unsigned char px[4] = {v, static_cast<unsigned char>(255 - v), 0x80, 0xFF};
      pixels.write(reinterpret_cast<const char*>(px), 4);
    }
  zqtest::writeFile(path, pixels.str());
}

struct TurntableScene {
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
  CZqSource pack;
  zqtest::ScratchDir dir;
  std::unique_ptr<CSlotGame> game;
  std::unique_ptr<CScriptMode> mode;
  std::unique_ptr<CSlotServer> server;
  bool ready = false;

  // The sample game's screen, panels and pictures with wheels of the bench's own.
  std::string WriteFolder() {
    WriteStrip(dir.file("strip.tga"));
    zqtest::writeFile(
        dir.file("wheel.ini"),
        "[PAINT]\nnum_unit=24\ninit_radian=90\n[CARDS]\nnum_cards=10\ncard_size=100\nblend=1.0\n"
        "image=" +
            dir.file("strip.tga") +
            "\n[MAIN]\ntable_size=300\nis_stand=true\nnum_lines=3\ndefault_speed=2000\n");
    const std::string win = ZQ_GBK("公共\\图片\\中奖%02d.tga#1-6,0,0,5,700");
    const std::string jackpot = ZQ_GBK("公共\\图片\\大奖%02d.tga#1-8,0,0,7,700");
    std::ostringstream t;
    t << "[MAIN]\nGameType=0\nui_config=" << ZQ_GBK("Sudrane\\配置\\主界面.ini") << "\n";
    t << "[SPIN_PANEL]\npos=112,536\nui_config=" << ZQ_GBK("公共\\配置\\下注面板.ini") << "\n";
    t << "[STOP_PANEL]\npos=112,536\nui_config=" << ZQ_GBK("公共\\配置\\停止面板.ini") << "\n";
    t << "[SEL_BOX]\npos=100,150\nui_config=" << ZQ_GBK("Sudrane\\配置\\宝箱.ini") << "\n";
    for (int i = 1; i <= 3; ++i)
      t << "[TURNTABLE_" << i << "]\nstyle=turntable_braked\nconfig=" << dir.file("wheel.ini")
        << "\npos=" << 130 * i << ",150\n";
    t << "[TURNTABLE_BONUS_GAME]\nstyle=turntable_braked\nconfig=" << dir.file("wheel.ini")
      << "\npos=560,150\n";
    t << "[SHOW_BOX]\npos_x=200\npos_y=200\nscale=1.0\nimage=" << win << "\n";
    t << "[EFFECT_JACKPOT]\npos_x=140\npos_y=200\nscale=1.0\nimage=" << jackpot << "\n";
    for (int i = 1; i <= 10; ++i)
      t << "[BOX_" << i << "]\npos_x=" << 60 * i << "\npos_y=420\nscale=0.5\nimage=" << win << "\n";
    for (int i = 1; i <= 3; ++i)
      t << "[EFFECT_" << i << "]\npos_x=" << 200 * i << "\npos_y=40\nscale=0.5\nimage=" << jackpot << "\n";
    zqtest::writeFile(dir.file("game.ini"), t.str());
    return dir.file("game.ini");
  }

  explicit TurntableScene(bool effects) : effects_(effects) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("ZQ_HEADLESS", "1", 0);
    zqSetManualClock(1, 1000);
    wnd = OpenEngineWindow("bench-turntables", 816, 653);
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
    CServerScript::Parse("expect 1500*\nreply 1501 1\nexpect 1510 3\nreply 1511 1 x 1 y 10 z 5 w 6\nsilent\n",
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
    if (!g_NetTask.IsJoined() || game->LoadGame(WriteFolder().c_str()) != 1) return;
    ready = game->m_Turntables.size() == 3 && game->m_pBonusTurntable;
  }
  ~TurntableScene() {
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

  // A spin: every wheel (and in the busiest case the bonus wheel) turns towards new cards, as
  // after a 1541; the effects start again where they have ended.
  void spin(int round) {
    int symbols[3] = {round % kCards, (round + 3) % kCards, (round + 7) % kCards};
    for (CTurntable* table : game->m_Turntables) table->SetResult(symbols);
    game->m_bCardsTurning = 1;
    game->m_nTurntableState = 1;
    if (!effects_) return;
    game->m_pBonusTurntable->SetResult(symbols);
  }
  void replay() {
    if (!effects_) return;
    std::vector<CSlotEffect*> records = {game->m_pShowBoxEffect.get(), game->m_pResultEffects[4].get()};
    for (auto& box : game->m_BoxEffects) records.push_back(box.get());
    for (CSlotEffect* e : records)
      if (e && !e->m_aniEffect.IsPlaying()) e->m_aniEffect.PlayToEnd(1, 0.0f);
  }
  int turning() const {
    for (CTurntable* table : game->m_Turntables)
      if (!table->IsStanding()) return 1;
    return 0;
  }

  bool effects_;
};

void RunSpinFrames(benchmark::State& state, bool effects) {
  TurntableScene scene(effects);
  if (!scene.ready) {
    state.SkipWithError("the sample data or the game did not load");
    return;
  }
  int round = 0;
  scene.spin(round);
  for (auto _ : state) {
    scene.replay();
    zqAdvanceClock(16);
    scene.app->DoIdle();
    // Started again before the wheels stand, so every frame has them turning.
    if (!scene.turning() || scene.game->m_nTurntableState != 1) scene.spin(++round);
  }
}
void BM_TurntableSpinFrame(benchmark::State& state) { RunSpinFrames(state, false); }
void BM_TurntableSpinFrameWithEveryEffect(benchmark::State& state) { RunSpinFrames(state, true); }
BENCHMARK(BM_TurntableSpinFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TurntableSpinFrameWithEveryEffect)->Unit(benchmark::kMillisecond);

}  // namespace
