// Kind 0, the turntable slot: the round machine from the turning wheels through the bonus game
// (a box pick or the bonus turntable) and the jackpot to the win counted in, and auto-play's
// next bet.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "games/core/SlotGame.h"
#include "games/pieces/PanelHelpers.h"
#include "games/pieces/Turntable.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

namespace {

void Enable(CZqUIPanel* panel, int on) {
  if (panel) panel->SetEnable(on);
}

// A record played from its start: its stream, one pass of its animation (or its configured
// rewinds) and then its configured seconds on screen.
void PlayRecord(CSlotEffect* effect) {
  if (!effect) return;
  if (effect->m_pSound) effect->m_pSound->Play();
  effect->m_dwTimer = timeGetTime();
  effect->m_nRemaining = effect->m_nTimes;
  if (effect->m_nReframe >= 2)
    effect->m_aniEffect.PlayToReframe(1, effect->m_nReframe, effect->m_nRetimes, 1, 0.0f);
  else
    effect->m_aniEffect.PlayToEnd(1, 0.0f);
}

// The effect step of a record; 1 while it is on screen.
int Step(CSlotEffect* effect) {
  if (!effect) return 0;
  effect->Update();
  return effect->IsShown();
}

int ClampToInt(long long v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v); }

}  // namespace

int CSlotGame::TurntablesHaveThreeLines() const {
  for (const CTurntable* table : m_Turntables)
    if (table && table->GetLineCount() >= 3) return 1;
  return 0;
}

void CSlotGame::PlayJackpot() {
  PlayRecord(m_pResultEffects[4].get());
  if (m_pJackpotSound) m_pJackpotSound->Play();
}

void CSlotGame::StartBonusOpening() {
  m_bBoxesPending = 1;
  PlayRecord(m_pShowBoxEffect.get());
  PlayRecord(m_pBonusRunEffect.get());
  if (m_pBonusSound) m_pBonusSound->Play();
}

void CSlotGame::StartBonusTurntable(int target) {
  // The target on every line the bonus wheel shows.
  int symbols[kResultSymbols];
  for (int& s : symbols) s = target;
  if (m_pBonusTurntable) m_pBonusTurntable->SetResult(symbols);
  auto cell = m_BonusRects.find(std::to_string(target));
  m_rcBonusCell = cell != m_BonusRects.end() ? cell->second : SScreenRect(0, 0, 0, 0);
  StartBonusOpening();
}

void CSlotGame::OpenBonusBox(int target) {
  auto cell = m_BonusRects.find(std::to_string(target));
  m_rcBonusCell = cell != m_BonusRects.end() ? cell->second : SScreenRect(0, 0, 0, 0);
  if (target >= 0 && target < kBonusBoxes) PlayRecord(m_BoxEffects[target].get());
  if (m_pBonusGetSound) m_pBonusGetSound->Play();
}

void CSlotGame::LightPayTableLine(int line, const char* code) {
  if (line < 1 || line > 3 || !code) return;
  // The line's symbols: each turntable's letter on that line, in turntable order, then the line
  // mode ('a' one line, 'b' three).
  std::string pattern;
  const int length = static_cast<int>(std::strlen(code));
  int offset = 0;
  for (const CTurntable* table : m_Turntables) {
    if (!table) continue;
    const int lines = table->GetLineCount() > 0 ? table->GetLineCount() : 0;
    const int at = 1 + offset + line - 1;
    if (line <= lines && offset + line <= kResultSymbols && at < length) pattern += code[at];
    offset += lines;
  }
  pattern += TurntablesHaveThreeLines() ? 'b' : 'a';
  FindPayTableRect(pattern.c_str(), m_rcLineRow[line - 1], m_rcLineCell[line - 1]);
}

void CSlotGame::FindPayTableRect(const char* pattern, SScreenRect& row, SScreenRect& cell) const {
  row = cell = SScreenRect(0, 0, 0, 0);
  if (!pattern) return;
  for (const std::vector<std::string>& level : m_PayLevels) {
    for (const std::string& name : level) {
      if (name != pattern) continue;
      const std::string& prefix = level.front();
      auto r = m_LevelRects.find(prefix + "0");
      if (r != m_LevelRects.end()) row = r->second;
      auto c = m_LevelRects.find(prefix + std::to_string(m_nBet));
      if (c != m_LevelRects.end()) cell = c->second;
      return;
    }
  }
}

long CSlotGame::UpdateTurntableGame(DWORD dt) {
  if (!m_bCardsTurning && m_nTurntableState != 0)
    for (int i = 0; i < kWinLineEffects; ++i)
      if (m_anLineLit[i]) Step(m_WinLineEffects[i].get());
  for (auto& effect : m_ExtraEffects) Step(effect.get());

  bool busy = false;
  const int opening = Step(m_pShowBoxEffect.get());
  // The opening's stream follows its animation like the opening itself.
  Step(m_pBonusRunEffect.get());
  if (m_nTurntableState == 2 && !opening) {
    if (m_bBoxesPending) {
      m_bBoxesPending = 0;
      CZqUIPanel* firstBox = FindPanel(ZQ_GBK("一号宝箱"));
      if (m_pBonusTurntable) {
        // The bonus turntable's target came with the bonus result: no box is offered, or its
        // pick would ask for a second bonus result and open the bonus again.
        m_nTurntableState = 5;
      } else {
        if (m_pBoxPanel) m_uiMain.AddSubPanel(m_pBoxPanel);
        m_uiMain.SetEnable(1);
        if (firstBox) {
          char key[32];
          const int n = BonusTipNumber();
          std::snprintf(key, sizeof(key), "bonustip%d", n == 0 ? -1 : n);
          ShowConfiguredText("BONUSTIP", key);
          SetMarqueeFlash(1);
        } else {
          // Nothing to pick and no bonus turntable: the server chooses, and its bonus result is
          // awaited as after a pick.
          const int zeros[15] = {};
          g_NetTask.SendBonus(zeros);
          Enable(m_pBoxPanel, 0);
          m_nTurntableState = 3;
        }
      }
    }
    // Once the boxes are out the pick may come; whatever still plays only delays state 3 (a
    // "bonus" sound longer than the opening kept the round here for good).
  } else if (opening) {
    busy = true;
  }

  for (auto& slot : m_pResultEffects)
    if (Step(slot.get())) busy = true;
  if (Step(m_pBonusGameEffect.get())) busy = true;
  if ((m_pBonusSound && m_pBonusSound->IsPlaying()) || (m_pBonusGetSound && m_pBonusGetSound->IsPlaying()))
    busy = true;
  for (auto& box : m_BoxEffects)
    if (Step(box.get())) busy = true;
  if (busy || (m_pJackpotSound && m_pJackpotSound->IsPlaying())) return 0;

  if (m_nTurntableState == 4) {
    if (m_nRoundWin > 0) {
      SetWinCaption(m_nRoundWin);
      m_nCredits = ClampToInt(static_cast<long long>(m_nCredits) + m_nRoundWin);
      m_nRoundWin = 0;
    }
    m_nTurntableState = 6;
    SetBet(m_nBet);
  }
  if (m_nTurntableState == 2) m_nTurntableState = 3;
  if (m_nTurntableState == 5 && m_bBonus) {
    m_bBonus = 0;
    if (m_pSpinSound) m_pSpinSound->PlayLoop();
    CZqUIPanel* table = FindPanel(ZQ_GBK("赔率表"));
    if (table && !table->IsVisible()) table->SetVisible(1);
  }

  if (m_nTurntableState == 1 && m_bCardsTurning) {
    // Every turntable takes its step; the spin ends once all of them stand.
    bool turning = false;
    for (CTurntable* table : m_Turntables)
      if (table && table->Update() != -1) turning = true;
    if (!turning) {
      m_bLinesByFlag = 1;
      OnReelsStopped();
      if (m_pSpinSound) m_pSpinSound->Stop();
      m_bCardsTurning = 0;
      if (m_nShownCredits >= m_nCredits && !m_bBonus && !m_bJackpot) {
        m_nTurntableState = 6;
        SetBet(m_nBet);
      }
    }
  }

  if (m_nTurntableState == 5 && m_pBonusTurntable) {
    if (m_pBonusTurntable->Update() != -1) return 0;
    SetWinCaption(m_nRoundWin);
    m_nCredits = ClampToInt(static_cast<long long>(m_nCredits) + m_nRoundWin);
    m_nRoundWin = 0;
    m_nTurntableState = 4;
    SetBet(m_nBet);
    m_bBonus = 0;
    if (m_pSpinSound) m_pSpinSound->Stop();
  }

  if (m_nTurntableState == 6) {
    if (m_bBonus && IsAutoPlay()) Step(m_pAutoBonusEffect.get());
    const bool coinsLoaded = m_pBetSounds[0] && m_pBetSounds[1] && m_pBetSounds[2];
    if (coinsLoaded)
      for (const auto& coin : m_pBetSounds)
        if (coin->IsPlaying()) return 0;
    if (m_nShownCredits < m_nCredits) {
      if (m_nMultiple > 0 && !m_bBonus) {
        CZqSound* burst = m_pBetSounds[m_nMultiple <= 19 ? 0 : m_nMultiple <= 49 ? 1 : 2].get();
        if (burst) burst->Play();
        m_nMultiple = 0;
        return 0;
      }
      if (m_pCoinOutSound) m_pCoinOutSound->PlayLoop();
      // The whole win takes 0.5 s up to 50, 1 s up to 100 and 3 s above.
      const double f = m_nShownWin <= 50 ? 0.0002 : m_nShownWin <= 100 ? 0.0001 : 1.0 / 30000.0;
      long long step = std::llround(static_cast<double>(dt) * m_nShownWin * f);
      if (step < 1) step = 1;
      if (step > static_cast<long long>(m_nCredits) - m_nShownCredits) step = m_nCredits - m_nShownCredits;
      SetPlayerChips(m_nShownCredits + static_cast<int>(step));
      if (m_nShownCredits >= m_nCredits && m_pCoinOutSound) {
        SetPlayerChips(m_nCredits);
        m_pCoinOutSound->Stop();
      }
    }
    if (m_nShownCredits >= m_nCredits) EndTurntableRound();
  }

  if (m_nTurntableState == 0 && m_nShownCredits >= m_nCredits) {
    for (auto& slot : m_pResultEffects)
      if (slot) slot->m_aniEffect.ReleaseObjects();
    for (auto& box : m_BoxEffects)
      if (box) box->m_aniEffect.ReleaseObjects();
    if (m_pShowBoxEffect) m_pShowBoxEffect->m_aniEffect.ReleaseObjects();
    // Drawing the same caption text again every idle frame would cost a text render each time.
    if (m_nShownCredits != m_nCredits) SetPlayerChips(m_nCredits);
  }

  if (m_bRoundEnded) {
    m_bRoundEnded = 0;
    m_bBettingOpen = 1;
    m_nTurntableState = 0;
    SettleAutoPlay();
  }
  return 0;
}

void CSlotGame::EndTurntableRound() {
  if (m_pBoxPanel) {
    m_pBoxPanel->SetEnable(1);
    m_uiMain.DelSubPanel(m_pBoxPanel);
  }
  for (CTurntable* table : m_Turntables)
    if (table) table->SetVisible(1);
  m_bLinesByFlag = 0;
  SetBet(0);
  if (CZqUIPanel* table = FindPanel(ZQ_GBK("赔率表"))) table->SetVisible(0);
  CheckCredits();
  m_dwLastPlayTime = timeGetTime();
  m_bRoundEnded = 1;
  m_bBonus = 0;
  m_bJackpot = 0;
  m_bBetPending = 0;
  g_bSpinLocked = 0;
  // The lever looks again whether the pointer rests on it, so its hint can come back.
  if (CZqUIPanel* lever = FindPanel(ZQ_GBK("转动杆"))) {
    const SScreenPoint& at = m_pEngine->GetMousePoint();
    HitTestPanelAt(lever, at.x, at.y);
  }
  char name[8];
  for (int i = 1; i <= 3; ++i) {
    std::snprintf(name, sizeof(name), "bet%d", i);
    if (CZqUIPanel* bet = FindPanel(name)) bet->SetVisible(1);
  }
  SetPlayerChips(m_nCredits);
  for (int i = 0; i < 3; ++i) {
    m_anLineLit[i] = 0;
    m_rcLineRow[i] = m_rcLineCell[i] = SScreenRect(0, 0, 0, 0);
  }
  m_rcBonusCell = SScreenRect(0, 0, 0, 0);
}

void CSlotGame::SettleAutoPlay() {
  CZqUIPanel* exit = FindPanel(ZQ_GBK("退出"));
  const long long cost = static_cast<long long>(m_nBetUnit) * m_nLastBet;
  if (m_nCredits < cost) {
    StopAutoPlay();
    m_nAutoPlay = 0;
    SetAutoPlayCaption(0);
    Enable(exit, 1);
    SwapInControlPanel(1);
    ShowNotEnough();
    return;
  }
  if (!IsAutoPlay() && m_pControlPanel && !m_pControlPanel->IsEnable()) m_pControlPanel->SetEnable(1);
  if (m_bAutoStopRequested) {
    m_nAutoPlay = 0;
    SetAutoPlayCaption(0);
    m_bAutoStopRequested = 0;
    m_uiMain.SetEnable(1);
    SwapInControlPanel(1);
    StopAutoPlay();
  } else if (IsAutoPlay()) {
    if (m_nAutoPlay > 0) {
      m_nCredits = ClampToInt(m_nCredits - cost);
      SetPlayerChips(m_nCredits);
      g_NetTask.SendBet(m_nLastBet);
      m_bBetPending = 1;
      g_bSpinLocked = 0;
    } else {
      SwapInControlPanel(1);
      StopAutoPlay();
    }
  }
  // Every round ends with the exit open again and the lever free, not only auto-play's.
  Enable(exit, 1);
  m_bLeverPulled = 0;
}
