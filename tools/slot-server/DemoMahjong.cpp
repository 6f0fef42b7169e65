// The demo server's mahjong machine: bet, the round ("luck") and the rounds a player left, paid
// from the book; the machine's pool and lamps are kept in the book between rounds.
#include <cstring>
#include <string>
#include <vector>

#include "Balances.h"
#include "DemoMode.h"
#include "MahjongTable.h"
#include "SlotServer.h"

namespace {

bool Digits(const char* s, size_t most) {
  if (!*s || std::strlen(s) > most) return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

std::string Number(int64_t v) { return std::to_string(v); }

}  // namespace

void CDemoMode::MahjongBet(CSlotServer& server, char** fields, int count) {
  // 1530 1 credits 1 slot-id user: one to three bet units; free games at three, without charge.
  std::string gameKey;
  int betUnit = 0;
  MachineOf(m_strSlotType, &gameKey, &betUnit);
  const int64_t bet = count >= 2 && Digits(fields[1], 9) ? std::atoll(fields[1]) : 0;
  const int64_t credits = m_Book.Credits(m_strUser, m_Options.startCredits);
  const bool free = m_pMahjong->FreeGames(m_strUser) > 0;
  const char* refusal = nullptr;
  int64_t charge = 0;
  if (m_pMahjong->HasRound(m_strUser))
    refusal = "bet refused: the last round is still open";
  else if (!free && bet > credits)
    refusal = "bet refused: not enough credits";
  else
    m_pMahjong->Open(m_strUser, bet, betUnit, &charge, &refusal);
  if (refusal) {
    Log("!", refusal);
    RefuseBet(server);
    return;
  }
  if (free) Log("!", "free game: " + Number(m_pMahjong->FreeGames(m_strUser)) + " left");
  m_Book.SetCredits(m_strUser, credits - charge);
  Reply(server, "1531 " + Number(m_nSlotId) + " 1 " + Number(bet));
}

void CDemoMode::MahjongLuck(CSlotServer& server, char** fields, int count) {
  if (!m_nSession || !m_pMahjong || KindOf(m_strSlotType) != 2) {
    Log("!", "luck outside a mahjong session ignored");
    return;
  }
  if (count != 1 || std::strcmp(fields[0], "luck") != 0) {
    Log("!", "1540 is not \"1540 luck\": ignored");
    return;
  }
  const CBalances::SMachine kept = m_Book.Machine(m_nSlotId, m_Options.startPool);
  SMahjongMachine machine{kept.pool, kept.lamps, m_MahjongCarry[m_nSlotId]};
  SMahjongResult result;
  if (!m_pMahjong->Play(m_strUser, machine, &result)) {
    Log("!", "luck without an accepted bet ignored");
    return;
  }
  m_MahjongCarry[m_nSlotId] = machine.carry;
  m_Book.SetMachine(m_nSlotId, CBalances::SMachine{machine.pool, machine.lamps});
  PayMahjongRound(result);
  Reply(server, result.ReplyText());
  // The client adds the dice and all-mahjong bonuses itself as it counts them in, and takes the
  // total as its credits plus the line win still to count: those two stay out until the next one.
  const int64_t credits = m_Book.Credits(m_strUser, m_Options.startCredits);
  Reply(server, "1521 " + m_strUser + " " + Number(m_nSlotId) + " " +
                    Number(credits - result.diceWin - result.allMahjong));
}

void CDemoMode::PayMahjongRound(const SMahjongResult& result) {
  const int64_t credits = m_Book.Credits(m_strUser, m_Options.startCredits);
  m_Book.SetCredits(m_strUser, credits + result.Paid());
  m_Book.AddRound(m_nSession, m_strUser, result.bet, result.Paid(), result.jackpot || result.heavenly > 0);
}

void CDemoMode::SettleMahjong() {
  if (!m_nSession || !m_pMahjong) return;
  const CBalances::SMachine kept = m_Book.Machine(m_nSlotId, m_Options.startPool);
  SMahjongMachine machine{kept.pool, kept.lamps, m_MahjongCarry[m_nSlotId]};
  const std::vector<SMahjongResult> left = m_pMahjong->Settle(m_strUser, machine);
  if (left.empty()) return;
  Log("!", "mahjong rounds left to play: " + Number(int64_t(left.size())) + " played out");
  for (const SMahjongResult& r : left) {
    Log("=", r.ReplyText());
    PayMahjongRound(r);
  }
  m_MahjongCarry[m_nSlotId] = machine.carry;
  m_Book.SetMachine(m_nSlotId, CBalances::SMachine{machine.pool, machine.lamps});
}
