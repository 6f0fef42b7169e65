// The application clock: 0.1 ms units from the system clock, stopped by pauses, inactivity and
// window moves. Overlapping stops are one stop: the time base moves once, by the whole span, so
// the application time never steps back and no stopped span is charged twice.
#include "ZqApp.h"
#include "app/AppState.h"

namespace zq::app {
int g_nPauseCount = 0;
int g_nPauseToggle = 0;
}  // namespace zq::app

using zq::app::g_nPauseCount;

DWORD CZqApp::GetCurTime() const { return timeGetTime() * 10u; }

int CZqApp::GetPauseCount() { return g_nPauseCount; }

void CZqApp::RefreshAppTime() { m_dwAppTime = GetCurTime() - m_dwTimeBase; }

void CZqApp::Hold(int reason) {
  if (!m_nHold) m_dwPauseMark = GetCurTime();
  m_nHold |= reason;
}

void CZqApp::Release(int reason) {
  if (!(m_nHold & reason)) return;
  m_nHold &= ~reason;
  if (m_nHold) return;
  m_dwTimeBase += GetCurTime() - m_dwPauseMark;
  RefreshAppTime();
}

void CZqApp::Pause(int flag) {
  if (flag) {
    if (++g_nPauseCount == 1) Hold(HOLD_PAUSE);
  } else if (g_nPauseCount > 0) {  // an unpaired resume must not leave the frame stopped
    if (--g_nPauseCount == 0) Release(HOLD_PAUSE);
  }
  m_bRunning = m_bStarted && g_nPauseCount == 0;
}

void CZqApp::SetActive(int flag) {
  flag = flag ? 1 : 0;
  if (flag == m_bActive) return;
  m_bActive = flag;
  if (flag) {
    Release(HOLD_INACTIVE);
  } else if (m_bStopClockWhenInactive && !m_bRunInBackground) {
    Hold(HOLD_INACTIVE);
  }
  SetEnginesActive(flag);
}
