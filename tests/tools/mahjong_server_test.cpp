// The demo server's mahjong machine: rows evaluated against known grids, its pay table file,
// whole rounds and free games as the client sees them on the socket, the pool, the measured
// return, and requests out of turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Balances.h"
#include "DemoMode.h"
#include "MahjongReturn.h"
#include "MahjongTable.h"
#include "PokerHand.h"
#include "SlotServer.h"
#include "config_files.h"
#include "net/NetPacket.h"
#include "../net/net_test_util.h"

namespace toolstest {
namespace {

using nettest::RawSocket;

CMahjongPayTable ShippedPays() {
  CMahjongPayTable pays;
  std::string error;
  EXPECT_TRUE(pays.Load(ZQ_MAHJONG_PAYTABLE_SOURCE, &error)) << error;
  return pays;
}

std::string Flags(const int (&f)[kMahjongRows]) {
  return {char('0' + f[0]), char('0' + f[1]), char('0' + f[2])};
}

// Tiles of the shipped table: a 中 b 發 c 东 d 九万 e 五筒 f 三条; pays per line unit
// a 100, b 40, c 20, d 10, e 6, f 4 for three alike; g..l 4 2 1 1 1 1 for two alike from the
// left; m {abc} 4, n {def} 2, o a*a 2.
TEST(MahjongTable, RowsPayTheirBestAwardOnTheLinesTheBetPlays) {
  const CMahjongPayTable pays = ShippedPays();
  const struct {
    const char* tiles;  // top, middle, bottom rows
    int units;
    bool free;
    const char* awards;
    int64_t lineWin;  // bet unit 20
    const char* bonusRows;
    const char* lamps;
    int64_t allMahjong;
    bool jackpot;
  } cases[] = {
      {"abc"
       "def"
       "fed",
       3, false, "mnn", 20 * (4 + 2 + 2), "000", "000", 40, false},
      {"abc"
       "def"
       "fed",
       1, false, "pnp", 20 * 2, "000", "000", 0, false},  // middle row only
      {"abc"
       "def"
       "fed",
       2, false, "mnp", 20 * (4 + 2), "000", "000", 0, false},  // top and middle
      {"ccc"
       "cce"
       "cec",
       3, false, "cip", 20 * (20 + 1), "100", "000", 0, false},
      {"aaa"
       "eef"
       "bab",
       1, false, "pkp", 20, "000", "000", 0, false},  // jackpot row not played
      {"aaa"
       "eef"
       "bab",
       3, false, "akp", 20 * (100 + 1), "100", "001", 0, true},
      {"aca"
       "bdb"
       "fdf",
       3, false, "opp", 20 * 2, "000", "110", 0, false},  // 三条 lights no lamp
      {"aab"
       "eee"
       "ffa",
       3, false, "gel", 20 * (4 + 6 + 1), "010", "000", 40, false},
      {"bac"
       "cab"
       "dfe",
       3, false, "mmn", 20 * (4 + 4 + 2), "000", "000", 40, false},  // any order
      {"bcd"
       "efa"
       "dcb",
       3, false, "ppp", 0, "000", "000", 0, false},
      // A free game plays every line, deals no bonus cards and has no extras.
      {"aaa"
       "aba"
       "ddd",
       1, true, "aod", 20 * (100 + 2 + 10), "000", "000", 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tiles);
    CMahjongTable table(pays, 1, 50000);
    SMahjongMachine machine{1000, 0, 0};
    int rack = 0;
    SMahjongResult r;
    table.Evaluate(c.tiles, c.units, 20, c.free, &rack, machine, &r);
    EXPECT_STREQ(r.awards, c.awards);
    EXPECT_EQ(r.lineWin, c.lineWin);
    EXPECT_EQ(Flags(r.bonusRows), c.bonusRows);
    EXPECT_EQ(Flags(r.lampRows), c.lamps);
    EXPECT_EQ(machine.lamps, int(std::count(c.lamps, c.lamps + 3, '1')));
    EXPECT_EQ(r.allMahjong, c.allMahjong);
    EXPECT_EQ(r.jackpot, c.jackpot);
    EXPECT_EQ(r.bet, c.free ? 0 : 20 * c.units);
    EXPECT_EQ(r.heavenly, 0);
  }
}

TEST(MahjongTable, TheFifthLampRollsTheDiceAndTheThirdRowOfBonusCardsWinsFreeGames) {
  const CMahjongPayTable pays = ShippedPays();
  CMahjongTable table(pays, 5, 50000);
  SMahjongMachine machine{1000, 3, 0};
  int rack = 2;
  SMahjongResult r;
  // Two lamps on three lit: five, the dice pay their sum, nothing carries over.
  table.Evaluate(
      "aca"
      "bcb"
      "ddd",
      3, 20, false, &rack, machine, &r);
  EXPECT_EQ(Flags(r.lampRows), "110");
  EXPECT_GE(r.dice[0], 1);
  EXPECT_LE(r.dice[0], 6);
  EXPECT_GE(r.dice[1], 1);
  EXPECT_LE(r.dice[1], 6);
  EXPECT_EQ(r.diceWin, 20 * (r.dice[0] + r.dice[1]));
  EXPECT_EQ(machine.lamps, 0);
  // The third row fills the rack: free games of a listed count, the rack empty again.
  EXPECT_EQ(Flags(r.bonusRows), "001");
  EXPECT_EQ(rack, 0);
  bool listed = false;
  for (const auto& f : pays.FreeGames()) listed = listed || f.count == r.freeGamesWon;
  EXPECT_TRUE(listed) << r.freeGamesWon;
  // Rows past a full rack deal no cards; lamps below the maximum bet stay dark.
  rack = 2;
  table.Evaluate(
      "ccc"
      "ddd"
      "aba",
      3, 20, false, &rack, machine, &r);
  EXPECT_EQ(Flags(r.bonusRows), "100");
  EXPECT_GT(r.freeGamesWon, 0);
  machine.lamps = 4;
  table.Evaluate(
      "bab"
      "bab"
      "bab",
      2, 20, false, &rack, machine, &r);
  EXPECT_EQ(Flags(r.lampRows), "000");
  EXPECT_EQ(machine.lamps, 4);
  EXPECT_EQ(r.diceWin, 0);
}

TEST(MahjongTable, ThePoolGrowsByItsShareOfEachBetAndNineAlikeWinIt) {
  const CMahjongPayTable pays = ShippedPays();
  CMahjongTable table(pays, 1, 50000);
  SMahjongMachine machine{1000, 0, 0};
  int rack = 0;
  SMahjongResult r;
  // One percent of 60 is 0.6 credits: the hundredths carry until they make whole credits.
  table.Evaluate(
      "bcd"
      "efa"
      "dcb",
      3, 20, false, &rack, machine, &r);
  EXPECT_EQ(r.pool, 1000);
  table.Evaluate(
      "bcd"
      "efa"
      "dcb",
      3, 20, false, &rack, machine, &r);
  EXPECT_EQ(r.pool, 1001);
  EXPECT_EQ(machine.carry, 20);
  // Free games add nothing to the pool.
  table.Evaluate(
      "bcd"
      "efa"
      "dcb",
      3, 20, true, &rack, machine, &r);
  EXPECT_EQ(r.pool, 1001);
  // Nine alike below the maximum bet pay their lines but not the pool.
  table.Evaluate("eeeeeeeee", 2, 20, false, &rack, machine, &r);
  EXPECT_EQ(r.heavenly, 0);
  EXPECT_EQ(r.pool, 1001);
  table.Evaluate("eeeeeeeee", 3, 20, false, &rack, machine, &r);
  EXPECT_EQ(r.heavenly, 1002);  // the share of this bet goes in first
  EXPECT_EQ(r.pool, 50000);
  EXPECT_EQ(r.allMahjong, 40);
  EXPECT_EQ(r.lineWin, 20 * 6 * 3);
  EXPECT_EQ(r.Paid(), 1002 + 40 + 360);
}

TEST(MahjongPayTable, TheShippedFileLoadsAndBrokenTablesAreRefusedWithTheirLine) {
  const CMahjongPayTable pays = ShippedPays();
  EXPECT_EQ(pays.Tiles(), "abcdef");
  EXPECT_EQ(pays.Jackpot(), 'a');
  EXPECT_EQ(pays.FreeGames().size(), 8u);
  std::ifstream in(ZQ_MAHJONG_PAYTABLE_SOURCE);
  std::stringstream text;
  text << in.rdbuf();
  const std::string good = text.str();
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  const struct {
    std::string text;
    const char* error;
  } cases[] = {
      {replaced("f=6\n", ""), "[TILES] wants six tiles"},
      {replaced("f=6\n", "a=6\n"), "tile \"a\" is not a new letter"},
      {replaced("f=6\n", "f=0\n"), "wants a weight"},
      {replaced("o=a*a,2\n", ""), "fifteen awards"},
      {replaced("o=a*a,2\n", "o=a*,2\n"), "award \"o\" wants pattern,pays"},
      {replaced("o=a*a,2\n", "o=axa,2\n"), "award o names a tile"},
      {replaced("o=a*a,2\n", "o=a*a,0\n"), "award \"o\" wants pattern,pays"},
      {replaced("o=a*a,2\n", "n=a*a,2\n"), "award \"n\" is not a new letter"},
      {replaced("jackpot=a", "jackpot=z"), "jackpot wants an award letter"},
      {replaced("jackpot=a\n", ""), "[BONUS] lacks jackpot"},
      {replaced("pool_share=1", "pool_share=80"), "pool_share wants"},
      {replaced("lamp_tiles=ab", "lamp_tiles=az"), "lamp_tiles names a tile"},
      {replaced("free_games=5:8", "free_games=5:8,1:1"), "one to eight counts"},
      {replaced("free_games=5:8", "free_games=5"), "free_games wants count:weight"},
      {replaced("a=2\n", "a 2\n"), "no '='"},
  };
  for (const auto& c : cases) {
    CMahjongPayTable table;
    std::string error;
    EXPECT_FALSE(table.Parse(c.text, &error)) << c.error;
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
  CMahjongPayTable missing;
  std::string error;
  EXPECT_FALSE(missing.Load("/nonexistent/pays.ini", &error));
}

TEST(MahjongReturn, TheMeasuredReturnLiesWithinNinetyAndNinetyEightPercentAtEveryBet) {
  const CMahjongPayTable pays = ShippedPays();
  for (int units = 1; units <= 3; ++units) {
    const SMahjongReturn r = MeasureMahjongReturn(pays, 11, 200000, units, 20, 50000);
    SCOPED_TRACE(r.Text());
    EXPECT_EQ(r.rounds, 200000);
    EXPECT_EQ(r.charged, 200000 * 20 * units);
    EXPECT_GT(r.freeGames, 0);
    EXPECT_GE(r.Percent(r.Paid()), 90.0);
    EXPECT_LE(r.Percent(r.Paid()), 98.0);
    // The extras belong to the maximum bet.
    EXPECT_EQ(r.dice > 0 && r.allMahjong > 0, units == 3);
  }
}

// A demo server in this process with both pay tables, a raw client speaking texts, and the log.
class MahjongSession {
 public:
  MahjongSession(const std::string& db, const std::string& log, uint32_t seed, int64_t startCredits = 10000)
      : mahjong(ShippedPays()), logPath(log) {
    std::string error;
    EXPECT_TRUE(poker.Load(ZQ_POKER_PAYTABLE_SOURCE, &error)) << error;
    EXPECT_TRUE(book.Open(db, &error)) << error;
    logFile = std::fopen(log.c_str(), "w");
    CDemoMode::SOptions options;
    options.startCredits = startCredits;
    options.pokerPays = &poker;
    options.mahjongPays = &mahjong;
    options.seed = seed;
    mode = std::make_unique<CDemoMode>(book, options, logFile);
    server = std::make_unique<CSlotServer>(*mode);
    EXPECT_TRUE(server->Listen(0, &error)) << error;
    EXPECT_TRUE(peer.Connect(server->Port()));
    server->Step(2000);
  }
  ~MahjongSession() {
    server.reset();
    mode.reset();
    if (logFile) std::fclose(logFile);
  }
  void Send(const std::string& text) {
    CNetPacket p(text.c_str(), int(text.size()) + 1);
    p.Scramble();
    peer.Send(std::vector<uint8_t>(p.GetFrame(), p.GetFrame() + p.GetFrameLength()));
    for (size_t n = server->Requests().size(); server->Requests().size() == n && server->Step(2000);) {
    }
  }
  std::vector<std::string> Replies(size_t n) {
    std::vector<std::string> out;
    while (out.size() < n) {
      std::vector<uint8_t> head = peer.Read(5, 500);
      if (head.size() < 5) break;
      const int32_t len = int32_t(head[1] | head[2] << 8 | head[3] << 16 | uint32_t(head[4]) << 24);
      std::vector<uint8_t> body = peer.Read(size_t(len), 500);
      head.insert(head.end(), body.begin(), body.end());
      wire.insert(wire.end(), head.begin(), head.end());
      CNetPacket p(head.data(), int(head.size()));
      if (p.GetPayloadLength() <= 0) break;
      out.emplace_back(reinterpret_cast<const char*>(p.GetFrame() + 5));
    }
    return out;
  }
  bool NoMoreReplies() { return peer.Read(1, 100).empty(); }
  std::vector<std::string> Enter(const char* user = "183") {
    Send(std::string("1500 cs 0086 4 7 ") + user);
    Send("1510 7");
    return Replies(4);
  }
  std::string Log() {
    std::fflush(logFile);
    std::ifstream in(logPath);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  CPokerPayTable poker;
  CMahjongPayTable mahjong;
  std::string logPath;
  CBalances book;
  std::FILE* logFile = nullptr;
  std::unique_ptr<CDemoMode> mode;
  std::unique_ptr<CSlotServer> server;
  RawSocket peer;
  std::vector<uint8_t> wire;
};

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

int64_t CreditsOf(const std::string& reply1521) { return std::atoll(Words(reply1521).at(3).c_str()); }

// One round as the client plays it: 1530, then 1540 luck; the 1543 fields (f[0] the code) and
// the 1521 total.
struct SRound {
  std::vector<std::string> f;
  int64_t total = -1;
  int64_t N(int i) const { return std::atoll(f.at(size_t(i)).c_str()); }
};

SRound Play(MahjongSession& s, int units) {
  s.Send("1530 1 " + std::to_string(20 * units) + " 1 7 183");
  EXPECT_EQ(s.Replies(1), std::vector<std::string>{"1531 7 1 " + std::to_string(20 * units)});
  s.Send("1540 luck");
  const std::vector<std::string> r = s.Replies(2);
  SRound round;
  if (r.size() != 2) {
    ADD_FAILURE() << "no result";
    return round;
  }
  round.f = Words(r[0]);
  round.total = CreditsOf(r[1]);
  return round;
}

TEST(MahjongServer, ARoundPaysTheLinesItShowsAndTheBookKeepsEveryCredit) {
  zqtest::ScratchDir dir;
  MahjongSession s(dir.file("book.db"), dir.file("log"), 7);
  const std::vector<std::string> entered = s.Enter();
  ASSERT_EQ(entered.size(), 4u);
  EXPECT_EQ(Words(entered[2]).at(5), "20");      // bet unit
  EXPECT_EQ(Words(entered[2]).at(10), "50000");  // pool
  EXPECT_EQ(Words(entered[2]).at(11), "0");      // lamps
  int64_t credits = 10000;
  bool sawWin = false, sawLoss = false;
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    const int units = 1 + round % 3;
    const SRound r = Play(s, units);
    ASSERT_EQ(r.f.size(), 13u);
    EXPECT_EQ(r.f[0], "1543");
    const std::string tiles = r.f[3], awards = r.f[4];
    ASSERT_EQ(tiles.size(), 9u);
    ASSERT_EQ(awards.size(), 3u);
    for (char t : tiles) EXPECT_NE(s.mahjong.Tiles().find(t), std::string::npos) << tiles;
    // Each played row shows the award its tiles make; rows the bet does not play show 'p'.
    static const char* kPlayed[] = {"010", "110", "111"};
    int64_t lines = 0;
    for (int row = 0; row < 3; ++row) {
      const char want = kPlayed[units - 1][row] == '1' ? s.mahjong.Award(tiles.c_str() + 3 * row) : 'p';
      EXPECT_EQ(awards[size_t(row)], want) << tiles;
      if (want != 'p') lines += s.mahjong.Pays(want) * 20;
    }
    EXPECT_EQ(r.N(2), lines);
    EXPECT_EQ(r.f[1], awards.find('a') != std::string::npos ? "3" : lines > 0 ? "1" : "0");
    credits += r.N(2) + r.N(7) + r.N(8) + r.N(11) - 20 * units;
    // The 1521 leaves out the dice and all-mahjong bonuses, which the client adds as it counts.
    EXPECT_EQ(r.total, credits - r.N(7) - r.N(11));
    EXPECT_EQ(s.book.Credits("183", 0), credits);
    EXPECT_EQ(s.book.Machine(7, 0).pool, r.N(12));
    sawWin = sawWin || lines > 0;
    sawLoss = sawLoss || lines == 0;
    if (r.N(6) > 0) break;  // free games are the next test's
  }
  EXPECT_TRUE(sawWin && sawLoss);
  EXPECT_GT(s.book.Machine(7, 0).pool, 50000);
}

// A seed whose free games come within the first rounds at the maximum bet.
constexpr uint32_t kEarlyFreeSeed = 9;

TEST(MahjongServer, FreeGamesArePlayedAtTheMaximumBetWithoutCharge) {
  zqtest::ScratchDir dir;
  MahjongSession s(dir.file("book.db"), dir.file("log"), kEarlyFreeSeed);
  s.Enter();
  int rounds = 0;
  int free = 0;
  SRound r;
  for (; rounds < 60 && !free; ++rounds) {
    r = Play(s, 3);
    ASSERT_EQ(r.f.size(), 13u);
    free = int(r.N(6));
  }
  ASSERT_GT(free, 0) << "no free games in " << rounds << " rounds";
  int64_t credits = s.book.Credits("183", 0);
  // During the series a bet of fewer units is refused; the maximum bet costs nothing.
  s.Send("1530 1 20 1 7 183");
  EXPECT_EQ(s.Replies(2), (std::vector<std::string>{"1531 7 0 0", "1521 183 7 " + std::to_string(credits)}));
  for (int i = 0; i < free; ++i) {
    SCOPED_TRACE(i);
    r = Play(s, 3);
    ASSERT_EQ(r.f.size(), 13u);
    for (int row = 0; row < 3; ++row)  // a free game plays every line
      EXPECT_EQ(r.f[4][size_t(row)], s.mahjong.Award(r.f[3].c_str() + 3 * row)) << r.f[3];
    EXPECT_EQ(r.f[1], r.f[4].find('a') != std::string::npos ? "3" : r.N(2) > 0 ? "2" : "0");
    // No bonus cards, free games, lamps or bonuses inside the series.
    EXPECT_EQ(r.f[5] + r.f[6] + r.f[7] + r.f[8] + r.f[9] + r.f[11], "0000000000");
    credits += r.N(2);
    EXPECT_EQ(r.total, credits);
  }
  EXPECT_EQ(s.book.Credits("183", 0), credits);
  // The series is over: the next bet is charged again.
  r = Play(s, 1);
  EXPECT_EQ(s.book.Credits("183", 0), credits - 20 + r.N(2) + r.N(7) + r.N(8) + r.N(11));
}

TEST(MahjongServer, FreeGamesLeftWhenThePlayerGoesArePlayedOutAndPaid) {
  zqtest::ScratchDir dir;
  int64_t before = 0;
  {
    MahjongSession s(dir.file("book.db"), dir.file("log"), kEarlyFreeSeed);
    s.Enter();
    for (int i = 0; i < 60; ++i)
      if (Play(s, 3).N(6) > 0) break;
    before = s.book.Credits("183", 0);
    s.Send("1530 1 60 1 7 183");  // an open free game too
    s.Replies(1);
    s.Send("1599 quit");
    EXPECT_NE(s.Log().find("played out"), std::string::npos);
    // Every free game paid its lines into the book; none was charged.
    EXPECT_GE(s.book.Credits("183", 0), before);
  }
  // The series went with its session: a bet of one unit is taken again.
  MahjongSession s(dir.file("book.db"), dir.file("log2"), 1);
  s.Enter();
  Play(s, 1);
}

// The requests of a short session, with a bet of each size.
std::vector<uint8_t> PlayedBytes(const std::string& folder, uint32_t seed) {
  MahjongSession s(folder + "/book.db", folder + "/log", seed);
  s.Enter("ann");
  for (const char* bet : {"20", "40", "60", "60", "20"}) {
    s.Send(std::string("1530 1 ") + bet + " 1 7 ann");
    s.Send("1540 luck");
    s.Replies(3);
  }
  return s.wire;
}

TEST(MahjongServer, TheSameSeedRepeatsASessionByteForByte) {
  zqtest::ScratchDir one, two, three;
  const std::vector<uint8_t> first = PlayedBytes(one.path(), 12345);
  const std::vector<uint8_t> again = PlayedBytes(two.path(), 12345);
  const std::vector<uint8_t> other = PlayedBytes(three.path(), 54321);
  ASSERT_GT(first.size(), 500u);
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
}

TEST(MahjongServer, RequestsOutOfTurnOrMalformedAreLoggedAndChangeNothing) {
  zqtest::ScratchDir dir;
  MahjongSession s(dir.file("book.db"), dir.file("log"), 3, 50);
  s.Send("1540 luck");  // before any session
  s.Enter();
  s.Send("1540 luck");  // no bet
  s.Send("1540");
  EXPECT_TRUE(s.NoMoreReplies());
  for (const char* bet : {"1530 1 80 1 7 183", "1530 1 30 1 7 183", "1530 1 0 1 7 183", "1530 1 x 1 7 183",
                          "1530", "1530 1 60 1 7 183", "1530 1 -20 1 7 183"}) {
    SCOPED_TRACE(bet);
    s.Send(bet);
    EXPECT_EQ(s.Replies(2), (std::vector<std::string>{"1531 7 0 0", "1521 183 7 50"}));
  }
  s.Send("1530 1 40 1 7 183");
  EXPECT_EQ(s.Replies(1), std::vector<std::string>{"1531 7 1 40"});
  s.Send("1530 1 20 1 7 183");  // one round at a time
  EXPECT_EQ(s.Replies(2), (std::vector<std::string>{"1531 7 0 0", "1521 183 7 10"}));
  s.Send("1542 0");  // a poker deal at the mahjong machine
  s.Send("garbage");
  EXPECT_TRUE(s.NoMoreReplies());
  s.Send("1540 luck");
  EXPECT_EQ(s.Replies(2).size(), 2u);
  s.Send("1540 luck");  // played once only
  EXPECT_TRUE(s.NoMoreReplies());
  const std::string log = s.Log();
  for (const char* line : {"spin outside a turntable session ignored", "1540 is not \"1540 luck\": ignored",
                           "luck without an accepted bet ignored", "bet refused: not one to three bet units",
                           "bet refused: not enough credits", "bet refused: the last round is still open",
                           "deal or draw outside a poker session", "request without a numeric code ignored"})
    EXPECT_NE(log.find(line), std::string::npos) << line;
}

}  // namespace
}  // namespace toolstest
