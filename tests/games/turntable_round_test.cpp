// Turntable rounds end to end against the scripted server: the wheels turn and stop on the
// server's symbols, wins are counted in, the bonus game runs on the boxes or on the bonus
// turntable, the jackpot plays, and auto-play bets on by itself until it must stop. Observed as
// the player sees it (captions, marquee, pixels) and as the server sees it (requests).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "audio_support.h"
#include "games/pieces/Turntable.h"
#include "slot_game_fixture.h"
#include "tga_files.h"

namespace gamestest {
namespace {

constexpr char kEnter[] = "1511 1 x 1 y 10 z 5 w 6";
constexpr int kCards = 10;
constexpr int kCardSize = 40;
constexpr int kWheelX[3] = {100, 200, 300};
constexpr int kWheelY = 200;
constexpr int kTableSize = 120;
constexpr int kBonusX = 500;

// The colour of the card that shows symbol s.
uint32_t SymbolColour(int s) {
  static const uint32_t colours[kCards] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF,
                                           0xFF00FF, 0xFFFFFF, 0xFF8000, 0x8000FF, 0x008000};
  return colours[s % kCards];
}

// A vertical strip of ten cards, card i in the colour of symbol i, top row first.
void WriteStrip(const std::string& path) {
  const int w = kCardSize, h = kCardSize * kCards;
  std::ofstream out(path, std::ios::binary);
  const unsigned char header[18] = {0,
                                    0,
                                    2,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    0,
                                    static_cast<unsigned char>(w),
                                    0,
                                    static_cast<unsigned char>(h & 0xFF),
                                    static_cast<unsigned char>(h >> 8),
                                    32,
                                    0x28};
  out.write(reinterpret_cast<const char*>(header), sizeof(header));
  for (int y = 0; y < h; ++y) {
    const uint32_t c = SymbolColour(y / kCardSize);
    for (int x = 0; x < w; ++x) {
      const unsigned char px[4] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
                                   static_cast<unsigned char>(c >> 16), 0xFF};
      out.write(reinterpret_cast<const char*>(px), 4);
    }
  }
}

// An engine whose frame time the test sets: the wheels and the effects step by it.
class FrameEngine : public CZqEngine {
 public:
  void SetElapsed(DWORD dt) { m_dwElapsed = dt; }
};

struct Folder {
  bool boxes = true;        // the box panel holds three boxes
  bool boxPanel = true;     // a box panel is configured at all
  bool bonusTable = false;  // a bonus turntable
  bool effects = true;      // opening, box and jackpot pictures
  bool bonusSound = false;  // a long "bonus" sound
};

class TurntableRoundTest : public SlotGameTest {
 protected:
  CZqEngine* MakeEngine() override { return new FrameEngine; }

  void SetUp() override {
    SlotGameTest::SetUp();
    Write("text.ini", Gbk("[TEXT]\nwelcome=欢迎光临\ntoolong=太久没有游戏\n"
                          "[MONEY]\nnot_enough=筹码不足\nno_money=没有筹码了\n"
                          "[WEEK]\nmessage=本周第%d期 %d人 奖池%d\n"
                          "[BONUSTIP]\nbonustip1=选一个宝箱\nbonustip-1=选宝箱\n"));
    WriteStrip(dir.file("strip.tga"));
    ASSERT_TRUE(MakeToneWave(dir.file("bonus.wav"), 22050, 16, 1, 20.0));
    WriteSolidTga(dir.file("grey.tga"), 800, 600, 0xFF404040);
    for (int i = 0; i < 2; ++i) {
      WriteSolidTga(dir.file("show" + std::to_string(i) + ".tga"), 20, 20, 0xFF00FF00);
      WriteSolidTga(dir.file("box" + std::to_string(i) + ".tga"), 20, 20, 0xFFFFFF00);
      WriteSolidTga(dir.file("jack" + std::to_string(i) + ".tga"), 20, 20, 0xFFFF00FF);
    }
    Write("wheel.ini",
          "[PAINT]\nnum_unit=4\ninit_radian=0\n[CARDS]\nnum_cards=10\ncard_size=40\nblend=1.0\n"
          "image=" +
              dir.file("strip.tga") +
              "\n[MAIN]\ntable_size=120\nis_stand=true\nnum_lines=1\ndefault_time=0.5\n"
              "default_round=1\n");
    // The fixture's panels over a grey background, so that a lit rectangle shows.
    std::ostringstream main;
    main << "[SETING]\nsize=800,600\nvisible=true\nenable=true\n";
    main << "[ITEM_1]\nstyle=panel\nname=bg\npos=0,0\nconfig=bg.ini\n";
    int item = 2;
    for (const std::string& name : FixturePanelNames()) {
      const char* style = name == "活动字幕" ? "active_caption" : "panel";
      main << "[ITEM_" << item << "]\nstyle=" << style << "\nname=" << Gbk(name) << "\npos=" << item * 10
           << ",0\nconfig=leaf.ini\n";
      ++item;
    }
    Write("bg.ini", "[SETING]\nsize=800,600\nvisible=true\nenable=true\n[IMAGE]\nnormal=grey.tga\n");
    Write("tt-main.ini", main.str());
    Write("pane.ini", "[SETING]\nsize=50,20\nvisible=true\nenable=true\n");
    std::ostringstream boxes;
    boxes << "[SETING]\nsize=300,40\nvisible=true\nenable=true\n";
    const char* names[] = {"一号宝箱", "二号宝箱", "三号宝箱"};
    for (int i = 0; i < 3; ++i)
      boxes << "[ITEM_" << i + 1 << "]\nstyle=panel\nname=" << Gbk(names[i]) << "\npos=" << i * 40
            << ",0\nconfig=leaf.ini\n";
    Write("boxes.ini", boxes.str());
    Write("wintable.ini",
          "[TABLE]\nlevel1=dddb dddb\nlevel2=abca cbaa\nlevel3=ddda\n"
          "abca0=600,100,700,110\nabca1=600,100,630,110\nabca2=630,100,660,110\nabca3=660,100,700,110\n"
          "ddda0=600,120,700,130\nddda1=600,120,630,130\n"
          "[BONUS]\n0=600,300,640,310\n1=640,300,680,310\n2=680,300,720,310\n");
  }

  void WriteFolder(const Folder& f) {
    auto anim = [this](const char* name) {
      return dir.file(std::string(name) + "%d.tga") + "#0;1,0,0,1,1000";
    };
    std::ostringstream t;
    t << "[MAIN]\nGameType=0\nui_config=tt-main.ini\n";
    if (f.bonusSound) t << "[MUSIC]\nbonus=" << dir.file("bonus.wav") << "\n";
    t << "[SPIN_PANEL]\npos=600,560\nui_config=pane.ini\n[STOP_PANEL]\npos=600,560\nui_config=pane.ini\n";
    if (f.boxPanel) t << "[SEL_BOX]\npos=100,150\nui_config=" << (f.boxes ? "boxes.ini" : "pane.ini") << "\n";
    for (int i = 0; i < 3; ++i)
      t << "[TURNTABLE_" << i + 1 << "]\nstyle=turntable\nconfig=wheel.ini\npos=" << kWheelX[i] << ","
        << kWheelY << "\nname=wheel" << i + 1 << "\n";
    if (f.bonusTable)
      t << "[TURNTABLE_BONUS_GAME]\nstyle=turntable\nconfig=wheel.ini\npos=" << kBonusX << "," << kWheelY
        << "\nname=bonus\n";
    if (f.effects) {
      t << "[SHOW_BOX]\npos_x=700\npos_y=20\nscale=1\nimage=" << anim("show") << "\n";
      t << "[EFFECT_JACKPOT]\npos_x=700\npos_y=60\nscale=1\nimage=" << anim("jack") << "\n";
      for (int i = 1; i <= 3; ++i)
        t << "[BOX_" << i << "]\npos_x=" << 60 * i << "\npos_y=500\nscale=1\nimage=" << anim("box") << "\n";
    }
    t << "[WIN_TABLE]\nconfig=" << dir.file("wintable.ini") << "\n";
    Write("tt.ini", t.str());
  }

  // Joined to a server that answers the second entry with the credits, then plays `rounds`.
  void Start(const std::string& rounds, const Folder& f = Folder(), int credits = 1000,
             const std::string& slotType = "1") {
    WriteFolder(f);
    NewGame();
    std::vector<SScriptStep> steps;
    std::string error;
    const std::string script = "expect 1500*\nreply 1501 1\nexpect 1510 3\nreply " + std::string(kEnter) +
                               "\nreply 1521 u 1 " + std::to_string(credits) + "\nexpect 1510 3\n" + rounds +
                               "silent\n";
    ASSERT_TRUE(CServerScript::Parse(script, &steps, &error)) << error;
    mode = std::make_unique<CScriptMode>(std::move(steps));
    server = std::make_unique<CSlotServer>(*mode);
    ASSERT_TRUE(server->Listen(0, &error)) << error;
    ASSERT_EQ(g_NetTask.InitTask(), 1);
    ASSERT_EQ(g_NetTask.ParseConnectString(
                  ("127.0.0.1 " + std::to_string(server->Port()) + " " + slotType + " 3 183").c_str()),
              1);
    ASSERT_EQ(g_NetTask.ConnectAndLogin(), 1);
    for (int i = 0; i < 40 && !g_NetTask.IsJoined(); ++i) {
      server->Step(50);
      g_NetTask.OnLoop(0);
    }
    ASSERT_EQ(g_NetTask.IsJoined(), 1);
    Pump();
    ASSERT_EQ(game->LoadGame("tt.ini"), 1);
    ASSERT_EQ(game->m_Turntables.size(), 3u);
    Pump();
    ASSERT_EQ(game->m_nCredits, credits);
  }

  // Network passes: requests out, replies in.
  void Pump(int passes = 8) {
    for (int i = 0; i < passes; ++i) {
      server->Step(20);
      g_NetTask.OnLoop(0);
    }
  }
  // One 10 ms frame of the game, with the network task's pass before it.
  void Frame() {
    g_NetTask.OnLoop(0);
    zqAdvanceClock(10);
    static_cast<FrameEngine*>(engine)->SetElapsed(100);
    game->Update(100);
  }
  // Frames until the round reaches `state` (or gives up); the frames it took.
  int RunTo(int state, int limit = 2000) {
    int frames = 0;
    while (game->m_nTurntableState != state && frames < limit) {
      Frame();
      ++frames;
    }
    return frames;
  }
  void Click(const std::string& name) { game->OnUICmd(Panel(name), ZQ_UIMSG_CLICK, 0); }
  void Draw() { ASSERT_EQ(game->Render(), 0); }
  DWORD Px(long x, long y) const {
    return engine->GetBackSurface()->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr) & 0xFFFFFFu;
  }
  // The card in the middle of the window of wheel x is symbol s.
  void ExpectCentred(long x, int s) {
    ExpectColour(x + kCardSize / 2, kWheelY + kTableSize / 2, SymbolColour(s));
  }
  void ExpectScriptKept() {
    for (const std::string& f : mode->Failures()) ADD_FAILURE() << f;
  }
  // The picture drawn at (x, y) is `colour` (0xRRGGBB), within what the painter rounds.
  void ExpectColour(long x, long y, uint32_t colour) {
    const DWORD got = Px(x, y);
    for (int shift : {0, 8, 16})
      EXPECT_NEAR(int(got >> shift & 0xFF), int(colour >> shift & 0xFF), 8) << std::hex << got << " at " << x;
  }
  // Frames while the wheels turn.
  void RunWhileTurning() {
    for (int frames = 0; game->m_bCardsTurning && frames < 2000; ++frames) Frame();
  }
  bool Attached(CZqUIPanel* p) const {
    for (CZqUIPanel* child : game->GetMainUI()->GetSubPanels())
      if (child == p) return true;
    return false;
  }
  // Twenty symbol letters: these first, the rest 'a'.
  static std::string Symbols(const std::string& first) { return first + std::string(20 - first.size(), 'a'); }
};

TEST_F(TurntableRoundTest, AWinStopsTheWheelsOnTheServersSymbolsLightsItsRowAndIsCountedIn) {
  Start("expect 1530 1 10 1 3 183\nreply 1531 3 1 10\nexpect 1540 luck\nreply 1541 30 1" + Symbols("dhc") +
        " 1\nreply 1521 u 1 1020\n");
  Click("转动按钮");
  EXPECT_EQ(Caption("玩家筹码"), "990");
  Pump();
  ASSERT_EQ(game->m_nTurntableState, 1);
  EXPECT_EQ(Caption("下注筹码"), "1");
  EXPECT_FALSE(Panel("退出")->IsEnable());
  EXPECT_EQ(game->m_nCredits, 990);  // the server's 1020 holds the win still to come

  RunTo(6);
  ASSERT_EQ(game->m_nTurntableState, 6);
  Draw();
  ExpectCentred(kWheelX[0], 3);
  ExpectCentred(kWheelX[1], 7);
  ExpectCentred(kWheelX[2], 2);
  EXPECT_EQ(Caption("中奖筹码"), "30");
  // The pattern "dhc" is in no level: no row is lit; the grey stays grey over the table.
  EXPECT_EQ(Px(650, 105), 0x404040u);

  const int frames = RunTo(0);
  // A win of 30 counts in one credit a 10 ms frame.
  EXPECT_GE(frames, 29);
  EXPECT_LE(frames, 31);
  EXPECT_EQ(Caption("玩家筹码"), "1020");
  EXPECT_EQ(Caption("下注筹码"), "0");
  EXPECT_TRUE(Panel("退出")->IsEnable());
  EXPECT_EQ(g_bSpinLocked, 0);
  EXPECT_EQ(game->m_nLastBet, 1);
  Pump();
  EXPECT_EQ(game->m_nCredits, 1020);
  ExpectScriptKept();
}

TEST_F(TurntableRoundTest, AWonLineLightsItsPayTableRowAndTheCellOfTheBet) {
  Start("expect 1530 1 20 1 3 183\nreply 1531 3 1 20\nexpect 1540 luck\nreply 1541 80 1" + Symbols("abc") +
        " 1\n");
  Click("一倍按钮");
  Click("一倍按钮");
  EXPECT_EQ(Caption("下注筹码"), "2");
  Click("转动按钮");
  Pump();
  RunTo(6);
  ASSERT_EQ(game->m_nTurntableState, 6);
  // Over a second of the count-in the row and the bet's cell shine brighter than the table.
  int row = 0, cell = 0, other = 0, outside = 0;
  for (int i = 0; i < 40; ++i) {
    Frame();
    Draw();
    row = std::max(row, int(Px(610, 105) & 0xFF));
    cell = std::max(cell, int(Px(645, 105) & 0xFF));
    other = std::max(other, int(Px(610, 125) & 0xFF));
    outside = std::max(outside, int(Px(590, 105) & 0xFF));
  }
  EXPECT_GT(row, 0x50);
  EXPECT_GT(cell, 0x50);
  EXPECT_EQ(other, 0x40);  // another level's row
  EXPECT_EQ(outside, 0x40);
  RunTo(0);
  Draw();
  EXPECT_EQ(Px(610, 105), 0x404040u);
}

TEST_F(TurntableRoundTest, ABonusShowsTheBoxesAndThePickedBoxOpensAndPays) {
  Start("expect 1530 1 10 1 3 183\nreply 1531 3 1 10\nexpect 1540 luck\nreply 1541 0 2" + Symbols("bbb") +
            " 0\nexpect 1550 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0\nreply 1551 200 c\nreply 1521 u 1 1190\n",
        [] {
          Folder f;
          f.bonusSound = true;
          return f;
        }());
  Click("转动按钮");
  Pump();
  RunTo(2);
  ASSERT_EQ(game->m_nTurntableState, 2);
  EXPECT_FALSE(Attached(game->m_pBoxPanel));  // the opening plays first
  Draw();
  ExpectColour(710, 30, 0x00FF00);
  EXPECT_TRUE(Panel("赔率表")->IsVisible());
  // The opening ends before its sound: the boxes come out, the pick waits for the sound.
  ASSERT_TRUE(game->m_pBonusSound->IsPlaying());
  for (int i = 0; i < 100; ++i) Frame();
  EXPECT_TRUE(Attached(game->m_pBoxPanel));
  EXPECT_EQ(game->m_nTurntableState, 2);
  game->m_pBonusSound->Stop();
  RunTo(3, 2);
  ASSERT_EQ(game->m_nTurntableState, 3);
  EXPECT_TRUE(Attached(game->m_pBoxPanel));
  EXPECT_EQ(Caption("活动字幕"), Gbk("选一个宝箱"));
  EXPECT_TRUE(dynamic_cast<ZQ_UI_ActiveCaption*>(Panel("活动字幕"))->IsFlash());
  // The round waits for the pick, however long it takes.
  for (int i = 0; i < 500; ++i) Frame();
  EXPECT_EQ(game->m_nTurntableState, 3);
  EXPECT_EQ(Requests().size(), 5u);

  Click("三号宝箱");
  EXPECT_FALSE(game->m_pBoxPanel->IsEnable());  // one pick only
  Pump();
  EXPECT_EQ(Requests().size(), 6u);
  ASSERT_EQ(game->m_nTurntableState, 4);
  Draw();
  ExpectColour(190, 510, 0xFFFF00);  // box 3 opens
  EXPECT_EQ(Px(70, 510), 0x404040u);
  RunTo(6);
  EXPECT_EQ(Caption("中奖筹码"), "200");
  EXPECT_EQ(game->m_nCredits, 1190);
  RunTo(0);
  EXPECT_EQ(Caption("玩家筹码"), "1190");
  EXPECT_FALSE(Attached(game->m_pBoxPanel));
  EXPECT_TRUE(game->m_pBoxPanel->IsEnable());
  EXPECT_FALSE(Panel("赔率表")->IsVisible());
  EXPECT_EQ(game->m_bBonus, 0);
  ExpectScriptKept();
}

TEST_F(TurntableRoundTest, TheBonusTurntableTurnsToTheServersTargetAndPays) {
  // With boxes as well, the turntable's bonus is the whole bonus: no box is offered.
  for (bool boxes : {false, true}) {
    SCOPED_TRACE(boxes);
    Folder f;
    f.boxes = boxes;
    f.bonusTable = true;
    Start("expect 1530 1 10 1 3 183\nreply 1531 3 1 10\nexpect 1540 luck\nreply 1541 0 2" + Symbols("ccc") +
              " 0\nexpect 1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\nreply 1551 60 f\n",
          f);
    Click("转动按钮");
    Pump();
    RunWhileTurning();  // the wheels stop and the bonus request goes out at once
    EXPECT_EQ(game->m_nTurntableState, 1);
    Pump();
    ASSERT_EQ(game->m_nTurntableState, 2);
    bool sawTurning = false;
    int frames = 0;
    while (game->m_nTurntableState != 4 && frames++ < 2000) {
      Frame();
      sawTurning = sawTurning || game->m_nTurntableState == 5;
      EXPECT_NE(game->m_nTurntableState, 3);
    }
    EXPECT_TRUE(sawTurning);
    ASSERT_EQ(game->m_nTurntableState, 4);
    EXPECT_FALSE(Attached(game->m_pBoxPanel));
    Draw();
    ExpectCentred(kBonusX, 5);
    EXPECT_EQ(Caption("中奖筹码"), "60");
    RunTo(0);
    EXPECT_EQ(Caption("玩家筹码"), "1050");
    EXPECT_EQ(Requests().size(), 6u);  // one bonus request, one bonus result
    ExpectScriptKept();
    TearDown();
    SetUp();
  }
}

TEST_F(TurntableRoundTest, ABonusWithoutBoxesOrBonusTurntableAsksTheServerAndPays) {
  for (bool boxPanel : {false, true}) {
    SCOPED_TRACE(boxPanel);
    Folder f;
    f.boxPanel = boxPanel;
    f.boxes = false;
    Start("expect 1530 1 10 1 3 183\nreply 1531 3 1 10\nexpect 1540 luck\nreply 1541 0 2" + Symbols("bbb") +
              " 0\nexpect 1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\nreply 1551 40 a\n",
          f);
    Click("转动按钮");
    Pump();
    RunTo(3);
    ASSERT_EQ(game->m_nTurntableState, 3);
    Pump();
    RunTo(0);
    EXPECT_EQ(game->m_nTurntableState, 0);
    EXPECT_EQ(Caption("玩家筹码"), "1030");
    ExpectScriptKept();
    TearDown();
    SetUp();
  }
}

TEST_F(TurntableRoundTest, AJackpotPlaysItsEffectBeforeTheWinIsCountedIn) {
  Start("expect 1530 1 10 1 3 183\nreply 1531 3 1 10\nexpect 1540 luck\nreply 1541 150 3" + Symbols("ggg") +
        " 1\n");
  Click("转动按钮");
  Pump();
  RunTo(4);
  ASSERT_EQ(game->m_nTurntableState, 4);
  EXPECT_EQ(Caption("中奖筹码"), "150");
  Draw();
  ExpectColour(710, 70, 0xFF00FF);
  // The effect's pass first, nothing counted meanwhile.
  const int shown = game->m_nShownCredits;
  int frames = 0;
  for (; game->m_nTurntableState == 4 && frames < 2000; ++frames) {
    EXPECT_EQ(game->m_nShownCredits, shown);
    Frame();
  }
  EXPECT_GE(frames, 15);
  EXPECT_EQ(game->m_nTurntableState, 6);
  RunTo(0);
  EXPECT_EQ(Caption("玩家筹码"), "1140");
  Draw();
  EXPECT_EQ(Px(710, 70), 0x404040u);
}

TEST_F(TurntableRoundTest, AZeroWinEndsTheRoundInTheFrameTheWheelsStop) {
  Start("expect 1530 1 10 1 3 183\nreply 1531 3 1 10\nexpect 1540 luck\nreply 1541 0 1" + Symbols("abc") +
        " 0\n");
  Click("转动按钮");
  Pump();
  RunWhileTurning();
  EXPECT_EQ(game->m_nTurntableState, 0);
  EXPECT_EQ(Caption("玩家筹码"), "990");
  EXPECT_EQ(Caption("下注筹码"), "0");
  EXPECT_TRUE(Panel("退出")->IsEnable());
  EXPECT_EQ(g_bSpinLocked, 0);
}

TEST_F(TurntableRoundTest, AutoPlayBetsOnUntilTheCreditsCoverNoFurtherBet) {
  const std::string round = "expect 1530 1 30 1 3 183\nreply 1531 3 1 30\nexpect 1540 luck\nreply 1541 0 1" +
                            Symbols("abc") + " 0\n";
  Start(round + round + round, Folder(), 75);
  for (int i = 0; i < 3; ++i) game->OnUICmd(Panel("加"), ZQ_UIMSG_REPEAT, 0);
  EXPECT_EQ(Caption("autoplay"), "3");
  Click("最大按钮");
  Pump();
  EXPECT_TRUE(game->IsAutoPlay());
  EXPECT_EQ(Caption("autoplay"), "2");
  EXPECT_TRUE(Attached(game->m_pAutoStopPanel));
  EXPECT_FALSE(Attached(game->m_pControlPanel));
  RunTo(0);
  EXPECT_EQ(Caption("玩家筹码"), "15");  // the next bet went out by itself
  Pump();
  EXPECT_EQ(Caption("autoplay"), "1");
  ASSERT_EQ(game->m_nTurntableState, 1);
  RunTo(0);
  Pump();
  EXPECT_EQ(Requests().size(), 3u + 2 * 2);  // two rounds only
  EXPECT_FALSE(game->IsAutoPlay());
  EXPECT_EQ(Caption("autoplay"), "0");
  EXPECT_EQ(Caption("活动字幕"), Gbk("筹码不足"));
  EXPECT_TRUE(Attached(game->m_pControlPanel));
  EXPECT_TRUE(game->m_pControlPanel->IsEnable());
  EXPECT_FALSE(Attached(game->m_pAutoStopPanel));
  EXPECT_TRUE(Panel("退出")->IsEnable());
}

TEST_F(TurntableRoundTest, TheStopButtonEndsAutoPlayAtTheEndOfTheRound) {
  const std::string round = "expect 1530 1 10 1 3 183\nreply 1531 3 1 10\nexpect 1540 luck\nreply 1541 20 1" +
                            Symbols("abc") + " 1\n";
  Start(round + round);
  for (int i = 0; i < 5; ++i) game->OnUICmd(Panel("加"), ZQ_UIMSG_REPEAT, 0);
  Click("转动按钮");
  Pump();
  ASSERT_TRUE(game->IsAutoPlay());
  Click("停止");
  EXPECT_FALSE(game->m_pAutoStopPanel->IsEnable());
  // The round goes on to its end.
  EXPECT_TRUE(game->IsAutoPlay());
  RunTo(6);
  EXPECT_EQ(game->m_nTurntableState, 6);
  RunTo(0);
  Pump();
  EXPECT_EQ(Requests().size(), 5u);  // no further bet
  EXPECT_FALSE(game->IsAutoPlay());
  EXPECT_EQ(Caption("autoplay"), "0");
  EXPECT_EQ(Caption("玩家筹码"), "1010");
  EXPECT_TRUE(Attached(game->m_pControlPanel));
  EXPECT_FALSE(Attached(game->m_pAutoStopPanel));
  EXPECT_TRUE(Panel("退出")->IsEnable());
  // The next spin is the player's again.
  Click("转动按钮");
  Pump();
  EXPECT_EQ(Requests().size(), 7u);
}

}  // namespace
}  // namespace gamestest
