// The demo server's turntable machines: bet, spin ("luck") and the bonus game, paid from the book.
#include <cstring>

#include "Balances.h"
#include "DemoMode.h"
#include "SlotServer.h"
#include "TurntableTable.h"

namespace {

bool Digits(const char* s, size_t most) {
  if (!*s || std::strlen(s) > most) return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

}  // namespace

void CDemoMode::PayTurntable(int64_t win) {
  if (win <= 0) return;
  m_Book.SetCredits(m_strUser, m_Book.Credits(m_strUser, m_Options.startCredits) + win);
  m_nTurntableWon += win;
}

void CDemoMode::TurntableBet(CSlotServer& server, char** fields, int count) {
  // 1530 1 credits 1 slot-id user: one to three bet units, one line each, paid from the book.
  std::string gameKey;
  int betUnit = 0;
  MachineOf(m_strSlotType, &gameKey, &betUnit);
  const int64_t bet = count >= 2 && Digits(fields[1], 9) ? std::atoll(fields[1]) : 0;
  const char* refusal = nullptr;
  if (bet <= 0 || bet % betUnit != 0 || bet / betUnit > kTurntableLines)
    refusal = "bet refused: not one to three bet units";
  else if (m_pTurntable->HasRound(m_strUser))
    refusal = "bet refused: the last round is still open";
  else if (bet > m_Book.Credits(m_strUser, m_Options.startCredits))
    refusal = "bet refused: not enough credits";
  else if (!m_pTurntable->Open(m_strUser, gameKey, betUnit, int(bet / betUnit)))
    refusal = "bet refused: the pay table has no such machine";
  if (refusal) {
    Log("!", refusal);
    RefuseBet(server);
    return;
  }
  m_Book.SetCredits(m_strUser, m_Book.Credits(m_strUser, m_Options.startCredits) - bet);
  m_nTurntableBet = bet;
  m_nTurntableWon = 0;
  m_bTurntableJackpot = false;
  Reply(server, "1531 " + std::to_string(m_nSlotId) + " 1 " + std::to_string(bet));
}

void CDemoMode::TurntableLuck(CSlotServer& server, char** fields, int count) {
  if (!m_nSession || !m_pTurntable || KindOf(m_strSlotType) != 0) {
    Log("!", "spin outside a turntable session ignored");
    return;
  }
  if (count != 1 || std::strcmp(fields[0], "luck") != 0) {
    Log("!", "1540 is not \"1540 luck\": ignored");
    return;
  }
  STurntableSpin spin;
  if (!m_pTurntable->Spin(m_strUser, &spin)) {
    Log("!", "spin without an accepted bet ignored");
    return;
  }
  PayTurntable(spin.win);
  m_bTurntableJackpot = spin.jackpot;
  if (!spin.bonus) m_Book.AddRound(m_nSession, m_strUser, m_nTurntableBet, m_nTurntableWon, spin.jackpot);
  Reply(server, spin.ReplyText());
  SendCredits(server);
}

void CDemoMode::TurntableBonus(CSlotServer& server, char** fields, int count) {
  if (!m_nSession || !m_pTurntable || KindOf(m_strSlotType) != 0) {
    Log("!", "bonus request outside a turntable session ignored");
    return;
  }
  // Fifteen values of 0 or 1: a 1 in place 1 to 10 is the box picked, none lets the machine
  // choose (the bonus wheel, auto-play).
  int box = -1;
  bool valid = count == 15;
  for (int i = 0; valid && i < count; ++i) {
    const char* v = fields[i];
    valid = (v[0] == '0' || v[0] == '1') && !v[1];
    if (valid && v[0] == '1') {
      valid = box < 0 && i < kTurntableMaxBoxes;
      box = i;
    }
  }
  if (!valid) {
    Log("!", "1550 without fifteen values of 0 or 1 picking at most one box: ignored");
    return;
  }
  int64_t prize = 0;
  int target = 0;
  if (!m_pTurntable->Bonus(m_strUser, box, &prize, &target)) {
    Log("!", "bonus request without a bonus to play ignored");
    return;
  }
  PayTurntable(prize);
  m_Book.AddRound(m_nSession, m_strUser, m_nTurntableBet, m_nTurntableWon, m_bTurntableJackpot);
  Reply(server, "1551 " + std::to_string(prize) + " " + std::string(1, char('a' + target)));
  SendCredits(server);
}

void CDemoMode::SettleTurntable() {
  int64_t bet = 0, won = 0;
  bool jackpot = false;
  if (!m_nSession || !m_pTurntable || !m_pTurntable->Settle(m_strUser, &bet, &won, &jackpot)) return;
  // What the round has not paid yet: the spin when it never came, the bonus when it was not played.
  Log("!", "turntable round left open: played out and paid");
  PayTurntable(won - m_nTurntableWon);
  m_Book.AddRound(m_nSession, m_strUser, bet, m_nTurntableWon, jackpot);
}
