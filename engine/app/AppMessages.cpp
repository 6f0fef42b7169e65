// CZqApp's handling of the main window's messages: tasks first, then moves, sizes,
// activation, menus, commands and power events.
#include "ZqApp.h"
#include "ZqGame.h"
#include "app/AppState.h"

long CZqApp::OnQuerySuspend(DWORD) {
  Pause(1);
  return 1;
}

long CZqApp::OnResumeSuspend(DWORD) {
  Pause(0);
  return 1;
}

long CZqApp::OnPowerBroadcast(WPARAM event, LPARAM data) {
  if (event == PBT_APMQUERYSUSPEND) return OnQuerySuspend((DWORD)data);
  if (event == PBT_APMRESUMESUSPEND) return OnResumeSuspend((DWORD)data);
  return 0;
}

void CZqApp::OfferToTasks(UINT message, WPARAM wParam, LPARAM lParam) {
  for (size_t i = 0; i < m_vecTasks.size(); ++i)
    if (m_vecTasks[i]->IsActive()) m_vecTasks[i]->MsgProc(message, wParam, lParam);
}

void CZqApp::OnActivateApp(int active) {
  if (!active) {
    if (!m_bRunInBackground)
      SetActive(0);
    else
      m_bActive = 0;  // the clock keeps running in the background
  } else {
    if (!m_bRunInBackground)
      SetActive(1);
    else if (!m_bActive) {
      m_bActive = 1;
      Release(HOLD_INACTIVE);
    }
  }
}

long CZqApp::MsgProc(UINT message, WPARAM wParam, LPARAM lParam) {
  OfferToTasks(message, wParam, lParam);
  switch (message) {
    case WM_MOVE:
      UpdateEnginesBounds();
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) {
        SetActive(0);
        UpdateAllEngines();
      } else {
        SetActive(1);
      }
      return 0;
    case WM_ACTIVATEAPP:
      OnActivateApp(wParam ? 1 : 0);
      return 0;
    case WM_ENTERSIZEMOVE:
      Hold(HOLD_SIZEMOVE);
      return 0;
    case WM_EXITSIZEMOVE:
      Release(HOLD_SIZEMOVE);
      return 0;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return 1;
    case WM_NCHITTEST:
      return 1;
    case WM_CONTEXTMENU:
      if ((HWND)wParam == m_hWnd && m_hPopupMenu) {
        _UpdateMenu(m_hPopupMenu);
        TrackPopupMenu(GetSubMenu(m_hPopupMenu, 0), TPM_VERTICAL, (short)LOWORD(lParam),
                       (short)HIWORD(lParam), 0, m_hWnd, nullptr);
      }
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    case WM_ENTERMENULOOP:
      if (wParam == 0) _UpdateMenu(m_hWindowMenu);
      Pause(1);
      return 0;
    case WM_EXITMENULOOP:
      Pause(0);
      return 0;
    case WM_POWERBROADCAST:
      return OnPowerBroadcast(wParam, lParam);
    default:
      return 0;
  }
}

void CZqApp::OnCommand(WORD id) {
  if (!id) return;
  if (id == m_wPauseCmd) {
    zq::app::g_nPauseToggle = !zq::app::g_nPauseToggle;
    Pause(zq::app::g_nPauseToggle);
  } else if (id == m_wNoSleepCmd) {
    m_bNoSleep = !m_bNoSleep;
  } else if (id == m_wExitCmd) {
    PostQuitMessage(0);
  } else if (m_pDeviceInfo && id >= ZQ_MENU_MODE_BASE &&
             (DWORD)(id - ZQ_MENU_MODE_BASE) < m_pDeviceInfo->dwNumModes) {
    Device_SelectMode(m_pDeviceInfo, (DWORD)(id - ZQ_MENU_MODE_BASE));
  }
}

void CZqApp::_UpdateMenu(HMENU menu) {
  if (menu) {
    if (m_wPauseCmd)
      CheckMenuItem(menu, m_wPauseCmd, MF_BYCOMMAND | (m_bRunning ? MF_UNCHECKED : MF_CHECKED));
    if (m_wNoSleepCmd)
      CheckMenuItem(menu, m_wNoSleepCmd, MF_BYCOMMAND | (m_bNoSleep ? MF_CHECKED : MF_UNCHECKED));
  }
  OnUpdateMenu(menu);
}

void CZqApp::LoadPopupMenu() {
  if (m_hPopupMenu) DestroyMenu(m_hPopupMenu);
  m_hPopupMenu =
      m_wPopupMenuId ? LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_wPopupMenuId)) : nullptr;
}

namespace {

// The item becomes a popup of the device's modes under the item's own text; a menu without the
// item is left alone.
void ReplaceModeItem(HMENU menu, WORD item, SDxDeviceInfo* device) {
  if (!menu || GetMenuState(menu, item, MF_BYCOMMAND) == UINT(-1)) return;
  char text[51] = {};
  GetMenuStringA(menu, item, text, sizeof text, MF_BYCOMMAND);
  HMENU popup = Device_CreateModeMenu(device);
  if (!popup) return;
  if (!ModifyMenuA(menu, item, MF_BYCOMMAND | MF_POPUP | MF_STRING, (UINT_PTR)popup, text))
    DestroyMenu(popup);
}

}  // namespace

void CZqApp::UpgrateAppMenu() {
  if (!m_wModeMenuItem) return;
  ReplaceModeItem(m_hWindowMenu, m_wModeMenuItem, m_pDeviceInfo);
  // Each menu gets its own popup: a menu destroys the popups it holds.
  if (m_hPopupMenu != m_hWindowMenu) ReplaceModeItem(m_hPopupMenu, m_wModeMenuItem, m_pDeviceInfo);
}
