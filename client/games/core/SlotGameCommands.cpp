// The commands the kinds share: the bet buttons, the money warnings, the marquee and the exits.
#include "games/core/SlotGame.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

namespace {
constexpr UINT_PTR kTimerMarqueeRestore = 1210;
constexpr UINT kMarqueeRestoreMs = 1500;
constexpr UINT_PTR kTimerNoMoneyExit = 1211;
constexpr UINT kNoMoneyExitMs = 8000;

void Enable(CZqUIPanel* panel, int on) {
  if (panel) panel->SetEnable(on);
}
}  // namespace

// The bet and spin commands come with the shared game commands; until then they do nothing.
void CSlotGame::Spin() {}
void CSlotGame::PlaceBet() {}
void CSlotGame::BetMaxAndSpin() {}
void CSlotGame::CycleBet() {}
void CSlotGame::DoubleBet() {}
void CSlotGame::QuickStop() {}
void CSlotGame::IncreaseAutoPlay(CZqUIPanel* /*panel*/) {}
void CSlotGame::DecreaseAutoPlay(CZqUIPanel* /*panel*/) {}
void CSlotGame::RequestAutoPlayStop() {}
void CSlotGame::PickBonusBox(const char* /*name*/) {}
void CSlotGame::ShowOddsInfo() {}
void CSlotGame::CloseOddsInfo() {}
void CSlotGame::EnableInfoButton(int /*on*/) {}
int CSlotGame::CheckCredits() { return 1; }
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
