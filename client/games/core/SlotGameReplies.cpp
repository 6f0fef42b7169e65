// The server's replies, as the network task hands them to the game.
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "games/core/SlotGame.h"
#include "games/pieces/Turntable.h"
#include "net/NetTask.h"

namespace {

// Field n (1-based) of a reply; a missing one reads as "".
const char* Field(char** fields, int n) {
  if (!fields || n < 1 || !fields[n - 1]) return "";
  return fields[n - 1];
}

int ClampToInt(long long v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v); }

// A field as a number: leading blanks, a sign and digits; anything else reads as 0, and values
// beyond int are held at its ends.
int FieldNumber(char** fields, int n) { return ClampToInt(std::strtoll(Field(fields, n), nullptr, 10)); }

// a / b, 0 for a zero divisor.
int SafeDivide(long long a, long long b) { return b == 0 ? 0 : ClampToInt(a / b); }

}  // namespace

void CSlotGame::OnEnterReply(char** fields) {
  SetBetUnit(FieldNumber(fields, 5));
  if (g_nGameType == 2 && !g_bPoolInitialised) {
    g_bPoolInitialised = 1;
    m_nNewPool = m_nPoolTarget = FieldNumber(fields, 10);
    SetPoolValue(m_nNewPool);
    SetDiceLamps(FieldNumber(fields, 11));
  }
  if (static_cast<long long>(m_nCredits) < 3LL * m_nBetUnit) return;
  m_nWeek1 = FieldNumber(fields, 7);
  m_nWeek2 = FieldNumber(fields, 9);
  ShowWeekText();
}

void CSlotGame::OnWeekNotify(char** fields) {
  const int week = FieldNumber(fields, 1);
  if (!FindMarquee()) {
    m_nWeek3 = week;
    return;
  }
  if (week == m_nWeek3 || IsMarqueeFlashing()) return;
  m_nWeek3 = week;
  ShowWeekText();
}

void CSlotGame::OnMoneyNotify(char** fields) {
  const long long total = std::strtoll(Field(fields, 3), nullptr, 10);
  // The server's total already holds the win that is still being counted in.
  if (total == static_cast<long long>(m_nRoundWin) + m_nCredits) return;
  m_nCredits = ClampToInt(total - m_nRoundWin);
  SetPlayerChips(m_nCredits);
}

void CSlotGame::OnBetReply(int amount) {
  if (m_nTurntableState != 0) return;
  // Without a bet unit the amount says nothing about the multiple.
  if (m_nBetUnit == 0) return;
  m_nBet = SafeDivide(amount, m_nBetUnit);
  if (m_nAutoPlay > 0) {
    if (m_pControlPanel && m_pControlPanel->IsEnable()) {
      SwapInAutoStopPanel();
      StartAutoPlay();
    }
    --m_nAutoPlay;
    SetAutoPlayCaption(m_nAutoPlay);
  } else if (m_pControlPanel && m_pControlPanel->IsEnable()) {
    m_pControlPanel->SetEnable(0);
  }
  if (CZqUIPanel* exit = FindPanel(ZQ_GBK("退出"))) exit->SetEnable(0);
  g_NetTask.SendLuck();
  m_dwRoundStart = timeGetTime();
  SetBet(m_nBet);
}

void CSlotGame::OnBetRefused() {
  if (!m_bBetPending) return;
  m_bBetPending = 0;
  g_bSpinLocked = 0;
  // An auto-play bet that the server refused ends the auto-play: no round will follow it.
  if (m_bAutoPlaying) {
    StopAutoPlay();
    m_nAutoPlay = 0;
    SetAutoPlayCaption(0);
    SwapInControlPanel(1);
  }
  EnableSpinButtons(1, 1, 1, 1);
  ShowNotEnough();
}

void CSlotGame::OnRoundResult(char** fields) {
  const char* code = Field(fields, 2);
  const char kind = code[0];
  if (kind != '1' && kind != '2' && kind != '3') return;
  m_nRoundWin = FieldNumber(fields, 1);
  SetWinCaption(0);

  const int threeLines = TurntablesHaveThreeLines();
  const int lines = threeLines ? 3 : 1;
  for (int line = 1; line <= lines; ++line) {
    if (kind == '2' || FieldNumber(fields, 2 + line) != 1) continue;
    if (threeLines) m_anLineLit[line - 1] = 1;
    LightPayTableLine(line, code);
  }

  // Twenty symbol letters follow the kind; a short code leaves the rest at symbol 0.
  int symbols[kResultSymbols] = {};
  for (int i = 0; i < kResultSymbols && code[1 + i]; ++i) symbols[i] = code[1 + i] - 'a';
  int next = 0;
  for (CTurntable* table : m_Turntables) {
    if (!table) continue;
    const int want = table->GetLineCount() > 0 ? table->GetLineCount() : 0;
    int share[kResultSymbols] = {};
    for (int i = 0; i < want && i < kResultSymbols && next + i < kResultSymbols; ++i)
      share[i] = symbols[next + i];
    table->SetResult(share);
    next += want;
  }

  m_bCardsTurning = 1;
  m_nTurntableState = 1;
  if (m_pSpinSound) m_pSpinSound->PlayLoop();
  if (CZqUIPanel* lever = FindPanel(ZQ_GBK("转动杆"))) {
    PullLever(lever);
    m_bLeverPulled = 1;
  }
  if (CZqUIPanel* exit = FindPanel(ZQ_GBK("退出"))) exit->SetEnable(0);
  m_nLastBet = m_nBet;
  if (kind == '2') m_bBonus = 1;
  if (kind == '3') m_bJackpot = 1;
}

void CSlotGame::OnReelsStopped() {
  if (m_pSpinSound) m_pSpinSound->Stop();
  m_bCardsTurning = 0;
  if (m_nRoundWin > 0) {
    m_nTurntableState = 6;
    m_bBettingOpen = 0;
  }
  if (m_bBonus == 1) {
    char name[16];
    for (int i = 1; i <= 3; ++i) {
      std::snprintf(name, sizeof(name), "bet%d", i);
      CZqUIPanel* bet = FindPanel(name);
      if (bet && bet->IsVisible()) bet->SetVisible(0);
    }
    const int zeros[15] = {};
    if (m_pBonusTurntable) {
      g_NetTask.SendBonus(zeros);
    } else if (IsAutoPlay()) {
      g_NetTask.SendBonus(zeros);
      m_bBettingOpen = 0;
    } else {
      m_bBettingOpen = 0;
      m_nTurntableState = 2;
      StartBonusOpening();
      CZqUIPanel* table = FindPanel(ZQ_GBK("赔率表"));
      if (table && !table->IsVisible()) table->SetVisible(1);
    }
  }
  if (m_bJackpot == 1) {
    PlayJackpot();
    m_nTurntableState = 4;
  }
  SetWinCaption(m_nRoundWin);
  if (m_nCredits != m_nShownCredits) SetPlayerChips(m_nCredits);
  m_nCredits = ClampToInt(static_cast<long long>(m_nCredits) + m_nRoundWin);
  m_nMultiple = m_bJackpot == 1 ? 0 : SafeDivide(m_nRoundWin, static_cast<long long>(m_nBetUnit) * m_nBet);
  m_nRoundWin = 0;
  SetBet(m_nBet);
  g_bSpinLocked = 0;
}

void CSlotGame::OnBonusResult(char** fields) {
  m_nRoundWin = FieldNumber(fields, 1);
  const int target = Field(fields, 2)[0] - 'a';
  if (m_pBonusTurntable) {
    StartBonusTurntable(target);
    m_nTurntableState = 2;
    m_bBonus = 1;
  } else if (IsAutoPlay()) {
    SetWinCaption(m_nRoundWin);
    m_nCredits = ClampToInt(static_cast<long long>(m_nCredits) + m_nRoundWin);
    m_nRoundWin = 0;
    m_nTurntableState = 6;
    SetBet(m_nBet);
  } else {
    // A target that names no loaded box opens none; the award goes on all the same.
    m_nTurntableState = 4;
    OpenBonusBox(target);
  }
}
