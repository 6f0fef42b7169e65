// Poker-card rounds: the deal, the holds, the draw, the win presented and counted in, as the
// player sees them (captions, marks, reels, credits) and the server sees them (requests).
#include <fstream>
#include <sstream>

#include "audio_support.h"
#include "slot_game_fixture.h"
#include "tga_files.h"

namespace gamestest {
namespace {

constexpr char kEnter[] = "1511 1 x 1 y 10 z 5 w 6";

class CardRoundTest : public SlotGameTest {
 protected:
  void SetUp() override {
    SlotGameTest::SetUp();
    WriteSolidTga(dir.file("sheet.tga"), 120, 520, 0xFF808080);
    Write("cards.ini", "[MainCard]\nCardHeight=40\nCardWidth=30\nCardImage=" + dir.file("sheet.tga") + "\n");
    WriteSolidTga(dir.file("frame.tga"), 8, 8, 0xFFFFFFFF);
    // The fixture's panels and the five hold buttons with their marks.
    std::ostringstream main;
    main << "[SETING]\nsize=800,600\nvisible=true\nenable=true\n";
    int item = 1;
    std::vector<std::string> names = FixturePanelNames();
    for (int i = 1; i <= 5; ++i) {
      names.push_back("HOLD" + std::to_string(i));
      names.push_back("HINT" + std::to_string(i));
    }
    for (const std::string& name : names) {
      const char* style = name == "活动字幕" ? "active_caption" : "panel";
      main << "[ITEM_" << item << "]\nstyle=" << style << "\nname=" << Gbk(name) << "\npos=" << item * 10
           << ",0\nconfig=leaf.ini\n";
      ++item;
    }
    Write("card-main.ini", main.str());
    Write("wintable.ini", table);
    for (const char* sound : {"bet1", "bet2", "bet3", "coin"})
      ASSERT_TRUE(MakeToneWave(dir.file(std::string(sound) + ".wav"), 22050, 16, 1, 20.0));
  }

  // The game folder: five reels, the sheet, the win frame, the digits and the win table.
  void WriteCardFolder(bool sounds = false) {
    std::ostringstream text;
    text << "[MAIN]\nGameType=1\nui_config=card-main.ini\nCardImageList=" << dir.file("cards.ini") << "\n";
    if (sounds) {
      text << "[MUSIC]\ncoin_out=" << dir.file("coin.wav") << "\n";
      for (int i = 1; i <= 3; ++i)
        text << "bet" << i << "=" << dir.file("bet" + std::to_string(i) + ".wav") << "\n";
    }
    text << "[WINLINE]\nimage=" << dir.file("frame.tga") << "\nwidth=8\nheight=8\nx=0\ny=0\nfrequency=100\n";
    text << "[WIN_TABLE]\nconfig=" << dir.file("wintable.ini") << "\n";
    for (int i = 1; i <= 5; ++i)
      text << "[TB_" << i << "]\npos=" << 40 * i
           << ",300\nradian=90\nnum_unit=12\nnum_cards=10\ncard_size=40\n"
           << "table_size=60\ntime1=" << 1000 + 500 * i
           << "\ntime2=1000\nspeed1=2000\nspeed2=200\nadjustsize=1.5\n";
    Write("card.ini", text.str());
  }

  // Joined to a server that answers the second entry with the credits, then runs `rounds`.
  void Start(const std::string& rounds, bool sounds = false) {
    WriteCardFolder(sounds);
    NewGame();
    // The credits come before the game folder loads, as from the demo server.
    Join(std::string(kEnter) + "\nreply 1521 u 1 1000", "expect 1510 3\n" + rounds + "silent\n");
    Pump();
    ASSERT_EQ(game->LoadGame("card.ini"), 1);
    ASSERT_EQ(game->m_CardReels.size(), 5u);
    Pump();
    ASSERT_EQ(game->m_nCredits, 1000);
  }

  // Network passes: requests out, replies in.
  void Pump(int passes = 8) {
    for (int i = 0; i < passes; ++i) {
      server->Step(20);
      g_NetTask.OnLoop(0);
    }
  }
  // Frames of 10 ms until the round reaches `state` (or gives up); the frames it took.
  int RunTo(int state, int limit = 3000) {
    int frames = 0;
    while (game->m_nCardState != state && frames < limit) {
      zqAdvanceClock(10);
      game->Update(100);
      ++frames;
    }
    return frames;
  }
  bool HintShown(int i) { return Panel("HINT" + std::to_string(i))->IsVisible(); }
  std::string Hints() {
    std::string s;
    for (int i = 1; i <= 5; ++i) s += HintShown(i) ? '1' : '0';
    return s;
  }
  std::string ReelCard(int reel) { return game->CardReel(reel)->GetCell(1); }
  void Result(const std::string& fields) {
    Fields f(fields);
    game->OnCardResult(f.get());
  }

  std::string table =
      "[a]\n0=1,1,9,9\n1=2,2,3,3\n2=4,4,5,5\n3=6,6,7,7\n"
      "[b]\n0=5,100,95,110\n1=50,100,60,110\n2=60,100,70,110\n3=70,100,80,110\n";
};

TEST_F(CardRoundTest, ARoundDealsHoldsDrawsCountsTheWinInAndTheServerCorrectsTheCredits) {
  Start(
      "expect 1530 1 10 1 3 183\nreply 1531 3 1 10\n"
      "expect 1542 0\nreply 1543 3 0 0 a0 a1 k2 d3 f0 1 1 0 0 0 i\nreply 1521 u 1 990\n"
      "expect 1542 1 1 1 1 0 0*\nreply 1543 3 30 1 a0 a1 a2 d3 m3 0 0 0 0 0 b\nreply 1521 u 1 1020\n");
  game->Spin();
  Pump();
  EXPECT_EQ(Caption("下注筹码"), "1");
  EXPECT_EQ(game->m_nCardState, 5);  // dealt cards moving
  EXPECT_EQ(game->m_nCredits, 990);
  for (int r = 1; r <= 5; ++r) EXPECT_TRUE(game->CardReel(r)->IsTurning()) << r;
  RunTo(4);
  ASSERT_EQ(game->m_nCardState, 4);
  EXPECT_EQ(Hints(), "11000");  // the server's suggestion
  EXPECT_TRUE(Panel("HOLD1")->IsChecked());
  EXPECT_TRUE(Panel("HOLD3")->IsEnable());
  EXPECT_EQ(g_bSpinLocked, 0);
  EXPECT_EQ(ReelCard(1), "a0");
  EXPECT_EQ(ReelCard(3), "k2");
  for (int r = 1; r <= 5; ++r)
    EXPECT_EQ(game->CardReel(r)->GetPosition(), game->CardReel(r)->GetRestPosition());

  game->ToggleHold("HOLD3");
  EXPECT_EQ(Hints(), "11100");
  game->Spin();
  Pump();
  EXPECT_EQ(Requests().back(), "1542 1 1 1 1 0 0 ");
  game->ToggleHold("HOLD5");  // the draw is out: the marks stay as sent
  EXPECT_EQ(Hints(), "11100");
  ASSERT_EQ(game->m_nCardState, 6);
  // The held cards stay, the others turn to the server's cards.
  EXPECT_FALSE(game->CardReel(1)->IsTurning());
  EXPECT_FALSE(game->CardReel(3)->IsTurning());
  EXPECT_TRUE(game->CardReel(4)->IsTurning());
  EXPECT_EQ(ReelCard(3), "k2");  // held: the reel keeps what it showed
  EXPECT_EQ(ReelCard(5), "m3");
  EXPECT_EQ(game->m_nCredits, 990);  // the server's 1020 holds the win still to come

  RunTo(8);
  ASSERT_EQ(game->m_nCardState, 8);
  EXPECT_EQ(Hints(), "00000");
  EXPECT_EQ(Caption("中奖筹码"), "30");
  EXPECT_EQ(game->m_nCredits, 1020);
  EXPECT_EQ(game->m_nRoundWin, 0);
  EXPECT_TRUE(game->m_bPayTableLit);
  EXPECT_EQ(game->m_rcHandRow.top, 100);
  EXPECT_EQ(game->m_rcHandCell.left, 50);  // hand "b", bet 1
  EXPECT_EQ(game->m_nShownCredits, 990);

  // At 10 ms frames a win of 30 counts in one credit a frame.
  const int frames = RunTo(0);
  EXPECT_GE(frames, 30);
  EXPECT_LE(frames, 32);
  EXPECT_EQ(Caption("玩家筹码"), "1020");
  EXPECT_EQ(Caption("中奖筹码"), "0");
  EXPECT_EQ(Caption("下注筹码"), "0");
  EXPECT_EQ(game->m_nLastBet, 1);
  EXPECT_FALSE(game->m_bPayTableLit);
  EXPECT_FALSE(Panel("HOLD1")->IsEnable());
  EXPECT_TRUE(Panel("转动按钮")->IsEnable());
  EXPECT_EQ(g_bSpinLocked, 0);
  Pump();
  EXPECT_EQ(game->m_nCredits, 1020);
}

TEST_F(CardRoundTest, EveryHoldCombinationIsSentAndKeepsExactlyItsCards) {
  Start("");
  for (int combo = 0; combo < 32; ++combo) {
    SCOPED_TRACE(combo);
    game->m_nBet = 1;
    ASSERT_EQ(game->OnCardBetReply(10), 1);
    Pump(2);
    EXPECT_EQ(Requests().back(), "1542 0");
    Result("3 0 0 b0 c1 d2 e3 f0 0 0 0 0 0 z");
    RunTo(4);
    ASSERT_EQ(game->m_nCardState, 4);
    std::string holds;
    for (int i = 0; i < 5; ++i) {
      if (combo >> i & 1) game->ToggleHold(("HOLD" + std::to_string(i + 1)).c_str());
      holds += combo >> i & 1 ? '1' : '0';
    }
    EXPECT_EQ(Hints(), holds);
    // The draw request says which cards stay.
    game->Spin();
    Pump(2);
    std::string text = "1542 1 ";
    for (char h : holds) text += std::string(1, h) + " ";
    EXPECT_EQ(Requests().back(), text);
    Result("3 0 0 g0 h1 i2 j3 k0 0 0 0 0 0 z");
    ASSERT_EQ(game->m_nCardState, 6);
    const char* dealt[] = {"b0", "c1", "d2", "e3", "f0"};
    const char* drawn[] = {"g0", "h1", "i2", "j3", "k0"};
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(game->CardReel(i + 1)->IsTurning(), holds[i] == '0') << i;
      EXPECT_EQ(ReelCard(i + 1), holds[i] == '1' ? dealt[i] : drawn[i]) << i;
    }
    // All five held: nothing turns and the result comes with the next frame.
    RunTo(0);
    ASSERT_EQ(game->m_nCardState, 0);
    EXPECT_EQ(game->m_nCredits, 1000);
  }
}

TEST_F(CardRoundTest, AJackpotRunsItsEffectsThenCountsInAndALosingRoundAfterItAddsNothing) {
  Start("");
  game->m_nBet = 3;
  game->m_nCredits = 970;
  ASSERT_EQ(game->OnCardBetReply(30), 1);
  Result("3 0 0 j0 k0 l0 m0 b1 1 1 1 1 0 f");
  RunTo(4);
  g_bSpinLocked = 1;
  Result("3 7500 3 j0 k0 l0 m0 a0 1 1 1 1 0 a");
  EXPECT_TRUE(game->m_bJackpot);
  EXPECT_EQ(game->m_nMultiple, 250);
  int frames = 0;
  bool sawJackpot = false;
  while (game->m_nCardState != 8 && frames++ < 3000) {
    zqAdvanceClock(10);
    game->Update(100);
    sawJackpot = sawJackpot || game->m_nCardState == 7;
  }
  EXPECT_TRUE(sawJackpot);
  ASSERT_EQ(game->m_nCardState, 8);
  EXPECT_EQ(game->m_nCredits, 970 + 7500);
  EXPECT_EQ(Caption("中奖筹码"), "7500");
  // Above 100 the count-in takes three seconds.
  frames = RunTo(0, 5000);
  EXPECT_GE(frames, 299);
  EXPECT_LE(frames, 302);
  EXPECT_EQ(Caption("玩家筹码"), "8470");

  // The next round loses: nothing is added, the round ends when its cards stop.
  game->m_nBet = 3;
  game->m_nCredits -= 30;
  ASSERT_EQ(game->OnCardBetReply(30), 1);
  Result("3 0 0 b0 d1 f2 h3 m0 0 0 0 0 0 z");
  RunTo(4);
  g_bSpinLocked = 1;
  Result("3 0 0 b0 d1 f2 h3 m0 0 0 0 0 0 z");
  RunTo(0);
  EXPECT_EQ(game->m_nCredits, 8440);
  EXPECT_EQ(Caption("玩家筹码"), "8440");
  // A result kind '2' is no win either, whatever win it names.
  game->m_nBet = 1;
  game->m_nCredits -= 10;
  ASSERT_EQ(game->OnCardBetReply(10), 1);
  Result("3 0 0 b0 d1 f2 h3 m0 0 0 0 0 0 z");
  RunTo(4);
  g_bSpinLocked = 1;
  Result("3 500 2 b0 d1 f2 h3 m0 0 0 0 0 0 z");
  RunTo(0);
  EXPECT_EQ(game->m_nCredits, 8430);
}

TEST_F(CardRoundTest, MalformedResultsAreIgnoredAndTheRoundGoesOnWithTheNextValidOne) {
  Start("");
  game->m_nBet = 1;
  ASSERT_EQ(game->OnCardBetReply(10), 1);
  for (const char* bad :
       {"3 0 0 a0 b1 c2 d3", "3 0 0 a0 b1 c2 d3 e10 0 0 0 0 0 z", "3 0 0 a0 b1 n2 d3 e0 0 0 0 0 0 z",
        "3 0 0 a0 b1 c2 d4 e0 0 0 0 0 0 z", "3 0 0 a0 b1 c2 d3 e0 0 0 x 0 0 z"}) {
    Result(bad);
    EXPECT_EQ(game->m_nCardState, 3) << bad;
  }
  Result("3 0 0 a0 b1 c2 d3 e0 0 0 0 0 0 z");
  EXPECT_EQ(game->m_nCardState, 5);
  RunTo(4);
  g_bSpinLocked = 1;
  for (const char* bad : {"3 x 1 a0 b1 c2 d3 e0 0 0 0 0 0 g", "3 20 1 a0 b1 c2 d3 e0 0 0 0 0 0",
                          "3 20 1 a0 b1 c2 d3 e 0 0 0 0 0 g"}) {
    Result(bad);
    EXPECT_EQ(game->m_nCardState, 4) << bad;
  }
  Result("3 20 1 a0 b1 c2 d3 e0 0 0 0 0 0 g");
  EXPECT_EQ(game->m_nCardState, 6);
  // Replies outside the deal and the draw change nothing.
  RunTo(0);
  Result("3 20 1 a0 b1 c2 d3 e0 0 0 0 0 0 g");
  EXPECT_EQ(game->m_nCardState, 0);
}

TEST_F(CardRoundTest, TheCoinBurstFollowsTheMultipleAndTheCountInTakesItsTime) {
  Start("", true);
  // 20 ms frames: a win up to 50 counts in over 0.5 s, up to 100 over 1 s, above over 3 s, once
  // a frame's share rounds to whole credits.
  const struct {
    int win;
    int burst;   // 0-based coin sound
    int frames;  // of the count-in
  } cases[] = {{19, 0, 19}, {40, 1, 20}, {50, 2, 25}, {51, 2, 51}, {100, 2, 50}, {3000, 2, 150}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.win);
    game->m_nBet = 1;
    game->m_nBetUnit = 1;
    ASSERT_EQ(game->OnCardBetReply(1), 1);
    Result("3 0 0 a0 a1 b2 c3 d0 1 1 0 0 0 i");
    RunTo(4);
    g_bSpinLocked = 1;
    Result("3 " + std::to_string(c.win) + " 1 a0 a1 b2 c3 d0 1 1 0 0 0 i");
    RunTo(8);
    const int before = game->m_nShownCredits;
    game->Update(200);  // the burst, nothing counted yet
    EXPECT_EQ(game->m_nShownCredits, before);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(game->m_pBetSounds[i]->IsPlaying(), i == c.burst) << i;
    for (auto& coin : game->m_pBetSounds) coin->Stop();
    int frames = 0;
    while (game->m_nShownCredits < game->m_nCredits && frames < 1000) {
      game->Update(200);
      ++frames;
    }
    EXPECT_EQ(frames, c.frames);
    EXPECT_EQ(Caption("中奖筹码"), "0");
    RunTo(0);
    EXPECT_EQ(game->m_nShownCredits, game->m_nCredits);
  }
  // One millisecond frames with a win of 50 still count one credit each.
  game->m_nBet = 1;
  ASSERT_EQ(game->OnCardBetReply(1), 1);
  Result("3 0 0 a0 a1 b2 c3 d0 1 1 0 0 0 i");
  RunTo(4);
  g_bSpinLocked = 1;
  Result("3 50 1 a0 a1 b2 c3 d0 1 1 0 0 0 i");
  RunTo(8);
  game->Update(10);
  for (auto& coin : game->m_pBetSounds) coin->Stop();
  const int before = game->m_nShownCredits;
  game->Update(10);
  EXPECT_EQ(game->m_nShownCredits, before + 1);
}

TEST_F(CardRoundTest, AWinTableEndsAtItsFirstMissingKey) {
  table =
      "[a]\n0=1,1,9,9\n1=2,2,3,3\n2=4,4,5,5\n3=6,6,7,7\n[b]\n0=10,10,90,90\n1=11,11,20,20\n2=21,21,30,30\n"
      "[c]\n0=5,5,6,6\n1=1,1,2,2\n2=1,1,2,2\n3=1,1,2,2\n";
  Write("wintable.ini", table);
  Start("");
  EXPECT_EQ(game->m_PayTableRects.count("a3"), 1u);
  EXPECT_EQ(game->m_PayTableRects.count("b2"), 1u);
  EXPECT_EQ(game->m_PayTableRects.count("b3"), 0u);
  EXPECT_EQ(game->m_PayTableRects.count("c0"), 0u);
  game->m_szHandLetter[0] = 'c';
  game->m_nBet = 1;
  game->SelectPayTableRects();
  EXPECT_EQ(game->m_rcHandRow.right, 0);
  game->m_szHandLetter[0] = 'a';
  game->SelectPayTableRects();
  EXPECT_EQ(game->m_rcHandRow.right, 9);
  EXPECT_EQ(game->m_rcHandCell.right, 3);
}

}  // namespace
}  // namespace gamestest
