// Loading a game folder: the kind, the main UI and its captions, broken folders, loading twice.
#include "slot_game_fixture.h"
#include "tga_files.h"

namespace gamestest {
namespace {

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
        "[ITEM_1]\nstyle=panel\nconfig=red.ini\npos=100,50\n");
  NewGame();
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

}  // namespace
}  // namespace gamestest
