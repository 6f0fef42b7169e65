// Card reels: where a landed reel rests and what its window shows (pixels of the back buffer
// against the cells' cards), the bounce, the neighbours of a result, and the tile spins.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "ZqLib.h"
#include "engine_window.h"
#include "games/pieces/CardReel.h"
#include "games/pieces/CardSheet.h"
#include "runtime_support.h"
#include "tga_files.h"

namespace {

// Each card of the sheet has its own colour: red from the rank, green from the suit.
DWORD CardColor(char rank, char suit) {
  return 0xFF000000u | DWORD(20 + (rank - 'a') * 18) << 16 | DWORD(40 + (suit - '0') * 60) << 8 | 0x80u;
}

class CardReelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd = OpenEngineWindow("reels");
    app = new CZqApp;
    ASSERT_EQ(app->InitApp(wnd), 1);
    engine = new CZqEngine;
    ASSERT_GE(engine->InitEngine(wnd, 800, 600, 0), 0);
    // 4 suits x 13 ranks of 30x40 cards.
    WriteSolidTga(dir.file("sheet.tga"), 120, 520, 0xFF000000);
    std::ofstream(dir.file("cards.ini"))
        << "[MainCard]\nCardHeight=40\nCardWidth=30\nCardImage=" << dir.file("sheet.tga") << "\n";
    sheet = new CCardSheet(engine);
    ASSERT_EQ(sheet->Load(dir.file("cards.ini").c_str()), 1);
    CZqTexture* s = sheet->GetSheet();
    for (char r = 'a'; r <= 'm'; ++r)
      for (char u = '0'; u <= '3'; ++u) {
        SScreenRect cell((u - '0') * 30, (r - 'a') * 40, (u - '0') * 30 + 30, (r - 'a') * 40 + 40);
        s->Clear(s->ConvertColor(CardColor(r, u)), &cell);
      }
    zq_srand(1);
  }
  void TearDown() override {
    delete sheet;
    delete engine;
    delete app;
    CloseEngineWindow();
  }
  // A reel of ten cards of 40 pixels under a 90-degree arc, 120 pixels high at (100, 100);
  // "key=value" lines in `changes` replace the defaults.
  bool LoadReel(CCardReel& reel, const std::string& changes = "") {
    std::map<std::string, std::string> keys = {
        {"pos", "100,100"},  {"radian", "90"},      {"num_unit", "30"},   {"num_cards", "10"},
        {"card_size", "40"}, {"table_size", "120"}, {"time1", "5000"},    {"time2", "3000"},
        {"speed1", "2000"},  {"speed2", "200"},     {"adjustsize", "1.5"}};
    std::istringstream in(changes);
    for (std::string line; std::getline(in, line);)
      keys[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    std::ofstream ini(dir.file("game.ini"));
    ini << "[TB_1]\n";
    for (const auto& [key, value] : keys) ini << key << "=" << value << "\n";
    ini.close();
    CConfig config;
    engine->LoadConfig(config, dir.file("game.ini").c_str());
    return reel.Load(config, "TB_1", sheet) == 1;
  }
  // Runs the reel in frames of dt until it rests; the number of frames.
  int RunToRest(CCardReel& reel, DWORD dt, int limit = 2000) {
    int frames = 0;
    while (reel.IsTurning() && frames < limit) {
      reel.Step(dt);
      ++frames;
    }
    return frames;
  }
  // The strip cell a screen row of the reel shows, from the mesh (rows interpolated as drawn).
  int CellAt(const CCardReel& reel, float y, float* fraction) {
    const D3DTLVERTEX* v = reel.GetVertices();
    for (int j = 0; 2 * j + 3 < reel.GetVertexCount(); ++j) {
      const float y0 = v[2 * j].sy, y1 = v[2 * j + 2].sy;
      if (y < y0 || y >= y1) continue;
      const float tv = v[2 * j].tv + (v[2 * j + 2].tv - v[2 * j].tv) * (y - y0) / (y1 - y0);
      const float strip = tv * float(reel.GetStrip()->GetHeight());
      *fraction = strip / 40.0f - std::floor(strip / 40.0f);
      return int(strip / 40.0f);
    }
    return -1;
  }
  DWORD Pixel(long x, long y) {
    BYTE r = 0, g = 0, b = 0;
    engine->GetBackSurface()->GetPixelInfo(x, y, nullptr, &r, &g, &b);
    return 0xFF000000u | DWORD(r) << 16 | DWORD(g) << 8 | b;
  }
  DWORD StripPixel(const CCardReel& reel, int cell) {
    BYTE r = 0, g = 0, b = 0;
    reel.GetStrip()->GetPixelInfo(15, cell * 40 + 20, nullptr, &r, &g, &b);
    return 0xFF000000u | DWORD(r) << 16 | DWORD(g) << 8 | b;
  }

  ScratchDir dir;
  HWND wnd = nullptr;
  CZqApp* app = nullptr;
  CZqEngine* engine = nullptr;
  CCardSheet* sheet = nullptr;
};

TEST_F(CardReelTest, ALandedCardRestsInTheWindowsMiddleBetweenItsNeighbours) {
  CCardReel reel(engine);
  ASSERT_TRUE(LoadReel(reel));
  reel.FillRandomCards();
  // Radius 60 / sin 45 degrees, arc 133 pixels, strip 400 + 5 cells; rest at 1.5 cells past it.
  EXPECT_EQ(reel.GetHalfArc(), 66);
  EXPECT_EQ(reel.GetStripLength(), 400);
  EXPECT_EQ(reel.GetRestPosition(), 460);
  EXPECT_EQ(reel.GetStrip()->GetHeight(), 600u);
  EXPECT_EQ(reel.GetVertexCount(), 62);
  EXPECT_FLOAT_EQ(reel.GetVertices()[0].sy, 100.0f);  // the top row on the window's top edge

  reel.SetResultCard("e2");
  EXPECT_EQ(reel.GetState(), CCardReel::kCardSpin);
  RunToRest(reel, 167);
  EXPECT_EQ(reel.GetPosition(), reel.GetRestPosition());

  CZqSurface* back = engine->GetBackSurface();
  back->Clear(back->ConvertColor(0xFF000000));
  reel.Render();
  // Every screen row of the window shows the card of the cell the mesh maps it to, and the middle
  // shows the result with its two neighbours above and below.
  std::set<int> cellsSeen;
  for (int y = 101; y < 215; ++y) {
    float f = 0;
    const int cell = CellAt(reel, y + 0.5f, &f);
    if (cell < 0 || f < 0.1f || f > 0.9f) continue;  // filtered edges between two cards
    const char* code = reel.GetCell(cell);
    ASSERT_EQ(std::strlen(code), 2u) << cell;
    EXPECT_EQ(Pixel(115, y), CardColor(code[0], code[1])) << "row " << y << " cell " << cell;
    cellsSeen.insert(cell);
  }
  EXPECT_TRUE(cellsSeen.count(10) && cellsSeen.count(11) && cellsSeen.count(12));
  EXPECT_EQ(Pixel(115, 160), CardColor('e', '2'));
  EXPECT_STREQ(reel.GetCell(11), "e2");
  EXPECT_STREQ(reel.GetCell(10), reel.GetCell(0));
  EXPECT_STREQ(reel.GetCell(12), reel.GetCell(2));
  EXPECT_EQ(Pixel(99, 160), 0xFF000000u);  // nothing beside the reel
  EXPECT_EQ(Pixel(130, 160), 0xFF000000u);
}

TEST_F(CardReelTest, ACardSpinLandsThenBouncesSevenPixelsAndBack) {
  CCardReel reel(engine);
  ASSERT_TRUE(LoadReel(reel));
  reel.FillRandomCards();
  reel.SetResultCard("m3");
  // 10 ms frames at 2000 pixels a second: 20 pixels a frame, full speed for 0.5 s, then the
  // landing 1.5 cells short of where it stood.
  int frames = 0, lowest = 1 << 30;
  bool wrapped = false;
  int last = reel.GetPosition();
  while (reel.GetState() == CCardReel::kCardSpin || reel.GetState() == CCardReel::kCardLanding) {
    reel.Step(100);
    ++frames;
    lowest = std::min(lowest, reel.GetPosition());
    wrapped = wrapped || reel.GetPosition() > last;
    last = reel.GetPosition();
    ASSERT_LT(frames, 1000);
  }
  EXPECT_TRUE(wrapped);  // below the half arc the strip starts again one strip length lower
  EXPECT_GE(lowest, reel.GetHalfArc());
  ASSERT_EQ(reel.GetState(), CCardReel::kBounce);
  const int rest = reel.GetRestPosition();
  EXPECT_EQ(reel.GetPosition(), rest);
  // More than 40 ms at rest, 7 pixels off, more than 30 ms later back.
  const int expected[] = {rest, rest, rest, rest, rest + 7, rest + 7, rest + 7, rest + 7, rest};
  const int states[] = {3, 3, 3, 3, 4, 4, 4, 4, 0};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(reel.Step(100), states[i]) << i;
    EXPECT_EQ(reel.GetPosition(), expected[i]) << i;
  }
  const float v0 = reel.GetVertices()[0].tv;
  EXPECT_FLOAT_EQ(v0, float(rest - 66) / 600.0f);
  reel.Step(100);
  EXPECT_EQ(reel.GetPosition(), rest);  // idle: nothing moves
}

TEST_F(CardReelTest, NeighboursAreOtherRanksOfTheThirteenAndArePainted) {
  CCardReel reel(engine);
  ASSERT_TRUE(LoadReel(reel));
  std::set<char> neighbourRanks;
  for (int round = 0; round < 400; ++round) {
    const char code[3] = {char('a' + round % 13), char('0' + round % 4), 0};
    reel.SetResultCard(code);
    const char* above = reel.GetCell(0);
    const char* below = reel.GetCell(2);
    ASSERT_STREQ(reel.GetCell(1), code);
    for (const char* n : {above, below}) {
      ASSERT_GE(n[0], 'a');
      ASSERT_LE(n[0], 'm') << "a rank past the deck";
      ASSERT_GE(n[1], '0');
      ASSERT_LE(n[1], '3');
      EXPECT_NE(n[0], code[0]);
      neighbourRanks.insert(n[0]);
    }
    EXPECT_NE(above[0], below[0]);
    // The strip holds the pictures of those cards, and their copies one strip length lower.
    for (int cell : {0, 1, 2})
      ASSERT_EQ(StripPixel(reel, cell), CardColor(reel.GetCell(cell)[0], reel.GetCell(cell)[1])) << cell;
    ASSERT_EQ(StripPixel(reel, 10), StripPixel(reel, 0));
    ASSERT_EQ(StripPixel(reel, 12), StripPixel(reel, 2));
  }
  EXPECT_EQ(neighbourRanks.size(), 13u);
  // A code outside the deck is not landed.
  reel.Step(100000);
  while (reel.IsTurning()) reel.Step(100);
  reel.SetResultCard("n0");
  EXPECT_EQ(reel.GetState(), CCardReel::kIdle);
}

TEST_F(CardReelTest, TileSpinsSlowDownAloneWithoutABounceOrBounceWhenStopped) {
  CCardReel reel(engine);
  ASSERT_TRUE(LoadReel(reel));
  reel.FillRandomTiles();
  reel.Start("abc");
  EXPECT_STREQ(reel.GetCell(1), "b");
  EXPECT_EQ(reel.Stop(), 1);  // a stop at full speed lands at once ...
  EXPECT_EQ(reel.GetState(), CCardReel::kLanding);
  bool bounced = false;
  for (int i = 0; i < 2000 && reel.IsTurning(); ++i) {
    reel.Step(100);
    bounced = bounced || reel.GetState() == CCardReel::kBounce;
  }
  EXPECT_TRUE(bounced);  // ... and bounces
  EXPECT_EQ(reel.GetPosition(), reel.GetRestPosition());
  EXPECT_EQ(reel.Stop(), CCardReel::kIdle);  // nothing to stop

  reel.Start("def");
  bool slowed = false;
  bounced = false;
  for (int i = 0; i < 5000 && reel.IsTurning(); ++i) {
    reel.Step(100);
    slowed = slowed || reel.GetState() == CCardReel::kSlowing;
    bounced = bounced || reel.GetState() == CCardReel::kBounce;
  }
  EXPECT_TRUE(slowed);
  EXPECT_FALSE(bounced);
  EXPECT_EQ(reel.GetState(), CCardReel::kIdle);
  EXPECT_EQ(reel.GetPosition(), reel.GetRestPosition());

  // The third start repaints the whole strip before its result.
  std::string before;
  for (int c = 3; c < 10; ++c) before += reel.GetCell(c);
  reel.Start("ghi");
  std::string after;
  for (int c = 3; c < 10; ++c) after += reel.GetCell(c);
  EXPECT_NE(before, after);
  EXPECT_STREQ(reel.GetCell(0), "g");
}

TEST_F(CardReelTest, BadShapesFailToLoadAndTimeTwoBelowOneMeansNoDeceleration) {
  CCardReel reel(engine);
  EXPECT_FALSE(LoadReel(reel, "num_unit=-1\n"));
  EXPECT_FALSE(LoadReel(reel, "radian=0\n"));
  CCardReel noSheet(engine);
  CConfig config;
  engine->LoadConfig(config, dir.file("game.ini").c_str());
  EXPECT_EQ(noSheet.Load(config, "TB_1", nullptr), 0);
  // With time2 0 a tile reel keeps its full speed until it lands.
  ASSERT_TRUE(LoadReel(reel, "time2=0\ntime1=100\n"));
  reel.Start("abc");
  reel.Step(100);
  ASSERT_EQ(reel.GetState(), CCardReel::kSlowing);
  const int p = reel.GetPosition();
  reel.Step(100);
  EXPECT_EQ(p - reel.GetPosition(), 20);
}

}  // namespace
