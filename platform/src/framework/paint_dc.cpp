// Paint contexts: painting of a window is opened (its update region validated) and closed.
#include "framework/framework_state.h"
#include "zqplatform/gdi.h"

CPaintDC::CPaintDC(CWnd* wnd) : m_hDC(nullptr), m_ps{}, m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
  if (!m_hWnd) return;
  m_hDC = ::GetDC(m_hWnd);
  m_ps.hdc = m_hDC;
  ::GetClientRect(m_hWnd, &m_ps.rcPaint);
  ::ValidateRect(m_hWnd, nullptr);
}

CPaintDC::~CPaintDC() {
  if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
}
