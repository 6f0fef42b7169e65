// The built turntable games agree with the demo server's machines: strips as long as their
// cells, every symbol on every reel, the win table's rows on the server's patterns, the bonus
// game each machine plays.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TurntableTable.h"
#include "ZqLib.h"
#include "engine_window.h"
#include "zqplatform/base.h"

namespace toolstest {
namespace {

const std::string kData = std::string(ZQ_BIN_DIR) + "/../data";

class TurntableDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("turntable-data", 816, 653);
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new CZqEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    ASSERT_EQ(pack.Load((kData + "/demo/Data.Zqs").c_str()), 1);
    engine->SetSource(&pack);
    std::string error;
    ASSERT_TRUE(pays.Load(ZQ_TURNTABLE_PAYTABLE_SOURCE, &error)) << error;
  }
  void TearDown() override {
    delete engine;
    delete app;
    CloseEngineWindow();
  }
  std::string Get(CConfig& c, const std::string& section, const std::string& key) {
    return zqGbkToUtf8(c.GetString(section.c_str(), zqUtf8ToGbk(key).c_str(), ""));
  }
  bool Load(CConfig& c, const std::string& name) {
    return engine->LoadConfig(c, zqUtf8ToGbk(name).c_str()) == 1;
  }
  // Width and height of a packed TGA picture, read from the staged file it was packed from.
  bool PictureSize(const std::string& key, int* w, int* h) {
    std::string path = kData + "/stage/" + key;
    for (char& c : path)
      if (c == '\\') c = '/';
    std::ifstream in(path, std::ios::binary);
    unsigned char head[18] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof(head))) return false;
    *w = head[12] | head[13] << 8;
    *h = head[14] | head[15] << 8;
    return pack.FindSource(zqUtf8ToGbk(key).c_str()) != nullptr;
  }
  // A turntable configuration: its strip fits its cells and its cells' symbols.
  std::set<long> CheckTurntable(const std::string& name, bool vertical, int lines) {
    CConfig t;
    EXPECT_TRUE(Load(t, name)) << name;
    const long cards = t.GetLong("CARDS", "num_cards", "0"), size = t.GetLong("CARDS", "card_size", "0");
    EXPECT_GT(cards, 0);
    EXPECT_GT(size, 0);
    EXPECT_EQ(t.GetBOOL("MAIN", "is_stand", "false") != 0, vertical) << name;
    EXPECT_EQ(t.GetLong("MAIN", "num_lines", "1"), lines) << name;
    EXPECT_GE(t.GetLong("MAIN", "table_size", "0"), lines * size) << name;
    EXPECT_GT(t.GetLong("PAINT", "num_unit", "0"), 0) << name;
    int w = 0, h = 0;
    EXPECT_TRUE(PictureSize(Get(t, "CARDS", "image"), &w, &h)) << name;
    EXPECT_EQ(vertical ? h : w, cards * size) << name;
    std::set<long> symbols;
    for (long i = 0; i < cards; ++i) symbols.insert(t.GetLong("INDICES", std::to_string(i).c_str(), "-1"));
    return symbols;
  }

  CTurntablePayTable pays;
  CZqSource pack;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
};

// Whether the server pays a line showing these three symbols by this pattern.
bool Matches(const std::string& pattern, const std::string& line) {
  for (int i = 0; i < 3; ++i)
    if (pattern[size_t(i)] != '*' && pattern[size_t(i)] != line[size_t(i)]) return false;
  return true;
}

TEST_F(TurntableDataTest, BothGamesShowTheServersMachines) {
  const struct {
    const char* key;
    const char* folder;
  } games[] = {{"1", "Sudrane"}, {"2", "Otrel"}};
  for (const auto& g : games) {
    SCOPED_TRACE(g.folder);
    const STurntableGame* machine = pays.Game(g.key);
    ASSERT_NE(machine, nullptr);
    CConfig game;
    ASSERT_TRUE(Load(game, std::string(g.folder) + "\\配置\\游戏"));
    for (const char* sound : {"bonus", "bonusget"})
      EXPECT_NE(pack.FindSource(game.GetString("MUSIC", sound, "")), nullptr) << sound;

    // Three reels of three lines, each showing every symbol the server's strips hold.
    std::set<long> strip;
    for (int r = 0; r < kTurntableReels; ++r)
      strip.insert(machine->reels[r].begin(), machine->reels[r].end());
    for (int i = 1; i <= kTurntableReels; ++i) {
      const std::string section = "TURNTABLE_" + std::to_string(i);
      EXPECT_EQ(Get(game, section, "style"), "turntable");
      EXPECT_EQ(CheckTurntable(Get(game, section, "config"), true, kTurntableLines), strip) << section;
    }
    EXPECT_EQ(Get(game, "TURNTABLE_4", "style"), "");

    // The win table: one row per pay pattern, in the server's order; each name on a row is a line
    // the server pays by that row's pattern and by none before it.
    CConfig table;
    ASSERT_TRUE(Load(table, Get(game, "WIN_TABLE", "config")));
    size_t level = 0;
    for (;; ++level) {
      std::istringstream names(Get(table, "TABLE", "level" + std::to_string(level + 1)));
      std::vector<std::string> row;
      for (std::string n; names >> n;) row.push_back(n);
      if (row.empty()) break;
      ASSERT_LT(level, machine->pays.size());
      EXPECT_LE(row.size(), 50u);
      // A line of three-line reels is its three letters and 'b'.
      EXPECT_EQ(row[0], machine->pays[level].pattern + "b");
      for (size_t n = 1; n < row.size(); ++n) {
        ASSERT_EQ(row[n].size(), 4u) << row[n];
        EXPECT_EQ(row[n][3], 'b') << row[n];
        EXPECT_TRUE(Matches(machine->pays[level].pattern, row[n])) << row[n];
        for (size_t earlier = 0; earlier < level; ++earlier)
          EXPECT_FALSE(Matches(machine->pays[earlier].pattern, row[n])) << row[n];
      }
      for (int j = 0; j <= 3; ++j)
        EXPECT_NE(Get(table, "TABLE", row[0] + std::to_string(j)), "") << row[0] << j;
    }
    EXPECT_EQ(level, machine->pays.size());

    // The bonus: ten boxes for the box game, a wheel of the prizes for the other; every target
    // the server can send lights the bonus row.
    int targets = 0;
    if (machine->bonus == STurntableGame::kBoxes) {
      targets = kTurntableMaxBoxes;
      EXPECT_NE(Get(game, "SEL_BOX", "ui_config"), "");
      for (int i = 1; i <= 10; ++i) EXPECT_NE(Get(game, "BOX_" + std::to_string(i), "image"), "") << i;
      EXPECT_EQ(Get(game, "TURNTABLE_BONUS_GAME", "style"), "");
    } else {
      targets = int(machine->prizes.size());
      std::set<long> prizes;
      for (int i = 0; i < targets; ++i) prizes.insert(i);
      EXPECT_EQ(CheckTurntable(Get(game, "TURNTABLE_BONUS_GAME", "config"), false, 1), prizes);
      EXPECT_EQ(Get(game, "BOX_1", "image"), "");
      EXPECT_EQ(Get(game, "SEL_BOX", "ui_config"), "");
    }
    for (int i = 0; i < targets; ++i) EXPECT_NE(Get(table, "BONUS", std::to_string(i)), "") << i;
  }
}

}  // namespace
}  // namespace toolstest
