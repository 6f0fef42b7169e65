// The built sample data, read through the engine as the client reads it: the text
// configuration, the game list, each game's configuration and its first screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "MahjongTable.h"
#include "ZqLib.h"
#include "engine_window.h"
#include "zqplatform/base.h"

namespace toolstest {
namespace {

const std::string kPack = std::string(ZQ_BIN_DIR) + "/../data/demo/Data.Zqs";

class DemoDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("demo-data", 816, 653);
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new CZqEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    app->SetActive(1);
    app->SetNoSleep(1);
    ASSERT_EQ(pack.Load(kPack.c_str()), 1) << kPack;
    engine->SetSource(&pack);
  }
  void TearDown() override {
    delete engine;
    delete app;
    CloseEngineWindow();
  }
  std::string Text(CConfig& c, const char* section, const char* key) { return c.GetString(section, key, ""); }
  // Red, green and blue of a back-buffer pixel.
  void Rgb(long x, long y, int* r, int* g, int* b) {
    DWORD px = engine->GetBackSurface()->GetPixelInfo(x, y, nullptr, nullptr, nullptr, nullptr);
    *r = int((px >> 16) & 0xFF), *g = int((px >> 8) & 0xFF), *b = int(px & 0xFF);
  }

  CZqSource pack;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
};

TEST_F(DemoDataTest, TheTextConfigurationSpeaksChineseInEveryKeyTheClientReads) {
  CConfig text;
  ASSERT_EQ(engine->LoadConfig(text, "text"), 1);
  EXPECT_EQ(text.GetLong("FONT", "charset", "0"), 134);
  EXPECT_EQ(Text(text, "FONT", "name"), ZQ_GBK("宋体"));
  EXPECT_GT(text.GetLong("FONT", "size", "0"), 0);
  const char* keys[][2] = {{"TEXT", "connect"},       {"TEXT", "over_connect"}, {"TEXT", "occupied"},
                           {"TEXT", "disconnect"},    {"TEXT", "toolong"},      {"TEXT", "welcome"},
                           {"TEXT", "freeluck"},      {"TEXT", "freeinfo"},     {"MONEY", "no_money"},
                           {"MONEY", "not_enough"},   {"WEEK", "message"},      {"BONUSTIP", "bonustip1"},
                           {"BONUSTIP", "bonustip-1"}};
  for (auto& k : keys) {
    SCOPED_TRACE(std::string(k[0]) + "/" + k[1]);
    const std::string value = Text(text, k[0], k[1]);
    ASSERT_FALSE(value.empty());
    EXPECT_LT(value.size(), 256u);  // the client shows at most 255 bytes
    // GBK: a lead byte of a Chinese character in every text.
    EXPECT_TRUE(std::any_of(value.begin(), value.end(), [](char c) { return (unsigned char)c >= 0xB0; }));
  }
  EXPECT_EQ(Text(text, "TEXT", "connect"), ZQ_GBK("正在连接游戏服务器，请稍候"));
  // The marquee format takes the three week counters; the free-game text one count.
  const std::string week = Text(text, "WEEK", "message");
  size_t d = 0;
  for (size_t p = week.find('%'); p != std::string::npos; p = week.find('%', p + 1)) {
    EXPECT_EQ(week[p + 1], 'd');
    ++d;
  }
  EXPECT_EQ(d, 3u);
}

TEST_F(DemoDataTest, EveryGameOfTheListLoadsItsKindAndAFirstScreenWithTheNamedPanels) {
  CConfig hall;
  ASSERT_EQ(engine->LoadConfig(hall, ZQ_GBK("拉霸")), 1);
  const struct {
    const char* key;
    const char* folder;
    long kind;
  } games[] = {{"1", "Sudrane\\配置\\游戏", 0},
               {"2", "Otrel\\配置\\游戏", 0},
               {"3", "Banvik\\配置\\游戏", 1},
               {"4", "Ferlo\\配置\\游戏", 2}};
  // The bet buttons of the turntable and mahjong games are in their control panel, which the
  // game's loader adds (the game tests load it).
  const char* panels[] = {"退出",   "加",       "减",       "autoplay", "INFO",     "赔率说明",
                          "赔率表", "玩家筹码", "中奖筹码", "筹码面值", "下注筹码", "活动字幕"};
  for (const auto& g : games) {
    SCOPED_TRACE(g.key);
    EXPECT_EQ(Text(hall, "GAMES", g.key), zqUtf8ToGbk(g.folder));
    CConfig game;
    ASSERT_EQ(engine->LoadConfig(game, zqUtf8ToGbk(g.folder).c_str()), 1);
    EXPECT_EQ(game.GetLong("MAIN", "GameType", "-1"), g.kind);
    for (const char* music : {"background", "coin_out", "spin", "jackpot", "bet1", "bet2", "bet3"})
      EXPECT_NE(pack.FindSource(game.GetString("MUSIC", music, "")), nullptr) << music;
    EXPECT_NE(engine->FindSound(game.GetString("MUSIC", "spin", "")), nullptr);

    CZqGame screen(engine);
    ASSERT_EQ(screen.GetMainUI()->Create(game.GetString("MAIN", "ui_config", ""), SScreenPoint(0, 0), "main"),
              1);
    for (const char* name : panels)
      EXPECT_NE(engine->FindUIFromName(zqUtf8ToGbk(name).c_str()), nullptr) << name;
    // The poker game's hold buttons and the marks over the held cards.
    for (int i = 1; g.kind == 1 && i <= 5; ++i)
      for (const char* name : {"HOLD", "HINT"})
        EXPECT_NE(engine->FindUIFromName((name + std::to_string(i)).c_str()), nullptr) << name << i;
    engine->SetGame(&screen);
    zqAdvanceClock(20);
    app->DoIdle();
    int r, gr, b;
    // The gold rule under the title band and the dark grey control bar, each where the
    // pictures put them (so no picture is upside down).
    Rgb(400, 57, &r, &gr, &b);
    EXPECT_GT(r, 150) << "gold rule";
    EXPECT_GT(gr, 110);
    Rgb(5, 540, &r, &gr, &b);
    EXPECT_LT(std::abs(r - b), 20) << "control bar";
    EXPECT_LT(r, 80);
    engine->SetGame(nullptr);
  }
}

// Frames of an animation description, and the size of its current frame.
struct SFrames {
  long count = 0;
  DWORD width = 0, height = 0;
};

TEST_F(DemoDataTest, TheMahjongGameAgreesWithTheServerAndItsPicturesHoldWhatItsPiecesCut) {
  CMahjongPayTable pays;
  std::string error;
  ASSERT_TRUE(pays.Load(ZQ_MAHJONG_PAYTABLE_SOURCE, &error)) << error;
  CConfig game;
  ASSERT_EQ(engine->LoadConfig(game, ZQ_GBK("Ferlo\\配置\\游戏")), 1);
  auto frames = [&](const std::string& description) {
    CZqAnimation a(engine);
    SFrames f;
    if (!a.Create(description.c_str())) return f;
    f.count = a.GetFrameCount();
    if (CZqTexture* t = a.GetCurrentFrame()) f.width = t->GetWidthEx(), f.height = t->GetHeightEx();
    return f;
  };
  // The tiles and free-game counts the server deals are the ones the game names.
  std::string letters;
  for (int i = 0; i < 6; ++i) letters += Text(game, "MJ9LINE", std::to_string(i).c_str()).substr(0, 1);
  EXPECT_EQ(letters, pays.Tiles());
  for (size_t i = 0; i < 8; ++i)
    EXPECT_EQ(game.GetLong("FreeAwardIdx", std::to_string(i + 1).c_str(), "0"),
              i < pays.FreeGames().size() ? pays.FreeGames()[i].count : 0);
  for (char award = 'a'; award <= 'o'; ++award) EXPECT_GT(pays.Pays(award), 0) << award;
  for (char award = 'a'; award <= 'o'; ++award)
    EXPECT_NE(Text(game, "AwardList", std::string(1, award).c_str()), "") << award;

  // Three reels of three tiles: the window shows three cells of the sheet's height.
  CConfig sheet;
  ASSERT_EQ(engine->LoadConfig(sheet, game.GetString("MAIN", "CardImageList", "")), 1);
  const long tileH = sheet.GetLong("MainCard", "CardHeight", "0"),
             tileW = sheet.GetLong("MainCard", "CardWidth", "0");
  const SFrames tiles = frames(sheet.GetString("MainCard", "CardImage", ""));
  EXPECT_GE(long(tiles.height), 12 * tileH);  // rows a..l, the reels fill with a..k
  EXPECT_GE(long(tiles.width), tileW);
  for (int n = 1; n <= 4; ++n) {
    const std::string tb = "TB_" + std::to_string(n);
    EXPECT_EQ(game.GetLong(tb.c_str(), "table_size", "0") > 0, n <= 3) << tb;
    if (n <= 3) {
      EXPECT_EQ(game.GetLong(tb.c_str(), "card_size", "0"), tileH) << tb;
    }
  }

  // The bonus cards: six faces stacked below a blank row, the flip frames of one card's size.
  CConfig cards;
  ASSERT_EQ(engine->LoadConfig(cards, game.GetString("ANIMATIONCONFIG", "config", "")), 1);
  const long h = cards.GetLong("MAIN", "anim_height", "0"), w = cards.GetLong("MAIN", "anim_width", "0");
  const SFrames faces = frames(cards.GetString("MAIN", "anim_image", ""));
  EXPECT_GE(long(faces.height), 6 * h + 1);
  EXPECT_GE(long(faces.width), w);
  const long first = cards.GetLong("MAIN", "anim_start", "0"), last = cards.GetLong("MAIN", "anim_end", "0");
  EXPECT_GE(last - first, 4);  // the face shows from the fourth frame
  for (long i = first; i <= last; ++i) {
    const SFrames f =
        frames(Text(cards, "MAIN", "anim_dir") + Text(cards, "MAIN", "anim_name") + std::to_string(i));
    EXPECT_EQ(long(f.width), w) << i;
    EXPECT_EQ(long(f.height), h) << i;
  }
  for (int i = 0; i < 10; ++i) EXPECT_NE(Text(cards, "POS", std::to_string(i).c_str()), "") << i;

  // The pieces' pictures: five lamps, a two-look win line and all-mahjong caption, the heavenly
  // hand's frames (it rewinds five from the end) and its flying picture.
  EXPECT_EQ(frames(Text(game, "DICECONFIG", "image")).count, 5);
  EXPECT_EQ(frames(Text(game, "WIN_LINE", "image")).count, 2);
  EXPECT_EQ(frames(Text(game, "EFFECT_ALLMAJIANG", "image")).count, 2);
  EXPECT_GE(frames(Text(game, "TIANHUCONFIG", "image")).count, 5);
  EXPECT_GT(frames(Text(game, "TIANHUCONFIG", "image50")).count, 0);
  for (const char* key : {"table_image", "shade_image"})
    EXPECT_GT(frames(Text(game, "WINTABLELT", key)).count, 0);
  for (const char* key : {"image", "outimage", "backimage"})
    EXPECT_GT(frames(Text(game, "WIN_TABLE", key)).count, 0);
  EXPECT_GT(frames(Text(game, "EFFECT_1", "image")).width, 0u);
  EXPECT_NE(pack.FindSource(game.GetString("MUSIC", "freeluck", "")), nullptr);
  EXPECT_NE(Text(game, "TEXT", "freeluck"), "");
  EXPECT_NE(Text(game, "TEXT", "freeinfo").find("%d"), std::string::npos);

  // The panels the round finds by name, in the main screen and in the four swapped panels.
  CZqGame screen(engine);
  ASSERT_EQ(screen.GetMainUI()->Create(game.GetString("MAIN", "ui_config", ""), SScreenPoint(0, 0), "main"),
            1);
  for (const char* name : {"pool", "停止1", "停止2", "停止3", "拉出", "拉进", "活动字幕", "退出"})
    EXPECT_NE(engine->FindUIFromName(zqUtf8ToGbk(name).c_str()), nullptr) << name;
  const struct {
    const char* section;
    const char* button;
  } swapped[] = {{"SPIN_PANEL", "最大按钮"},
                 {"STOP_PANEL", "停止"},
                 {"FREE_PANEL", "转动按钮"},
                 {"FREE_PANEL2", "停止按钮"}};
  for (const auto& p : swapped) {
    CZqGame other(engine);
    ASSERT_EQ(
        other.GetMainUI()->Create(game.GetString(p.section, "ui_config", ""), SScreenPoint(0, 0), p.section),
        1)
        << p.section;
    EXPECT_NE(engine->FindUIFromName(zqUtf8ToGbk(p.button).c_str()), nullptr) << p.section;
  }
}

}  // namespace
}  // namespace toolstest
