// The demo server's poker machine: hands ranked against known hands, its pay table file, and
// whole rounds as the client sees them on the socket, with the book paid.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Balances.h"
#include "DemoMode.h"
#include "PokerHand.h"
#include "SlotServer.h"
#include "config_files.h"
#include "net/NetPacket.h"
#include "../net/net_test_util.h"

namespace toolstest {
namespace {

using nettest::RawSocket;

// "a0 b1 ..." as five cards.
void Cards(const char* text, SPokerCard (&cards)[kPokerHandSize]) {
  std::istringstream in(text);
  std::string code;
  for (SPokerCard& card : cards) {
    in >> code;
    ASSERT_TRUE(ParsePokerCard(code.c_str(), &card)) << code;
  }
}

EPokerHand Rank(const char* text) {
  SPokerCard cards[kPokerHandSize];
  Cards(text, cards);
  return RankPokerHand(cards);
}

// Letters: a ace, b two .. i nine, j ten, k jack, l queen, m king; digits: suits.
TEST(PokerHand, KnownHandsRankAsThePayTableCountsThem) {
  const struct {
    const char* cards;
    EPokerHand hand;
  } cases[] = {
      {"j0 k0 l0 m0 a0", kPokerRoyalFlush},
      {"a2 m2 l2 j2 k2", kPokerRoyalFlush},     // any order
      {"i1 j1 k1 l1 m1", kPokerStraightFlush},  // king high
      {"a3 b3 c3 d3 e3", kPokerStraightFlush},  // ace low is a straight flush, not royal
      {"g0 g1 g2 g3 b0", kPokerFourOfAKind},
      {"a0 a1 a2 m0 m1", kPokerFullHouse},
      {"b0 d0 f0 h0 m0", kPokerFlush},
      {"a0 b1 c2 d3 e0", kPokerStraight},  // ace low
      {"j0 k1 l2 m3 a0", kPokerStraight},  // ace high
      {"e0 f1 g2 h3 i0", kPokerStraight},
      {"l0 m1 a2 b3 c0", kPokerNothing},  // no straight round the corner
      {"c0 c1 c2 h3 m0", kPokerThreeOfAKind},
      {"c0 c1 h2 h3 m0", kPokerTwoPair},
      {"b0 b1 c2 c3 d0", kPokerTwoPair},        // low pairs still make two pair
      {"k0 k1 b2 d3 f0", kPokerJacksOrBetter},  // jacks
      {"a0 a1 b2 d3 f0", kPokerJacksOrBetter},  // aces
      {"m0 m1 b2 d3 f0", kPokerJacksOrBetter},  // kings
      {"j0 j1 m2 l3 a0", kPokerNothing},        // tens do not pay, whatever the kickers
      {"b0 b1 m2 l3 a0", kPokerNothing},
      {"b0 d1 f2 h3 m0", kPokerNothing},
      {"a0 b0 c0 d0 f1", kPokerNothing},  // four to a flush and a straight
  };
  for (const auto& c : cases) EXPECT_EQ(Rank(c.cards), c.hand) << c.cards;
}

TEST(PokerHand, SuggestedHoldsKeepWhatASoundPlayerKeeps) {
  const struct {
    const char* cards;
    const char* holds;
  } cases[] = {
      {"b0 d0 f0 h0 m0", "11111"},  // flush made
      {"g0 g1 g2 g3 b0", "11111"},  // four of a kind
      {"c0 f1 c2 h3 c3", "10101"},  // three of a kind
      {"c0 c1 h2 h3 m0", "11110"},  // two pair
      {"b0 m1 d2 b3 k0", "10010"},  // a low pair over two high cards
      {"b2 d2 f2 h2 m0", "11110"},  // four to a flush
      {"e0 f1 g2 h3 m0", "11110"},  // four in a row
      {"a0 b1 c2 d3 l0", "11110"},  // four in a row, ace low
      {"b0 d1 k2 h3 m0", "00101"},  // high cards only
      {"b0 d1 f2 h3 j0", "00000"},
  };
  for (const auto& c : cases) {
    SPokerCard cards[kPokerHandSize];
    Cards(c.cards, cards);
    int holds[kPokerHandSize];
    SuggestPokerHolds(cards, holds);
    std::string text;
    for (int h : holds) text += char('0' + h);
    EXPECT_EQ(text, c.holds) << c.cards;
  }
}

TEST(PokerHand, CardCodesOutsideTheDeckAreRefused) {
  SPokerCard card;
  for (const char* bad : {"n0", "a4", "A0", "a", "a00", ""}) EXPECT_FALSE(ParsePokerCard(bad, &card)) << bad;
  ASSERT_TRUE(ParsePokerCard("m3", &card));
  EXPECT_EQ(PokerCardCode(card), "m3");
}

const char kPays[] =
    "[PAYS]\nroyal_flush=a,250\nstraight_flush=b,50\nfour_of_a_kind=c,25\nfull_house=d,9\nflush=e,6\n"
    "straight=f,4\nthree_of_a_kind=g,3\ntwo_pair=h,2\njacks_or_better=i,1\nnothing=z,0\n";

TEST(PokerPayTable, TheShippedFileLoadsAndBrokenTablesAreRefusedWithTheirLine) {
  CPokerPayTable pays;
  std::string error;
  ASSERT_TRUE(pays.Load(ZQ_POKER_PAYTABLE_SOURCE, &error)) << error;
  EXPECT_EQ(pays.Pay(kPokerRoyalFlush).letter, 'a');
  EXPECT_EQ(pays.Pay(kPokerRoyalFlush).pays, 250);
  EXPECT_EQ(pays.Pay(kPokerJacksOrBetter).pays, 1);
  EXPECT_EQ(pays.Pay(kPokerNothing).pays, 0);

  const std::string good = kPays;
  const struct {
    std::string text;
    const char* error;
  } cases[] = {
      {good.substr(0, good.find("nothing")), "\"nothing\" is missing"},
      {good + "flush=e,6\n", "line 12: \"flush\" listed twice"},
      {"[PAYS]\nfive_aces=a,1\n", "line 2: unknown hand"},
      {"[PAYS]\nflush=E,6\n", "line 2: \"flush\" wants letter,pays"},
      {"[PAYS]\nflush=e,-6\n", "wants letter,pays"},
      {"[PAYS]\nflush=e\n", "wants letter,pays"},
      {"[PAYS]\nflush e 6\n", "line 2: no '='"},
  };
  for (const auto& c : cases) {
    CPokerPayTable table;
    EXPECT_FALSE(table.Parse(c.text, &error)) << c.text;
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
  EXPECT_FALSE(pays.Load("/nonexistent/pays.ini", &error));
}

// A demo server in this process with the poker pays, and a raw client speaking texts.
class PokerSession {
 public:
  PokerSession(const std::string& db, uint32_t seed, int64_t startCredits = 10000) {
    std::string error;
    EXPECT_TRUE(pays.Parse(kPays, &error)) << error;
    EXPECT_TRUE(book.Open(db, &error)) << error;
    CDemoMode::SOptions options;
    options.startCredits = startCredits;
    options.pokerPays = &pays;
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
  // The next n replies; their frames' bytes as sent are added to wire.
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
  void Enter(const char* user = "183") {
    Send(std::string("1500 cs 0086 3 5 ") + user);
    Send("1510 5");
    Replies(4);
  }

  CPokerPayTable pays;
  CBalances book;
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

// A 1543 reply read back: fields after the code, as the client numbers them from 1.
struct SReply {
  std::vector<std::string> f;  // f[0] is the code
  int64_t Win() const { return std::atoll(f.at(2).c_str()); }
  void Cards(SPokerCard (&cards)[kPokerHandSize]) const {
    for (int i = 0; i < kPokerHandSize; ++i) ASSERT_TRUE(ParsePokerCard(f.at(4 + i).c_str(), &cards[i]));
  }
  std::string Holds() const { return f.at(9) + f.at(10) + f.at(11) + f.at(12) + f.at(13); }
};

int64_t CreditsOf(const std::string& reply1521) { return std::atoll(Words(reply1521).at(3).c_str()); }

TEST(PokerServer, ARoundDealsDrawsFromTheSameDeckPaysTheHandAndConfirmsTheCredits) {
  zqtest::ScratchDir dir;
  PokerSession s(dir.file("book.db"), 7);
  s.Enter();
  int64_t credits = 10000;
  bool sawWin = false, sawLoss = false;
  for (int round = 0; round < 25; ++round) {
    SCOPED_TRACE(round);
    s.Send("1530 1 15 1 5 183");  // three units of 5
    ASSERT_EQ(s.Replies(1), std::vector<std::string>{"1531 5 1 15"});
    credits -= 15;
    s.Send("1542 0");
    std::vector<std::string> r = s.Replies(2);
    ASSERT_EQ(r.size(), 2u);
    const SReply deal{Words(r[0])};
    ASSERT_EQ(deal.f.size(), 15u) << r[0];
    EXPECT_EQ(deal.f[0], "1543");
    EXPECT_EQ(deal.f[1], "5");
    EXPECT_EQ(deal.f[2] + deal.f[3], "00");
    EXPECT_EQ(CreditsOf(r[1]), credits);
    SPokerCard dealt[kPokerHandSize];
    deal.Cards(dealt);
    int suggested[kPokerHandSize];
    SuggestPokerHolds(dealt, suggested);
    std::string want;
    for (int h : suggested) want += char('0' + h);
    EXPECT_EQ(deal.Holds(), want);

    // Holds 1 0 1 0 0 as the client writes them, with its trailing blank.
    s.Send("1542 1 1 0 1 0 0 ");
    r = s.Replies(2);
    ASSERT_EQ(r.size(), 2u);
    const SReply draw{Words(r[0])};
    ASSERT_EQ(draw.f.size(), 15u) << r[0];
    SPokerCard final[kPokerHandSize];
    draw.Cards(final);
    EXPECT_EQ(draw.Holds(), "10100");
    EXPECT_TRUE(final[0] == dealt[0] && final[2] == dealt[2]);
    // Replacements come from the rest of the deck: no card twice, none of the discarded ones.
    for (int i = 0; i < kPokerHandSize; ++i)
      for (int j = 0; j < kPokerHandSize; ++j) {
        if (i != j) {
          EXPECT_FALSE(final[i] == final[j]);
        }
        if (i == 1 || i == 3 || i == 4) {
          EXPECT_FALSE(final[i] == dealt[j]);
        }
      }
    const EPokerHand hand = RankPokerHand(final);
    EXPECT_EQ(draw.Win(), s.pays.Pay(hand).pays * 15);
    EXPECT_EQ(draw.f[3], hand == kPokerRoyalFlush ? "3" : draw.Win() > 0 ? "1" : "0");
    EXPECT_EQ(draw.f[14], std::string(1, s.pays.Pay(hand).letter));
    credits += draw.Win();
    EXPECT_EQ(CreditsOf(r[1]), credits);
    sawWin = sawWin || draw.Win() > 0;
    sawLoss = sawLoss || draw.Win() == 0;
  }
  EXPECT_TRUE(sawWin && sawLoss);
  EXPECT_EQ(s.book.Credits("183", 0), credits);
  EXPECT_GT(s.book.WeekTopWin(), 0);
}

// The requests of a short session, with a bet of each size.
std::vector<uint8_t> PlayedBytes(const std::string& db, uint32_t seed) {
  PokerSession s(db, seed);
  s.Enter("ann");
  for (const char* bet : {"5", "10", "15", "5"}) {
    s.Send(std::string("1530 1 ") + bet + " 1 5 ann");
    s.Send("1542 0");
    s.Send("1542 1 0 1 1 0 1 ");
    s.Replies(5);
  }
  return s.wire;
}

TEST(PokerServer, TheSameSeedRepeatsASessionByteForByte) {
  zqtest::ScratchDir dir;
  const std::vector<uint8_t> first = PlayedBytes(dir.file("one.db"), 12345);
  const std::vector<uint8_t> again = PlayedBytes(dir.file("two.db"), 12345);
  const std::vector<uint8_t> other = PlayedBytes(dir.file("three.db"), 54321);
  ASSERT_GT(first.size(), 400u);
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
}

TEST(PokerServer, RequestsOutOfTurnOrMalformedChangeNothing) {
  zqtest::ScratchDir dir;
  PokerSession s(dir.file("book.db"), 3, 12);
  s.Enter();
  // Nothing to deal or draw yet; odd 1542s are ignored.
  for (const char* r : {"1542 0", "1542 1 1 1 1 1 1", "1542", "1542 2"}) s.Send(r);
  EXPECT_TRUE(s.NoMoreReplies());
  // Bets that are not one to three units of 5, or more than the 12 credits, are refused.
  for (const char* bet : {"1530 1 20 1 5 183", "1530 1 7 1 5 183", "1530 1 0 1 5 183", "1530 1 x 1 5 183",
                          "1530", "1530 1 15 1 5 183"}) {
    SCOPED_TRACE(bet);
    s.Send(bet);
    EXPECT_EQ(s.Replies(2), (std::vector<std::string>{"1531 5 0 0", "1521 183 5 12"}));
  }
  s.Send("1530 1 10 1 5 183");
  EXPECT_EQ(s.Replies(1), std::vector<std::string>{"1531 5 1 10"});
  // One round at a time: a second bet is refused, a draw before the deal ignored.
  s.Send("1530 1 5 1 5 183");
  EXPECT_EQ(s.Replies(2), (std::vector<std::string>{"1531 5 0 0", "1521 183 5 2"}));
  s.Send("1542 1 0 0 0 0 0");
  EXPECT_TRUE(s.NoMoreReplies());
  s.Send("1542 0");
  EXPECT_EQ(s.Replies(2).size(), 2u);
  s.Send("1542 0");  // dealt once only
  for (const char* holds : {"1542 1 0 0 0 0", "1542 1 0 0 2 0 0", "1542 1 0 0 00 0 0", "1542 1 11111"})
    s.Send(holds);
  EXPECT_TRUE(s.NoMoreReplies());
  s.Send("1542 1 1 1 1 1 1");
  EXPECT_EQ(s.Replies(2).size(), 2u);
  s.Send("1542 1 1 1 1 1 1");  // the round is over
  EXPECT_TRUE(s.NoMoreReplies());
}

TEST(PokerServer, ARoundLeftOpenIsPaidAsDealtWhenThePlayerGoes) {
  zqtest::ScratchDir dir;
  int64_t win = 0;
  {
    PokerSession s(dir.file("book.db"), 99);
    s.Enter();
    s.Send("1530 1 5 1 5 183");
    s.Send("1542 0");
    std::vector<std::string> r = s.Replies(3);
    ASSERT_EQ(r.size(), 3u);
    SPokerCard dealt[kPokerHandSize];
    SReply{Words(r[1])}.Cards(dealt);
    win = s.pays.Pay(RankPokerHand(dealt)).pays * 5;
    s.Send("1599 quit");
    EXPECT_EQ(s.book.Credits("183", 0), 10000 - 5 + win);
  }
  // A bet without its deal is dealt and paid too, and the next session starts clean.
  PokerSession s(dir.file("book.db"), 100);
  s.Enter();
  s.Send("1530 1 5 1 5 183");
  s.Replies(1);
  s.Send("1599 quit");
  const int64_t after = s.book.Credits("183", 0);
  EXPECT_GE(after, 10000 - 10 + win);
}

TEST(PokerServer, TurntableBetsAreRefusedWithoutTheirPayTable) {
  zqtest::ScratchDir dir;
  PokerSession s(dir.file("book.db"), 1);
  s.Send("1500 cs 0086 1 5 183");
  s.Send("1510 5");
  s.Replies(4);
  s.Send("1530 1 10 1 5 183");
  EXPECT_EQ(s.Replies(2), (std::vector<std::string>{"1531 5 0 0", "1521 183 5 10000"}));
  s.Send("1542 0");
  EXPECT_TRUE(s.NoMoreReplies());
}

}  // namespace
}  // namespace toolstest
