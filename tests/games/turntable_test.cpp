// Turntables: the band's geometry, where the wheel stands at given times and where it stops, the
// constant-speed wheel's search and lock, painted result cells, configurations that cannot turn,
// and the card that the window's centre shows after a stop (pixels of the back buffer).
#include <cmath>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "games/pieces/Turntable.h"
#include "pieces_fixture.h"

namespace gamestest {
namespace {

// Cell i of a strip picture: red 20 + 12 i, so a pixel names its cell.
DWORD CellColour(int i) { return 0xFF000000u | DWORD(20 + 12 * i) << 16 | 0x4080u; }

// The cell a red value names (the band's grey modulation may take one off).
int CellOf(DWORD rgb) { return int(std::lround((int((rgb >> 16) & 0xFF) - 20) / 12.0)); }

class TurntableTest : public PiecesTest {
 protected:
  void SetUp() override {
    PiecesTest::SetUp();
    zq_srand(7);
  }
  // A strip picture of `cells` cells of `size` pixels along the strip and `across` pixels across;
  // cell i shows the colour of cell i mod `cards` (the repeats past the strip's end).
  std::string Strip(int cells, int cards, int size, int across, bool stand) {
    const int w = stand ? across : cells * size, h = stand ? cells * size : across;
    std::string b(18, '\0');
    b[2] = 2;
    b[12] = char(w), b[13] = char(w >> 8), b[14] = char(h), b[15] = char(h >> 8);
    b[16] = 32;
    b[17] = 0x28;  // 8 alpha bits, top row first
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const DWORD c = CellColour(((stand ? y : x) / size) % cards);
        for (int k = 0; k < 4; ++k) b += char(c >> (8 * k));
      }
    Write("strip0.tga", b);
    return File("strip%d.tga") + "#0;0";
  }
  // A turntable file: 20 cards of 100 pixels on a flat horizontal band of 400 pixels in 4 units,
  // card i showing symbol 100 + i; "SECTION/key=value" lines in `changes` replace or add keys.
  std::string Table(const std::string& changes = "", bool stand = false, int cells = 20) {
    std::map<std::string, std::map<std::string, std::string>> ini = {
        {"PAINT", {{"num_unit", "4"}, {"init_radian", "0"}}},
        {"CARDS", {{"num_cards", "20"}, {"card_size", "100"}, {"blend", "1.0"}}},
        {"MAIN", {{"table_size", "400"}, {"is_stand", stand ? "true" : "false"}}},
        {"INDICES", {}}};
    std::istringstream in(changes);
    for (std::string line; std::getline(in, line);) {
      const size_t slash = line.find('/'), eq = line.find('=');
      ini[line.substr(0, slash)][line.substr(slash + 1, eq - slash - 1)] = line.substr(eq + 1);
    }
    const int cards = std::stoi(ini["CARDS"]["num_cards"]);
    const int size = std::stoi(ini["CARDS"]["card_size"]);
    for (int i = 0; i < cards; ++i)
      if (!ini["INDICES"].count(std::to_string(i)))
        ini["INDICES"][std::to_string(i)] = std::to_string(100 + i);
    if (!ini["CARDS"].count("image"))
      ini["CARDS"]["image"] =
          Strip(cells > 0 ? cells : cards, cards > 0 ? cards : 1, size > 0 ? size : 10, 30, stand);
    std::string text;
    for (const auto& [section, keys] : ini) {
      text += "[" + section + "]\n";
      for (const auto& [key, value] : keys) text += key + "=" + value + "\n";
    }
    Write("table.ini", text);
    return File("table.ini");
  }
  // Frames of dt until the wheel stands; the time it took (0.1 ms).
  long RunToStop(CTurntable& t, DWORD dt, long limit = 2000000) {
    engine->SetElapsed(dt);
    long time = 0;
    while (time < limit) {
      time += long(dt);
      if (t.Update() == -1) break;
    }
    return time;
  }
  // The back buffer after the wheel alone is drawn as the game draws it.
  void Draw(CTurntable& t) {
    ClearBack(0xFF000000);
    engine->PreparePaint(5, 6, 5, 4);
    t.Render();
  }
  // The card a cell of the private copy shows.
  int CopyCell(CTurntable& t, int x, int y) {
    BYTE r = 0;
    t.GetPrivateCopy()->GetPixelInfo(x, y, nullptr, &r, nullptr, nullptr);
    return CellOf(DWORD(r) << 16);
  }
};

TEST_F(TurntableTest, BandGeometryFlatAndBent) {
  struct Case {
    bool stand;
    float degrees;
    float step, position;
    float along[5];  // coordinate of each vertex pair along the band, from the screen position
  } cases[] = {
      {false, 0, 100, 1850, {0, 100, 200, 300, 400}},
      {true, 0, 100, 1850, {0, 100, 200, 300, 400}},
      {false, 180, 100, 1850, {0, 100, 200, 300, 400}},
      {true, 250, 100, 1850, {0, 100, 200, 300, 400}},
      // Arc 444.29 over a 400-pixel band; the pairs crowd towards both ends.
      {true, 90, 111.072f, 1827.857f, {0, 91.761f, 200, 308.239f, 400}},
      {false, 90, 111.072f, 1827.857f, {0, 91.761f, 200, 308.239f, 400}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.stand) + " " + std::to_string(c.degrees));
    CTurntable t(engine);
    ASSERT_EQ(t.Load(Table("PAINT/init_radian=" + std::to_string(c.degrees), c.stand).c_str(),
                     SScreenPoint(50, 60), "wheel"),
              1);
    EXPECT_STREQ(t.GetName(), "wheel");
    EXPECT_EQ(t.Update(), -1);  // never started: it stands
    EXPECT_FLOAT_EQ(t.GetStripLength(), 2000.0f);
    EXPECT_NEAR(t.GetSegmentStep(), c.step, 0.01f);
    EXPECT_NEAR(t.GetPosition(), c.position, 0.01f);
    ASSERT_EQ(t.GetVertexCount(), 10);
    const D3DTLVERTEX* v = t.GetVertices();
    for (int i = 0; i < 5; ++i) {
      const D3DTLVERTEX &a = v[2 * i], &b = v[2 * i + 1];
      const float texture = (c.position + i * c.step) / 2000.0f;
      if (c.stand) {
        EXPECT_NEAR(a.sy, 60 + c.along[i], 0.01f) << i;
        EXPECT_FLOAT_EQ(a.sy, b.sy);
        EXPECT_FLOAT_EQ(a.sx, 50.0f);
        EXPECT_FLOAT_EQ(b.sx, 80.0f);
        EXPECT_FLOAT_EQ(a.tu, 0.0f);
        EXPECT_FLOAT_EQ(b.tu, 1.0f);
        EXPECT_NEAR(a.tv, texture, 1e-5f);
        EXPECT_FLOAT_EQ(a.tv, b.tv);
      } else {
        EXPECT_NEAR(a.sx, 50 + c.along[i], 0.01f) << i;
        EXPECT_FLOAT_EQ(a.sx, b.sx);
        EXPECT_FLOAT_EQ(a.sy, 60.0f);
        EXPECT_FLOAT_EQ(b.sy, 90.0f);
        EXPECT_FLOAT_EQ(a.tv, 0.0f);
        EXPECT_FLOAT_EQ(b.tv, 1.0f);
        EXPECT_NEAR(a.tu, texture, 1e-5f);
        EXPECT_FLOAT_EQ(a.tu, b.tu);
      }
      EXPECT_EQ(a.color, 0xFF7F7F7Fu);
      EXPECT_FLOAT_EQ(a.rhw, 0.5f);
      EXPECT_FLOAT_EQ(a.sz, 0.5f);
    }
  }
}

TEST_F(TurntableTest, DeceleratesOntoTheStopIndexInEitherDirection) {
  // From card 0 to card 5 in 1.1 s: 205 cards forwards, or 215 backwards; after 0.55 s three
  // quarters of the way.
  struct Case {
    const char* reverse;
    float halfway;
  } cases[] = {{"0", 1225}, {"1", 1725}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reverse);
    CTurntable t(engine);
    ASSERT_EQ(
        t.Load(Table(std::string("MAIN/is_spin_direct=") + (c.reverse[0] == '1' ? "true" : "false")).c_str(),
               SScreenPoint(0, 0), ""),
        1);
    EXPECT_STREQ(t.GetName(), File("table.ini").c_str());
    t.SetStopIndex(5);
    EXPECT_EQ(t.GetCurrentIndex(), 5);
    t.SetStopIndex(9);  // ignored while turning
    EXPECT_EQ(t.GetCurrentIndex(), 5);
    engine->SetElapsed(5500);
    EXPECT_EQ(t.Update(), 0);
    EXPECT_NEAR(t.GetPosition(), c.halfway, 0.5f);
    engine->SetElapsed(5499);
    EXPECT_EQ(t.Update(), 0);
    engine->SetElapsed(2);
    EXPECT_EQ(t.Update(), -1);
    EXPECT_NEAR(t.GetPosition(), 350.0f, 0.1f);  // card 5 centred: 5.5 cards less half the window
    EXPECT_EQ(t.Update(), -1);
    EXPECT_NEAR(t.GetPosition(), 350.0f, 0.1f);
  }
}

TEST_F(TurntableTest, AStoppedWheelShowsTheResultsCardInTheWindowsCentre) {
  struct Case {
    bool stand, reverse, quickStop;
    int symbol, card;
  } cases[] = {
      {false, false, false, 113, 13}, {true, false, false, 107, 7}, {true, true, false, 102, 2},
      {false, true, false, 119, 19},  {true, false, true, 111, 11}, {false, true, true, 104, 4},
      {true, false, false, 999, 0},  // no card shows it: the wheel stays on the card it shows
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.symbol) + (c.stand ? " stand" : "") + (c.reverse ? " reverse" : "") +
                 (c.quickStop ? " quick" : ""));
    CTurntable t(engine);
    ASSERT_EQ(
        t.Load(Table(std::string("MAIN/is_spin_direct=") + (c.reverse ? "true" : "false"), c.stand).c_str(),
               SScreenPoint(100, 100), "w"),
        1);
    // A first round to card 3, then the result.
    t.SetStopIndex(3);
    RunToStop(t, 167);
    const int symbol = c.symbol;
    t.SetResult(&symbol);
    const int card = c.symbol == 999 ? 3 : c.card;
    engine->SetElapsed(1000);
    ASSERT_EQ(t.Update(), 0);
    long time = 1000;
    if (c.quickStop) t.QuickStop();
    time += RunToStop(t, 167);
    // 1.1 s for the round; after the quick stop at most a round and two cards are left.
    if (c.quickStop)
      EXPECT_LT(time, 2500);
    else
      EXPECT_NEAR(time, 11000, 167);
    EXPECT_EQ(t.GetCurrentIndex(), card);
    EXPECT_NEAR(t.GetPosition(), (card + 0.5f) * 100 - 200 + (card < 2 ? 2000 : 0), 0.5f);

    Draw(t);
    const long cx = c.stand ? 115 : 300, cy = c.stand ? 300 : 115;
    EXPECT_EQ(CellOf(Px(cx, cy)), card);
    // A card further along the band, and nothing beside it.
    EXPECT_EQ(CellOf(Px(c.stand ? cx : cx + 100, c.stand ? cy + 100 : cy)), (card + 1) % 20);
    EXPECT_EQ(Px(c.stand ? 135 : 300, c.stand ? 300 : 135), 0u);
    t.SetVisible(0);
    Draw(t);
    EXPECT_EQ(Px(cx, cy), 0u);
  }
}

TEST_F(TurntableTest, AQuickStopKeepsTheStopAndLeavesOutWholeRounds) {
  struct Case {
    DWORD before;    // time turned before the quick stop
    long remaining;  // time from the quick stop to the stop
  } cases[] = {
      // 0.1 s in: 16942 pixels left at 33884 pixels a second; 8 rounds go, 942 pixels in 56 ms.
      {1000, 556},
      // 1.05 s in: 42 pixels left, under two cards: nothing changes.
      {10500, 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    CTurntable t(engine);
    ASSERT_EQ(t.Load(Table().c_str(), SScreenPoint(0, 0), "w"), 1);
    t.SetStopIndex(5);
    engine->SetElapsed(c.before);
    ASSERT_EQ(t.Update(), 0);
    t.QuickStop();
    EXPECT_NEAR(RunToStop(t, 1), c.remaining, 2);
    EXPECT_NEAR(t.GetPosition(), 350.0f, 0.5f);
    EXPECT_EQ(t.GetCurrentIndex(), 5);
  }
  CTurntable standing(engine);
  ASSERT_EQ(standing.Load(Table().c_str(), SScreenPoint(0, 0), "w"), 1);
  standing.QuickStop();
  EXPECT_EQ(standing.Update(), -1);
  EXPECT_NEAR(standing.GetPosition(), 1850.0f, 0.01f);
}

TEST_F(TurntableTest, ThreeLinesPaintTheirCellsAndStopOnTheMiddleOne) {
  // Ten cards of 40 pixels; the picture holds the strip twice, so the window can run past its
  // end. Card i shows symbol 100 + i.
  struct Case {
    int from;        // the card the wheel stands on
    int cells[3];    // the cells the three lines land in
    float position;  // where it stops, the middle cell centred in the 120-pixel window
  } cases[] = {{4, {7, 8, 9}, 280}, {6, {9, 0, 1}, 360}};
  const int results[3] = {109, 102, 100};  // cards 9, 2 and 0
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    CTurntable t(engine);
    ASSERT_EQ(t.Load(Table("CARDS/num_cards=10\nCARDS/card_size=40\nMAIN/table_size=120\nMAIN/num_lines=3\n"
                           "PAINT/num_unit=3",
                           true, 20)
                         .c_str(),
                     SScreenPoint(100, 100), "w"),
              1);
    EXPECT_EQ(t.GetLineCount(), 3);
    t.SetStopIndex(c.from);
    RunToStop(t, 167);
    ASSERT_EQ(t.GetCurrentIndex(), c.from);

    t.SetResult(results);
    RunToStop(t, 167);
    EXPECT_EQ(t.GetCurrentIndex(), c.cells[1]);
    EXPECT_NEAR(t.GetPosition(), c.position, 0.5f);
    // Each line's card lands in exactly its cell and the cell's repeat one strip further.
    const int cards[3] = {9, 2, 0};
    std::vector<int> expected(20);
    for (int i = 0; i < 20; ++i) expected[i] = i % 10;
    for (int i = 0; i < 3; ++i) expected[c.cells[i]] = expected[c.cells[i] + 10] = cards[i];
    for (int cell = 0; cell < 20; ++cell) {
      EXPECT_EQ(CopyCell(t, 15, cell * 40 + 2), expected[cell]) << cell;
      EXPECT_EQ(CopyCell(t, 15, cell * 40 + 37), expected[cell]) << cell;
    }
    Draw(t);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(CellOf(Px(115, 120 + 40 * i)), cards[i]) << i;
  }
}

TEST_F(TurntableTest, TheBrakedWheelSearchesAfterItsPullUpTimeAndLocksOnTheTarget) {
  // Every card shows the target, so the wheel locks in the first frame that searches and stands
  // on the next. Frames of 0.15 s.
  struct Case {
    int quickStop;  // 0 none, 1 right after the result, 2 while standing before it
    long stands;    // when the wheel first reports that it stands (0.1 ms)
  } cases[] = {{0, 450000 + 1500}, {1, 90000 + 1500}, {2, 450000 + 1500}};
  std::string same;
  for (int i = 0; i < 20; ++i) same += "INDICES/" + std::to_string(i) + "=7\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.quickStop);
    CTurntableEx t(engine);
    ASSERT_EQ(t.Load(Table(same).c_str(), SScreenPoint(0, 0), "w"), 1);
    if (c.quickStop == 2) t.QuickStop();
    const int symbol = 7;
    t.SetResult(&symbol);
    if (c.quickStop == 1) t.QuickStop();
    EXPECT_NEAR(RunToStop(t, 1500), c.stands, 1500);
    EXPECT_EQ(t.IsLocked(), 1);
    // Centred exactly on the card it locked on.
    EXPECT_NEAR(std::fmod(t.GetPosition() + 200 - 50, 100.0f), 0.0f, 0.01f);
  }
  // StartPullUp: the next update already searches.
  CTurntableEx t(engine);
  ASSERT_EQ(t.Load(Table(same).c_str(), SScreenPoint(0, 0), "w"), 1);
  const int symbol = 7;
  t.SetResult(&symbol);
  t.StartPullUp();
  EXPECT_EQ(RunToStop(t, 1500), 3000);
}

TEST_F(TurntableTest, TheBrakedWheelStopsOnTheResultsCard) {
  struct Case {
    bool stand, reverse;
    int lines;
    std::vector<int> symbols;
    int centre;  // the card the window's centre shows
  } cases[] = {
      {true, false, 1, {114}, 14},
      {false, true, 1, {103}, 3},
      {true, true, 3, {105, 117, 101}, 17},
      {true, false, 1, {999}, 0},  // no card shows it: it stops on the card it showed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.symbols[0]);
    CTurntableEx t(engine);
    ASSERT_EQ(t.Load(Table("MAIN/is_spin_direct=" + std::string(c.reverse ? "true" : "false") +
                               "\nMAIN/num_lines=" + std::to_string(c.lines),
                           c.stand, 40)
                         .c_str(),
                     SScreenPoint(100, 100), "w"),
              1);
    EXPECT_EQ(t.Update(), -1);
    t.SetResult(c.symbols.data());
    t.QuickStop();
    const long time = RunToStop(t, 300);
    EXPECT_GT(time, 89000);
    EXPECT_LT(time, 120000);
    Draw(t);
    const long cx = c.stand ? 115 : 300, cy = c.stand ? 300 : 115;
    EXPECT_EQ(CellOf(Px(cx, cy)), c.centre);
    // Exactly centred: a card's width either side shows the neighbours.
    EXPECT_EQ(CellOf(Px(c.stand ? cx : cx - 45, c.stand ? cy - 45 : cy)), c.centre);
    EXPECT_EQ(CellOf(Px(c.stand ? cx : cx + 45, c.stand ? cy + 45 : cy)), c.centre);
  }
}

TEST_F(TurntableTest, ConfigurationsThatCannotTurnFailTheLoadAndStand) {
  const char* cases[] = {"CARDS/num_cards=0", "CARDS/card_size=0", "PAINT/num_unit=0",
                         "CARDS/image=nothing.tga", "CARDS/num_cards=-3"};
  for (const char* change : cases) {
    SCOPED_TRACE(change);
    for (int braked = 0; braked < 2; ++braked) {
      std::unique_ptr<CTurntable> t(braked ? new CTurntableEx(engine) : new CTurntable(engine));
      EXPECT_EQ(t->Load(Table(change).c_str(), SScreenPoint(0, 0), "w"), 0);
      const int symbols[3] = {100, 101, 102};
      t->SetResult(symbols);
      t->SetStopIndex(3);
      t->QuickStop();
      t->PaintCardCodes("a0");
      EXPECT_EQ(t->Update(), -1);
      EXPECT_EQ(t->Render(), 0);
      EXPECT_EQ(t->FindCard(101), 0);
    }
  }
  // A reload with fewer cards starts on card 0 again.
  CTurntableEx t(engine);
  ASSERT_EQ(t.Load(Table().c_str(), SScreenPoint(0, 0), "w"), 1);
  const int last = 119;
  t.SetResult(&last);
  t.StartPullUp();
  RunToStop(t, 1500);
  ASSERT_EQ(t.GetCurrentIndex(), 19);
  ASSERT_EQ(t.Load(Table("CARDS/num_cards=10").c_str(), SScreenPoint(0, 0), "w"), 1);
  EXPECT_EQ(t.GetCurrentIndex(), 0);
  const int gone = 119;
  t.SetResult(&gone);
  t.StartPullUp();
  RunToStop(t, 1500);
  EXPECT_EQ(t.GetCurrentIndex(), 0);
  CTurntable unbound(nullptr);
  EXPECT_EQ(unbound.Load(Table().c_str(), SScreenPoint(0, 0), "w"), 0);
}

}  // namespace
}  // namespace gamestest
