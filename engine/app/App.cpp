// CZqApp: construction, start-up on the caller's window, the task list and the engine map.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ZqApp.h"
#include "ZqFunc.h"
#include "app/AppState.h"

CZqApp::CZqApp()
    : m_bActive(0),
      m_bRunning(0),
      m_dwAppTime(0),
      m_dwTimeBase(0),
      m_dwPauseMark(0),
      m_hWnd(nullptr),
      m_hAccel(nullptr),
      m_hPopupMenu(nullptr),
      m_hWindowMenu(nullptr),
      m_bMMX(0),
      m_bStopClockWhenInactive(1),
      m_bNoSleep(0),
      m_nIdleSleep(1),
      m_bRunInBackground(0),
      m_wAccelId(0),
      m_wMainMenuId(0),
      m_wPauseCmd(0),
      m_wPopupMenuId(0),
      m_wNoSleepCmd(0),
      m_wModeMenuItem(0),
      m_wExitCmd(0),
      m_pDeviceInfo(nullptr),
      m_pfnConfirmDevice(nullptr),
      m_fLoopPerSecond(0.0f),
      m_bStarted(0),
      m_nHold(0) {
  m_szAppPath[0] = 0;
  m_szName[0] = 0;
  m_szDeviceCacheFile[0] = 0;
  // One application per process: its process-wide state starts afresh with it.
  zq::app::g_nPauseCount = 0;
  zq::app::g_nPauseToggle = 0;
  zq::app::g_nLoops = zq::app::g_nLoopsEx = 0;
  zq::app::g_dwLastMeasure = zq::app::g_dwLastMeasureEx = 0;
  CZqFunc::SetZqApp(this);
  m_bMMX = (CZqFunc::GetCPUCaps() >> 23) & 1;
  timeBeginPeriod(1);
  m_dwTimeBase = m_dwPauseMark = GetCurTime();
  // There is no COM on this platform, so nothing to start for it.
}

CZqApp::~CZqApp() {
  timeEndPeriod(1);
  Device_Cleanup();
  D3DXUninitialize();
  m_lstWaits.clear();
  m_vecTasks.clear();
  m_mapEngines.clear();
  if (CZqFunc::GetZqApp() == this) CZqFunc::SetZqApp(nullptr);
}

void CZqApp::ComputeAppPath() {
  char path[512] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  // Last backslash outside a GBK double byte (a trail byte may be 0x5C).
  size_t cut = 0;
  for (size_t i = 0; path[i];) {
    unsigned char c = (unsigned char)path[i];
    if (c >= 0x81 && c <= 0xFE && path[i + 1]) {
      i += 2;
      continue;
    }
    if (c == '\\') cut = i;
    ++i;
  }
  if (cut >= sizeof m_szAppPath) cut = sizeof m_szAppPath - 1;
  memcpy(m_szAppPath, path, cut);
  m_szAppPath[cut] = 0;
}

int CZqApp::InitApp(HWND hWnd) {
  if (!hWnd) return 0;
  m_hWnd = hWnd;
  D3DXInitialize();
  ComputeAppPath();

  SDxDeviceInfo* device = nullptr;
  long hr;
  if (!m_szDeviceCacheFile[0]) {
    hr = Device_Enumerate(m_pfnConfirmDevice);
    if (hr == 0) hr = Device_Choose(&device, 0);
  } else {
    char path[sizeof m_szAppPath + sizeof m_szDeviceCacheFile + 2];
    snprintf(path, sizeof path, "%s\\%s", m_szAppPath, m_szDeviceCacheFile);
    hr = Device_ChooseCached(path, m_pfnConfirmDevice, &device);
  }
  if (hr != 0 || !device) return 0;
  m_pDeviceInfo = device;

  OnInitApp();
  m_dwTimeBase = m_dwPauseMark = GetCurTime();
  m_dwAppTime = 0;
  // The rate window starts with the new clock.
  zq::app::g_nLoops = zq::app::g_nLoopsEx = 0;
  zq::app::g_dwLastMeasure = zq::app::g_dwLastMeasureEx = 0;

  LoadPopupMenu();
  m_hWindowMenu = GetMenu(m_hWnd);
  UpgrateAppMenu();

  m_lstWaits.clear();
  m_bStarted = 1;
  m_bRunning = zq::app::g_nPauseCount == 0;
  return 1;
}

void CZqApp::SetTask(CZqTask* task, int keep) {
  if (!task) return;
  auto it = std::find(m_vecTasks.begin(), m_vecTasks.end(), task);
  if (it == m_vecTasks.end())
    m_vecTasks.push_back(task);
  else if (!keep)
    m_vecTasks.erase(it);
}

void CZqApp::ProcessTask() {
  // By index: a task may add or remove tasks from its loop.
  for (size_t i = 0; i < m_vecTasks.size(); ++i) m_vecTasks[i]->OnLoop(m_dwAppTime);
}

void CZqApp::RegisterEngine(int id, CZqEngine* engine) { m_mapEngines[id] = engine; }

void CZqApp::UnregisterEngine(CZqEngine* engine) {
  for (auto it = m_mapEngines.begin(); it != m_mapEngines.end();) {
    if (it->second == engine)
      it = m_mapEngines.erase(it);
    else
      ++it;
  }
}

CZqEngine* CZqApp::GetEngine(int id) const {
  auto it = m_mapEngines.find(id);
  return it == m_mapEngines.end() ? nullptr : it->second;
}

const char* CZqApp::GetAppPath(char* out) const {
  if (out) strcpy(out, m_szAppPath);
  return m_szAppPath;
}

int CZqApp::GetWaitMSGTime() const { return !m_lstWaits.empty() && m_lstWaits.front().elapsed == 0 ? 1 : 0; }

void CZqApp::SetAppName(const char* name) { snprintf(m_szName, sizeof m_szName, "%s", name ? name : ""); }

void CZqApp::SetDeviceCacheFile(const char* name) {
  snprintf(m_szDeviceCacheFile, sizeof m_szDeviceCacheFile, "%s", name ? name : "");
}

void CZqApp::OnEngineConnected(CZqEngine*) {}
void CZqApp::OnLpsChange(float) {}
void CZqApp::OnInitApp() {}
void CZqApp::OnCleanupApp() {}
void CZqApp::OnUpdateMenu(HMENU) {}
long CZqApp::MainLoop(DWORD) { return 0; }
