// Kind 1, five-card draw as a slot: the bet, the deal onto five card reels, the holds, the draw,
// and the win presented and counted into the credits.
#include <cmath>
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

constexpr int kFirstCard = 4;
constexpr int kFirstHold = 9;
constexpr int kHandLetter = 14;

bool IsCardCode(const char* s) {
  return std::strlen(s) == 2 && s[0] >= 'a' && s[0] <= 'm' && s[1] >= '0' && s[1] <= '3';
}

bool IsHoldFlag(const char* s) { return (s[0] == '0' || s[0] == '1') && !s[1]; }

bool IsAmount(const char* s) {
  if (!*s || std::strlen(s) > 9) return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

// Fields 4 to 13: five cards and five hold flags, as every kind-1 result carries them.
bool CardsAndHoldsValid(char** fields) {
  for (int i = 0; i < CSlotGame::kCardHolds; ++i)
    if (!IsCardCode(Field(fields, kFirstCard + i)) || !IsHoldFlag(Field(fields, kFirstHold + i)))
      return false;
  return true;
}

// A reply the round cannot use is left alone; the round waits for the next one.
void LogIgnoredReply(const char* what) {
  if (CZqDebug* log = CZqFunc::GetDebuger()) log->ADD_LOG("1543 ignored: %s", what);
  std::fprintf(stderr, "client: 1543 ignored: %s\n", what);
}

void Enable(CZqUIPanel* panel, int on) {
  if (panel) panel->SetEnable(on);
}

}  // namespace

int CSlotGame::OnCardBetReply(int amount) {
  // A second acceptance inside a round would deal again over the cards in play.
  if (m_nCardState != 0 || m_nBetUnit == 0) return 0;
  m_nBet = amount / m_nBetUnit;
  m_nCardState = 3;
  g_NetTask.SendDeal();
  SetBet(m_nBet);
  return 1;
}

void CSlotGame::OnCardResult(char** fields) {
  if (m_nCardState == 3)
    ShowDealtCards(fields);
  else if (m_nCardState == 4)
    ShowFinalCards(fields);
}

void CSlotGame::ShowDealtCards(char** fields) {
  if (!CardsAndHoldsValid(fields)) {
    LogIgnoredReply("a deal without five cards and five holds");
    return;
  }
  m_nCardState = 5;
  DealCards(fields, nullptr);
  m_nLastBet = m_nBet;
  for (int i = 0; i < kCardHolds; ++i) m_anHoldHint[i] = Field(fields, kFirstHold + i)[0] == '1';
}

void CSlotGame::ShowFinalCards(char** fields) {
  if (!CardsAndHoldsValid(fields) || !IsAmount(Field(fields, 2)) || !*Field(fields, 3) ||
      !*Field(fields, kHandLetter)) {
    LogIgnoredReply("a draw without its win, kind, cards, holds and hand");
    return;
  }
  char holds[kCardHolds + 1] = {};
  char name[8];
  for (int i = 0; i < kCardHolds; ++i) {
    std::snprintf(name, sizeof(name), "HINT%d", i + 1);
    CZqUIPanel* hint = FindPanel(name);
    holds[i] = hint && hint->IsVisible() ? '1' : '0';
  }
  DealCards(fields, holds);
  m_bWin = 0;
  m_bJackpot = 0;
  m_szHandLetter[0] = Field(fields, kHandLetter)[0];
  m_szHandLetter[1] = 0;
  const char kind = Field(fields, 3)[0];
  const int win = std::atoi(Field(fields, 2));
  const long long perMultiple = static_cast<long long>(m_nBetUnit) * m_nBet;
  if (kind == '1' || kind == '3') {
    m_nRoundWin = win;
    m_nLastBet = m_nBet;
    m_nMultiple = perMultiple > 0 ? static_cast<int>(win / perMultiple) : 0;
    if (kind == '1')
      m_bWin = win > 0;
    else
      m_bJackpot = 1;
  } else {
    // A round without a win adds nothing, whatever an earlier round left behind.
    m_nRoundWin = 0;
    m_nMultiple = 0;
  }
  m_nCardState = 6;
}

void CSlotGame::DealCards(char** fields, const char* holds) {
  if (m_pSpinSound) m_pSpinSound->PlayLoop();
  int i = 0;
  for (CCardReel* reel : m_CardReels) {
    if (i >= kCardHolds) break;
    if (reel && (!holds || holds[i] == '0')) reel->SetResultCard(Field(fields, kFirstCard + i));
    ++i;
  }
  m_bCardsTurning = 1;
  m_nTurntableState = 1;
  if (CZqUIPanel* lever = FindPanel(ZQ_GBK("转动杆"))) {
    PullLever(lever);
    m_bLeverPulled = 1;
  }
}

void CSlotGame::OnCardsStopped() {
  if (m_pSpinSound) m_pSpinSound->Stop();
  m_bCardsTurning = 0;
  if (m_nCardState == 5) {
    BeginHoldPhase();
    m_nCardState = 4;
  } else if (m_nCardState == 6) {
    PresentCardResult();
  }
}

void CSlotGame::BeginHoldPhase() {
  SetWinCaption(0);
  EnableHoldButtons(1);
  EnableSpinButtons(0, 0, 1, 0);
  SetHolds(m_anHoldHint);
  EnableInfoButton(1);
  g_bSpinLocked = 0;
}

void CSlotGame::PresentCardResult() {
  ShowAllHints(nullptr);
  if (m_bWin) {
    SetWinCaption(m_nRoundWin);
    m_fWinToCount = static_cast<float>(m_nRoundWin);
    if (m_WinBlink) m_WinBlink->Show(1);
    m_bShowZPD = m_bShowStar = 1;
    m_nCardState = 8;
    SelectPayTableRects();
    m_bPayTableLit = 1;
    ShowWinDigits(1);
  } else if (m_bJackpot) {
    SetWinCaption(m_nRoundWin);
    m_fWinToCount = static_cast<float>(m_nRoundWin);
    if (m_pResultEffects[4]) m_pResultEffects[4]->Restart();
    if (m_pJackpotSound) m_pJackpotSound->Play();
    if (m_WinBlink) m_WinBlink->Show(1);
    m_bShowZPD = m_bShowPMD = m_bShowStar = m_bShowLight = 1;
    m_nCardState = 7;
  } else {
    EndCardRound();
  }
  if (m_nShownCredits != m_nCredits) SetPlayerChips(m_nCredits);
  // The win is in the credits from here on (the shown credits count up to it); keeping it as the
  // round win as well would add it once more.
  const long long credits = static_cast<long long>(m_nCredits) + m_nRoundWin;
  m_nCredits = credits > INT32_MAX ? INT32_MAX : static_cast<int>(credits);
  m_nRoundWin = 0;
}

void CSlotGame::SelectPayTableRects() {
  m_rcHandRow = m_rcHandCell = SScreenRect(0, 0, 0, 0);
  char name[32];
  std::snprintf(name, sizeof(name), "%s%d", m_szHandLetter, 0);
  auto row = m_PayTableRects.find(name);
  if (row != m_PayTableRects.end()) m_rcHandRow = row->second;
  std::snprintf(name, sizeof(name), "%s%d", m_szHandLetter, m_nBet);
  auto cell = m_PayTableRects.find(name);
  if (cell != m_PayTableRects.end()) m_rcHandCell = cell->second;
}

void CSlotGame::EndCardRound() {
  m_bLinesByFlag = 0;
  SetBet(0);
  if (m_WinBlink) m_WinBlink->Show(0);
  m_bLeverPulled = 0;
  m_bShowPMD = m_bShowZPD = m_bShowStar = m_bShowLight = 0;
  m_bJackpot = 0;
  m_bWin = 0;
  m_bPayTableLit = 0;
  m_nTurntableState = 0;
  m_bCardsTurning = 0;
  m_bBetPending = 0;
  m_bSpinHover = 0;
  m_bBettingOpen = 1;
  EnableSpinButtons(1, 1, 1, 1);
  EnableHoldButtons(0);
  EnableInfoButton(1);
  ShowWinDigits(0);
  CheckCredits();
  g_bSpinLocked = 0;
  m_nCardState = 0;
}

void CSlotGame::ToggleHold(const char* name) {
  // Only while the holds are open: a mark flipped after the draw went out would show a card the
  // server replaced as held.
  if (g_nGameType != 1 || m_nCardState != 4 || g_bSpinLocked || !name) return;
  char button[8], mark[8];
  for (int i = 1; i <= kCardHolds; ++i) {
    std::snprintf(button, sizeof(button), "HOLD%d", i);
    if (std::strcmp(button, name) != 0) continue;
    std::snprintf(mark, sizeof(mark), "HINT%d", i);
    if (CZqUIPanel* hint = FindPanel(mark)) hint->SetVisible(!hint->IsVisible());
  }
}

void CSlotGame::SetHoldButtonStates(int s1, int s2, int s3, int s4, int s5) {
  const int states[kCardHolds] = {s1, s2, s3, s4, s5};
  char name[8];
  for (int i = 0; i < kCardHolds; ++i) {
    std::snprintf(name, sizeof(name), "HOLD%d", i + 1);
    CZqUIPanel* button = FindPanel(name);
    if (!button) continue;
    if (states[i] == 0)
      button->SetEnable(1);
    else if (states[i] == 1)
      button->SetEnable(0);
    else if (states[i] == 2)
      button->SetChecked(1);
  }
}

void CSlotGame::EnableHoldButtons(int on) {
  char name[8];
  for (int i = 1; i <= kCardHolds; ++i) {
    std::snprintf(name, sizeof(name), "HOLD%d", i);
    Enable(FindPanel(name), on);
  }
}

void CSlotGame::SetHoldChecks(const int* flags) {
  char name[8];
  for (int i = 0; i < kCardHolds; ++i) {
    std::snprintf(name, sizeof(name), "HOLD%d", i + 1);
    if (CZqUIPanel* button = FindPanel(name)) button->SetChecked(flags && flags[i] == 1);
  }
}

void CSlotGame::SetHints(const int* flags) {
  char name[8];
  for (int i = 0; i < kCardHolds; ++i) {
    std::snprintf(name, sizeof(name), "HINT%d", i + 1);
    if (CZqUIPanel* hint = FindPanel(name)) hint->SetVisible(flags && flags[i] == 1);
  }
}

void CSlotGame::SetHolds(const int* flags) {
  SetHoldChecks(flags);
  SetHints(flags);
}

void CSlotGame::ShowAllHints(const void* any) {
  char name[8];
  for (int i = 1; i <= kCardHolds; ++i) {
    std::snprintf(name, sizeof(name), "HINT%d", i);
    if (CZqUIPanel* hint = FindPanel(name)) hint->SetVisible(any ? 1 : 0);
  }
}

long CSlotGame::UpdateCardGame(DWORD dt) {
  for (auto& wheel : m_DigitWheels) wheel->Tick();
  for (auto& effect : m_ExtraEffects) effect->Update();
  bool busy = false;
  if (m_bWin || m_bJackpot) {
    for (auto& slot : m_pResultEffects) {
      if (!slot) continue;
      slot->Update();
      busy = busy || slot->IsShown();
    }
  }
  if (m_pJackpotSound && m_pJackpotSound->IsPlaying()) busy = true;
  if (m_bWin) {
    m_EffectZPD.Update();
    m_EffectStar.Update();
    if (m_WinBlink) m_WinBlink->Tick();
  }
  if (m_bJackpot) {
    m_EffectZPD.Update();
    m_EffectStar.Update();
    m_EffectPMD.Update();
    m_EffectLight.Update();
  }
  if (busy) return 0;

  if (m_nCardState == 7) m_nCardState = 8;

  if (m_nTurntableState == 1 && m_bCardsTurning) {
    // Every reel takes its step; the round goes on once none of them turns.
    bool turning = false;
    for (CCardReel* reel : m_CardReels)
      if (reel && reel->Step(dt) != CCardReel::kIdle) turning = true;
    if (turning) return 0;
    m_bLinesByFlag = 1;
    m_nTurntableState = 0;
    OnCardsStopped();
  }

  if (m_nCardState == 8) {
    const bool coinsLoaded = m_pBetSounds[0] && m_pBetSounds[1] && m_pBetSounds[2];
    if (coinsLoaded) {
      for (const auto& coin : m_pBetSounds)
        if (coin->IsPlaying()) return 0;
    }
    if (m_nShownCredits < m_nCredits) {
      if (m_nMultiple > 0) {
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
      SubtractShownWin(static_cast<int>(step));
      if (m_nShownCredits >= m_nCredits) {
        if (m_pCoinOutSound) m_pCoinOutSound->Stop();
        SetWinCaption(0);
        SetPlayerChips(m_nCredits);
      }
      return 0;
    }
    if (CZqUIPanel* table = FindPanel(ZQ_GBK("赔率表"))) table->SetVisible(0);
    RestoreMarquee();
    m_dwLastPlayTime = timeGetTime();
    char name[8];
    for (int i = 1; i <= 3; ++i) {
      std::snprintf(name, sizeof(name), "bet%d", i);
      if (CZqUIPanel* bet = FindPanel(name)) bet->SetVisible(1);
    }
    SetPlayerChips(m_nCredits);
    m_anLineLit[0] = m_anLineLit[1] = m_anLineLit[2] = 0;
    EndCardRound();
  }

  if (m_nTurntableState == 0 && m_nShownCredits >= m_nCredits) {
    for (auto& slot : m_pResultEffects)
      if (slot) slot->m_aniEffect.ReleaseObjects();
    // Drawing the same caption text again every idle frame would cost a text render each time.
    if (m_nShownCredits != m_nCredits) SetPlayerChips(m_nCredits);
  }
  return 0;
}

long CSlotGame::RenderCardGame() {
  if (!g_NetTask.IsConnected() || !m_pEngine) return 0;
  RenderScreen();
  m_pEngine->PreparePaint(5, 6, 5, 4);
  m_pEngine->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
  m_pEngine->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
  for (CCardReel* reel : m_CardReels)
    if (reel) reel->Render();
  // The reels filter their curved strips; what follows is drawn unscaled, where point sampling
  // gives the same pixels for less work.
  m_pEngine->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
  m_pEngine->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
  if (m_WinBlink) m_WinBlink->Draw();
  for (auto& wheel : m_DigitWheels) wheel->Draw();

  m_pEngine->PreparePaint(5, 6, 5, 4);
  for (auto& effect : m_ExtraEffects) effect->Render(0.2f);
  const std::pair<CSlotEffect*, int> shown[] = {{&m_EffectZPD, m_bShowZPD},
                                                {&m_EffectPMD, m_bShowPMD},
                                                {&m_EffectStar, m_bShowStar},
                                                {&m_EffectLight, m_bShowLight}};
  for (const auto& [effect, on] : shown)
    if (on) effect->Render(0.0f);
  if (m_bPayTableLit) {
    const float level = m_pEngine->ValueCycle(1.0f, 2.0f, 0, 1000, 1);
    m_pEngine->Render_LightRect(&m_rcHandRow, level);
    m_pEngine->Render_LightRect(&m_rcHandCell, level);
    m_pEngine->PreparePaint(5, 6, 5, 4);
  }
  if (m_bSpinHover && m_pPoleTipEffect) m_pPoleTipEffect->Render(0.0f);
  for (auto& slot : m_pResultEffects)
    if (slot) slot->Render(0.0f);
  return 0;
}
