// CZqAppEx: an application with its own window, driving exactly one engine.
#include <cstring>

#include "ZqApp.h"
#include "ZqEngine.h"
#include "ZqFunc.h"
#include "app/AppState.h"

namespace {

LRESULT CALLBACK AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (CZqApp* app = CZqFunc::GetZqApp()) app->MsgProc(msg, wParam, lParam);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

CZqAppEx::CZqAppEx() : m_pEngine(nullptr), m_hMutex(nullptr) {}

CZqAppEx::~CZqAppEx() {
  if (m_hMutex) {
    ReleaseMutex(m_hMutex);
    CloseHandle(m_hMutex);
  }
}

int CZqAppEx::CreateApp(HINSTANCE instance, char*, WORD iconId, int fullscreen, DWORD width, DWORD height,
                        WORD mainMenuId, WORD accelId, WORD noSleepCmd) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, m_szName);
  if (!mutex) return E_FAIL;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return E_FAIL;
  }
  if (m_hMutex) {
    ReleaseMutex(m_hMutex);
    CloseHandle(m_hMutex);
  }
  m_hMutex = mutex;

  if (mainMenuId) m_wMainMenuId = mainMenuId;
  if (accelId) m_wAccelId = accelId;
  if (noSleepCmd) m_wNoSleepCmd = noSleepCmd;
  D3DXInitialize();
  ComputeAppPath();
  SDxDeviceInfo* device = nullptr;
  long hr = Device_Enumerate(m_pfnConfirmDevice);
  if (hr == 0) hr = Device_Choose(&device, 0);
  if (hr != 0 || !device) return 0;
  m_pDeviceInfo = device;
  device->bWindowed = fullscreen ? 0 : 1;

  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = AppWndProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(iconId));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(intptr_t)6;
  wc.lpszClassName = "DxApp Window";
  RegisterClassA(&wc);

  HMENU menu = m_wMainMenuId ? LoadMenuA(instance, MAKEINTRESOURCEA(m_wMainMenuId)) : nullptr;
  int outerW = (int)width + 2 * GetSystemMetrics(SM_CXFRAME);
  int outerH = (int)height + GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION) +
               2 * GetSystemMetrics(SM_CYFRAME);
  m_hWnd = CreateWindowExA(0, "DxApp Window", m_szName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                           CW_USEDEFAULT, CW_USEDEFAULT, outerW, outerH, nullptr, menu, instance, nullptr);
  if (!m_hWnd) return 0;
  // Twice: the first change may reflow the menu bar and change the client height again.
  for (int pass = 0; pass < 2; ++pass) {
    RECT wr, cr;
    GetWindowRect(m_hWnd, &wr);
    GetClientRect(m_hWnd, &cr);
    int w = (wr.right - wr.left) + ((int)width - (cr.right - cr.left));
    int h = (wr.bottom - wr.top) + ((int)height - (cr.bottom - cr.top));
    SetWindowPos(m_hWnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  OnInitApp();
  m_dwTimeBase = m_dwPauseMark = GetCurTime();
  m_dwAppTime = 0;
  zq::app::g_nLoopsEx = 0;
  zq::app::g_dwLastMeasureEx = 0;
  LoadPopupMenu();
  m_hWindowMenu = GetMenu(m_hWnd);
  m_bStarted = 1;
  m_bRunning = zq::app::g_nPauseCount == 0;
  return 1;
}

// The engine brings its own popup menu and display-mode item.
void CZqAppEx::OnEngineConnected(CZqEngine* engine) {
  if (!engine) return;
  m_wPopupMenuId = engine->GetPopupMenuId();
  m_hPopupMenu = engine->GetPopupMenu();
  m_wModeMenuItem = engine->GetModeMenuId();
  UpgrateAppMenu();
}

int CZqAppEx::DoIdle() {
  if (!m_nHold) RefreshAppTime();
  int ok = 1;
  if ((m_bActive || m_bRunInBackground) && m_bRunning) {
    ProcessTask();
    if (MainLoop(m_dwAppTime) < 0) ok = 0;
    if (ok && m_bActive && m_pEngine && UpdateEngine(m_pEngine) < 0) ok = 0;
  }
  if (ok) MeasureLoopRate(zq::app::g_nLoopsEx, zq::app::g_dwLastMeasureEx);
  if (!m_bNoSleep) Sleep((DWORD)m_nIdleSleep);
  return ok;
}

long CZqAppEx::MsgProc(UINT message, WPARAM wParam, LPARAM lParam) {
  OfferToTasks(message, wParam, lParam);
  switch (message) {
    case WM_DESTROY:
      CleanupAllEngines();
      PostQuitMessage(0);
      return 0;
    case WM_CLOSE:
      DestroyWindow(m_hWnd);
      return -1;
    case WM_ACTIVATEAPP:
      OnActivateApp(wParam ? 1 : 0);
      break;
    case WM_NCHITTEST:
      return 1;
    case WM_COMMAND:
      if (m_wNoSleepCmd && LOWORD(wParam) == m_wNoSleepCmd) {
        m_bNoSleep = !m_bNoSleep;
        return 0;
      }
      if (m_wExitCmd && LOWORD(wParam) == m_wExitCmd) PostQuitMessage(0);
      break;
    case WM_ENTERMENULOOP:
      if (wParam == 0) _UpdateMenu(m_hWindowMenu);
      break;
    case WM_POWERBROADCAST:
      return OnPowerBroadcast(wParam, lParam);
    default:
      break;
  }
  if (!m_pEngine && m_mapEngines.size() == 1) m_pEngine = m_mapEngines.begin()->second;
  if (!m_pEngine) return 0;
  return m_pEngine->MsgProc(message, (UINT)wParam, (long)lParam);
}
