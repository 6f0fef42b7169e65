// Mahjong nine-line rounds: the bet, the reels, the line win counted in, the extra prizes one after
// the other and the free games, as the player sees them (captions, panels, lamps, bonus cards,
// pixels) and the server sees them (requests).
#include <string>
#include <vector>

#include "audio_support.h"
#include "mahjong_folder.h"
#include "slot_game_fixture.h"

namespace gamestest {
namespace {

// The frame time is the test's, so the effects' animations step with the round.
class FrameEngine : public CZqEngine {
 public:
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
};

constexpr char kFirstEnter[] = "1511 1 x 1 y 10 z 5 w 6";
// The second entry, once the folder is loaded, sets the pool and lights two dice lamps.
constexpr char kSecondEnter[] = "reply 1511 1 x 1 y 10 z 5 w 6 5000 2\n";
const std::string kBet1 = "expect 1530 1 10 1 3 183\nreply 1531 3 1 10\nexpect 1540 luck\n";
const std::string kBet3 = "expect 1530 1 30 1 3 183\nreply 1531 3 1 30\nexpect 1540 luck\n";
// A result with no prize at all.
constexpr char kNothing[] = "0 0 abcdefabc ppp 000 0 0 0 000 0 0 5000";

class MahjongRoundTest : public SlotGameTest {
 protected:
  CZqEngine* MakeEngine() override { return new FrameEngine; }

  // Joined with `credits`, the folder loaded, then the server runs `rounds`.
  void Start(const std::string& rounds, const std::string& extra = "", int credits = 1000) {
    mahjongfolder::Write(dir.path(), mahjongfolder::MahjongPanelNames(FixturePanelNames()), extra);
    NewGame();
    Join(std::string(kFirstEnter) + "\nreply 1521 u 1 " + std::to_string(credits),
         "expect 1510 3\n" + std::string(kSecondEnter) + rounds + "silent\n");
    Pump();
    ASSERT_EQ(game->LoadGame("mahjong.ini"), 1);
    ASSERT_EQ(game->m_CardReels.size(), 3u);
    Pump();
    ASSERT_EQ(game->m_nCredits, credits);
  }
  void Pump(int passes = 8) {
    for (int i = 0; i < passes; ++i) {
      server->Step(20);
      g_NetTask.OnLoop(0);
    }
  }
  // One frame `ms` after the last.
  void Frame(int ms = 10) {
    zqAdvanceClock(ms);
    static_cast<FrameEngine*>(engine)->SetElapsed(ms * 10);
    game->Update(ms * 10);
  }
  // Frames until the round reaches `state`; the frames it took.
  int RunTo(int state, int ms = 10, int limit = 3000) {
    int frames = 0;
    while (game->m_nMahjongState != state && frames < limit) {
      Frame(ms);
      ++frames;
    }
    EXPECT_EQ(game->m_nMahjongState, state);
    return frames;
  }
  // Frames until the shown credits reach the credits.
  int CountIn(int ms) {
    int frames = 0;
    while (game->m_nShownCredits < game->m_nCredits && frames < 1000) {
      Frame(ms);
      ++frames;
    }
    return frames;
  }
  void Result(const std::string& fields) {
    Fields f(fields);
    game->OnMahjongResult(f.get());
  }
  bool Attached(CZqUIPanel* panel) const {
    for (CZqUIPanel* p : game->GetMainUI()->GetSubPanels())
      if (p == panel) return true;
    return false;
  }
  bool Flashing() { return dynamic_cast<ZQ_UI_ActiveCaption*>(Panel("活动字幕"))->IsFlash() == 1; }
  DWORD Px(int x, int y) {
    return engine->GetBackSurface()->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr) & 0xFFFFFFu;
  }
};

TEST_F(MahjongRoundTest, ALineWinIsCountedInAndTheNextSpinRepeatsTheBet) {
  Start(kBet1 + "reply 1543 1 50 abcabcabc apa 000 0 0 0 000 0 0 5000\nreply 1521 u 1 1040\n" + kBet1 +
        "reply 1543 " + kNothing + "\n");
  EXPECT_EQ(Caption("pool"), "5000");
  EXPECT_EQ(game->m_pDiceLamps->GetLitCount(), 2);
  EXPECT_FALSE(Panel("停止1")->IsEnable());
  ASSERT_TRUE(Attached(game->m_pControlPanel));

  game->Spin();
  Pump();
  EXPECT_EQ(Requests()[3], "1530 1 10 1 3 183");
  EXPECT_EQ(Requests()[4], "1540 luck");
  EXPECT_EQ(game->m_nMahjongState, 1);
  EXPECT_EQ(Caption("玩家筹码"), "990");
  EXPECT_EQ(Caption("下注筹码"), "1");
  EXPECT_FALSE(Panel("退出")->IsEnable());
  EXPECT_TRUE(Panel("停止2")->IsEnable());
  for (int r = 1; r <= 3; ++r) EXPECT_TRUE(game->CardReel(r)->IsTurning()) << r;
  // Reel i lands column i of the grid, top to bottom.
  EXPECT_STREQ(game->CardReel(2)->GetResult(), "bbb");

  RunTo(3);
  EXPECT_FALSE(Panel("停止2")->IsEnable());
  EXPECT_EQ(Caption("中奖筹码"), "50");
  EXPECT_EQ(game->m_nCredits, 1040);  // the server's 1521 already held the win
  EXPECT_EQ(game->m_pWinLineBlink->GetState(), CWinLineBlink::kBlinking);
  EXPECT_TRUE(game->m_pPayTable->GetAwards().IsEnabled());
  Frame(30);
  EXPECT_EQ(Caption("玩家筹码"), "993");
  RunTo(0);
  EXPECT_EQ(Caption("玩家筹码"), "1040");
  EXPECT_EQ(Caption("中奖筹码"), "0");
  EXPECT_EQ(game->m_pWinLineBlink->GetState(), CWinLineBlink::kOff);
  EXPECT_FALSE(game->m_pPayTable->GetAwards().IsEnabled());
  EXPECT_EQ(g_bSpinLocked, 0);
  EXPECT_TRUE(Attached(game->m_pControlPanel));
  EXPECT_TRUE(game->m_pControlPanel->IsEnable());
  EXPECT_TRUE(Panel("退出")->IsEnable());

  // The next spin takes the last bet again.
  game->Spin();
  Pump();
  EXPECT_EQ(Requests()[5], "1530 1 10 1 3 183");
  EXPECT_EQ(Caption("玩家筹码"), "1030");
  RunTo(0);
  EXPECT_EQ(game->m_nCredits, 1030);
  EXPECT_EQ(Caption("中奖筹码"), "0");
}

TEST_F(MahjongRoundTest, TheFanfareFollowsTheMultipleAndTheCountInTakesItsTime) {
  const std::string sounds = "[MUSIC]\nbet1=bet1.wav\nbet2=bet2.wav\nbet3=bet3.wav\n";
  for (const char* name : {"bet1", "bet2", "bet3"})
    ASSERT_TRUE(MakeToneWave(dir.file(std::string(name) + ".wav"), 22050, 16, 1, 20.0));
  Start("", sounds);
  // 30 ms frames: 0.5 s up to 50, 1 s up to 100, 3 s above, a credit a frame at least.
  const struct {
    int win;
    int fanfare;  // 0-based "bet1" .. "bet3" (bet unit 10, bet 1)
    int frames;
  } cases[] = {{50, 0, 17},   {100, 0, 34}, {101, 0, 101}, {190, 0, 95},
               {200, 1, 100}, {490, 1, 98}, {500, 2, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.win);
    game->m_nBet = 1;
    Result("1 " + std::to_string(c.win) + " abcabcabc app 000 0 0 0 000 0 0 5000");
    RunTo(3);
    Frame(30);
    const int before = game->m_nShownCredits;
    Frame(30);
    EXPECT_EQ(game->m_nShownCredits, before);  // the fanfare holds the count
    for (int i = 0; i < 3; ++i) EXPECT_EQ(game->m_pBetSounds[i]->IsPlaying(), i == c.fanfare) << i;
    for (auto& sound : game->m_pBetSounds) sound->Stop();
    EXPECT_EQ(CountIn(30), c.frames);
    RunTo(0);
  }
}

TEST_F(MahjongRoundTest, AJackpotShowsItsEffectThenCountsIn) {
  Start("");
  game->m_nBet = 3;
  Result("3 7500 abcabcabc aaa 000 0 0 0 000 0 0 5000");
  RunTo(4);
  EXPECT_EQ(Caption("中奖筹码"), "7500");
  game->Render();
  EXPECT_EQ(Px(mahjongfolder::kJackpotX + 10, mahjongfolder::kJackpotY + 10), 0xFE0000u);
  RunTo(3);
  game->Render();
  EXPECT_EQ(Px(mahjongfolder::kJackpotX + 10, mahjongfolder::kJackpotY + 10), 0u);
  RunTo(0);
  EXPECT_EQ(Caption("玩家筹码"), "8500");
}

TEST_F(MahjongRoundTest, ThePoolTheDiceAndAllMahjongFollowTheLineWinAndThreeBonusRowsAreDealtInTurn) {
  Start("");
  game->m_nBet = 3;
  game->m_nCredits = game->m_nShownCredits = 970;
  // A heavenly hand of 10 (a pool step of 0.2 a frame), two dice lamps with a dice bonus of 30,
  // all mahjong of 200 and every row with bonus cards.
  Result("1 30 abcdefabc aaa 111 0 200 10 101 0 30 6000");
  RunTo(14);
  EXPECT_EQ(Caption("pool"), "5000");
  EXPECT_EQ(RunTo(2), 10);  // one a frame at least
  EXPECT_EQ(Caption("pool"), "5010");
  RunTo(6);
  EXPECT_EQ(Caption("玩家筹码"), "1000");
  RunTo(15);
  EXPECT_EQ(game->m_pDiceLamps->GetState(), CDiceLamps::kAdding);
  EXPECT_EQ(game->m_nCredits, 1030);
  Frame();
  EXPECT_EQ(Caption("pool"), "29");  // the dice bonus left to count
  RunTo(17);
  EXPECT_EQ(Caption("玩家筹码"), "1030");
  EXPECT_EQ(game->m_pDiceLamps->GetLitCount(), 4);
  EXPECT_EQ(Caption("pool"), "0");
  EXPECT_EQ(RunTo(19, 100), 22);  // more than 1.5 s, then more than 0.5 s
  EXPECT_EQ(Caption("pool"), "6000");

  // All mahjong: the lines blink, then the money comes in at its time.
  Frame();
  EXPECT_EQ(Caption("中奖筹码"), "200");
  EXPECT_EQ(game->m_pAllMahjong->GetState(), CAllMahjongEffect::kWinLines);
  int waited = 1;
  for (; game->m_nMahjongState == 20 && waited < 300; ++waited) {
    EXPECT_EQ(Caption("玩家筹码"), "1030");
    Frame();
  }
  EXPECT_NEAR(waited, 110, 2);  // 0.5 s of lines, then 0.6 s of the picture
  RunTo(22);
  EXPECT_EQ(Caption("玩家筹码"), "1230");

  // Rows 1, 2 and 3 onto places 0-8, each waiting for the last.
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    RunTo(27);
    for (int place = 0; place < 10; ++place)
      EXPECT_EQ(game->m_pCardAnimSet->GetPlaceStatus(place) != CCardAnimSet::kPlaceFree, place < 3 * row + 1)
          << place;
    Frame();
    EXPECT_EQ(game->m_nMahjongState, 27);
    RunTo(23);
  }
  RunTo(0);
  for (int place = 0; place < 9; ++place)
    EXPECT_EQ(game->m_pCardAnimSet->GetPlaceStatus(place), CCardAnimSet::kPlaceDealt) << place;
  EXPECT_EQ(game->m_nCredits, 1230);
  EXPECT_EQ(Caption("玩家筹码"), "1230");
}

TEST_F(MahjongRoundTest, DiceLampsThatFillUpWithoutADiceBonusStillEndTheRound) {
  Start("");
  game->m_nBet = 3;
  Result("0 0 abcdefabc ppp 000 0 0 0 111 0 0 5000");
  RunTo(16);
  EXPECT_EQ(game->m_pDiceLamps->GetState(), CDiceLamps::kAllLit);
  // Five lamps light up, flash after their time and the round goes on.
  const int frames = RunTo(0);
  EXPECT_GE(frames, 101);
  EXPECT_LE(frames, 106);
  EXPECT_EQ(game->m_pDiceLamps->GetState(), CDiceLamps::kIdle);
  EXPECT_EQ(game->m_pDiceLamps->GetLitCount(), 0);
  EXPECT_EQ(g_bSpinLocked, 0);
}

TEST_F(MahjongRoundTest, FreeGamesArePlayedWithoutChargeAndEndAfterTheCardsAreShownAgain) {
  std::string rounds = kBet1 + "reply 1543 1 0 abcdefabc ppp 100 5 0 0 000 0 0 5000\n";
  // Free games won during the series are not added.
  for (int i = 0; i < 5; ++i) rounds += kBet3 + "reply 1543 1 0 abcdefabc ppp 000 3 0 0 000 0 0 5000\n";
  Start(rounds);
  game->Spin();
  Pump();
  EXPECT_EQ(game->m_nCredits, 990);
  RunTo(27);
  RunTo(25);
  EXPECT_EQ(Caption("autoplay"), "5");
  EXPECT_EQ(Caption("活动字幕"), Gbk("免费游戏"));
  EXPECT_TRUE(Flashing());
  EXPECT_TRUE(Attached(game->m_pFreePanel2));
  EXPECT_FALSE(Attached(game->m_pControlPanel));
  EXPECT_TRUE(game->m_pFreeAward->IsLit());
  EXPECT_EQ(game->m_pFreeAward->GetCurrentRect().left, 500);
  // The intro lasts 2.2 s; then the first free game starts by itself.
  EXPECT_EQ(RunTo(26, 100), 23);
  EXPECT_FALSE(game->m_pFreeAward->IsLit());
  RunTo(0);
  EXPECT_EQ(game->m_bFreeGames, 1);
  Pump();
  std::vector<std::string> autoplay;
  for (int game_ = 0; game_ < 5; ++game_) {
    SCOPED_TRACE(game_);
    ASSERT_EQ(game->m_nMahjongState, 1);
    EXPECT_EQ(Requests().back(), "1540 luck");
    EXPECT_EQ(Requests()[Requests().size() - 2], "1530 1 30 1 3 183");
    EXPECT_EQ(Caption("下注筹码"), "3");
    EXPECT_EQ(Caption("活动字幕"), Gbk("还有" + std::to_string(4 - game_) + "局"));
    autoplay.push_back(Caption("autoplay"));
    EXPECT_EQ(game->m_nCredits, 990);
    if (game_ == 4) break;
    RunTo(0);
    Pump();
  }
  EXPECT_EQ(autoplay, (std::vector<std::string>{"4", "3", "2", "1", "0"}));
  // The last one: the cards fade, turn back and come back one by one before the round ends.
  RunTo(10);
  EXPECT_EQ(game->m_bFreeGames, 0);
  EXPECT_EQ(Caption("下注筹码"), "0");
  EXPECT_GE(RunTo(0), 30);
  EXPECT_EQ(game->m_pCardAnimSet->GetState(), CCardAnimSet::kRevealed);
  EXPECT_TRUE(Attached(game->m_pControlPanel));
  EXPECT_FALSE(Attached(game->m_pFreePanel2));
  EXPECT_TRUE(Panel("退出")->IsEnable());
  EXPECT_EQ(game->m_nCredits, 990);
  EXPECT_EQ(g_bSpinLocked, 0);
}

TEST_F(MahjongRoundTest, MalformedResultsAreIgnoredAndTheRoundWaitsForAWholeOne) {
  Start("");
  game->m_nBet = 1;
  for (const char* bad : {"1 50 abcabcabc apa 000 0 0 0 000 0",          // fields missing
                          "1 50 abcabcab apa 000 0 0 0 000 0 0 5000",    // eight symbols
                          "1 50 abcabcabcd apa 000 0 0 0 000 0 0 5000",  // ten symbols
                          "1 50 abcabcabm apa 000 0 0 0 000 0 0 5000",   // no tile 'm'
                          "1 50 abcabcabc apq 000 0 0 0 000 0 0 5000",   // award past 'p'
                          "1 50 abcabcabc ap 000 0 0 0 000 0 0 5000",    // two awards
                          "1 50 abcabcabc apa 002 0 0 0 000 0 0 5000",   // row flag 2
                          "1 5x abcabcabc apa 000 0 0 0 000 0 0 5000",   // win not a number
                          "1 50 abcabcabc apa 000 -1 0 0 000 0 0 5000",  // negative free games
                          "1 50 abcabcabc apa 000 0 0 0 0100 0 0 5000",  // four dice flags
                          "12 50 abcabcabc apa 000 0 0 0 000 0 0 5000",  // two kind letters
                          "1 50 abcabcabc apa 000 0 0 0 000 0 0 9999999999"}) {
    Result(bad);
    EXPECT_EQ(game->m_nMahjongState, 0) << bad;
    EXPECT_FALSE(game->CardReel(1)->IsTurning()) << bad;
    EXPECT_EQ(game->m_nRoundWin, 0) << bad;
  }
  Result("1 50 abcabcabc apa 000 0 0 0 000 x 0 5000");  // field 10 is not read
  EXPECT_EQ(game->m_nMahjongState, 1);
  EXPECT_EQ(game->m_nRoundWin, 50);
  // A second result while the reels turn is not this round's.
  Result("1 70 cccaaabbb apa 000 0 0 0 000 0 0 5000");
  EXPECT_EQ(game->m_nRoundWin, 50);
  EXPECT_STREQ(game->CardReel(1)->GetResult(), "aaa");
}

TEST_F(MahjongRoundTest, TooFewCreditsAtLoadLeaveOnlyTheExit) {
  Start("", "", 5);
  EXPECT_EQ(g_bSpinLocked, 1);
  EXPECT_EQ(Caption("活动字幕"), Gbk("筹码不足"));
  EXPECT_TRUE(Flashing());
  for (const char* name : {"一倍按钮", "最大按钮", "转动按钮", "转动杆", "停止1"})
    EXPECT_FALSE(Panel(name)->IsEnable()) << name;
  EXPECT_TRUE(Panel("退出")->IsEnable());
  game->Spin();
  Pump();
  EXPECT_EQ(Requests().size(), 3u);  // no bet
}

TEST_F(MahjongRoundTest, AutoPlaySpinsByItselfUntilItsCountOrAStopEndsIt) {
  std::string rounds;
  for (int i = 0; i < 3; ++i) rounds += kBet1 + "reply 1543 " + kNothing + "\n";
  Start(rounds);
  game->m_nAutoPlay = 2;
  game->Spin();
  Pump();
  EXPECT_EQ(Caption("autoplay"), "1");
  EXPECT_TRUE(Attached(game->m_pAutoStopPanel));
  EXPECT_FALSE(Attached(game->m_pControlPanel));
  RunTo(0);
  Pump();
  EXPECT_EQ(Requests().size(), 7u);  // the second round's bet and luck went out by themselves
  EXPECT_EQ(Requests()[5], "1530 1 10 1 3 183");
  EXPECT_EQ(Caption("autoplay"), "0");
  RunTo(0);
  Pump();
  EXPECT_EQ(Requests().size(), 7u);
  EXPECT_EQ(game->IsAutoPlay(), 0);
  EXPECT_TRUE(Attached(game->m_pControlPanel));
  EXPECT_FALSE(Attached(game->m_pAutoStopPanel));

  // A stop asked for during the round ends auto-play when the round ends.
  game->m_nAutoPlay = 5;
  game->Spin();
  Pump();
  game->RequestAutoPlayStop();
  RunTo(0);
  Pump();
  EXPECT_EQ(Requests().size(), 9u);
  EXPECT_EQ(game->m_nAutoPlay, 0);
  EXPECT_EQ(Caption("autoplay"), "0");
  EXPECT_TRUE(Attached(game->m_pControlPanel));
  EXPECT_TRUE(Panel("退出")->IsEnable());
  EXPECT_EQ(game->m_nCredits, 970);
}

TEST_F(MahjongRoundTest, AutoPlayShowsAtMost9999AndABetReplyWithoutABetUnitIsIgnored) {
  Start("");
  game->m_nAutoPlay = 10001;
  game->OnMahjongBetReply(10);
  EXPECT_EQ(game->m_nAutoPlay, 10000);
  EXPECT_EQ(Caption("autoplay"), "9999");
  EXPECT_TRUE(Attached(game->m_pAutoStopPanel));
  EXPECT_EQ(game->IsAutoPlay(), 1);
  game->m_nAutoPlay = 9999;
  game->m_nBetUnit = 0;
  game->OnMahjongBetReply(10);
  EXPECT_EQ(game->m_nAutoPlay, 9999);
}

TEST_F(MahjongRoundTest, ThePayTableSlidesOutAndInAtItsButtonsAndTheOtherButtonComesBack) {
  Start("");
  ASSERT_EQ(game->m_pPayTable->GetState(), CPayTableSlide::kIn);
  game->OnUICmd(Panel("拉出"), ZQ_UIMSG_CLICK, 0);
  EXPECT_FALSE(Panel("拉出")->IsVisible());
  Panel("拉进")->SetVisible(0);
  for (int i = 0; i < 100 && game->m_pPayTable->GetState() != CPayTableSlide::kOut; ++i) Frame();
  EXPECT_EQ(game->m_pPayTable->GetState(), CPayTableSlide::kOut);
  EXPECT_TRUE(Panel("拉进")->IsVisible());
  game->OnUICmd(Panel("拉进"), ZQ_UIMSG_CLICK, 0);
  EXPECT_FALSE(Panel("拉进")->IsVisible());
  for (int i = 0; i < 100 && game->m_pPayTable->GetState() != CPayTableSlide::kIn; ++i) Frame();
  EXPECT_TRUE(Panel("拉出")->IsVisible());
}

}  // namespace
}  // namespace gamestest
