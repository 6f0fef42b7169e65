// The engine's menu commands (single step, step, mode switch, windowed, pause, display modes)
// and the state its menu items show.
#include <cstdio>
#include <cstring>

#include "app/EngineApp.h"
#include "ZqEngine.h"

namespace {

// One toggle for the whole process, as the pause command is one for all engines.
int g_nEnginePauseToggle = 0;

// Item texts are read and written through a buffer of this many characters.
constexpr UINT kMenuTextMax = 150;

struct MenuItem {
  MENUITEMINFOA info;
  char text[kMenuTextMax + 1];
};

// False when the menu does not hold the item.
bool ReadItem(HMENU menu, UINT id, MenuItem& item) {
  std::memset(&item, 0, sizeof item);
  item.info.cbSize = sizeof item.info;
  item.info.fMask = MIIM_STATE | MIIM_TYPE;
  item.info.dwTypeData = item.text;
  item.info.cch = kMenuTextMax + 1;
  return menu && GetMenuItemInfoA(menu, id, FALSE, &item.info);
}

void WriteItem(HMENU menu, UINT id, MenuItem& item) {
  item.info.dwTypeData = item.text;
  SetMenuItemInfoA(menu, id, FALSE, &item.info);
}

void SetState(MenuItem& item, UINT bits, bool on) {
  if (on)
    item.info.fState |= bits;
  else
    item.info.fState &= ~bits;
}

}  // namespace

int CZqEngine::_OnMenuCommand(WORD id) {
  if (!id) return 0;
  if (id == m_idSingleStep) {
    m_bSingleStep = !m_bSingleStep;
    const DWORD now = zq_engine::AppTime();
    if (!m_bSingleStep) {
      m_dwTimeBase = now - m_dwFrozenTime;
      // A stop still in force counts from here: the stepped span is not charged again.
      if (m_nClockHold) m_dwPauseMark = zq_engine::AppClock();
    } else {
      // The engine clock stands at its current reading.
      m_dwPauseMark = now;
      m_dwFrozenTime = now - m_dwTimeBase;
    }
    return 0;
  }
  if (id == m_idStep) {
    if (m_bSingleStep) m_dwFrozenTime += (DWORD)m_nStepSize;
    return 0;
  }
  if (id == m_idModeSwitch) {
    if (m_bLost || !m_pBackSurface) return 1;
    Pause(1);
    if (FAILED(ChangeEngineMode())) {
      // The window's owner may delete this engine with it: nothing of it is touched afterwards.
      Pause(0);
      HWND wnd = m_hWnd;
      if (wnd) DestroyWindow(wnd);
      return 1;
    }
    _UpdateMenu(m_hPopupMenu);
    Pause(0);
    return 1;
  }
  if (id == ZQ_MENU_WINDOWED) {
    if (m_pDeviceInfo) m_pDeviceInfo->bWindowed = !m_pDeviceInfo->bWindowed;
    return 1;
  }
  if (id == m_idPause) {
    g_nEnginePauseToggle = !g_nEnginePauseToggle;
    m_bPaused = g_nEnginePauseToggle;
    Pause(g_nEnginePauseToggle);
    return 1;
  }
  if (id == m_idNoEffect) {
#ifdef ZQ_OLDER_BUILD
    // In full screen: a GDI window shown over the flipping display, or plain flips again.
    if (m_bFullscreen) {
      m_bFsWindowFlag = !m_bFsWindowFlag;
      if (m_bFsWindowFlag) {
        SetMenu(m_hWnd, nullptr);
        SetFsWindow(m_hWnd, 0);
      } else {
        EndFsWindow();
        SetMenu(m_hWnd, nullptr);
      }
      _UpdateMenu(m_hPopupMenu);
    }
#endif
    return 1;
  }
  if (m_pDeviceInfo && id >= ZQ_MENU_MODE_BASE && (DWORD)(id - ZQ_MENU_MODE_BASE) < m_pDeviceInfo->dwNumModes)
    Device_SelectMode(m_pDeviceInfo, (DWORD)(id - ZQ_MENU_MODE_BASE));
  return 0;
}

void CZqEngine::_UpdateMenu(HMENU menu) {
  if (!menu) return;
  MenuItem item;
  if (m_idStep && ReadItem(menu, m_idStep, item)) {
    SetState(item, MFS_GRAYED, !m_bSingleStep);
    WriteItem(menu, m_idStep, item);
  }
  if (m_idSingleStep && ReadItem(menu, m_idSingleStep, item)) {
    SetState(item, MFS_CHECKED, !m_bSingleStep);
    WriteItem(menu, m_idSingleStep, item);
  }
  if (ReadItem(menu, ZQ_MENU_WINDOWED, item)) {
    SetState(item, MFS_CHECKED, m_pDeviceInfo && m_pDeviceInfo->bWindowed);
    WriteItem(menu, ZQ_MENU_WINDOWED, item);
  }
  if (m_idPause && ReadItem(menu, m_idPause, item)) {
    SetState(item, MFS_CHECKED, m_bPaused != 0);
    WriteItem(menu, m_idPause, item);
  }
  if (m_idNoEffect && ReadItem(menu, m_idNoEffect, item)) {
    SetState(item, MFS_CHECKED, m_bFsWindowFlag != 0);
    SetState(item, MFS_GRAYED, !m_bFullscreen);
    WriteItem(menu, m_idNoEffect, item);
  }
  if (m_idModeSwitch && m_pDeviceInfo && ReadItem(menu, m_idModeSwitch, item)) {
    const DDSURFACEDESC2& mode = m_pDeviceInfo->ddsdMode;
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, " (%dX%dX%d)", (int)mode.dwWidth, (int)mode.dwHeight,
                  (int)mode.ddpfPixelFormat.dwRGBBitCount);
    char* open = std::strstr(item.text, " (");
    if (open) *open = 0;
    // Cut the text rather than the mode, so the item keeps fitting its buffer.
    const size_t keep = sizeof item.text - 1 - std::strlen(suffix);
    if (std::strlen(item.text) > keep) item.text[keep] = 0;
    std::strcat(item.text, suffix);
    WriteItem(menu, m_idModeSwitch, item);
  }
  if (m_pDeviceInfo) {
    for (DWORD i = 0; i < m_pDeviceInfo->dwNumModes && ZQ_MENU_MODE_BASE + i <= 0xFFFF; ++i) {
      const UINT id = ZQ_MENU_MODE_BASE + i;
      if (!ReadItem(menu, id, item)) continue;
      item.info.fType |= MFT_RADIOCHECK;
      SetState(item, MFS_CHECKED, i == m_pDeviceInfo->dwCurrentMode);
      WriteItem(menu, id, item);
    }
  }
}
