#include "PokerTable.h"

std::string SPokerResult::ReplyText(int slotId, const CPokerPayTable& pays) const {
  const char kind = jackpot ? '3' : win > 0 ? '1' : '0';
  std::string text = "1543 " + std::to_string(slotId) + " " + std::to_string(win) + " " + kind;
  for (const SPokerCard& card : cards) text += " " + PokerCardCode(card);
  for (int hold : holds) text += hold ? " 1" : " 0";
  text += ' ';
  text += pays.Pay(hand).letter;
  return text;
}

CPokerTable::CPokerTable(const CPokerPayTable& pays, uint32_t seed) : m_Pays(pays), m_Random(seed) {}

uint32_t CPokerTable::Below(uint32_t n) {
  // Drawn again above the last whole multiple of n, so no value is favoured.
  const uint32_t limit = 0xFFFFFFFFu - 0xFFFFFFFFu % n;
  uint32_t r;
  do r = static_cast<uint32_t>(m_Random());
  while (r >= limit);
  return r % n;
}

void CPokerTable::Shuffle(SRound& round) {
  for (int i = 0; i < kPokerDeckSize; ++i) round.deck[i] = SPokerCard{i % 13, i / 13};
  for (int i = kPokerDeckSize - 1; i > 0; --i) std::swap(round.deck[i], round.deck[Below(uint32_t(i) + 1)]);
  round.next = 0;
}

bool CPokerTable::Open(const std::string& user, int64_t bet) {
  if (HasRound(user) || bet <= 0) return false;
  SRound& round = m_Rounds[user];
  round.bet = bet;
  return true;
}

void CPokerTable::DealInto(SRound& round) {
  Shuffle(round);
  SPokerResult& r = round.dealtHand;
  for (SPokerCard& card : r.cards) card = round.deck[round.next++];
  SuggestPokerHolds(r.cards, r.holds);
  r.hand = RankPokerHand(r.cards);
  r.bet = round.bet;
  r.win = 0;
  r.jackpot = false;
  round.dealt = true;
}

bool CPokerTable::Deal(const std::string& user, SPokerResult* result) {
  auto it = m_Rounds.find(user);
  if (it == m_Rounds.end() || it->second.dealt) return false;
  DealInto(it->second);
  *result = it->second.dealtHand;
  return true;
}

bool CPokerTable::Draw(const std::string& user, const int (&holds)[kPokerHandSize], SPokerResult* result) {
  auto it = m_Rounds.find(user);
  if (it == m_Rounds.end() || !it->second.dealt) return false;
  SRound& round = it->second;
  SPokerResult r = round.dealtHand;
  for (int i = 0; i < kPokerHandSize; ++i) {
    r.holds[i] = holds[i] ? 1 : 0;
    if (!r.holds[i]) r.cards[i] = round.deck[round.next++];
  }
  r.hand = RankPokerHand(r.cards);
  r.win = m_Pays.Pay(r.hand).pays * round.bet;
  r.jackpot = r.hand == kPokerRoyalFlush;
  m_Rounds.erase(it);
  *result = r;
  return true;
}

bool CPokerTable::Settle(const std::string& user, SPokerResult* result) {
  auto it = m_Rounds.find(user);
  if (it == m_Rounds.end()) return false;
  if (!it->second.dealt) DealInto(it->second);
  const int all[kPokerHandSize] = {1, 1, 1, 1, 1};
  return Draw(user, all, result);
}
