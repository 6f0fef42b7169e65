// The demo server's turntable machines: their pay table file, whole rounds as the client sees
// them on the socket (line pays, the jackpot, both bonus games), the book, and their return.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Balances.h"
#include "DemoMode.h"
#include "RtpMeter.h"
#include "SlotServer.h"
#include "TurntableTable.h"
#include "config_files.h"
#include "net/NetPacket.h"
#include "../net/net_test_util.h"

namespace toolstest {
namespace {

using nettest::RawSocket;

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

int64_t CreditsOf(const std::string& reply1521) { return std::atoll(Words(reply1521).at(3).c_str()); }

// A demo server in this process with a turntable pay table, and a raw client speaking texts.
class TurntableSession {
 public:
  TurntableSession(const std::string& db, uint32_t seed, const std::string& table = std::string(),
                   int64_t startCredits = 10000) {
    std::string error;
    if (table.empty())
      EXPECT_TRUE(pays.Load(ZQ_TURNTABLE_PAYTABLE_SOURCE, &error)) << error;
    else
      EXPECT_TRUE(pays.Parse(table, &error)) << error;
    EXPECT_TRUE(book.Open(db, &error)) << error;
    CDemoMode::SOptions options;
    options.startCredits = startCredits;
    options.turntablePays = &pays;
    options.seed = seed;
    mode = std::make_unique<CDemoMode>(book, options, nullptr);
    server = std::make_unique<CSlotServer>(*mode);
    EXPECT_TRUE(server->Listen(0, &error)) << error;
    EXPECT_TRUE(peer.Connect(server->Port()));
    server->Step(2000);
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
  // Slot type 1 is the box game (unit 10), 2 the wheel game (unit 10).
  void Enter(const char* slotType = "1", const char* user = "183") {
    Send(std::string("1500 cs 0086 ") + slotType + " 5 " + user);
    Send("1510 5");
    Replies(4);
  }
  // A bet of n units, accepted, then the spin: the 1541 and the 1521 after it.
  std::vector<std::string> Round(int units, const char* user = "183") {
    const std::string amount = std::to_string(10 * units);
    Send("1530 1 " + amount + " 1 5 " + user);
    EXPECT_EQ(Replies(1), std::vector<std::string>{"1531 5 1 " + amount});
    Send("1540 luck");
    return Replies(2);
  }

  CTurntablePayTable pays;
  CBalances book;
  std::unique_ptr<CDemoMode> mode;
  std::unique_ptr<CSlotServer> server;
  RawSocket peer;
  std::vector<uint8_t> wire;
};

// Machine 1 whose three reels show nothing but the given symbols, with a plain pay table.
std::string FixedReels(char r1, char r2, char r3, const std::string& extra = std::string()) {
  auto reel = [](int n, char c) { return "reel" + std::to_string(n) + "=" + c + "," + c + "," + c + "\n"; };
  return "[1]\n" + reel(1, r1) + reel(2, r2) + reel(3, r3) +
         "pay=aaa,100\npay=bbb,20\npay=ddd,9\npay=dd*,4\npay=d**,1\npay=e*e,2\n" + extra;
}

TEST(TurntablePayTable, TheShippedFileLoadsAndBrokenTablesAreRefusedWithTheirLine) {
  CTurntablePayTable pays;
  std::string error;
  ASSERT_TRUE(pays.Load(ZQ_TURNTABLE_PAYTABLE_SOURCE, &error)) << error;
  ASSERT_NE(pays.Game("1"), nullptr);
  ASSERT_NE(pays.Game("2"), nullptr);
  EXPECT_EQ(pays.Game("1")->bonus, STurntableGame::kBoxes);
  EXPECT_EQ(pays.Game("1")->prizes.size(), 10u);
  EXPECT_EQ(pays.Game("2")->bonus, STurntableGame::kWheel);
  EXPECT_EQ(pays.Game("3"), nullptr);

  const std::string good = FixedReels('a', 'a', 'a');
  const struct {
    std::string text;
    const char* error;
  } cases[] = {
      {"", "no machine"},
      {"pay=aaa,1\n", "line 1: a key before the first machine"},
      {good + "[1]\n", "listed twice"},
      {"[1]\nreel1=a,b,c\nreel2=a,b,c\npay=aaa,1\n", "wants reel1 to reel3"},
      {"[1]\nreel1=a,b\n", "line 2: reel1 wants at least three cells"},
      {"[1]\nreel1=a,B,c\n", "line 2: reel1 wants symbol letters"},
      {"[1]\nreel1=a,bb,c\n", "reel1 wants symbol letters"},
      {"[1]\npay=aa,1\n", "line 2: pay wants pattern,pays"},
      {"[1]\npay=aaa,-1\n", "pay wants pattern,pays"},
      {"[1]\npay=a?a,1\n", "pay wants pattern,pays"},
      {"[1]\npay=aaa,1000001\n", "pay wants pattern,pays"},
      {good + "jackpot=bcd\n", "the jackpot is none of its pay patterns"},
      {good + "bonus_symbol=g\n", "a bonus wants prizes"},
      {good + "bonus_symbol=g\nprizes=1,2,3,4,5,6,7,8,9,10,11\n", "at most ten boxes"},
      {good + "bonus=wheel\nbonus_symbol=g\nprizes=1,2\nprize_weights=1\n", "one prize weight per prize"},
      {good + "bonus=wheel\nbonus_symbol=g\nprizes=" + std::string(26, '1') + "1\n", "prizes wants numbers"},
      {good + "bonus=wheel\nbonus_symbol=g\nprizes=1" +
           [] {
             std::string more;
             for (int i = 0; i < 26; ++i) more += ",1";
             return more;
           }() +
           "\n",
       "at most 26 wheel prizes"},
      {good + "bonus=wheel\nbonus_symbol=g\nprizes=1,2\nprize_weights=0,0\n", "all 0"},
      {good + "bonus=cards\n", "bonus is boxes or wheel"},
      {good + "bonus_count=0\n", "bonus_count wants 1 to 9"},
      {good + "colour=red\n", "unknown key"},
      {good + "no equals\n", "no '='"},
  };
  for (const auto& c : cases) {
    CTurntablePayTable table;
    EXPECT_FALSE(table.Parse(c.text, &error)) << c.text;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " -> " << error;
  }
  EXPECT_FALSE(pays.Load("/nonexistent/turntables.ini", &error));
}

TEST(TurntableServer, EveryLinePatternPaysWhatTheTableSaysOnTheLinesBet) {
  // The reels show one symbol each, so every row reads the same three symbols.
  const struct {
    char r1, r2, r3;
    int units;
    int64_t win;
    const char* lines;
  } cases[] = {
      {'a', 'a', 'a', 1, 1000, "1 0 0"}, {'a', 'a', 'a', 2, 2000, "1 1 0"}, {'b', 'b', 'b', 3, 600, "1 1 1"},
      {'d', 'd', 'd', 1, 90, "1 0 0"},                                     // ddd before dd* and d**
      {'d', 'd', 'c', 2, 80, "1 1 0"},   {'d', 'c', 'd', 1, 10, "1 0 0"},  // d** only: the middle breaks dd*
      {'e', 'c', 'e', 3, 60, "1 1 1"},   {'c', 'd', 'd', 3, 0, "0 0 0"},    {'b', 'b', 'a', 2, 0, "0 0 0"},
  };
  zqtest::ScratchDir dir;
  int n = 0;
  for (const auto& c : cases) {
    // Each reel's top, middle and bottom, then letters 'a' up to twenty.
    const std::string code =
        "1" + std::string(3, c.r1) + std::string(3, c.r2) + std::string(3, c.r3) + std::string(11, 'a');
    const std::string expected = "1541 " + std::to_string(c.win) + " " + code + " " + c.lines;
    SCOPED_TRACE(expected);
    TurntableSession s(dir.file("book" + std::to_string(n++) + ".db"), 1, FixedReels(c.r1, c.r2, c.r3));
    s.Enter();
    const std::vector<std::string> r = s.Round(c.units);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0], expected);
    EXPECT_EQ(CreditsOf(r[1]), 10000 - 10 * c.units + c.win);
    EXPECT_EQ(s.book.Credits("183", 0), 10000 - 10 * c.units + c.win);
  }
}

// Pays one line of the shipped machine 1 as the client's pay table reads it.
int64_t LinePays(const STurntableGame& game, const std::string& code, int row) {
  for (const STurntableGame::SPay& pay : game.pays) {
    bool match = true;
    for (int r = 0; r < 3; ++r)
      match = match && (pay.pattern[r] == '*' || pay.pattern[r] == code[1 + 3 * r + row]);
    if (match) return pay.pays;
  }
  return 0;
}

TEST(TurntableServer, SpunRoundsAgreeWithTheirSymbolsAndTheBookAddsUp) {
  zqtest::ScratchDir dir;
  TurntableSession s(dir.file("book.db"), 2024);
  s.Enter();
  const STurntableGame& game = *s.pays.Game("1");
  int64_t credits = 10000;
  std::set<std::string> kinds;
  for (int round = 0; round < 120; ++round) {
    SCOPED_TRACE(round);
    const int units = 1 + round % 3;
    const std::vector<std::string> r = s.Round(units);
    ASSERT_EQ(r.size(), 2u);
    const std::vector<std::string> f = Words(r[0]);
    ASSERT_EQ(f.size(), 6u) << r[0];
    const std::string& code = f[2];
    ASSERT_EQ(code.size(), 21u);
    int64_t win = 0;
    int bonusCells = 0;
    for (int i = 1; i <= 9; ++i) bonusCells += code[size_t(i)] == 'g';
    // Line n the n-th row from the top; only the lines bet pay.
    const int rows[3] = {0, 1, 2};
    for (int line = 1; line <= 3; ++line) {
      const int64_t pays = line <= units ? LinePays(game, code, rows[line - 1]) : 0;
      EXPECT_EQ(f[2 + size_t(line)], pays > 0 ? "1" : "0") << r[0];
      win += pays * 10;
    }
    EXPECT_EQ(f[1], std::to_string(win)) << r[0];
    const bool jackpot = units == 3 && ((code[2] == 'a' && code[5] == 'a' && code[8] == 'a') ||
                                        (code[1] == 'a' && code[4] == 'a' && code[7] == 'a') ||
                                        (code[3] == 'a' && code[6] == 'a' && code[9] == 'a'));
    EXPECT_EQ(code[0], jackpot ? '3' : bonusCells >= 3 ? '2' : '1') << r[0];
    kinds.insert(code.substr(0, 1));
    credits += win - 10 * units;
    EXPECT_EQ(CreditsOf(r[1]), credits);
    if (code[0] == '2') {
      // The bonus: box 3 picked, a prize of the table times the bet.
      s.Send("1550 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0");
      const std::vector<std::string> b = s.Replies(2);
      ASSERT_EQ(b.size(), 2u);
      const std::vector<std::string> bf = Words(b[0]);
      ASSERT_EQ(bf.size(), 3u) << b[0];
      EXPECT_EQ(bf[0], "1551");
      EXPECT_EQ(bf[2], "c");
      const int64_t prize = std::atoll(bf[1].c_str());
      bool listed = false;
      for (int64_t p : game.prizes) listed = listed || p * 10 * units == prize;
      EXPECT_TRUE(listed) << b[0];
      credits += prize;
      EXPECT_EQ(CreditsOf(b[1]), credits);
    }
  }
  EXPECT_TRUE(kinds.count("1") && kinds.count("2")) << "no bonus in these rounds";
  EXPECT_EQ(s.book.Credits("183", 0), credits);
}

TEST(TurntableServer, ABoxBonusPaysThePickedBoxAndTheTenBoxesHoldTheTenPrizes) {
  zqtest::ScratchDir dir;
  TurntableSession s(dir.file("book.db"), 5,
                     FixedReels('g', 'g', 'g', "bonus=boxes\nbonus_symbol=g\nprizes=1,2,3,4,5,6,7,8,9,10\n"));
  s.Enter();
  std::multiset<int64_t> seen;
  int64_t credits = 10000;
  for (int box = 0; box < 10; ++box) {
    const std::vector<std::string> r = s.Round(2);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0], "1541 0 2ggggggggg" + std::string(11, 'a') + " 0 0 0");
    credits -= 20;
    EXPECT_EQ(CreditsOf(r[1]), credits);
    // The round stays open for its bonus: no new bet, no second spin.
    s.Send("1530 1 10 1 5 183");
    EXPECT_EQ(s.Replies(2),
              (std::vector<std::string>{"1531 5 0 0", "1521 183 5 " + std::to_string(credits)}));
    s.Send("1540 luck");
    EXPECT_TRUE(s.NoMoreReplies());
    std::string picks = "1550";
    for (int i = 0; i < 15; ++i) picks += i == box ? " 1" : " 0";
    s.Send(picks);
    const std::vector<std::string> b = s.Replies(2);
    ASSERT_EQ(b.size(), 2u);
    const std::vector<std::string> f = Words(b[0]);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[2], std::string(1, char('a' + box)));
    const int64_t prize = std::atoll(f[1].c_str());
    EXPECT_EQ(prize % 20, 0);
    seen.insert(prize / 20);
    credits += prize;
    EXPECT_EQ(CreditsOf(b[1]), credits);
    s.Send(picks);  // the bonus is over
    EXPECT_TRUE(s.NoMoreReplies());
  }
  // Fresh orders each time, so the same box does not always hold the same prize.
  EXPECT_GT(std::set<int64_t>(seen.begin(), seen.end()).size(), 3u);
  for (int64_t p : seen) EXPECT_TRUE(p >= 1 && p <= 10) << p;

  // Auto-play sends no pick: the machine opens a box of its own.
  s.Round(1);
  s.Send("1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
  const std::vector<std::string> b = s.Replies(2);
  ASSERT_EQ(b.size(), 2u);
  const std::vector<std::string> f = Words(b[0]);
  ASSERT_EQ(f.size(), 3u);
  EXPECT_TRUE(f[2][0] >= 'a' && f[2][0] <= 'j') << b[0];
}

TEST(TurntableServer, AWheelBonusStopsOnAPrizeOfTheWheelByWeight) {
  zqtest::ScratchDir dir;
  const std::string table = FixedReels('g', 'g', 'g') +
                            "[2]\nreel1=g,g,g\nreel2=g,g,g\nreel3=g,g,g\npay=aaa,1\n" +
                            "bonus=wheel\nbonus_symbol=g\nprizes=2,50,7\nprize_weights=3,0,1\n";
  TurntableSession s(dir.file("book.db"), 8, table);
  s.Enter("2");
  int64_t credits = 10000;
  std::set<std::string> targets;
  for (int round = 0; round < 40; ++round) {
    const std::vector<std::string> r = s.Round(3);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(Words(r[0])[2][0], '2');
    credits -= 30;
    // The bonus wheel asks with fifteen zeros; a pick is the machine's business here too.
    s.Send(round % 2 ? "1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0" : "1550 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0");
    const std::vector<std::string> b = s.Replies(2);
    ASSERT_EQ(b.size(), 2u);
    const std::vector<std::string> f = Words(b[0]);
    ASSERT_EQ(f.size(), 3u);
    targets.insert(f[2]);
    EXPECT_EQ(f[1], f[2] == "a" ? "60" : "210") << b[0];
    credits += std::atoll(f[1].c_str());
    EXPECT_EQ(CreditsOf(b[1]), credits);
  }
  // Prize b weighs nothing and never comes.
  EXPECT_EQ(targets, (std::set<std::string>{"a", "c"}));
}

TEST(TurntableServer, SevensOnALineWithAllLinesBetAreTheJackpot) {
  zqtest::ScratchDir dir;
  TurntableSession s(dir.file("book.db"), 3,
                     FixedReels('a', 'a', 'a', "jackpot=aaa\nbonus_symbol=a\nprizes=5\n"));
  s.Enter();
  // Fewer lines bet: an ordinary win, and the bonus symbols start the bonus.
  std::vector<std::string> r = s.Round(2);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0], "1541 2000 2aaaaaaaaaaaaaaaaaaaa 1 1 0");
  s.Send("1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
  EXPECT_EQ(s.Replies(2)[0], "1551 100 a");
  // All three lines: the jackpot, and no bonus with it.
  r = s.Round(3);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0], "1541 3000 3aaaaaaaaaaaaaaaaaaaa 1 1 1");
  EXPECT_EQ(CreditsOf(r[1]), 10000 - 20 + 2000 + 100 - 30 + 3000);
  s.Send("1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
  EXPECT_TRUE(s.NoMoreReplies());
  EXPECT_EQ(s.book.WeekJackpots(), 1);
}

TEST(TurntableServer, BalancesOutliveTheSessionAndARoundLeftOpenIsPlayedOut) {
  zqtest::ScratchDir dir;
  const std::string table = FixedReels('g', 'g', 'g', "bonus_symbol=g\nprizes=4\n");
  {
    TurntableSession s(dir.file("book.db"), 1, table);
    s.Enter();
    s.Round(1);  // a bonus, left unplayed
    s.Send("1599 quit");
  }
  {
    // The bonus was paid at the quit; a bet without its spin is spun and paid at the close.
    TurntableSession s(dir.file("book.db"), 2, table);
    s.Send("1500 cs 0086 1 5 183");
    s.Send("1510 5");
    const std::vector<std::string> r = s.Replies(4);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[1], "1521 183 5 10030");
    s.Send("1530 1 30 1 5 183");
    s.Replies(1);
    s.Send("1599 quit");
  }
  CBalances book;
  std::string error;
  ASSERT_TRUE(book.Open(dir.file("book.db"), &error)) << error;
  EXPECT_EQ(book.Credits("183", 0), 10030 - 30 + 4 * 30);
}

// The requests of a short session, with bets of each size and a bonus when one comes.
std::vector<uint8_t> PlayedBytes(const std::string& db, uint32_t seed) {
  TurntableSession s(db, seed);
  s.Enter("1", "ann");
  for (int round = 0; round < 15; ++round) {
    const std::vector<std::string> r = s.Round(1 + round % 3, "ann");
    if (!r.empty() && Words(r[0])[2][0] == '2') {
      s.Send("1550 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0");
      s.Replies(2);
    }
  }
  return s.wire;
}

TEST(TurntableServer, TheSameSeedRepeatsASessionByteForByte) {
  zqtest::ScratchDir dir;
  const std::vector<uint8_t> first = PlayedBytes(dir.file("one.db"), 777);
  const std::vector<uint8_t> again = PlayedBytes(dir.file("two.db"), 777);
  const std::vector<uint8_t> other = PlayedBytes(dir.file("three.db"), 778);
  ASSERT_GT(first.size(), 1000u);
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
}

TEST(TurntableServer, RequestsOutOfTurnOrMalformedAreIgnoredOrRefused) {
  zqtest::ScratchDir dir;
  TurntableSession s(dir.file("book.db"), 4, FixedReels('g', 'g', 'g', "bonus_symbol=g\nprizes=1\n"), 25);
  // Before any session, nothing is played.
  s.Send("1540 luck");
  s.Send("1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
  EXPECT_TRUE(s.NoMoreReplies());
  s.Enter();
  for (const char* r : {"1540 luck", "1550 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0", "1540", "1540 lucky"}) s.Send(r);
  EXPECT_TRUE(s.NoMoreReplies());
  // Bets that are not one to three units of 10, or more than the 25 credits, are refused.
  for (const char* bet : {"1530 1 40 1 5 183", "1530 1 15 1 5 183", "1530 1 0 1 5 183", "1530 1 -10 1 5 183",
                          "1530 1 x 1 5 183", "1530", "1530 1 30 1 5 183", "1530 1 99999999999 1 5 183"}) {
    SCOPED_TRACE(bet);
    s.Send(bet);
    EXPECT_EQ(s.Replies(2), (std::vector<std::string>{"1531 5 0 0", "1521 183 5 25"}));
  }
  s.Send("1530 1 20 1 5 183");
  EXPECT_EQ(s.Replies(1), std::vector<std::string>{"1531 5 1 20"});
  s.Send("1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");  // before the spin
  s.Send("1540 luck now");
  EXPECT_TRUE(s.NoMoreReplies());
  s.Send("1540 luck");
  EXPECT_EQ(s.Replies(2).size(), 2u);
  // Picks that are not fifteen values of 0 or 1 naming at most one of the ten boxes.
  for (const char* picks :
       {"1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0", "1550 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0",
        "1550 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0", "1550 0 0 2 0 0 0 0 0 0 0 0 0 0 0 0",
        "1550 0 0 0 0 0 0 0 0 0 0 1 0 0 0 0", "1550 00 0 0 0 0 0 0 0 0 0 0 0 0 0 0", "1550"})
    s.Send(picks);
  EXPECT_TRUE(s.NoMoreReplies());
  s.Send("1550 0 0 0 0 0 0 0 0 0 1 0 0 0 0 0");
  EXPECT_EQ(s.Replies(2), (std::vector<std::string>{"1551 20 j", "1521 183 5 25"}));
}

TEST(TurntableServer, TheShippedMachinesReturnNinetyToNinetyEightPercent) {
  CTurntablePayTable pays;
  std::string error;
  ASSERT_TRUE(pays.Load(ZQ_TURNTABLE_PAYTABLE_SOURCE, &error)) << error;
  for (const auto& [key, game] : pays.Games()) {
    CTurntableRtpMachine machine(game, 20261211);
    const SRtpResult r = MeasureReturn(machine, 1000000);
    EXPECT_EQ(r.bet, 3000000);
    EXPECT_GT(r.Return(), 0.90) << key;
    EXPECT_LT(r.Return(), 0.98) << key;
    // Players see something back often enough to keep playing.
    EXPECT_GT(double(r.wins) / double(r.rounds), 0.2) << key;
  }
}

}  // namespace
}  // namespace toolstest
