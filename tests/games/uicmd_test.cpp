// Panel messages by panel name, the idle exit and the frame work while exiting.
#include "slot_game_fixture.h"

namespace gamestest {
namespace {

class CountingReel : public CCardReel {
 public:
  explicit CountingReel(int* stops) : CCardReel(nullptr), m_stops(stops) {}
  int Stop() override {
    ++*m_stops;
    return 1;
  }

 private:
  int* m_stops;
};

class UICmdTest : public SlotGameTest {
 protected:
  void SetUp() override {
    SlotGameTest::SetUp();
    NewGame();
    ASSERT_EQ(game->LoadGame("game.ini"), 1);
  }
  void Send(const std::string& name, UINT msg) { game->OnUICmd(Panel(name), msg, 0); }
};

TEST_F(UICmdTest, AClickOrDoubleClickClearsTheHoverAndStampsThePlayTime) {
  for (UINT msg : {ZQ_UIMSG_CLICK, ZQ_UIMSG_DBLCLK}) {
    zqAdvanceClock(1000);
    game->m_bSpinHover = 1;
    Send("筹码面值", msg);
    EXPECT_EQ(game->m_bSpinHover, 0) << msg;
    EXPECT_EQ(game->m_dwLastPlayTime, timeGetTime()) << msg;
  }
}

TEST_F(UICmdTest, TheExitButtonLeavesOnlyWhenNoRoundRuns) {
  Join();
  const struct {
    int kind, turntable, card, mahjong, autoPlay, stopRequested;
  } busy[] = {
      {0, 1, 0, 0, 0, 0}, {0, 0, 0, 0, 1, 0}, {0, 0, 0, 0, 0, 1}, {1, 0, 3, 0, 0, 0}, {2, 0, 0, 5, 0, 0}};
  for (const auto& b : busy) {
    g_nGameType = b.kind;
    game->m_nTurntableState = b.turntable;
    game->m_nCardState = b.card;
    game->m_nMahjongState = b.mahjong;
    game->m_bAutoPlaying = b.autoPlay;
    game->m_bAutoStopRequested = b.stopRequested;
    Send("退出", ZQ_UIMSG_CLICK);
    EXPECT_EQ(ClosesPosted(), 0);
    EXPECT_EQ(g_bExiting, 0);
  }
  g_nGameType = 1;
  game->m_nCardState = 0;
  Send("退出", ZQ_UIMSG_CLICK);
  EXPECT_EQ(ClosesPosted(), 1);
  EXPECT_EQ(g_bExiting, 1);
  for (int i = 0; i < 20 && server->HasClient(); ++i) server->Step(100);
  EXPECT_EQ(Requests().back(), "1599 quit");
}

TEST_F(UICmdTest, RepeatsWithoutCreditsClearTheAutoPlayCount) {
  game->m_nCredits = 0;
  game->m_nAutoPlay = 12;
  game->m_bSpinHover = 1;
  Send("加", ZQ_UIMSG_REPEAT);
  EXPECT_EQ(game->m_nAutoPlay, 0);
  EXPECT_EQ(game->m_bSpinHover, 0);
}

TEST_F(UICmdTest, TheLeverHintShowsOnlyWhileTheGameIsNotBusy) {
  const struct {
    int kind, turntable, card, autoPlay, bet, lastBet;
    unsigned char expected;
  } cases[] = {
      {0, 0, 0, 0, 0, 0, 1},  {0, 1, 0, 0, 0, 0, 0},  {0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, -1, 0, 0},
      {0, 0, 0, 0, -1, 2, 1}, {1, 0, 4, 0, -1, 0, 1}, {1, 0, 2, 0, 1, 1, 0}, {2, 0, 0, 0, 1, 0, 1},
  };
  for (const auto& c : cases) {
    g_nGameType = c.kind;
    game->m_nTurntableState = c.turntable;
    game->m_nCardState = c.card;
    game->m_bAutoPlaying = c.autoPlay;
    game->m_nBet = c.bet;
    game->m_nLastBet = c.lastBet;
    game->m_bSpinHover = 0;
    Send("转动杆", ZQ_UIMSG_TOUCH);
    EXPECT_EQ(game->m_bSpinHover, c.expected)
        << c.kind << " " << c.turntable << " " << c.card << " " << c.bet;
    Send("转动按钮", ZQ_UIMSG_UNTOUCH);
    EXPECT_EQ(game->m_bSpinHover, c.expected);
    Send("转动杆", ZQ_UIMSG_UNTOUCH);
    EXPECT_EQ(game->m_bSpinHover, 0);
  }
}

TEST_F(UICmdTest, MahjongStopButtonsActOnTheirOwnReelWhileTheReelsTurn) {
  g_nGameType = 2;
  Write("stops.ini", Gbk("[SETING]\nsize=10,10\nvisible=true\nenable=true\n"
                         "[ITEM_1]\nstyle=panel\nname=停止1\nconfig=leaf.ini\n"
                         "[ITEM_2]\nstyle=panel\nname=停止2\nconfig=leaf.ini\n"
                         "[ITEM_3]\nstyle=panel\nname=停止按钮\nconfig=leaf.ini\n"));
  auto* stops = new CZqUIPanel(game->GetMainUI());
  ASSERT_EQ(stops->Create("stops.ini", SScreenPoint(0, 0), "stops"), 1);
  int counts[3] = {0, 0, 0};
  for (int& n : counts) game->m_CardReels.push_back(new CountingReel(&n));

  Send("停止2", ZQ_UIMSG_CLICK);
  EXPECT_EQ(counts[1], 0);  // the reels are not turning
  game->m_nMahjongState = 1;
  Send("停止2", ZQ_UIMSG_CLICK);
  Send("停止1", ZQ_UIMSG_DBLCLK);
  EXPECT_EQ(std::vector<int>(counts, counts + 3), (std::vector<int>{1, 1, 0}));

  game->m_pFreePanel2 = SubPanel("free2");
  game->m_nFreeGames = 1;
  Send("停止按钮", ZQ_UIMSG_CLICK);
  EXPECT_FALSE(game->m_pFreePanel2->IsEnable());
  EXPECT_EQ(game->m_bFreePaused, 0);
  game->m_nFreeGames = 2;
  Send("停止按钮", ZQ_UIMSG_CLICK);
  EXPECT_EQ(game->m_bFreePaused, 1);
}

TEST_F(UICmdTest, MessagesWithoutAPanelOrForOtherPanelsChangeNothing) {
  game->m_bSpinHover = 1;
  game->OnUICmd(nullptr, ZQ_UIMSG_CLICK, 0);
  game->OnUICmd(Panel("INFO"), 0x1234, 0);
  Send("INFO", ZQ_UIMSG_TOUCH);
  EXPECT_EQ(game->m_bSpinHover, 1);
  EXPECT_EQ(game->m_dwLastPlayTime, 0u);
}

TEST_F(UICmdTest, FiveIdleMinutesEndTheGameButNotDuringAutoPlay) {
  game->Update(100);
  const DWORD start = game->m_dwLastPlayTime;
  EXPECT_EQ(start, timeGetTime());
  zqAdvanceClock(299999);
  game->Update(100);
  EXPECT_TRUE(Boxes().empty());

  game->m_bAutoPlaying = 1;
  zqAdvanceClock(10000);
  game->Update(100);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(g_bExiting, 0);

  game->m_bAutoPlaying = 0;
  game->Update(100);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Gbk("太久没有游戏")});
  EXPECT_EQ(ClosesPosted(), 1);
  EXPECT_EQ(g_bExiting, 1);

  // Exiting freezes the game: no second box, and no drawing.
  zqAdvanceClock(400000);
  game->Update(100);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(game->Render(), static_cast<HRESULT>(0x80004005));
}

TEST_F(UICmdTest, RenderDrawsTheLoadedScreenAndAnUnknownKindFails) {
  EXPECT_GE(game->Render(), 0);
  g_nGameType = 5;
  EXPECT_EQ(game->Render(), -1);
  EXPECT_EQ(game->Update(100), 0);
}

}  // namespace
}  // namespace gamestest
