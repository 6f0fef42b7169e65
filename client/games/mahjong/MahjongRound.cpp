// Kind 2's round, one frame at a time: the reels land, the line win is counted in, then the extra
// prizes in turn (heavenly hand and pool, dice lamps and dice bonus, all mahjong, bonus cards,
// free games), and the round ends by starting the next free or auto-play game or by handing the
// buttons back.
#include <climits>
#include <cmath>

#include "games/core/SlotGame.h"
#include "games/pieces/EffectTime.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

unsigned char g_bFreeGamesEnded = 0;

namespace {

constexpr long kDicePauseMs = 1500;
constexpr long kPoolPauseMs = 500;
constexpr long kFreeIntroMs = 2200;

// What the dice lamps report: the adding has ended; all five lit and flashing.
constexpr int kLampsAdded = 3;
constexpr int kLampsFlashing = 2;

constexpr int kAddMoneyCode = CAllMahjongEffect::kAddMoney;

// A fanfare in play holds the count.
bool Playing(const std::unique_ptr<CZqSound>& sound) { return sound && sound->IsPlaying(); }

int AddClamped(int a, int b) {
  const long long sum = static_cast<long long>(a) + b;
  return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

void Enable(CZqUIPanel* panel, int on) {
  if (panel) panel->SetEnable(on);
}

}  // namespace

int CSlotGame::CountUpCredits(DWORD dt, int dice) {
  if (m_nShownCredits < m_nCredits) {
    if (m_pCoinOutSound) m_pCoinOutSound->PlayLoop();
    // The whole amount takes 0.5 s up to 50, 1 s up to 100 and 3 s above; a step is at least
    // one credit and never passes the credits.
    const int w = m_nShownWin;
    const double f = w <= 50 ? 0.0002 : w <= 100 ? 0.0001 : static_cast<double>(1.0f / 30000.0f);
    long long step = static_cast<long long>(std::floor(static_cast<double>(dt) * w * f + 0.5));
    if (step < 1) step = 1;
    const long long left = static_cast<long long>(m_nCredits) - m_nShownCredits;
    if (step > left) step = left;
    SetPlayerChips(m_nShownCredits + static_cast<int>(step));
    if (dice)
      LowerDiceWin(static_cast<int>(step));
    else
      SubtractShownWin(static_cast<int>(step));
    if (m_nShownCredits < m_nCredits) return 0;
  }
  if (dice)
    LowerDiceWin(0);
  else
    SubtractShownWin(0);
  SetPlayerChips(m_nCredits);
  if (m_pCoinOutSound) m_pCoinOutSound->Stop();
  return 1;
}

void CSlotGame::StartBonusRows() {
  for (int row = 0; row < kGridRows; ++row) {
    if (!m_anBonusRow[row]) continue;
    m_anBonusRow[row] = 0;
    int faces[kGridRows];
    for (int i = 0; i < kGridRows; ++i) {
      const char letter = m_szSymbols[row * kGridRows + i];
      faces[i] = -1;
      for (int n = 0; n < kMahjongFaces; ++n)
        if (m_szMahjongLetters[n] && m_szMahjongLetters[n] == letter) {
          faces[i] = n + 1;
          break;
        }
    }
    if (m_pCardAnimSet) m_pCardAnimSet->DealRow(faces);
    m_nMahjongState = 27;
    return;
  }
  m_nMahjongState = 24;
}

long CSlotGame::UpdateMahjongGame(DWORD dt) {
  const DWORD now = timeGetTime();
  if (m_pPayTable) {
    const int slide = m_pPayTable->Update();
    CZqUIPanel* button = nullptr;
    if (slide == CPayTableSlide::kHasSlidIn) button = FindPanel(ZQ_GBK("拉出"));
    if (slide == CPayTableSlide::kHasSlidOut) button = FindPanel(ZQ_GBK("拉进"));
    if (button) button->SetVisible(1);
  }
  m_nCardAnimEvent = m_pCardAnimSet ? m_pCardAnimSet->Update() : 0;
  if (m_pWinLineBlink) m_pWinLineBlink->Update();
  if (m_pWinTable) m_pWinTable->Update();
  m_nDiceLampsEvent = m_pDiceLamps ? m_pDiceLamps->Update() : 0;
  for (auto& effect : m_Effects) effect->Update();

  switch (m_nMahjongState) {
    case 1: {
      bool turning = false;
      for (CCardReel* reel : m_CardReels)
        if (reel && reel->Step(dt) != CCardReel::kIdle) turning = true;
      if (turning) break;
      m_bReelsStopped = 1;
      m_bHeavenlyStarted = 0;
      EnableReelStopButtons(0);
      if (m_pSpinSound) m_pSpinSound->Stop();
      m_nMahjongState = m_bFreeGames ? 2 : 5;
      break;
    }
    case 2: {
      const int next = m_bFreeGames ? 9 : 6;
      const int win = m_nRoundWin;
      if (m_cResultKind == '1' || m_cResultKind == '2') {
        if (win < 1) {
          m_nMahjongState = next;
          break;
        }
        m_fWinToCount = static_cast<float>(win);
        if (m_pWinLineBlink) m_pWinLineBlink->Blink();
        if (m_pPayTable) m_pPayTable->LightAwards();
        m_nMahjongState = 3;
      } else if (m_cResultKind == '3') {
        m_fWinToCount = static_cast<float>(win);
        m_JackpotEffect.Restart();
        if (m_pJackpotSound) m_pJackpotSound->Play();
        m_nMahjongState = 4;
      } else {
        m_nMahjongState = next;
        break;
      }
      SetWinCaption(win);
      if (m_nShownCredits != m_nCredits) SetPlayerChips(m_nCredits);
      m_nCredits = AddClamped(m_nCredits, win);
      m_nRoundWin = 0;
      const long long perMultiple = static_cast<long long>(m_nBetUnit) * m_nBet;
      m_nMultiple = perMultiple > 0 ? static_cast<int>(win / perMultiple) : 0;
      break;
    }
    case 3: {
      if (m_nShownCredits >= m_nCredits) {
        m_nMahjongState = m_bFreeGames ? 9 : 6;
        break;
      }
      if (m_nMultiple != -1) {
        CZqSound* fanfare = m_pBetSounds[m_nMultiple <= 19 ? 0 : m_nMultiple <= 49 ? 1 : 2].get();
        if (fanfare) fanfare->Play();
        m_nMultiple = -1;
      }
      if (m_pBetSounds[0] && m_pBetSounds[1] && m_pBetSounds[2] &&
          (Playing(m_pBetSounds[0]) || Playing(m_pBetSounds[1]) || Playing(m_pBetSounds[2])))
        break;
      if (CountUpCredits(dt, 0)) {
        if (m_pWinLineBlink) m_pWinLineBlink->SetState(CWinLineBlink::kOff);
        if (m_pPayTable) m_pPayTable->UnlightAwards();
      }
      break;
    }
    case 4:
      m_JackpotEffect.Update();
      if (m_JackpotEffect.IsShown() || (m_pJackpotSound && m_pJackpotSound->IsPlaying())) break;
      m_nMahjongState = 3;
      break;
    case 5:
      if (!m_bHeavenlyStarted) {
        if (m_nHeavenlyWin < 1) {
          m_nMahjongState = 2;
          break;
        }
        if (m_pHeavenlyHand) m_pHeavenlyHand->Start();
        m_bHeavenlyStarted = 1;
      }
      if (m_pHeavenlyHand && m_pHeavenlyHand->Update() != CHeavenlyHandEffect::kIdle) break;
      m_nPoolShown = m_nPoolTarget;
      m_nPoolTarget = AddClamped(m_nPoolTarget, m_nHeavenlyWin);
      m_nMahjongState = 14;
      break;
    case 14: {
      if (m_nPoolShown < m_nPoolTarget) {
        if (m_pCoinOutSound) m_pCoinOutSound->PlayLoop();
        // Half a second for the whole amount, and at least one a frame so a small one ends.
        long long step = static_cast<long long>(static_cast<double>(dt) * m_nHeavenlyWin * 0.0002);
        if (step < 1) step = 1;
        const long long pool = static_cast<long long>(m_nPoolShown) + step;
        SetPoolValue(pool > m_nPoolTarget ? m_nPoolTarget : static_cast<int>(pool));
        if (m_nPoolShown < m_nPoolTarget) break;
      }
      SetPoolValue(m_nPoolTarget);
      if (m_pCoinOutSound) m_pCoinOutSound->Stop();
      m_nMahjongState = 2;
      break;
    }
    case 6: {
      const int added = m_nDiceLampsToAdd > 0 && m_pDiceLamps;
      if (added) m_pDiceLamps->AddLamps(m_nDiceLampsToAdd);
      if (m_nDiceWin < 1) {
        m_nMahjongState = added ? 16 : 19;
        break;
      }
      m_nShownWin = m_nDiceToCount = m_nDiceWin;
      m_bDiceFanfare = 1;
      m_nCredits = AddClamped(m_nCredits, m_nDiceWin);
      m_nMahjongState = 15;
      break;
    }
    case 15: {
      if (m_nShownCredits >= m_nCredits) {
        if (m_pDiceLamps) m_pDiceLamps->Finish();
        m_dwPauseTime = now;
        m_nMahjongState = 17;
        break;
      }
      if (m_bDiceFanfare) {
        if (m_pBetSounds[2]) m_pBetSounds[2]->Play();
        m_bDiceFanfare = 0;
      }
      if (Playing(m_pBetSounds[2])) break;
      if (CountUpCredits(dt, 1) && m_pDiceLamps) m_pDiceLamps->Finish();
      break;
    }
    case 16:
      // Five lit lamps flash until they are finished: without a dice bonus to count, the round
      // finishes them itself once their adding time is over.
      if (m_nDiceLampsEvent == kLampsFlashing && m_pDiceLamps) {
        m_pDiceLamps->Finish();
      } else if (m_nDiceLampsEvent != kLampsAdded && m_nDiceLampsEvent != 0) {
        break;
      }
      m_nPoolTarget = m_nNewPool;
      m_nMahjongState = 19;
      break;
    case 17:
      if (!MsPassedMore(now, m_dwPauseTime, kDicePauseMs)) break;
      SetPoolValue(m_nNewPool);
      m_dwPauseTime = now;
      m_nMahjongState = 18;
      break;
    case 18:
      if (!MsPassedMore(now, m_dwPauseTime, kPoolPauseMs)) break;
      m_nPoolTarget = m_nNewPool;
      m_nMahjongState = 19;
      break;
    case 19:
      if (m_nAllMahjongWin < 1 || !m_pAllMahjong) {
        m_nMahjongState = 22;
        break;
      }
      m_pAllMahjong->Start();
      m_fWinToCount = static_cast<float>(m_nAllMahjongWin);
      SetWinCaption(m_nAllMahjongWin);
      m_nMahjongState = 20;
      [[fallthrough]];
    case 20: {
      // An add-money time past the effect's end never comes: the effect's end adds the money then.
      const int code = m_pAllMahjong->Update();
      if (code != kAddMoneyCode && code > CAllMahjongEffect::kIdle) break;
      SetPlayerChips(m_nCredits);
      m_nCredits = AddClamped(m_nCredits, m_nAllMahjongWin);
      m_nShownWin = m_nAllMahjongWin;
      m_nMahjongState = 21;
      [[fallthrough]];
    }
    case 21:
      if (m_nShownCredits >= m_nCredits) {
        m_pAllMahjong->SetState(CAllMahjongEffect::kIdle);
        m_nMahjongState = 22;
        break;
      }
      m_pAllMahjong->Update();
      if (CountUpCredits(dt, 0)) m_pAllMahjong->SetState(CAllMahjongEffect::kIdle);
      break;
    case 22:
      m_nMahjongState = m_anBonusRow[0] || m_anBonusRow[1] || m_anBonusRow[2] ? 23 : 9;
      break;
    case 23:
      StartBonusRows();
      if (m_nMahjongState != 24) break;
      [[fallthrough]];
    case 24:
      if (m_nFreeGames < 1) {
        m_nMahjongState = 9;
        break;
      }
      SetAutoPlayCaption(m_nFreeGames);
      for (CZqUIPanel* panel : {m_pControlPanel, m_pAutoStopPanel, m_pFreePanel})
        if (panel) m_uiMain.DelSubPanel(panel);
      if (m_pFreePanel2) {
        m_pFreePanel2->SetEnable(0);
        m_uiMain.AddSubPanel(m_pFreePanel2);
      }
      if (m_pCardAnimSet) m_pCardAnimSet->FlashAndShow();
      if (m_pFreeAward) m_pFreeAward->Light(m_nFreeGames);
      if (m_pFreeLuckSound) m_pFreeLuckSound->Play();
      ShowFreeLuck();
      m_dwFreeIntroTime = now;
      m_nMahjongState = 25;
      break;
    case 27:
      if (m_nCardAnimEvent == CCardAnimSet::kRowDealt || m_nCardAnimEvent == CCardAnimSet::kLastDealt)
        m_nMahjongState = 23;
      break;
    case 25:
      if (!MsPassedMore(now, m_dwFreeIntroTime, kFreeIntroMs)) break;
      if (m_pFreeAward) m_pFreeAward->Dark();
      ShowFreeGamesLeft(-1);
      m_nMahjongState = 26;
      break;
    case 26:
      m_nMahjongState = 9;
      break;
    case 9:
      g_bFreeGamesEnded = 0;
      if (m_bFreeGames) {
        const int left = m_nFreeGames--;
        if (left <= 1) {
          m_nFreeGames = 0;
          m_bFreeGames = 0;
          g_bFreeGamesEnded = 1;
          if (m_pCardAnimSet) m_pCardAnimSet->FadeAndClear();
          SetBet(0);
          RestoreMarquee();
          m_nMahjongState = 10;
          break;
        }
        Enable(FindPanel(ZQ_GBK("转动按钮")), 1);
      } else if (m_nFreeGames > 0) {
        if (m_pWinTable) m_pWinTable->SlideOut();
        Enable(m_pFreePanel2, 1);
        m_bFreeGames = 1;
      }
      m_nMahjongState = 11;
      break;
    case 10:
      if (m_nCardAnimEvent != CCardAnimSet::kRevealed && m_pCardAnimSet) break;
      m_nMahjongState = 11;
      [[fallthrough]];
    case 11:
      m_dwLastPlayTime = now;
      SetPlayerChips(m_nCredits);
      m_nMahjongState = 12;
      [[fallthrough]];
    case 12:
      EndMahjongRound();
      break;
    default:
      break;
  }
  return 0;
}

void CSlotGame::EndMahjongRound() {
  m_nBet = 0;
  m_bBetPending = 0;
  g_bSpinLocked = 0;
  m_nMahjongState = 0;
  for (CZqUIPanel* panel : {m_pFreePanel, m_pFreePanel2, m_pAutoStopPanel, m_pControlPanel})
    if (panel) m_uiMain.DelSubPanel(panel);
  m_bAutoPlaying = m_nAutoPlay > 0;
  const auto show = [this](CZqUIPanel* panel) {
    if (!panel) return;
    panel->SetEnable(1);
    m_uiMain.AddSubPanel(panel);
  };
  CZqUIPanel* exitButton = FindPanel(ZQ_GBK("退出"));

  if (m_bAutoStopRequested) {
    m_nAutoPlay = 0;
    m_bAutoStopRequested = 0;
    if (!m_bFreeGames) {
      if (!CheckCredits()) return;
      SetAutoPlayCaption(0);
      m_uiMain.SetEnable(1);
      if (m_pControlPanel) m_uiMain.AddSubPanel(m_pControlPanel);
      m_bAutoPlaying = 0;
      Enable(exitButton, 1);
      return;
    }
    if (m_pFreePanel) m_uiMain.AddSubPanel(m_pFreePanel);
    Enable(exitButton, 1);
  }

  if (g_bFreeGamesEnded) {
    if (m_bFreePaused && m_bAutoPlaying) {
      if (!CheckCredits()) return;
      SetAutoPlayCaption(m_nAutoPlay);
      show(m_pControlPanel);
      CheckCredits();
    } else if (m_bAutoPlaying) {
      if (CheckCredits()) {
        show(m_pAutoStopPanel);
        Spin();
      }
    } else if (CheckCredits()) {
      show(m_pControlPanel);
      Enable(exitButton, 1);
    }
    g_bFreeGamesEnded = 0;
    m_bFreePaused = 0;
    return;
  }

  if (m_bFreeGames) {
    ShowFreeGamesLeft(-1);
    if (m_bFreePaused) {
      show(m_pFreePanel);
      if (m_pFreePanel2) m_uiMain.DelSubPanel(m_pFreePanel2);
      Enable(exitButton, 1);
    } else {
      if (m_pFreePanel2) m_uiMain.AddSubPanel(m_pFreePanel2);
      Spin();
    }
    return;
  }

  if (m_bAutoPlaying) {
    if (CheckCredits()) {
      Enable(m_pControlPanel, 1);
      if (m_pAutoStopPanel) m_uiMain.AddSubPanel(m_pAutoStopPanel);
      Spin();
    }
    return;
  }

  if (CheckCredits()) {
    show(m_pControlPanel);
    Enable(exitButton, 1);
  }
}
