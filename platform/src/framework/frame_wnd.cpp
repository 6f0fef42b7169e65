// Frame windows: creation from a resource id, the main pane's layout, accelerators, closing,
// and the frame object deleted with its window.
#include "framework/framework_state.h"

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_WM_SETFOCUS()
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() : m_hAccelTable(nullptr), m_nIDHelp(0) {}

CFrameWnd::~CFrameWnd() {
  if (m_hAccelTable) ::DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD style, CWnd* parent, LPVOID context) {
  m_nIDHelp = nIDResource;
  HINSTANCE instance = AfxGetInstanceHandle();
  if (!m_hAccelTable) m_hAccelTable = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(nIDResource));
  HMENU menu = ::LoadMenuA(instance, MAKEINTRESOURCEA(nIDResource));
  CWinApp* app = AfxGetApp();
  LPCSTR title = app && app->m_pszAppName ? app->m_pszAppName : "";
  if (CreateEx(0, nullptr, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
               parent ? parent->m_hWnd : nullptr, menu, context))
    return TRUE;
  // The window took no menu; a failed frame may already be deleted, so no member is touched.
  if (menu && ::IsMenu(menu)) ::DestroyMenu(menu);
  return FALSE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) {
    cs.lpszClass =
        AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1)),
                            ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDHelp)));
  }
  return cs.lpszClass != nullptr;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
  if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hAccelTable &&
      ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg))
    return TRUE;
  return CWnd::PreTranslateMessage(msg);
}

void CFrameWnd::PostNcDestroy() { delete this; }

void CFrameWnd::RecalcLayout(BOOL) {
  HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
  if (!pane) return;
  RECT r;
  ::GetClientRect(m_hWnd, &r);
  ::MoveWindow(pane, 0, 0, r.right, r.bottom, TRUE);
}

int CFrameWnd::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  RecalcLayout();
  return 0;
}

void CFrameWnd::OnClose() { DestroyWindow(); }

void CFrameWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* oldWnd) {
  HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
  if (pane) {
    ::SetFocus(pane);
  } else {
    CWnd::OnSetFocus(oldWnd);
  }
}
