// The commands the kinds share, against the scripted server: bets and credits, the bet buttons,
// auto-play, the bonus pick, the money warnings with their timers, the win digits and the exits.
#include <algorithm>

#include "games/pieces/Turntable.h"
#include "slot_game_fixture.h"
#include "tga_files.h"

namespace gamestest {
namespace {

constexpr UINT_PTR kMarqueeTimer = 1210;
constexpr UINT_PTR kNoMoneyTimer = 1211;

class CommandsTest : public SlotGameTest {
 protected:
  void SetUp() override {
    SlotGameTest::SetUp();
    NewGame();
    Join();  // the enter reply sets the bet unit: 10
    game->m_nCredits = 100;
    ASSERT_EQ(game->LoadGame("game.ini"), 1);
    Exchange(3);
    seen = Requests().size();
  }

  void Click(const std::string& name) { game->OnUICmd(Panel(name), ZQ_UIMSG_CLICK, 0); }

  // The requests sent since the last call: an enter request goes last as a marker, so a command
  // that sent nothing is seen without waiting for anything.
  std::vector<std::string> Sent() {
    g_NetTask.SendEnterGame();
    Exchange(seen + 1);
    const std::vector<std::string> all = Requests();
    std::vector<std::string> out(all.begin() + static_cast<long>(seen), all.end());
    EXPECT_FALSE(out.empty());
    if (!out.empty()) {
      EXPECT_EQ(out.back(), "1510 3");
      out.pop_back();
    }
    seen = all.size();
    return out;
  }

  // The main window's timers that come due within ms.
  std::vector<UINT_PTR> TimersWithin(DWORD ms) {
    zqAdvanceClock(ms);
    std::vector<UINT_PTR> ids;
    MSG m;
    while (PeekMessageA(&m, wnd, WM_TIMER, WM_TIMER, PM_REMOVE)) ids.push_back(m.wParam);
    return ids;
  }

  int Flashing() { return dynamic_cast<ZQ_UI_ActiveCaption*>(Panel("活动字幕"))->IsFlash(); }
  std::string WeekText() { return Gbk("本周第0期 0人 奖池0"); }

  // "一倍按钮", "最大按钮", "转动按钮", "转动杆", "退出" enabled, as a string of 0 and 1.
  std::string SpinButtons() {
    std::string s;
    for (const char* name : {"一倍按钮", "最大按钮", "转动按钮", "转动杆", "退出"})
      s += Panel(name)->IsEnable() ? '1' : '0';
    return s;
  }
  void SetSpinButtons(int on) { game->EnableSpinButtons(on, on, on, on); }

  size_t seen = 0;
};

TEST_F(CommandsTest, TheFirstSpinBetsOneUnitAndASecondPressFindsTheLatch) {
  Click("转动按钮");
  Click("转动按钮");
  EXPECT_EQ(Sent(), std::vector<std::string>{"1530 1 10 1 3 183"});
  EXPECT_EQ(Caption("玩家筹码"), "90");
  EXPECT_EQ(Caption("下注筹码"), "1");
  EXPECT_EQ(Caption("活动字幕"), WeekText());
  EXPECT_EQ(game->m_bBetPending, 1);
  EXPECT_EQ(g_bSpinLocked, 1);

  // After a round the bet is 0 and the lever repeats the last one.
  g_bSpinLocked = 0;
  game->m_bBetPending = 0;
  game->m_nBet = 0;
  game->m_nLastBet = 2;
  Click("转动杆");
  EXPECT_EQ(Sent(), std::vector<std::string>{"1530 1 20 1 3 183"});
  EXPECT_EQ(Caption("玩家筹码"), "70");
  EXPECT_EQ(Caption("下注筹码"), "2");

  // A bet chosen with the bet button is already paid: it goes out as it is.
  g_bSpinLocked = 0;
  game->m_bBetPending = 0;
  game->SetBet(3);
  Click("转动按钮");
  EXPECT_EQ(Sent(), std::vector<std::string>{"1530 1 30 1 3 183"});
  EXPECT_EQ(game->m_nCredits, 70);
}

TEST_F(CommandsTest, ARepeatedBetTheCreditsDoNotCoverWarnsForOneAndAHalfSeconds) {
  game->m_nCredits = 15;
  game->m_nLastBet = 2;
  SetSpinButtons(0);
  Click("转动按钮");
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(game->m_nCredits, 15);
  EXPECT_EQ(Caption("活动字幕"), Gbk("筹码不足"));
  EXPECT_EQ(Flashing(), 1);
  EXPECT_EQ(SpinButtons(), "11111");
  EXPECT_EQ(g_bSpinLocked, 0);
  EXPECT_EQ(game->m_bBetPending, 0);

  EXPECT_TRUE(TimersWithin(1499).empty());
  EXPECT_EQ(TimersWithin(1), std::vector<UINT_PTR>{kMarqueeTimer});
  game->RestoreMarquee();  // what the frame does on that timer
  EXPECT_EQ(Caption("活动字幕"), WeekText());
  EXPECT_EQ(Flashing(), 0);
  EXPECT_TRUE(TimersWithin(5000).empty());
}

TEST_F(CommandsTest, WithoutOneBetUnitTheSpinLeavesOnlyTheExit) {
  game->m_nCredits = 9;
  Click("转动按钮");
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(game->m_nCredits, 9);
  EXPECT_EQ(Caption("活动字幕"), Gbk("筹码不足"));
  EXPECT_EQ(SpinButtons(), "00001");
  EXPECT_EQ(g_bSpinLocked, 1);
}

TEST_F(CommandsTest, TheBetButtonCyclesOneTwoThreeAndRefundsWhatItCannotCharge) {
  const struct {
    int bet, credits;
    int newBet, newCredits;
    bool warned;
  } cases[] = {
      {0, 100, 1, 90, false},
      {1, 90, 2, 80, false},
      {2, 80, 3, 70, false},
      {3, 70, 1, 90, false},
      // Bet 2 with one unit less than bet 3 needs: back to bet 1, two units refunded.
      {2, 9, 1, 19, false},
      // Not even bet 1: nothing changes but the warning.
      {0, 5, 0, 5, true},
  };
  for (const auto& c : cases) {
    game->RestoreMarquee();
    game->m_nBet = c.bet;
    game->m_nCredits = c.credits;
    game->m_nLastBet = 2;
    Click("一倍按钮");
    EXPECT_EQ(Caption("下注筹码"), std::to_string(c.newBet)) << c.bet << " " << c.credits;
    EXPECT_EQ(Caption("玩家筹码"), std::to_string(c.newCredits)) << c.bet << " " << c.credits;
    EXPECT_EQ(game->m_nLastBet, 0);
    EXPECT_EQ(Caption("活动字幕") == Gbk("筹码不足"), c.warned) << c.bet << " " << c.credits;
  }
  EXPECT_TRUE(Sent().empty());

  // While a bet waits or the wheels turn the button does nothing.
  for (int pending : {1, 0}) {
    game->m_bBetPending = pending;
    game->m_nTurntableState = !pending;
    game->m_nBet = 1;
    Click("一倍按钮");
    EXPECT_EQ(game->m_nBet, 1);
  }
}

TEST_F(CommandsTest, TheMaxButtonRefundsTheChosenBetAndBetsThreeWithoutTheSpinLatch) {
  game->SetBet(1);
  game->m_nCredits = 90;
  game->m_nLastBet = 2;
  Click("最大按钮");
  EXPECT_EQ(Sent(), std::vector<std::string>{"1530 1 30 1 3 183"});
  EXPECT_EQ(Caption("玩家筹码"), "70");
  EXPECT_EQ(Caption("下注筹码"), "3");
  EXPECT_EQ(game->m_nLastBet, 0);
  EXPECT_EQ(game->m_bBetPending, 1);
  EXPECT_EQ(g_bSpinLocked, 0);

  // Pending: nothing. Bet 3 already paid: it goes out as it is.
  Click("最大按钮");
  EXPECT_TRUE(Sent().empty());
  game->m_bBetPending = 0;
  Click("最大按钮");
  EXPECT_EQ(Sent(), std::vector<std::string>{"1530 1 30 1 3 183"});
  EXPECT_EQ(game->m_nCredits, 70);

  // Bet 1 and 19 credits cover only 29 of the 30: the warning, and the bet stays.
  game->m_bBetPending = 0;
  game->SetBet(1);
  game->m_nCredits = 19;
  SetSpinButtons(0);
  Click("最大按钮");
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(game->m_nCredits, 19);
  EXPECT_EQ(game->m_nBet, 1);
  EXPECT_EQ(Caption("活动字幕"), Gbk("筹码不足"));
  EXPECT_EQ(SpinButtons(), "11111");
}

TEST_F(CommandsTest, TheMaxButtonInThePokerKindLocksTheInfoButtonFirst) {
  g_nGameType = 1;
  game->m_nCardState = 2;
  Click("最大按钮");
  EXPECT_TRUE(Panel("INFO")->IsEnable());
  game->m_nCardState = 0;
  Click("最大按钮");
  EXPECT_EQ(Sent(), std::vector<std::string>{"1530 1 30 1 3 183"});
  EXPECT_FALSE(Panel("INFO")->IsEnable());
  EXPECT_EQ(SpinButtons(), "00000");
}

TEST_F(CommandsTest, TheDoubleBetIsLeftToTheServerAndQuickStopReachesEveryWheel) {
  struct CountingTurntable : CTurntable {
    explicit CountingTurntable(int* n) : stops(n) {}
    void QuickStop() override { ++*stops; }
    int* stops;
  };
  int stops = 0;
  game->m_Turntables = {new CountingTurntable(&stops), new CountingTurntable(&stops)};
  game->QuickStop();
  EXPECT_EQ(stops, 2);

  game->m_nLastBet = 2;
  game->DoubleBet();
  EXPECT_EQ(Sent(), std::vector<std::string>{"1530 1 20 1 3 183"});
  EXPECT_EQ(game->m_nCredits, 100);
  EXPECT_EQ(game->m_nLastBet, 0);
  EXPECT_EQ(g_bSpinLocked, 0);
  game->m_nCredits = 0;
  game->DoubleBet();
  EXPECT_TRUE(Sent().empty());
}

TEST_F(CommandsTest, HoldingPlusClimbsByTheRepeatCountUpTo9999AndAfter150RepeatsStops) {
  // A "加" that can be pressed: a button has a header to hit.
  Write("plus.ini", "[SETING]\nsize=30,30\nvisible=true\nenable=true\nheader_rect=0,0,30,30\n");
  auto* plus = new CZqUIPanel(game->GetMainUI());
  ASSERT_EQ(plus->Create("plus.ini", SScreenPoint(300, 300), Gbk("加").c_str()), 1);
  const SScreenRect& r = plus->GetRect();
  // The engine hands the panel messages to the game; the fixture's window does not.
  auto deliver = [&] {
    MSG m;
    while (PeekMessageA(&m, wnd, ZQ_UIMSG_CLICK, ZQ_UIMSG_UNTOUCH, PM_REMOVE))
      engine->MsgProc(m.message, static_cast<UINT>(m.wParam), static_cast<long>(m.lParam));
  };
  game->OnLButtonDown(MK_LBUTTON, SScreenPoint(r.left + 2, r.top + 2));
  deliver();
  std::vector<int> counts;
  for (int repeat = 1; repeat <= 155; ++repeat) {
    zqAdvanceClock(101);
    app->DoIdle();
    deliver();
    counts.push_back(game->m_nAutoPlay);
    if (repeat == 152) game->m_nAutoPlay = 500;  // held past 150: the count no longer moves
  }
  game->OnLButtonUp(MK_LBUTTON, SScreenPoint(r.left + 2, r.top + 2));
  deliver();
  EXPECT_EQ(counts[0], 1);
  EXPECT_EQ(counts[9], 10);
  EXPECT_EQ(counts[18], 100);
  EXPECT_EQ(counts[27], 1000);
  EXPECT_EQ(counts[28], 2000);
  EXPECT_EQ(counts[35], 9000);
  EXPECT_EQ(counts[36], 9999);
  EXPECT_EQ(counts[149], 9999);
  EXPECT_EQ(counts[154], 500);
  EXPECT_EQ(Caption("autoplay"), "500");
}

TEST_F(CommandsTest, AutoPlayStepsDownToZeroAndNotWhileTheWheelsTurn) {
  const struct {
    int start, repeats, expected;
  } cases[] = {{15, 0, 14}, {15, 10, 14}, {15, 11, 5}, {50, 20, 0}, {5000, 29, 4000}, {5000, 151, 5000}};
  struct HeldPanel : CZqUIPanel {
    using CZqUIPanel::CZqUIPanel;
    void Repeats(DWORD n) { m_dwPressCount = n; }
  };
  HeldPanel held(engine);
  for (const auto& c : cases) {
    game->m_nAutoPlay = c.start;
    held.Repeats(static_cast<DWORD>(c.repeats));
    game->DecreaseAutoPlay(&held);
    EXPECT_EQ(game->m_nAutoPlay, c.expected) << c.start << " " << c.repeats;
    EXPECT_EQ(Caption("autoplay"), std::to_string(c.expected));
  }
  game->m_nTurntableState = 1;
  game->IncreaseAutoPlay(&held);
  game->DecreaseAutoPlay(&held);
  EXPECT_EQ(game->m_nAutoPlay, 5000);
}

TEST_F(CommandsTest, TheStopButtonAsksForTheEndOfAutoPlayOnlyWhileRoundsAreLeft) {
  game->m_pAutoStopPanel = SubPanel("autostop");
  Click("停止");
  EXPECT_EQ(game->m_bAutoStopRequested, 0);
  EXPECT_TRUE(game->m_pAutoStopPanel->IsEnable());
  game->m_nAutoPlay = 3;
  Click("停止");
  EXPECT_EQ(game->m_bAutoStopRequested, 1);
  EXPECT_FALSE(game->m_pAutoStopPanel->IsEnable());
}

TEST_F(CommandsTest, ABoxPickSendsItsNumberOnceAndBringsTheWeekTextBack) {
  Write("boxes.ini", Gbk("[SETING]\nsize=100,20\nvisible=true\nenable=true\n"
                         "[ITEM_1]\nstyle=panel\nname=三号宝箱\nconfig=leaf.ini\n"
                         "[ITEM_2]\nstyle=panel\nname=十号宝箱\npos=20,0\nconfig=leaf.ini\n"));
  game->m_pBoxPanel = new CZqUIPanel(game->GetMainUI());
  ASSERT_EQ(game->m_pBoxPanel->Create("boxes.ini", SScreenPoint(0, 100), "boxes"), 1);
  game->m_nCredits = 15;
  game->m_nLastBet = 2;
  Click("转动按钮");  // a not_enough warning with its timer
  ASSERT_EQ(Flashing(), 1);

  Click("三号宝箱");
  EXPECT_EQ(Sent(), std::vector<std::string>{"1550 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0"});
  EXPECT_FALSE(game->m_pBoxPanel->IsEnable());
  EXPECT_EQ(Caption("活动字幕"), WeekText());
  EXPECT_EQ(Flashing(), 0);
  // The warning's timer is left running.
  EXPECT_EQ(game->m_bWarningShown, 1);
  EXPECT_EQ(TimersWithin(1500), std::vector<UINT_PTR>{kMarqueeTimer});

  game->PickBonusBox(Gbk("十号宝箱").c_str());
  game->PickBonusBox(Gbk("十一号宝箱").c_str());
  game->PickBonusBox(nullptr);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"1550 0 0 0 0 0 0 0 0 0 1 0 0 0 0 0",
                                              "1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0",
                                              "1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0"}));
}

TEST_F(CommandsTest, TheCreditCheckAfterARoundWarnsAndEndsAutoPlayByTheCredits) {
  const struct {
    int kind, credits, lastBet;
    int result;
    const char* marquee;
    bool autoPlayEnds;
    int controlEnabled;
    const char* buttons;
  } cases[] = {
      {0, 30, 3, 1, "week", false, 0, "00000"},     // three units: all is well
      {0, 25, 2, 1, "", false, 0, "00000"},         // the last bet is covered
      {0, 25, 3, 0, "", true, 1, "11111"},          // it is not: auto-play ends, bets open
      {2, 25, 3, 0, "", true, 1, "11111"},          //
      {1, 25, 3, 0, "", false, 0, "00000"},         // the poker kind only reports it
      {0, 9, 0, 0, "no_money", true, 0, "00001"},   // not one unit: only the exit is left
      {1, 9, 0, 0, "no_money", false, 0, "00001"},  //
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + " " + std::to_string(c.credits) + " " + std::to_string(c.lastBet));
    g_nGameType = c.kind;
    g_bGameReady = 1;
    game->RestoreMarquee();
    Panel("活动字幕")->SetCaption("");
    game->m_pControlPanel = SubPanel("control");
    game->m_pAutoStopPanel = SubPanel("autostop");
    game->GetMainUI()->DelSubPanel(game->m_pControlPanel);  // swapped out while auto-play runs
    game->m_pControlPanel->SetEnable(0);
    // A round may leave the main panel disabled; only a check that opens the bets enables it.
    game->GetMainUI()->SetEnable(std::string(c.marquee) == "no_money");
    game->m_nAutoPlay = 4;
    game->m_bAutoPlaying = 1;
    SetSpinButtons(0);
    game->m_nCredits = c.credits;
    game->m_nLastBet = c.lastBet;

    EXPECT_EQ(game->CheckCredits(), c.result);
    const std::string marquee = Caption("活动字幕");
    if (std::string(c.marquee) == "week") EXPECT_EQ(marquee, WeekText());
    if (std::string(c.marquee) == "no_money") EXPECT_EQ(marquee, Gbk("没有筹码了"));
    if (std::string(c.marquee).empty()) EXPECT_EQ(marquee, "");
    EXPECT_EQ(g_bGameReady, std::string(c.marquee) == "no_money" ? 0 : 1);
    EXPECT_EQ(game->m_bAutoPlaying, c.autoPlayEnds ? 0 : 1);
    EXPECT_EQ(game->m_nAutoPlay, c.autoPlayEnds ? 0 : 4);
    const auto& children = game->GetMainUI()->GetSubPanels();
    const bool controlIn =
        std::find(children.begin(), children.end(), game->m_pControlPanel) != children.end();
    const bool stopIn = std::find(children.begin(), children.end(), game->m_pAutoStopPanel) != children.end();
    EXPECT_EQ(controlIn, c.autoPlayEnds);
    EXPECT_EQ(stopIn, !c.autoPlayEnds);
    if (c.autoPlayEnds) {
      EXPECT_EQ(game->m_pControlPanel->IsEnable(), c.controlEnabled);
      if (c.controlEnabled) EXPECT_TRUE(game->GetMainUI()->IsEnable());
      EXPECT_EQ(Caption("autoplay"), "0");
    }
    EXPECT_EQ(SpinButtons(), c.buttons);
    // Both back under the main panel, which frees them.
    game->GetMainUI()->AddSubPanel(game->m_pControlPanel);
    game->GetMainUI()->AddSubPanel(game->m_pAutoStopPanel);
    game->m_pControlPanel = game->m_pAutoStopPanel = nullptr;
    game->GetMainUI()->SetEnable(1);
    KillTimer(wnd, kNoMoneyTimer);
  }
}

TEST_F(CommandsTest, NoMoneyLeavesAfterEightSecondsThroughTheExit) {
  game->m_nCredits = 0;
  EXPECT_EQ(game->CheckCredits(), 0);
  EXPECT_EQ(Flashing(), 1);
  EXPECT_TRUE(TimersWithin(7999).empty());
  EXPECT_EQ(TimersWithin(1), std::vector<UINT_PTR>{kNoMoneyTimer});
  game->RequestExit();  // what the frame does on that timer
  EXPECT_EQ(ClosesPosted(), 1);
  EXPECT_EQ(g_bExiting, 1);
  for (int i = 0; i < 20 && server->HasClient(); ++i) server->Step(100);
  EXPECT_EQ(Requests().back(), "1599 quit");
}

TEST_F(CommandsTest, TheIdleExitSendsOneQuitAndNothingOnceTheConnectionIsClosed) {
  ShowTooLongAndQuit();
  EXPECT_EQ(Boxes(), std::vector<std::string>{Gbk("太久没有游戏")});
  EXPECT_EQ(ClosesPosted(), 1);
  EXPECT_EQ(g_bExiting, 1);
  for (int i = 0; i < 20 && server->HasClient(); ++i) server->Step(100);
  const std::vector<std::string> all = Requests();
  EXPECT_EQ(std::count(all.begin(), all.end(), "1599 quit"), 1);
  EXPECT_EQ(all.back(), "1599 quit");

  // The network task's receive failure calls it too, with the socket already gone.
  game->ShowTooLongAndQuit();
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(ClosesPosted(), 1);
  EXPECT_EQ(Requests().size(), all.size());
}

TEST_F(CommandsTest, TheOddsPanelFollowsTheInfoButtonAndThePokerKindClosesIt) {
  CZqUIPanel* odds = SubPanel(Gbk("赔率说明").c_str());
  CZqUIPanel* info = Panel("INFO");
  g_nGameType = 1;
  const struct {
    int cardState, checked;
    bool visible;
  } cases[] = {{0, 1, true}, {4, 0, false}, {4, 1, true}, {2, 0, true}};
  odds->SetVisible(0);
  for (const auto& c : cases) {
    game->m_nCardState = c.cardState;
    info->SetChecked(c.checked);
    Click("INFO");
    EXPECT_EQ(odds->IsVisible() != 0, c.visible) << c.cardState << " " << c.checked;
  }
  Click("筹码面值");
  EXPECT_FALSE(odds->IsVisible());
  EXPECT_FALSE(info->IsChecked());

  // Other kinds leave it to the button.
  g_nGameType = 0;
  odds->SetVisible(1);
  Click("筹码面值");
  EXPECT_TRUE(odds->IsVisible());

  game->EnableInfoButton(0);
  EXPECT_FALSE(info->IsEnable());
  EXPECT_EQ(game->GetMainUI()->GetSubPanels().front(), info);
  game->EnableInfoButton(1);
  EXPECT_TRUE(info->IsEnable());
}

TEST_F(CommandsTest, WinDigitsAreCentredOnTheWheelsAndAWinTooWideLightsNone) {
  WriteSolidTga(dir.file("digits.tga"), 40, 200, 0xFFFFFFFF);
  auto wheels = [&](int n) {
    game->m_DigitWheels.clear();
    for (int i = 0; i < n; ++i) {
      auto wheel = std::make_unique<CDigitWheel>(engine);
      int x = i * 20, y = 0, w = 40, h = 200, f = 80;
      ASSERT_EQ(wheel->Setup(dir.file("digits.tga").c_str(), x, y, w, h, f), 1);
      game->m_DigitWheels.push_back(std::move(wheel));
    }
  };
  auto shown = [&] {
    std::string s;
    for (const auto& w : game->m_DigitWheels)
      s += w->IsVisible() ? static_cast<char>('9' - w->GetDigitIndex()) : '.';
    return s;
  };
  const struct {
    int wheels, win, on;
    const char* expected;
    int shift;
  } cases[] = {{7, 12345, 1, ".12345.", 0},
               {8, 1234, 1, "..1234..", 10},
               {6, 7, 1, "..7...", 0},
               {3, 12345, 1, "...", 0},
               {5, 40, 0, ".....", 0},
               {5, 0, 1, ".....", 0},
               {0, 5, 1, "", 0}};
  for (const auto& c : cases) {
    wheels(c.wheels);
    game->m_nRoundWin = c.win;
    game->ShowWinDigits(c.on);
    EXPECT_EQ(shown(), c.expected) << c.wheels << " " << c.win;
    for (const auto& w : game->m_DigitWheels)
      if (w->IsVisible()) EXPECT_EQ(w->GetShift(), c.shift) << c.wheels << " " << c.win;
  }

  game->m_fWinToCount = 25.5f;
  game->SubtractShownWin(10);
  EXPECT_EQ(Caption("中奖筹码"), "15");
  game->SubtractShownWin(20);
  EXPECT_EQ(Caption("中奖筹码"), "0");
  EXPECT_EQ(game->m_fWinToCount, 0.0f);
}

}  // namespace
}  // namespace gamestest
