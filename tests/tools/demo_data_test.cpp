// The built sample data, read through the engine as the client reads it: the text
// configuration, the game list, each game's configuration and its first screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

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

}  // namespace
}  // namespace toolstest
