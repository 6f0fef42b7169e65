// Loading a game folder: the kind, the main UI and its captions, broken folders, loading twice.
#include "audio_support.h"
#include "games/pieces/BonusPanel.h"
#include "games/pieces/StartPolePanel.h"
#include "slot_game_fixture.h"
#include "tga_files.h"

namespace gamestest {
namespace {

bool Attached(CSlotGame& game, CZqUIPanel* panel) {
  const auto& children = game.GetMainUI()->GetSubPanels();
  return std::find(children.begin(), children.end(), panel) != children.end();
}

TEST_F(SlotGameTest, AFolderThatIsMissingOrUnnamedIsNotLoaded) {
  NewGame();
  EXPECT_EQ(game->LoadGame(nullptr), 0);
  EXPECT_EQ(game->LoadGame(""), 0);
  EXPECT_EQ(game->LoadGame("nothing-here.ini"), 0);
  EXPECT_EQ(game->GetMainUI()->GetSubPanels().size(), 0u);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ClosesPosted(), 0);
}

TEST_F(SlotGameTest, ALoadedFolderShowsItsPanelsWithTheCaptionsAndTheWelcomeText) {
  NewGame();
  game->m_nCredits = 120;
  game->m_nBetUnit = 10;
  ASSERT_EQ(game->LoadGame("game.ini"), 1);
  for (const std::string& name : FixturePanelNames()) EXPECT_NE(Panel(name), nullptr) << name;
  EXPECT_EQ(Caption("玩家筹码"), "120");
  EXPECT_EQ(Caption("中奖筹码"), "0");
  EXPECT_EQ(Caption("筹码面值"), "10");
  EXPECT_EQ(Caption("下注筹码"), "0");
  EXPECT_EQ(Caption("活动字幕"), Gbk("欢迎光临"));
  EXPECT_FALSE(Panel("赔率表")->IsVisible());
  EXPECT_TRUE(Panel("转动按钮")->IsEnable());
  EXPECT_EQ(g_bSpinLocked, 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SlotGameTest, GameTypeZeroToTwoChoosesTheKindAndAnyOtherValueKeepsThePreviousOne) {
  NewGame();
  const struct {
    const char* type;
    int expected;
  } steps[] = {{"7", 0}, {"1", 1}, {"7", 1}, {"-1", 1}, {"2", 2}, {"", 0}, {"abc", 0}};
  for (const auto& s : steps) {
    WriteGameFolder("game.ini", s.type);
    ASSERT_EQ(game->LoadGame("game.ini"), 1) << s.type;
    EXPECT_EQ(g_nGameType, s.expected) << s.type;
  }
}

TEST_F(SlotGameTest, AFolderWithoutItsUIShowsTheLoadErrorAndLeaves) {
  NewGame();
  WriteGameFolder("game.ini", "0", "missing-ui.ini");
  EXPECT_EQ(game->LoadGame("game.ini"), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Load resource error!"});
  EXPECT_EQ(ClosesPosted(), 1);
  EXPECT_EQ(g_bExiting, 1);
  EXPECT_EQ(game->Render(), static_cast<HRESULT>(0x80004005));
}

TEST_F(SlotGameTest, LoadingAgainReleasesTheFirstFolderAndForgetsItsSubPanels) {
  NewGame();
  ASSERT_EQ(game->LoadGame("game.ini"), 1);
  game->m_pControlPanel = SubPanel("control");
  game->m_pAutoStopPanel = SubPanel("autostop");
  game->GetMainUI()->DelSubPanel(game->m_pAutoStopPanel);  // detached, as while swapped out
  game->m_CardReels.push_back(new CCardReel(engine));
  ASSERT_NE(engine->FindUIFromName("autostop"), nullptr);

  ASSERT_EQ(game->LoadGame("game.ini"), 1);
  EXPECT_EQ(game->m_pControlPanel, nullptr);
  EXPECT_EQ(game->m_pAutoStopPanel, nullptr);
  EXPECT_TRUE(game->m_CardReels.empty());
  EXPECT_EQ(engine->FindUIFromName("control"), nullptr);
  EXPECT_EQ(engine->FindUIFromName("autostop"), nullptr);
  EXPECT_EQ(game->GetMainUI()->GetSubPanels().size(), FixturePanelNames().size());

  game->UnloadGame();
  EXPECT_EQ(Panel("玩家筹码"), nullptr);
}

TEST_F(SlotGameTest, TooFewCreditsForOneBetLeaveOnlyTheExit) {
  NewGame();
  game->m_nCredits = 5;
  game->m_nBetUnit = 10;
  ASSERT_EQ(game->LoadGame("game.ini"), 1);
  EXPECT_EQ(Caption("活动字幕"), Gbk("筹码不足"));
  EXPECT_EQ(dynamic_cast<ZQ_UI_ActiveCaption*>(Panel("活动字幕"))->IsFlash(), 1);
  EXPECT_FALSE(Panel("一倍按钮")->IsEnable());
  EXPECT_FALSE(Panel("最大按钮")->IsEnable());
  EXPECT_FALSE(Panel("转动按钮")->IsEnable());
  EXPECT_FALSE(Panel("转动杆")->IsEnable());
  EXPECT_TRUE(Panel("退出")->IsEnable());
  EXPECT_EQ(g_bSpinLocked, 1);
  EXPECT_EQ(g_bGameReady, 0);
}

TEST_F(SlotGameTest, LoadingSendsTheEnterRequestAgain) {
  NewGame();
  Join();
  ASSERT_EQ(game->LoadGame("game.ini"), 1);
  Exchange(3);
  EXPECT_EQ(Requests(), (std::vector<std::string>{"1500 cs 0086 1 3 183", "1510 3", "1510 3"}));
}

TEST_F(SlotGameTest, EveryKindDrawsTheLoadedScreenInTheFramePass) {
  WriteSolidTga(dir.file("red.tga"), 40, 30, 0xFFFF0000);
  Write("red.ini", "[SETING]\nsize=40,30\nvisible=true\nenable=true\n[IMAGE]\nnormal=red.tga\n");
  Write("screen.ini",
        "[SETING]\nsize=800,600\nvisible=true\nenable=true\n"
        "[ITEM_1]\nstyle=panel\nconfig=red.ini\npos=100,50\n"
        "[ITEM_2]\nstyle=panel\nname=pool\nconfig=leaf.ini\npos=700,300\n");  // the mahjong kind's pool
  NewGame();
  Join();  // the card kind draws only while connected
  for (const char* kind : {"0", "1", "2"}) {
    WriteGameFolder("game.ini", kind, "screen.ini");
    ASSERT_EQ(game->LoadGame("game.ini"), 1);
    engine->GetBackSurface()->Clear(0x00FF00);
    app->DoIdle();
    const DWORD inside = engine->GetBackSurface()->GetPixelInfo(110, 60, nullptr, nullptr, nullptr, nullptr);
    const DWORD outside = engine->GetBackSurface()->GetPixelInfo(10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_GT((inside >> 16) & 0xFF, 0x70u) << kind;
    EXPECT_EQ(inside & 0xFFFF, 0u) << kind;
    EXPECT_EQ(outside & 0xFFFFFF, 0u) << kind;  // the frame starts from a cleared target
  }
}

TEST_F(SlotGameTest, AFolderLoadsItsSoundsEffectsAndPanelsAndAFolderWithoutThemLeavesNone) {
  ASSERT_TRUE(MakeToneWave(dir.file("coin.wav"), 22050, 16, 1, 0.05));
  WriteSolidTga(dir.file("gem1.tga"), 8, 8, 0xFF00FF00);
  WriteSolidTga(dir.file("gem2.tga"), 8, 8, 0xFF0000FF);
  Write("pane.ini", Gbk("[SETING]\nsize=50,20\nvisible=true\nenable=true\n"
                        "[ITEM_1]\nstyle=panel\nname=停止\nconfig=leaf.ini\n"));
  const std::string gem = dir.file("gem%d.tga") + "#1-2,0,0,1,500";
  Write("full.ini",
        "[MAIN]\nGameType=0\nui_config=main.ini\n"
        "[MUSIC]\ncoin_out=coin.wav\nspin=coin.wav\njackpot=missing.wav\nbet1=coin.wav\n"
        "bet2=\n[SPIN_PANEL]\npos=5,500\nui_config=pane.ini\n"
        "[STOP_PANEL]\npos=5,500\nui_config=pane.ini\n[SEL_BOX]\nui_config=missing.ini\n"
        "[STONE]\nimage=" +
            gem + "\n[POLETIP]\nimage=" + gem + "\n[EFFECT_WIN]\nimage=" + gem + "\n");
  NewGame();
  game->m_nCredits = 100;
  game->m_nBetUnit = 10;
  ASSERT_EQ(game->LoadGame("full.ini"), 1);
  EXPECT_NE(game->m_pCoinOutSound, nullptr);
  EXPECT_NE(game->m_pSpinSound, nullptr);
  EXPECT_NE(game->m_pBetSounds[0], nullptr);
  EXPECT_EQ(game->m_pJackpotSound, nullptr);  // a name that finds no sound
  EXPECT_EQ(game->m_pBetSounds[1], nullptr);  // no name
  EXPECT_EQ(game->m_pMusic, nullptr);
  // The control panel is on the screen; the stop panel waits for auto-play, the box panel
  // was not found.
  ASSERT_NE(game->m_pControlPanel, nullptr);
  ASSERT_NE(game->m_pAutoStopPanel, nullptr);
  EXPECT_EQ(game->m_pBoxPanel, nullptr);
  EXPECT_TRUE(Attached(*game, game->m_pControlPanel));
  EXPECT_FALSE(Attached(*game, game->m_pAutoStopPanel));
  EXPECT_EQ(game->m_pControlPanel->GetRect().top_left(), SScreenPoint(5, 500));
  // The turntable kind starts the gem at once; the others wait for their moment.
  EXPECT_TRUE(game->m_pStoneEffect->m_aniEffect.IsPlaying());
  EXPECT_FALSE(game->m_pPoleTipEffect->m_aniEffect.IsPlaying());
  EXPECT_TRUE(game->m_pResultEffects[0]->m_aniEffect.IsReady());
  EXPECT_FALSE(game->m_pResultEffects[4]->m_aniEffect.IsReady());
  EXPECT_EQ(game->m_pResultEffects[2], nullptr);

  ASSERT_EQ(game->LoadGame("game.ini"), 1);
  EXPECT_EQ(game->m_pCoinOutSound, nullptr);
  EXPECT_EQ(game->m_pSpinSound, nullptr);
  EXPECT_EQ(game->m_pControlPanel, nullptr);
  EXPECT_EQ(game->m_pAutoStopPanel, nullptr);
  EXPECT_FALSE(game->m_pStoneEffect->m_aniEffect.IsReady());
  EXPECT_EQ(game->GetMainUI()->GetSubPanels().size(), FixturePanelNames().size());
}

// An engine that makes the client's own panel styles, as the main frame's factory does.
class ClientStylesEngine : public CZqEngine {
 public:
  CZqUIPanel* UI_New_Register(CZqUIPanel* parent, std::string style) override {
    if (style == "start_pole") return parent ? new CStartPolePanel(parent) : nullptr;
    if (style == "bonus_panel") return parent ? new CBonusPanel(parent) : nullptr;
    return CZqEngine::UI_New_Register(parent, std::move(style));
  }
};

class SampleGamesTest : public SlotGameTest {
 protected:
  CZqEngine* MakeEngine() override { return new ClientStylesEngine; }
  void SetUp() override {
    SlotGameTest::SetUp();
    const std::string index = std::string(ZQ_BIN_DIR) + "/../data/demo/Data.Zqs";
    ASSERT_EQ(pack.Load(index.c_str()), 1) << index;
    engine->SetSource(&pack);
  }
  // Red, green and blue of a back-buffer pixel.
  void Rgb(long x, long y, int* r, int* g, int* b) {
    const DWORD px = engine->GetBackSurface()->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr);
    *r = int((px >> 16) & 0xFF), *g = int((px >> 8) & 0xFF), *b = int(px & 0xFF);
  }
  CZqSource pack;
};

TEST_F(SampleGamesTest, EveryGameFolderLoadsItsScreenMusicAndEffectsAndDrawsTheBetButtons) {
  const struct {
    const char* folder;
    int kind;
    bool lever, boxes;
  } games[] = {{"Sudrane\\配置\\游戏", 0, true, true},
               {"Otrel\\配置\\游戏", 0, true, false},
               {"Banvik\\配置\\游戏", 1, false, false},
               {"Ferlo\\配置\\游戏", 2, true, false}};
  const char* panels[] = {"一倍按钮", "最大按钮", "转动按钮", "退出",     "加",       "减",
                          "autoplay", "INFO",     "赔率说明", "赔率表",   "活动字幕", "玩家筹码",
                          "中奖筹码", "筹码面值", "下注筹码", "两倍按钮", "快速停止"};
  NewGame();
  Join();  // the kinds draw only while connected
  for (const auto& g : games) {
    SCOPED_TRACE(g.folder);
    game->m_nCredits = 1000;
    game->m_nBetUnit = 10;
    ASSERT_EQ(game->LoadGame(Gbk(g.folder).c_str()), 1);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(g_nGameType, g.kind);
    for (const char* name : panels) EXPECT_NE(Panel(name), nullptr) << name;
    EXPECT_EQ(Caption("活动字幕"), Gbk("欢迎光临"));
    EXPECT_FALSE(Panel("赔率表")->IsVisible());
    EXPECT_NE(game->m_pMusic, nullptr);
    EXPECT_NE(game->m_pSpinSound, nullptr);
    EXPECT_NE(game->m_pCoinOutSound, nullptr);
    EXPECT_NE(game->m_pJackpotSound, nullptr);
    for (const auto& bet : game->m_pBetSounds) EXPECT_NE(bet, nullptr);
    if (g.kind != 1) {
      // The bet buttons ride the control panel; auto-play swaps in the stop panel.
      ASSERT_NE(game->m_pControlPanel, nullptr);
      ASSERT_NE(game->m_pAutoStopPanel, nullptr);
      EXPECT_TRUE(Attached(*game, game->m_pControlPanel));
      EXPECT_NE(Panel("停止"), nullptr);
    }
    if (g.kind == 0) {
      for (auto* effect :
           {game->m_pResultEffects[0].get(), game->m_pResultEffects[1].get(), game->m_pResultEffects[4].get(),
            game->m_pStoneEffect.get(), game->m_pPoleTipEffect.get()})
        EXPECT_TRUE(effect->m_aniEffect.IsReady());
      EXPECT_TRUE(game->m_pStoneEffect->m_aniEffect.IsPlaying());
    }
    if (g.kind == 2) {
      // The mahjong folder carries every piece its loader wants: a failure would end the client.
      EXPECT_EQ(g_bExiting, 0);
      EXPECT_EQ(game->m_CardReels.size(), 3u);
      EXPECT_STREQ(game->m_szMahjongLetters, "abcdef");
      EXPECT_NE(game->m_pCardAnimSet, nullptr);
      EXPECT_NE(game->m_pHeavenlyHand, nullptr);
      EXPECT_NE(game->m_pFreePanel2, nullptr);
    }
    if (g.lever) EXPECT_NE(dynamic_cast<CStartPolePanel*>(Panel("转动杆")), nullptr);
    EXPECT_EQ(game->m_pBoxPanel != nullptr, g.boxes);
    if (g.boxes) {
      for (const char* box : {"一号宝箱", "五号宝箱", "十号宝箱"}) EXPECT_NE(Panel(box), nullptr) << box;
      EXPECT_FALSE(Attached(*game, game->m_pBoxPanel));
    }

    zqAdvanceClock(20);
    app->DoIdle();
    int r, gr, b;
    // The red spin button where the control panel puts it, and the gold rule under the title.
    Rgb(540, 548, &r, &gr, &b);
    EXPECT_GT(r, gr + 80) << "spin button";
    Rgb(400, 57, &r, &gr, &b);
    EXPECT_GT(r, 150) << "gold rule";
    if (g.lever) {
      Rgb(778, 172, &r, &gr, &b);  // the lever's red ball
      EXPECT_GT(r, gr + 100) << "lever";
    }
  }
}

}  // namespace
}  // namespace gamestest
