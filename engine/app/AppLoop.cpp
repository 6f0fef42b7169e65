// The message pump and the idle-time frame loop.
#include "ZqApp.h"
#include "app/AppState.h"

namespace zq::app {
int g_nLoops = 0;
DWORD g_dwLastMeasure = 0;
int g_nLoopsEx = 0;
DWORD g_dwLastMeasureEx = 0;
}  // namespace zq::app

int CZqApp::TakeMessage(MSG& msg) {
  // Blocking would starve tasks and engines that run in the background.
  if (!m_bActive && !m_bRunInBackground) {
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    return r != -1 ? 1 : 0;
  }
  return PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) ? 1 : 0;
}

int CZqApp::DispatchOne(MSG& msg) {
  if (!m_hAccel || !TranslateAcceleratorA(m_hWnd, m_hAccel, &msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

int CZqApp::Run() {
  MSG msg = {};
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  if (m_wAccelId) m_hAccel = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_wAccelId));
  msg = {};
  for (;;) {
    if (TakeMessage(msg)) {
      if (msg.message == WM_QUIT) break;
      DispatchOne(msg);
    } else if (!DoIdle()) {
      return -1;
    }
  }
  return (int)msg.wParam;
}

int CZqApp::ProcessMSG(MSG& msg) {
  if (!TakeMessage(msg) || msg.message == WM_QUIT) return 1;
  DispatchOne(msg);
  return 0;
}

UINT CZqApp::WaitForMessage(UINT message, DWORD timeout) {
  m_lstWaits.push_front({message, timeout, 0, GetAppTimeEx()});
  auto self = m_lstWaits.begin();
  MSG msg = {};
  bool taken = false;
  for (;;) {
    if (taken && msg.message == message) {
      m_lstWaits.erase(self);
      return message;
    }
    if (taken && msg.message == WM_QUIT) {
      m_lstWaits.erase(self);
      PostQuitMessage((int)msg.wParam);  // the outer loop must end too, with the same code
      return 0;
    }
    taken = TakeMessage(msg) != 0;
    if (!taken)
      DoIdle();
    else if (msg.message != WM_QUIT)
      DispatchOne(msg);
    // A stop that ends during the wait moves the base past the start: no negative span.
    int32_t span = (int32_t)(GetAppTimeEx() - self->start);
    self->elapsed = span > 0 ? (DWORD)span : 0;
    if (self->timeout && self->elapsed > self->timeout) {
      m_lstWaits.erase(self);
      return 0;
    }
  }
}

void CZqApp::MeasureLoopRate(int& counter, DWORD& lastTime) {
  ++counter;
  DWORD span = m_dwAppTime - lastTime;
  if (span > 5000) {
    m_fLoopPerSecond = (float)counter * 10000.0f / (float)span;
    OnLpsChange(m_fLoopPerSecond);
    counter = 0;
    lastTime = m_dwAppTime;
  }
}

int CZqApp::DoIdle() {
  if (!m_nHold) RefreshAppTime();
  int ok = 1;
  if ((m_bActive || m_bRunInBackground) && m_bRunning) {
    ProcessTask();
    if (MainLoop(m_dwAppTime) < 0 || UpdateAllEngines() < 0) ok = 0;
  }
  if (ok) MeasureLoopRate(zq::app::g_nLoops, zq::app::g_dwLastMeasure);
  // Even a failed pass sleeps, or a failing engine would spin the processor.
  if (!m_bNoSleep) Sleep((DWORD)m_nIdleSleep);
  return ok;
}
