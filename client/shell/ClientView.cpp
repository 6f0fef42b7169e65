#include "ClientView.h"

#include <cstring>

#include "MainFrame.h"
#include "ShellGlobals.h"
#include "games/core/GameGlobals.h"
#include "games/core/SlotGame.h"

BEGIN_MESSAGE_MAP(CClientView, CWnd)
ON_WM_PAINT()
ON_WM_SETCURSOR()
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

namespace {

// The round state of the loaded kind; -1 for a kind without one.
int RoundState(const CSlotGame& game) {
  switch (g_nGameType) {
    case 0:
      return game.m_nTurntableState;
    case 1:
      return game.m_nCardState;
    case 2:
      return game.m_nMahjongState;
    default:
      return -1;
  }
}

// The auto-play buttons act only when their panel exists.
bool StepAutoPlay(CSlotGame& game, const char* panelName, bool up) {
  CZqUIPanel* panel = g_pMainFrame ? g_pMainFrame->FindUIFromName(panelName) : nullptr;
  if (!panel) return false;
  if (up) {
    game.IncreaseAutoPlay(panel);
  } else {
    game.DecreaseAutoPlay(panel);
  }
  return true;
}

void StopCardReel(CSlotGame& game, int index) {
  for (CCardReel* reel : game.m_CardReels)
    if (index-- == 0) {
      if (reel) reel->Stop();
      return;
    }
}

void ToggleHold(CSlotGame& game, int index) {
  char name[8] = "HOLD0";
  name[4] = char('1' + index);
  if (CZqUIPanel* panel = g_pMainFrame ? g_pMainFrame->FindUIFromName(name) : nullptr)
    panel->SetChecked(!panel->IsChecked());
  game.ToggleHold(name);
}

}  // namespace

CClientView::CClientView() = default;

CClientView::~CClientView() = default;

BOOL CClientView::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CWnd::PreCreateWindow(cs)) return FALSE;
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  cs.style &= ~WS_BORDER;
  cs.lpszClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW),
                                     reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1)), nullptr);
  return cs.lpszClass != nullptr;
}

LRESULT CClientView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Mouse points stay in the view's client coordinates: the engine maps them over the frame's
  // client area, the 2-pixel edge of the view included.
  if (g_pMainFrame) g_pMainFrame->MsgProc(message, UINT(wParam), long(lParam));
  return CWnd::WindowProc(message, wParam, lParam);
}

void CClientView::OnPaint() {
  CPaintDC dc(this);
  if (g_pMainFrame) {
    g_pMainFrame->UpdateBounds();
    g_pMainFrame->Present();
  }
}

BOOL CClientView::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  ShowCursor(TRUE);
  return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CClientView::OnKeyDown(UINT nChar, UINT repeat, UINT flags) {
  CSlotGame* game = g_pSlotGame;
  if (g_bGameReady && game) {
    game->m_bSpinHover = 0;
    game->CloseOddsInfo();
    const int kind = g_nGameType;
    const int state = RoundState(*game);
    const bool idle = state == 0;
    const bool locked = g_bSpinLocked != 0;
    bool stamp = false;
    switch (nChar) {
      case VK_TAB:
        if (idle && kind >= 0 && kind <= 2) {
          game->CycleBet();
          stamp = true;
        }
        break;
      case VK_RETURN:
        if (idle && !locked && kind >= 0 && kind <= 2) game->BetMaxAndSpin();
        stamp = true;
        break;
      case VK_SPACE:
        if (!locked && (((kind == 0 || kind == 2) && idle) || (kind == 1 && (idle || state == 4))))
          game->Spin();
        stamp = true;
        break;
      case 'A':
      case 'S':
      case 'D':
      case 'F':
      case 'G': {
        static const char kKeys[] = "ASDFG";
        const int index = int(std::strchr(kKeys, int(nChar)) - kKeys);
        if (kind == 1 && state == 4) {
          ToggleHold(*game, index);
        } else if (kind == 2 && state == 1 && index < 3) {
          StopCardReel(*game, index);
        }
        stamp = true;
        break;
      }
      case VK_ADD:
      case VK_SUBTRACT:
        if (idle && (kind == 0 || (kind == 2 && game->m_nFreeGames < 1)))
          stamp = StepAutoPlay(*game, nChar == VK_ADD ? ZQ_GBK("加") : ZQ_GBK("减"), nChar == VK_ADD);
        break;
    }
    if (stamp) game->m_dwLastPlayTime = timeGetTime();
  }
  CWnd::OnKeyDown(nChar, repeat, flags);
}
