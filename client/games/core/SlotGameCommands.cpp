// The commands the kinds share: the bet buttons, the money warnings, the marquee and the exits.
#include <climits>
#include <cstdio>
#include <cstring>

#include "games/core/SlotGame.h"
#include "games/pieces/Turntable.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

namespace {
constexpr UINT_PTR kTimerMarqueeRestore = 1210;
constexpr UINT kMarqueeRestoreMs = 1500;
constexpr UINT_PTR kTimerNoMoneyExit = 1211;
constexpr UINT kNoMoneyExitMs = 8000;

constexpr int kMaxBet = 3;
constexpr int kMaxAutoPlay = 9999;

void Enable(CZqUIPanel* panel, int on) {
  if (panel) panel->SetEnable(on);
}

void SetHoldButtons(CSlotGame& game, int on) {
  char name[8];
  for (int i = 1; i <= 5; ++i) {
    std::snprintf(name, sizeof(name), "HOLD%d", i);
    Enable(game.FindPanel(name), on);
  }
}

long long Units(int count, int unit) { return static_cast<long long>(count) * unit; }

int ClampCredits(long long v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v); }

// The auto-play step of a held button: bigger the longer it is held, nothing after 150 repeats.
int AutoPlayStep(const CZqUIPanel* panel) {
  const DWORD repeats = panel ? panel->GetPressCount() : 0;
  if (repeats <= 10) return 1;
  if (repeats <= 19) return 10;
  if (repeats <= 28) return 100;
  if (repeats <= 150) return 1000;
  return 0;
}
}  // namespace

void CSlotGame::Spin() {
  if (g_bSpinLocked) return;
  g_bSpinLocked = 1;
  switch (g_nGameType) {
    case 0:
      if (m_nTurntableState == 0) PlaceBet();
      break;
    case 1:
      if (m_nCardState == 0) {
        EnableInfoButton(0);
        EnableSpinButtons(0, 0, 0, 0);
        SetHoldButtons(*this, 0);
        PlaceBet();
      } else if (m_nCardState == 4) {
        EnableInfoButton(0);
        EnableSpinButtons(0, 0, 0, 0);
        SetHoldButtons(*this, 0);
        // The hold marks say which cards stay: "1 " for a shown mark, "0 " otherwise.
        char holds[16] = "";
        char name[8];
        for (int i = 1; i <= 5; ++i) {
          std::snprintf(name, sizeof(name), "HINT%d", i);
          CZqUIPanel* hint = FindPanel(name);
          std::strcat(holds, hint && hint->IsVisible() ? "1 " : "0 ");
        }
        g_NetTask.SendDraw(holds);
        m_bSpinHover = 0;
      }
      break;
    case 2:
      if (m_nMahjongState == 0) PlaceMahjongBet();
      break;
    default:
      break;
  }
}

void CSlotGame::PlaceBet() {
  if (m_bBetPending) return;
  int multiple = 0;
  if (m_nBet > 0) {
    multiple = m_nBet;
  } else if (m_nLastBet > 0) {
    const long long cost = Units(m_nLastBet, m_nBetUnit);
    if (cost > m_nCredits) {
      ShowNotEnough();
      EnableSpinButtons(1, 1, 1, 1);
      g_bSpinLocked = 0;
      m_bSpinHover = 0;
      return;
    }
    m_nCredits = ClampCredits(m_nCredits - cost);
    SetPlayerChips(m_nCredits);
    SetBet(m_nLastBet);
    multiple = m_nLastBet;
  } else if (m_nBet == 0) {
    if (static_cast<long long>(m_nCredits) - m_nBetUnit < 0) {
      // Not even one unit: only the exit is left, and the latch stays set.
      ShowNotEnough();
      EnableSpinButtons(0, 0, 0, 1);
      return;
    }
    m_nCredits -= m_nBetUnit;
    SetPlayerChips(m_nCredits);
    SetBet(1);
    multiple = 1;
  }
  if (multiple > 0) {
    g_NetTask.SendBet(multiple);
    m_bBetPending = 1;
    RestoreMarquee();
  }
  m_bSpinHover = 0;
}

void CSlotGame::BetMaxAndSpin() {
  if (g_bSpinLocked || m_bBetPending) return;
  switch (g_nGameType) {
    case 0:
      if (m_nTurntableState != 0 || m_nCredits <= 0) return;
      break;
    case 1:
      if (m_nCardState != 0) return;
      EnableSpinButtons(0, 0, 0, 0);
      SetHoldButtons(*this, 0);
      EnableInfoButton(0);
      break;
    case 2:
      if (m_nCredits <= 0 || m_bFreeGames) return;
      break;
    default:
      break;
  }
  if (m_nBet == kMaxBet) {
    g_NetTask.SendBet(kMaxBet);
    m_bBetPending = 1;
    return;
  }
  const long long refunded = m_nCredits + Units(m_nBet, m_nBetUnit);
  if (refunded < Units(kMaxBet, m_nBetUnit)) {
    EnableSpinButtons(1, 1, 1, 1);
    g_bSpinLocked = 0;
    ShowNotEnough();
    return;
  }
  m_nLastBet = 0;
  m_nCredits = ClampCredits(refunded - Units(kMaxBet, m_nBetUnit));
  SetPlayerChips(m_nCredits);
  SetBet(kMaxBet);
  g_NetTask.SendBet(kMaxBet);
  m_bBetPending = 1;
  m_bSpinHover = 0;
}

void CSlotGame::CycleBet() {
  if (m_nTurntableState != 0 || m_bBetPending) return;
  if (g_nGameType == 2 && m_bFreeGames) return;
  const int before = m_nBet;
  const int before_credits = m_nCredits;
  const int bet = before > 2 ? 1 : before + 1;
  long long credits = m_nCredits + Units(before - bet, m_nBetUnit);
  if (g_nGameType == 2) SwitchPayTablePage(bet > 2);
  m_nBet = bet;
  if (credits < 0) {
    if (bet == kMaxBet) {
      m_nBet = 1;
      credits += Units(2, m_nBetUnit);
    } else {
      credits = before_credits;
      m_nBet = before;
      ShowNotEnough();
    }
  }
  m_nCredits = ClampCredits(credits);
  SetPlayerChips(m_nCredits);
  SetBet(m_nBet);
  m_nLastBet = 0;
  if (g_nGameType == 2) ShowBetOnPayTable(m_nBet);
}

void CSlotGame::DoubleBet() {
  if (m_nTurntableState != 0 || m_nCredits <= 0) return;
  // The server decides whether the double bet is covered: nothing is taken here.
  g_NetTask.SendBet(2);
  m_nLastBet = 0;
}

void CSlotGame::QuickStop() {
  for (CTurntable* table : m_Turntables)
    if (table) table->QuickStop();
}

void CSlotGame::IncreaseAutoPlay(CZqUIPanel* panel) {
  if (m_nTurntableState != 0) return;
  const long long count = static_cast<long long>(m_nAutoPlay) + AutoPlayStep(panel);
  m_nAutoPlay = count > kMaxAutoPlay ? kMaxAutoPlay : static_cast<int>(count);
  SetAutoPlayCaption(m_nAutoPlay);
}

void CSlotGame::DecreaseAutoPlay(CZqUIPanel* panel) {
  if (m_nTurntableState != 0) return;
  const int count = m_nAutoPlay - AutoPlayStep(panel);
  m_nAutoPlay = count < 0 ? 0 : count;
  SetAutoPlayCaption(m_nAutoPlay);
}

void CSlotGame::RequestAutoPlayStop() {
  if (m_nAutoPlay <= 0) return;
  m_bAutoStopRequested = 1;
  Enable(m_pAutoStopPanel, 0);
}

void CSlotGame::PickBonusBox(const char* name) {
  static const char* const boxes[10] = {
      ZQ_GBK("一号宝箱"), ZQ_GBK("二号宝箱"), ZQ_GBK("三号宝箱"), ZQ_GBK("四号宝箱"), ZQ_GBK("五号宝箱"),
      ZQ_GBK("六号宝箱"), ZQ_GBK("七号宝箱"), ZQ_GBK("八号宝箱"), ZQ_GBK("九号宝箱"), ZQ_GBK("十号宝箱")};
  int picks[15] = {};
  for (int i = 0; i < 10; ++i)
    if (name && std::strcmp(name, boxes[i]) == 0) picks[i] = 1;
  // The week text comes back, but a running not_enough warning keeps its timer.
  SetMarqueeFlash(0);
  ShowWeekText();
  g_NetTask.SendBonus(picks);
  Enable(m_pBoxPanel, 0);
}

void CSlotGame::ShowOddsInfo() {
  if (m_nCardState != 0 && m_nCardState != 4) return;
  CZqUIPanel* odds = FindPanel(ZQ_GBK("赔率说明"));
  if (!odds) return;
  CZqUIPanel* info = FindPanel("INFO");
  odds->SetVisible(info && info->IsChecked() ? 1 : 0);
}

void CSlotGame::CloseOddsInfo() {
  if (g_nGameType != 1) return;
  if (CZqUIPanel* odds = FindPanel(ZQ_GBK("赔率说明"))) odds->SetVisible(0);
  if (CZqUIPanel* info = FindPanel("INFO")) info->SetChecked(0);
}

void CSlotGame::EnableInfoButton(int on) {
  CZqUIPanel* info = FindPanel("INFO");
  if (!info) return;
  info->SetTopMost();
  info->SetEnable(on);
}

void CSlotGame::SubtractShownWin(int amount) {
  m_fWinToCount -= static_cast<float>(amount);
  if (m_fWinToCount < 0.0f) m_fWinToCount = 0.0f;
  if (CZqUIPanel* p = FindPanel(ZQ_GBK("中奖筹码"))) p->SetCaption(static_cast<int>(m_fWinToCount));
}

void CSlotGame::ShowWinDigits(int on) {
  const int wheels = static_cast<int>(m_DigitWheels.size());
  char digits[16] = "";
  int length = 0;
  if (on == 1 && m_nRoundWin > 0) length = std::snprintf(digits, sizeof(digits), "%d", m_nRoundWin);
  // A win wider than the wheels lights none of them.
  if (length == 0 || length > wheels) {
    for (auto& wheel : m_DigitWheels) wheel->Show(0);
    return;
  }
  const int first = (wheels - length) / 2;
  for (int i = 0; i < wheels; ++i) {
    CDigitWheel& wheel = *m_DigitWheels[i];
    if (i < first || i >= first + length) {
      wheel.Show(0);
      continue;
    }
    wheel.SetDigit(digits + (i - first), length % 2 == 0);
    wheel.Refresh();
    wheel.Show(1);
  }
}

void CSlotGame::EndAutoPlay(int controlEnabled) {
  StopAutoPlay();
  m_nAutoPlay = 0;
  SetAutoPlayCaption(0);
  SwapInControlPanel(controlEnabled);
}

int CSlotGame::CheckCredits() {
  const long long unit = m_nBetUnit;
  if (m_nCredits >= 3 * unit) {
    RestoreMarquee();
    return 1;
  }
  const int endsAutoPlay = g_nGameType == 0 || g_nGameType == 2;
  if (m_nCredits < unit) {
    if (endsAutoPlay) EndAutoPlay(0);
    EnableSpinButtons(0, 0, 0, 1);
    m_bSpinHover = 0;
    ShowNoMoney();
    return 0;
  }
  if (m_nCredits >= Units(m_nLastBet, m_nBetUnit)) return 1;
  if (endsAutoPlay) {
    m_uiMain.SetEnable(1);
    EndAutoPlay(1);
    EnableSpinButtons(1, 1, 1, 1);
  }
  return 0;
}

// No kind creates the extra reel, so its stop command has nothing to stop.
void CSlotGame::StopExtraReel() {}
// A marquee that is not a scrolling caption has no flash mode.
void CSlotGame::SetMarqueeFlash(int on) {
  if (auto* caption = dynamic_cast<ZQ_UI_ActiveCaption*>(FindMarquee())) caption->SetFlash(on);
}

int CSlotGame::IsMarqueeFlashing() const {
  const auto* caption = dynamic_cast<const ZQ_UI_ActiveCaption*>(FindMarquee());
  return caption ? caption->IsFlash() : 0;
}

void CSlotGame::EnableSpinButtons(int x1, int max, int spin, int exit) {
  Enable(FindPanel(ZQ_GBK("一倍按钮")), x1);
  Enable(FindPanel(ZQ_GBK("最大按钮")), max);
  Enable(FindPanel(ZQ_GBK("转动按钮")), spin);
  Enable(FindPanel(ZQ_GBK("转动杆")), spin);
  Enable(FindPanel(ZQ_GBK("退出")), exit);
}

void CSlotGame::SwapInAutoStopPanel() {
  if (m_pControlPanel) m_uiMain.DelSubPanel(m_pControlPanel);
  if (m_pAutoStopPanel) {
    m_pAutoStopPanel->SetEnable(1);
    m_uiMain.AddSubPanel(m_pAutoStopPanel);
  }
}

void CSlotGame::SwapInControlPanel(int enabled) {
  if (m_pAutoStopPanel) m_uiMain.DelSubPanel(m_pAutoStopPanel);
  if (m_pControlPanel) {
    m_pControlPanel->SetEnable(enabled);
    m_uiMain.AddSubPanel(m_pControlPanel);
  }
}

void CSlotGame::ShowNotEnough() {
  SetTimer(g_hMainWnd, kTimerMarqueeRestore, kMarqueeRestoreMs, nullptr);
  m_bWarningShown = 1;
  ShowConfiguredText("MONEY", "not_enough");
  SetMarqueeFlash(1);
}

void CSlotGame::ShowNoMoney() {
  g_bGameReady = 0;
  SetTimer(g_hMainWnd, kTimerNoMoneyExit, kNoMoneyExitMs, nullptr);
  ShowConfiguredText("MONEY", "no_money");
  SetMarqueeFlash(1);
}

void CSlotGame::RestoreMarquee() {
  SetMarqueeFlash(0);
  ShowWeekText();
  if (m_bWarningShown) {
    KillTimer(g_hMainWnd, kTimerMarqueeRestore);
    m_bWarningShown = 0;
  }
}

void CSlotGame::RequestExit() {
  switch (g_nGameType) {
    case 0:
      if (m_nTurntableState != 0 || m_bAutoStopRequested || IsAutoPlay()) return;
      break;
    case 1:
      if (m_nCardState != 0) return;
      break;
    case 2:
      if (m_nMahjongState != 0) return;
      break;
    default:
      break;
  }
  g_NetTask.SendQuit();
  g_bExiting = 1;
  PostMessageA(g_hMainWnd, WM_CLOSE, 0, 0);
}

void CSlotGame::ShowTooLongAndQuit() { ::ShowTooLongAndQuit(); }

void ShowTooLongAndQuit() {
  // The quit request goes once: the network task has closed the connection after it.
  g_NetTask.SendQuit();
  char text[CSlotGame::kTextBufferSize];
  g_TextConfig.GetString(text, sizeof(text), "TEXT", "toolong", "");
  text[sizeof(text) - 1] = 0;
  MessageBoxA(g_hMainWnd, text, "Error", MB_OK | MB_ICONERROR);
  g_bExiting = 1;
  PostMessageA(g_hMainWnd, WM_CLOSE, 0, 0);
}
