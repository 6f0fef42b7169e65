// The poker machine's rounds: a bet, a deal of five cards from a freshly shuffled deck, one draw
// that replaces the cards not held, and the payout of the final hand. One open round per player;
// cards come only from here, the player chooses only the holds.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>

#include "PokerHand.h"

struct SPokerResult {
  SPokerCard cards[kPokerHandSize];
  int holds[kPokerHandSize] = {};  // suggested after the deal, the player's after the draw
  EPokerHand hand = kPokerNothing;
  int64_t bet = 0;
  int64_t win = 0;
  bool jackpot = false;

  // The 1543 reply: slot-id win kind card*5 hold*5 letter; kind 1 a win, 3 the jackpot, else 0.
  std::string ReplyText(int slotId, const CPokerPayTable& pays) const;
};

class CPokerTable {
 public:
  // The same seed deals the same cards for the same requests.
  CPokerTable(const CPokerPayTable& pays, uint32_t seed);

  // A bet of this many credits opens the player's round; false while one is open.
  bool Open(const std::string& user, int64_t bet);
  bool HasRound(const std::string& user) const { return m_Rounds.count(user) != 0; }
  // The deal of an open round that has not been dealt yet.
  bool Deal(const std::string& user, SPokerResult* result);
  // The draw of a dealt round: the cards not held are replaced, the hand is paid and the round
  // closes.
  bool Draw(const std::string& user, const int (&holds)[kPokerHandSize], SPokerResult* result);
  // A round its player left open: dealt if needed and paid as dealt (every card held).
  bool Settle(const std::string& user, SPokerResult* result);

 private:
  struct SRound {
    int64_t bet = 0;
    bool dealt = false;
    SPokerCard deck[kPokerDeckSize];
    int next = 0;  // the next card of the deck to give
    SPokerResult dealtHand;
  };
  // 0 .. n-1, evenly.
  uint32_t Below(uint32_t n);
  void Shuffle(SRound& round);
  void DealInto(SRound& round);

  const CPokerPayTable& m_Pays;
  std::mt19937 m_Random;
  std::map<std::string, SRound> m_Rounds;
};
