// Five-card poker for the demo server: cards as the client's card codes, the ranking of a hand,
// the pay table read from its configuration file and the holds suggested after a deal.
#pragma once

#include <cstdint>
#include <string>

// Rank 0..12 is the code letter 'a'..'m' (ace, two .. ten, jack, queen, king); suit 0..3 is the
// code digit '0'..'3' (spades, hearts, diamonds, clubs).
struct SPokerCard {
  int rank = 0;
  int suit = 0;
  bool operator==(const SPokerCard& o) const { return rank == o.rank && suit == o.suit; }
};

constexpr int kPokerHandSize = 5;
constexpr int kPokerDeckSize = 52;

enum EPokerHand {
  kPokerNothing,
  kPokerJacksOrBetter,
  kPokerTwoPair,
  kPokerThreeOfAKind,
  kPokerStraight,
  kPokerFlush,
  kPokerFullHouse,
  kPokerFourOfAKind,
  kPokerStraightFlush,
  kPokerRoyalFlush,
  kPokerHandCount
};

// The card's two-character code ("a0" .. "m3"); false (and no card) for anything else.
std::string PokerCardCode(const SPokerCard& card);
bool ParsePokerCard(const char* code, SPokerCard* card);

// The best hand the five cards make.
EPokerHand RankPokerHand(const SPokerCard (&cards)[kPokerHandSize]);

// The key of a hand in the pay table file ("royal_flush" ...).
const char* PokerHandKey(EPokerHand hand);

// Which cards a sound player keeps after the deal (1 = hold): a made hand that pays or fills all
// five cards, any pair, four to a flush, four in a row, else the cards from jack up.
void SuggestPokerHolds(const SPokerCard (&cards)[kPokerHandSize], int (&holds)[kPokerHandSize]);

// The pay table: per hand, the letter the client lights in its table and the credits paid for
// each credit bet. The file is INI text with one section:
//   [PAYS]
//   royal_flush=a,250
//   ...
// Every hand of EPokerHand must be listed once.
class CPokerPayTable {
 public:
  struct SPay {
    char letter = 0;
    int64_t pays = 0;
  };
  bool Load(const std::string& path, std::string* error);
  bool Parse(const std::string& text, std::string* error);
  const SPay& Pay(EPokerHand hand) const { return m_Pays[hand]; }

 private:
  SPay m_Pays[kPokerHandCount];
};
