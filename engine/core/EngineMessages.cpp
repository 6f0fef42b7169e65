// The engine's window messages: private panel and media messages, bounds, size limits, keys,
// mouse mapping into back-buffer space and the eleven input handlers.
#include "app/EngineApp.h"
#include "ZqEngine.h"
#include "ZqGame.h"
#include "ZqMedia.h"
#include "ZqUIPanel.h"

namespace {

constexpr UINT kPrivateFirst = 0x8000;

// Keys arrive as the low byte of wParam taken as a signed char.
UINT KeyCode(UINT wParam) { return (UINT)(int32_t)(signed char)LOBYTE(wParam); }

}  // namespace

void CZqEngine::_MapMousePoint(long lParam) {
  const SScreenRect& d = m_rcDest;
  const SScreenRect& s = m_rcSource;
  if (d.width() <= 0 || d.height() <= 0) return;  // nothing of the picture is on the window
  // Signed: while a button holds the mouse, points left of or above the window are negative.
  // The picture may sit inside the client area: its offset there comes off before scaling.
  const int32_t x = GET_X_LPARAM(lParam) - (d.left - m_rcClient.left);
  const int32_t y = GET_Y_LPARAM(lParam) - (d.top - m_rcClient.top);
  const float sx = (float)s.width() / (float)d.width();
  const float sy = (float)s.height() / (float)d.height();
  m_ptMouse.x = (int32_t)((float)x * sx) + s.left;
  m_ptMouse.y = (int32_t)(sy * (float)y) + s.top;
}

void CZqEngine::_OnGetMinMaxInfo(MINMAXINFO* info) {
  if (!info) return;
  const int w = (int)m_dwRenderWidth, h = (int)m_dwRenderHeight;
  const int frameX = 2 * GetSystemMetrics(SM_CXFRAME);
  const int extraY =
      GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
  info->ptMinTrackSize.x = w * 3 / 4 + frameX;
  info->ptMinTrackSize.y = h * 3 / 4 + extraY;
  info->ptMaxTrackSize.x = w * 5 / 4 + frameX;
  info->ptMaxTrackSize.y = h * 5 / 4 + extraY;
}

long CZqEngine::MsgProc(UINT message, UINT wParam, long lParam) {
  if (message > kPrivateFirst) {
    if (message >= ZQ_MEDIAMSG_BASE) {
      if (CZqMedia* media = _FindMedia((int)(message - ZQ_MEDIAMSG_BASE))) media->HandleGraphEvent();
    } else if (message >= ZQ_UIMSG_CLICK && message <= ZQ_UIMSG_UNTOUCH) {
      CZqUIPanel* panel = FindUIFromID(wParam);
      if (panel && m_pGame) m_pGame->OnUICmd(panel, message, lParam);
    }
  }

#ifdef ZQ_OLDER_BUILD
  if (m_bFullscreen) {
    // Full screen shows no system cursor, and the window is neither moved, sized nor maximised.
    if (message == WM_SETCURSOR) {
      SetCursor(nullptr);
      return 1;
    }
    if (message == WM_SYSCOMMAND) {
      const UINT command = wParam & 0xFFF0;
      if (command == SC_SIZE || command == SC_MOVE || command == SC_MAXIMIZE || command == SC_MONITORPOWER)
        return 1;
    }
  }
#endif

  switch (message) {
    case WM_MOVE:
      UpdateBounds();
      break;
    case WM_SIZE:
      UpdateBounds();
      SetActive((wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) ? 0 : 1);
      break;
    case WM_PAINT:
      if (!m_pPlayVideo) Present();
      break;
    case WM_GETMINMAXINFO:
      if (!m_bFullscreen) _OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
      break;
    case WM_WINDOWPOSCHANGED:
      if (m_pPlayVideo) _MediaUpdateBounds(m_pPlayVideo);
      break;
    case WM_CONTEXTMENU:
      if ((HWND)(uintptr_t)wParam == m_hWnd && m_hPopupMenu && (!m_bFullscreen || m_bFsWindowFlag)) {
        _UpdateMenu(m_hPopupMenu);
        TrackPopupMenu(GetSubMenu(m_hPopupMenu, 0), TPM_VERTICAL, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam),
                       0, m_hWnd, nullptr);
      }
      break;
    case WM_KEYDOWN:
      OnKeyDown(KeyCode(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_KEYUP:
      OnKeyUp(KeyCode(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_CHAR:
      OnChar(KeyCode(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_COMMAND:
      if (_OnMenuCommand(LOWORD(wParam))) return 0;
      break;
    case WM_MOUSEMOVE:
      _MapMousePoint(lParam);
      OnMouseMove(wParam);
      break;
    case WM_LBUTTONDOWN:
      OnLButtonDown(wParam);
      break;
    case WM_LBUTTONUP:
      OnLButtonUp(wParam);
      break;
    case WM_LBUTTONDBLCLK:
      OnLButtonDbClk(wParam);
      break;
    case WM_RBUTTONDOWN:
      OnRButtonDown(wParam);
      break;
    case WM_RBUTTONUP:
      OnRButtonUp(wParam);
      break;
    case WM_RBUTTONDBLCLK:
      OnRButtonDbClk(wParam);
      break;
    case WM_ENTERMENULOOP:
      if (wParam == 0) _UpdateMenu(m_hWindowMenu);
      Pause(1);
      break;
    case WM_EXITMENULOOP:
      Pause(0);
      break;
    case WM_ENTERSIZEMOVE:
      if (!m_bSingleStep) _HoldClock(HOLD_SIZEMOVE);
      break;
    case WM_EXITSIZEMOVE:
      _ReleaseClock(HOLD_SIZEMOVE);
      break;
    default:
      break;
  }
  return m_pGame ? m_pGame->MsgProc(message, wParam, lParam) : 0;
}

// ---- input handlers: the current game gets them with the last mapped mouse point ----

DWORD CZqEngine::OnMouseMove(UINT keys) { return m_pGame ? m_pGame->OnMouseMove(keys, m_ptMouse) : 0; }

DWORD CZqEngine::OnMouseWheel(UINT keys, short delta) {
  return m_pGame ? m_pGame->OnMouseWheel(keys, delta, m_ptMouse) : 0;
}

DWORD CZqEngine::OnLButtonDown(UINT keys) { return m_pGame ? m_pGame->OnLButtonDown(keys, m_ptMouse) : 0; }
DWORD CZqEngine::OnLButtonUp(UINT keys) { return m_pGame ? m_pGame->OnLButtonUp(keys, m_ptMouse) : 0; }
DWORD CZqEngine::OnLButtonDbClk(UINT keys) { return m_pGame ? m_pGame->OnLButtonDbClk(keys, m_ptMouse) : 0; }
DWORD CZqEngine::OnRButtonDown(UINT keys) { return m_pGame ? m_pGame->OnRButtonDown(keys, m_ptMouse) : 0; }
DWORD CZqEngine::OnRButtonUp(UINT keys) { return m_pGame ? m_pGame->OnRButtonUp(keys, m_ptMouse) : 0; }
DWORD CZqEngine::OnRButtonDbClk(UINT keys) { return m_pGame ? m_pGame->OnRButtonDbClk(keys, m_ptMouse) : 0; }

DWORD CZqEngine::OnChar(UINT key, UINT repeat, UINT keyFlags) {
  return m_pGame ? m_pGame->OnChar(key, repeat, keyFlags) : 0;
}

DWORD CZqEngine::OnKeyDown(UINT key, UINT repeat, UINT keyFlags) {
  return m_pGame ? m_pGame->OnKeyDown(key, repeat, keyFlags) : 0;
}

DWORD CZqEngine::OnKeyUp(UINT key, UINT repeat, UINT keyFlags) {
  return m_pGame ? m_pGame->OnKeyUp(key, repeat, keyFlags) : 0;
}
