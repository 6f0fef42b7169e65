// The server's replies as the game takes them: captions, credits, round states and requests.
#include <algorithm>

#include "games/pieces/Turntable.h"
#include "slot_game_fixture.h"

namespace gamestest {
namespace {

// A wheel of n lines that keeps the symbols it was given.
class RecordingTurntable : public CTurntable {
 public:
  explicit RecordingTurntable(int lines) { m_nLines = lines; }
  void SetResult(const int* symbols) override { got.assign(symbols, symbols + m_nLines); }
  std::vector<int> got;
};

class RepliesTest : public SlotGameTest {
 protected:
  void SetUp() override {
    SlotGameTest::SetUp();
    NewGame();
    ASSERT_EQ(game->LoadGame("game.ini"), 1);
  }
  void Reply(void (CSlotGame::*handler)(char**), const std::string& fields) {
    Fields f(fields);
    (game.get()->*handler)(f.get());
  }
};

TEST_F(RepliesTest, EnterReplySetsTheUnitAndTheWeekTextOnlyWithCreditsForThreeBets) {
  game->m_nCredits = 29;
  Reply(&CSlotGame::OnEnterReply, "1 x 1 y 10 z 5 w 6");
  EXPECT_EQ(Caption("筹码面值"), "10");
  EXPECT_EQ(Caption("活动字幕"), Gbk("欢迎光临"));
  EXPECT_EQ(game->m_nWeek1, 0);

  game->m_nCredits = 30;
  game->m_nWeek3 = 8;
  Reply(&CSlotGame::OnEnterReply, "1 x 1 y 10 z 5 w 6");
  EXPECT_EQ(Caption("活动字幕"), Gbk("本周第5期 6人 奖池8"));
}

TEST_F(RepliesTest, OnlyTheFirstEnterReplyInTheMahjongKindSetsThePool) {
  g_nGameType = 2;
  Reply(&CSlotGame::OnEnterReply, "1 x 1 y 10 z 5 w 6 700 3");
  EXPECT_EQ(game->m_nNewPool, 700);
  EXPECT_EQ(game->m_nPoolTarget, 700);
  EXPECT_EQ(Caption("pool"), "700");
  Reply(&CSlotGame::OnEnterReply, "1 x 1 y 10 z 5 w 6 900 3");
  EXPECT_EQ(game->m_nPoolTarget, 700);
  EXPECT_EQ(Caption("pool"), "700");
}

TEST_F(RepliesTest, WeekNotifyReformatsTheMarqueeOnlyForANewValue) {
  game->m_nWeek1 = 1;
  game->m_nWeek2 = 2;
  Reply(&CSlotGame::OnWeekNotify, "3");
  EXPECT_EQ(Caption("活动字幕"), Gbk("本周第1期 2人 奖池3"));
  Panel("活动字幕")->SetCaption("other");
  Reply(&CSlotGame::OnWeekNotify, "3");
  EXPECT_EQ(Caption("活动字幕"), "other");

  // A flashing warning keeps the marquee; the value waits for the next notice.
  auto* marquee = dynamic_cast<ZQ_UI_ActiveCaption*>(Panel("活动字幕"));
  ASSERT_NE(marquee, nullptr);
  marquee->SetFlash(1);
  Reply(&CSlotGame::OnWeekNotify, "9");
  EXPECT_EQ(Caption("活动字幕"), "other");
  EXPECT_EQ(game->m_nWeek3, 3);
  marquee->SetFlash(0);
  Reply(&CSlotGame::OnWeekNotify, "9");
  EXPECT_EQ(Caption("活动字幕"), Gbk("本周第1期 2人 奖池9"));

  game->UnloadGame();  // no marquee: the value is only kept
  Reply(&CSlotGame::OnWeekNotify, "4");
  EXPECT_EQ(game->m_nWeek3, 4);
}

TEST_F(RepliesTest, MoneyNotifyCorrectsCreditsLessTheWinStillCounted) {
  const struct {
    int credits, win;
    const char* total;
    int expectedCredits;
    const char* caption;
  } cases[] = {
      {100, 20, "120", 100, "0"},  // total = credits + uncounted win: nothing changes
      {100, 20, "150", 130, "130"}, {100, 0, "0", 0, "0"}, {100, 0, "99999999999", 2147483647, "2147483647"},
      {100, 0, "", 0, "0"},
  };
  for (const auto& c : cases) {
    game->SetPlayerChips(0);
    game->m_nCredits = c.credits;
    game->m_nRoundWin = c.win;
    Reply(&CSlotGame::OnMoneyNotify, std::string("1 2 ") + c.total);
    EXPECT_EQ(game->m_nCredits, c.expectedCredits) << c.total;
    EXPECT_EQ(Caption("玩家筹码"), c.caption) << c.total;
  }
}

TEST_F(RepliesTest, BetReplyAsksForTheResultAndCountsAutoPlay) {
  Join();
  game->SetBetUnit(10);
  game->m_pControlPanel = SubPanel("control");
  game->m_pAutoStopPanel = SubPanel("autostop");
  game->GetMainUI()->DelSubPanel(game->m_pAutoStopPanel);
  game->m_pAutoStopPanel->SetEnable(0);
  game->m_nAutoPlay = 3;

  game->OnBetReply(30);
  Exchange(3);
  EXPECT_EQ(Requests().back(), "1540 luck");
  EXPECT_EQ(game->m_nBet, 3);
  EXPECT_EQ(Caption("下注筹码"), "3");
  EXPECT_EQ(Caption("autoplay"), "2");
  EXPECT_EQ(game->IsAutoPlay(), 1);
  EXPECT_FALSE(Panel("退出")->IsEnable());
  const auto& shown = game->GetMainUI()->GetSubPanels();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), game->m_pControlPanel), 0);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), game->m_pAutoStopPanel), 1);
  EXPECT_TRUE(game->m_pAutoStopPanel->IsEnable());
}

TEST_F(RepliesTest, BetReplyIsIgnoredDuringARoundOrWithoutABetUnit) {
  Join();
  game->m_nTurntableState = 1;
  game->SetBetUnit(10);
  game->OnBetReply(20);
  game->m_nTurntableState = 0;
  game->SetBetUnit(0);
  game->OnBetReply(20);
  g_NetTask.SendHello();  // a marker: the next request the server sees
  Exchange(3);
  EXPECT_EQ(Requests().back(), "503 hello");
  EXPECT_EQ(Requests().size(), 3u);
  EXPECT_EQ(game->m_nBet, 0);
  EXPECT_TRUE(Panel("退出")->IsEnable());
}

TEST_F(RepliesTest, ARefusedBetGivesTheSpinBack) {
  game->m_nCredits = 100;
  game->m_bBetPending = 1;
  g_bSpinLocked = 1;
  game->EnableSpinButtons(0, 0, 0, 0);
  game->OnBetRefused();
  EXPECT_EQ(game->m_bBetPending, 0);
  EXPECT_EQ(g_bSpinLocked, 0);
  for (const char* name : {"一倍按钮", "最大按钮", "转动按钮", "转动杆", "退出"})
    EXPECT_TRUE(Panel(name)->IsEnable()) << name;
  EXPECT_EQ(Caption("活动字幕"), Gbk("筹码不足"));
  EXPECT_EQ(dynamic_cast<ZQ_UI_ActiveCaption*>(Panel("活动字幕"))->IsFlash(), 1);
  EXPECT_EQ(game->m_bWarningShown, 1);
  // The marquee timer's restore brings the week text back.
  game->RestoreMarquee();
  EXPECT_EQ(dynamic_cast<ZQ_UI_ActiveCaption*>(Panel("活动字幕"))->IsFlash(), 0);
  EXPECT_EQ(Caption("活动字幕"), Gbk("本周第0期 0人 奖池0"));
  EXPECT_EQ(game->m_bWarningShown, 0);

  // Without a bet waiting a refusal changes nothing.
  game->EnableSpinButtons(0, 0, 0, 0);
  g_bSpinLocked = 1;
  game->OnBetRefused();
  EXPECT_EQ(g_bSpinLocked, 1);
  EXPECT_FALSE(Panel("转动按钮")->IsEnable());
}

TEST_F(RepliesTest, ARefusedAutoPlayBetEndsTheAutoPlay) {
  game->m_pControlPanel = SubPanel("control");
  game->m_pAutoStopPanel = SubPanel("autostop");
  game->GetMainUI()->DelSubPanel(game->m_pControlPanel);
  game->m_nAutoPlay = 4;
  game->m_bAutoPlaying = 1;
  game->m_bBetPending = 1;
  game->OnBetRefused();
  EXPECT_EQ(game->IsAutoPlay(), 0);
  EXPECT_EQ(game->m_nAutoPlay, 0);
  EXPECT_EQ(Caption("autoplay"), "0");
  const auto& shown = game->GetMainUI()->GetSubPanels();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), game->m_pControlPanel), 1);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), game->m_pAutoStopPanel), 0);
}

TEST_F(RepliesTest, RoundResultWithAnUnknownKindIsIgnored) {
  for (const char* fields : {"50", "50 0abc 1 1 1", "50 4abc 1 1 1", "50 xabc 1 1 1"}) {
    Reply(&CSlotGame::OnRoundResult, fields);
    EXPECT_EQ(game->m_nTurntableState, 0) << fields;
    EXPECT_EQ(game->m_nRoundWin, 0) << fields;
  }
}

TEST_F(RepliesTest, RoundResultStartsTheWheelsWithTheirShareOfTheSymbols) {
  auto* first = new RecordingTurntable(3);
  auto* second = new RecordingTurntable(3);
  game->m_Turntables = {first, second};
  game->SetBet(2);
  Reply(&CSlotGame::OnRoundResult, "40 1abcdefghijklmnopqrst 1 0 1");
  EXPECT_EQ(first->got, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(second->got, (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(game->m_nRoundWin, 40);
  EXPECT_EQ(game->m_nTurntableState, 1);
  EXPECT_EQ(game->m_bCardsTurning, 1);
  EXPECT_EQ(game->m_nLastBet, 2);
  EXPECT_EQ(game->m_bLeverPulled, 1);
  EXPECT_FALSE(Panel("退出")->IsEnable());
  EXPECT_EQ(Caption("中奖筹码"), "0");
  EXPECT_EQ(std::vector<int>(game->m_anLineLit, game->m_anLineLit + 3), (std::vector<int>{1, 0, 1}));

  // The lines light the marks by line number once the wheels have stopped.
  game->m_bLinesByFlag = 1;
  game->SetBet(2);
  EXPECT_TRUE(Panel("line1")->IsChecked());
  EXPECT_FALSE(Panel("line2")->IsChecked());
  EXPECT_TRUE(Panel("line3")->IsChecked());
}

TEST_F(RepliesTest, BonusAndJackpotResultsMarkTheRoundAndLightNoLine) {
  game->m_Turntables = {new RecordingTurntable(3)};
  Reply(&CSlotGame::OnRoundResult, "0 2abc 1 1 1");
  EXPECT_EQ(game->m_bBonus, 1);
  EXPECT_EQ(std::vector<int>(game->m_anLineLit, game->m_anLineLit + 3), (std::vector<int>{0, 0, 0}));
  game->m_nTurntableState = 0;
  Reply(&CSlotGame::OnRoundResult, "900 3abc 1 0 0");
  EXPECT_EQ(game->m_bJackpot, 1);
  EXPECT_EQ(game->m_anLineLit[0], 1);
}

TEST_F(RepliesTest, StoppedWheelsAddTheWinAndAZeroBetGivesMultipleZero) {
  const struct {
    int bet, win, jackpot;
    int state, multiple;
  } cases[] = {{2, 60, 0, 6, 3}, {0, 60, 0, 6, 0}, {3, 0, 0, 1, 0}, {3, 600, 1, 4, 0}};
  for (const auto& c : cases) {
    game->SetBetUnit(10);
    game->m_nTurntableState = 1;
    game->m_nCredits = 100;
    game->m_nBet = c.bet;
    game->m_nRoundWin = c.win;
    game->m_bJackpot = c.jackpot;
    g_bSpinLocked = 1;
    game->OnReelsStopped();
    EXPECT_EQ(game->m_nTurntableState, c.state) << c.bet << " " << c.win;
    EXPECT_EQ(game->m_nMultiple, c.multiple) << c.bet << " " << c.win;
    EXPECT_EQ(game->m_nCredits, 100 + c.win);
    EXPECT_EQ(game->m_nRoundWin, 0);
    EXPECT_EQ(Caption("中奖筹码"), std::to_string(c.win));
    EXPECT_EQ(g_bSpinLocked, 0);
  }
}

TEST_F(RepliesTest, ABonusWithoutBonusWheelWaitsForThePlayersPick) {
  game->m_nTurntableState = 1;
  game->m_bBonus = 1;
  Panel("赔率表")->SetVisible(0);
  game->OnReelsStopped();
  EXPECT_EQ(game->m_nTurntableState, 2);
  EXPECT_EQ(game->m_bBettingOpen, 0);
  EXPECT_TRUE(Panel("赔率表")->IsVisible());
  for (const char* name : {"bet1", "bet2", "bet3"}) EXPECT_FALSE(Panel(name)->IsVisible()) << name;
}

TEST_F(RepliesTest, ABonusDuringAutoPlayAsksForTheBonusAtOnce) {
  Join();
  game->m_nTurntableState = 1;
  game->m_bBonus = 1;
  game->m_bAutoPlaying = 1;
  game->OnReelsStopped();
  Exchange(3);
  EXPECT_EQ(Requests().back(), "1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
  EXPECT_EQ(game->m_nTurntableState, 1);
  EXPECT_EQ(game->m_bBettingOpen, 0);
}

TEST_F(RepliesTest, BonusResultForABoxThatIsNotLoadedStillAwardsTheRound) {
  for (const char* target : {"z", "", "a"}) {
    game->m_nTurntableState = 3;
    Reply(&CSlotGame::OnBonusResult, std::string("75 ") + target);
    EXPECT_EQ(game->m_nTurntableState, 4) << target;
    EXPECT_EQ(game->m_nRoundWin, 75) << target;
  }
}

TEST_F(RepliesTest, BonusResultDuringAutoPlayCountsTheWinAtOnce) {
  game->m_bAutoPlaying = 1;
  game->m_nCredits = 10;
  Reply(&CSlotGame::OnBonusResult, "75 c");
  EXPECT_EQ(game->m_nCredits, 85);
  EXPECT_EQ(game->m_nRoundWin, 0);
  EXPECT_EQ(game->m_nTurntableState, 6);
  EXPECT_EQ(Caption("中奖筹码"), "75");
}

}  // namespace
}  // namespace gamestest
