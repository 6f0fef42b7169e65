// Kind 2's bet, the server's bet and result replies, and the small helpers the round shares with
// the commands (pool, lamps, pay tables, marquee, stop buttons).
#include <cstdio>
#include <cstring>

#include "games/core/SlotGame.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

namespace {

// Field n (1-based) of a reply; a missing one reads as "".
const char* Field(char** fields, int n) {
  if (!fields || n < 1 || !fields[n - 1]) return "";
  return fields[n - 1];
}

enum {
  kKindField = 1,
  kWinField = 2,
  kSymbolField = 3,
  kAwardField = 4,
  kBonusRowField = 5,
  kFreeGamesField = 6,
  kAllMahjongField = 7,
  kHeavenlyField = 8,
  kDiceLampField = 9,
  kDiceWinField = 11,
  kPoolField = 12
};

// A non-negative amount that fits an int: one to nine digits.
bool IsAmount(const char* s) {
  const size_t n = std::strlen(s);
  if (n < 1 || n > 9) return false;
  for (size_t i = 0; i < n; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// Exactly `length` characters, each within lo..hi.
bool IsLetters(const char* s, size_t length, char lo, char hi) {
  if (std::strlen(s) != length) return false;
  for (size_t i = 0; i < length; ++i)
    if (s[i] < lo || s[i] > hi) return false;
  return true;
}

int Amount(char** fields, int n) { return static_cast<int>(std::strtol(Field(fields, n), nullptr, 10)); }

const char* MalformedField(char** fields) {
  if (std::strlen(Field(fields, kKindField)) != 1) return "no result kind";
  if (!IsAmount(Field(fields, kWinField))) return "no round win";
  // The card sheet paints tile rows 'a' to 'l'.
  if (!IsLetters(Field(fields, kSymbolField), CSlotGame::kGridCells, 'a', 'l')) return "not nine symbols";
  if (!IsLetters(Field(fields, kAwardField), CSlotGame::kGridRows, 'a', 'p')) return "not three awards";
  if (!IsLetters(Field(fields, kBonusRowField), CSlotGame::kGridRows, '0', '1'))
    return "not three bonus rows";
  for (int n : {kFreeGamesField, kAllMahjongField, kHeavenlyField, kDiceWinField, kPoolField})
    if (!IsAmount(Field(fields, n))) return "an amount is missing";
  if (!IsLetters(Field(fields, kDiceLampField), CSlotGame::kGridRows, '0', '1'))
    return "not three dice flags";
  return nullptr;
}

void LogIgnoredReply(const char* what) {
  if (CZqDebug* log = CZqFunc::GetDebuger()) log->ADD_LOG("1543 ignored: %s", what);
  std::fprintf(stderr, "client: 1543 ignored: %s\n", what);
}

void Enable(CZqUIPanel* panel, int on) {
  if (panel) panel->SetEnable(on);
}

}  // namespace

void CSlotGame::PlaceMahjongBet() {
  if (m_bBetPending) return;
  if (m_bFreeGames) {
    if (m_pFreePanel) m_uiMain.DelSubPanel(m_pFreePanel);
    if (m_pFreePanel2) {
      m_pFreePanel2->SetEnable(1);
      m_uiMain.AddSubPanel(m_pFreePanel2);
    }
    g_NetTask.SendBet(3);
    ShowFreeGamesLeft(m_nFreeGames - 1);
    SetAutoPlayCaption(m_nFreeGames - 1);
    if (m_nFreeGames == 1 && m_pFreePanel2) m_pFreePanel2->SetEnable(0);
    return;
  }
  if (m_nBet > 0) {
    g_NetTask.SendBet(m_nBet);
  } else if (m_nLastBet > 0) {
    const long long cost = static_cast<long long>(m_nBetUnit) * m_nLastBet;
    if (cost > m_nCredits) {
      ShowNotEnough();
      EnableSpinButtons(1, 1, 1, 1);
      g_bSpinLocked = 0;
      return;
    }
    m_nCredits -= static_cast<int>(cost);
    SetPlayerChips(m_nCredits);
    SetBet(m_nLastBet);
    g_NetTask.SendBet(m_nLastBet);
  } else if (m_nBet < 0) {
    m_bSpinHover = 0;
    return;
  } else {
    if (static_cast<long long>(m_nCredits) - m_nBetUnit < 0) {
      // Not even one unit: only the exit is left, and the latch stays set.
      ShowNotEnough();
      EnableSpinButtons(0, 0, 0, 1);
      return;
    }
    m_nCredits -= m_nBetUnit;
    SetPlayerChips(m_nCredits);
    SetBet(1);
    g_NetTask.SendBet(1);
  }
  m_bBetPending = 1;
  RestoreMarquee();
  m_bSpinHover = 0;
}

void CSlotGame::OnMahjongBetReply(int amount) {
  // A second acceptance inside a round would ask for a second result over the one in play, and
  // without a bet unit the amount says nothing about the multiple.
  if (m_nMahjongState != 0 || m_nBetUnit == 0) return;
  if (m_bFreeGames) {
    if (m_pWinTable) m_pWinTable->SlideOut();
    SetBet(3);
  } else {
    m_nBet = amount / m_nBetUnit;
    if (m_pWinTable) {
      if (m_nBet < 3)
        m_pWinTable->SlideOut();
      else
        m_pWinTable->SlideIn();
    }
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
    SetBet(m_nBet);
  }
  Enable(FindPanel(ZQ_GBK("退出")), 0);
  g_NetTask.SendLuck();
  if (m_pWinLineBlink) m_pWinLineBlink->SetState(CWinLineBlink::kOff);
}

void CSlotGame::OnMahjongResult(char** fields) {
  // Only the result the round asked for starts it; one inside a running round is not its own.
  if (m_nMahjongState != 0) return;
  if (const char* what = MalformedField(fields)) {
    LogIgnoredReply(what);
    return;
  }
  m_nLastBet = m_nBet;
  const char* symbols = Field(fields, kSymbolField);
  int column = 0;
  for (CCardReel* reel : m_CardReels) {
    if (column >= kGridRows) break;
    const char letters[4] = {symbols[column], symbols[column + 3], symbols[column + 6], 0};
    if (reel) reel->Start(letters);
    ++column;
  }
  EnableReelStopButtons(1);
  if (m_pSpinSound) m_pSpinSound->PlayLoop();

  m_cResultKind = Field(fields, kKindField)[0];
  m_nRoundWin = Amount(fields, kWinField);
  // Both fields were checked for their length.
  for (int i = 0; i <= kGridCells; ++i) m_szSymbols[i] = i < kGridCells ? symbols[i] : 0;
  const char* awards = Field(fields, kAwardField);
  for (int i = 0; i <= kGridRows; ++i) m_szAwards[i] = i < kGridRows ? awards[i] : 0;
  const char* rows = Field(fields, kBonusRowField);
  const char* dice = Field(fields, kDiceLampField);
  m_nDiceLampsToAdd = 0;
  for (int i = 0; i < kGridRows; ++i) {
    m_anWinLine[i] = awards[i] != 'p';
    m_anBonusRow[i] = rows[i] == '1';
    m_nDiceLampsToAdd += dice[i] == '1';
  }
  if (m_pWinLineBlink) m_pWinLineBlink->SetLines(m_anWinLine);
  if (m_pPayTable) m_pPayTable->SetAwards(m_szAwards);
  if (m_nFreeGames < 1) m_nFreeGames = Amount(fields, kFreeGamesField);
  m_nAllMahjongWin = Amount(fields, kAllMahjongField);
  m_nHeavenlyWin = Amount(fields, kHeavenlyField);
  m_nDiceWin = Amount(fields, kDiceWinField);
  m_nNewPool = Amount(fields, kPoolField);
  m_bReelsStopped = 0;
  m_nMahjongState = 1;
}

void CSlotGame::LowerDiceWin(int amount) {
  m_nDiceToCount -= amount;
  if (m_nDiceToCount < 0) m_nDiceToCount = 0;
  SetPoolValue(m_nDiceToCount);
}

void CSlotGame::ShowFreeLuck() {
  CZqUIPanel* marquee = FindMarquee();
  if (!marquee) return;
  marquee->SetCaption(m_strFreeLuck.c_str());
  SetMarqueeFlash(1);
}

void CSlotGame::ShowFreeGamesLeft(int games) {
  CZqUIPanel* marquee = FindMarquee();
  if (!marquee) return;
  if (games == -1) games = m_nFreeGames;
  const int counters[1] = {games};
  char text[kTextBufferSize];
  FormatCounterText(text, sizeof(text), m_strFreeInfo.c_str(), counters, 1);
  marquee->SetCaption(text);
  SetMarqueeFlash(0);
}

void CSlotGame::EnableReelStopButtons(int on) {
  for (const char* name : {ZQ_GBK("停止1"), ZQ_GBK("停止2"), ZQ_GBK("停止3")}) Enable(FindPanel(name), on);
}

void CSlotGame::SetDiceLamps(int lamps) {
  if (m_pDiceLamps) m_pDiceLamps->SetLit(lamps);
}

void CSlotGame::SwitchPayTablePage(int threeUnits) {
  if (!m_pWinTable) return;
  if (threeUnits)
    m_pWinTable->SlideIn();
  else
    m_pWinTable->SlideOut();
}

void CSlotGame::ShowBetOnPayTable(int bet) {
  if (m_pWinLineBlink) m_pWinLineBlink->ShowCount(bet);
}

int CSlotGame::SlidePayTable(int out) {
  if (!m_pPayTable) return 0;
  return out ? m_pPayTable->SlideOut() : m_pPayTable->SlideIn();
}
