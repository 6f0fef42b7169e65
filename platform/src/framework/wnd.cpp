// Window objects: creation through the framework's window procedure, the handle map, message
// dispatch by message map, default processing and window classes.
#include <cstdio>
#include <set>
#include <string>

#include "framework/framework_state.h"

namespace zqframework {

State& state() {
  // Never destroyed: windows may still be torn down by static destructors at exit.
  static State* s = new State;
  return *s;
}

}  // namespace zqframework

using zqframework::state;

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& s = state();
  CWnd* wnd = CWnd::FromHandle(hwnd);
  if (!wnd) {
    if (!s.creating) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    wnd = s.creating;
    s.creating = nullptr;
    wnd->Attach(hwnd);
  }
  MSG saved = s.current;
  s.current = MSG{hwnd, message, wParam, lParam, 0, POINT{0, 0}};
  LRESULT result = wnd->WindowProc(message, wParam, lParam);
  s.current = saved;
  return result;
}

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  // Names outlive every window of the class; set nodes do not move.
  static std::set<std::string>* names = new std::set<std::string>;
  char name[96];
  std::snprintf(name, sizeof name, "Afx:%x:%lx:%lx:%lx", classStyle, (unsigned long)(uintptr_t)cursor,
                (unsigned long)(uintptr_t)background, (unsigned long)(uintptr_t)icon);
  const std::string& kept = *names->insert(name).first;
  WNDCLASSA existing;
  // The window system may have been reset since the last registration (tests do).
  if (!::GetClassInfoA(AfxGetInstanceHandle(), kept.c_str(), &existing)) {
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = kept.c_str();
    if (!::RegisterClassA(&wc)) return nullptr;
  }
  return kept.c_str();
}

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(nullptr) {}

CWnd::~CWnd() {
  if (m_hWnd && ::IsWindow(m_hWnd)) {
    // The object goes first: the window is destroyed without reaching it any more.
    HWND hwnd = Detach();
    ::DestroyWindow(hwnd);
  } else if (m_hWnd) {
    Detach();
  }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto& w = state().windows;
  auto it = w.find(hwnd);
  return it == w.end() ? nullptr : it->second;
}

BOOL CWnd::Attach(HWND hwnd) {
  if (!hwnd) return FALSE;
  state().windows[hwnd] = this;
  m_hWnd = hwnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  if (hwnd) {
    auto& w = state().windows;
    auto it = w.find(hwnd);
    if (it != w.end() && it->second == this) w.erase(it);
  }
  m_hWnd = nullptr;
  return hwnd;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW));
  return cs.lpszClass != nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, LPVOID param) {
  CREATESTRUCT cs{};
  cs.lpCreateParams = param;
  cs.hInstance = AfxGetInstanceHandle();
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = LONG(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  auto& s = state();
  CWnd* outer = s.creating;
  s.creating = this;
  HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x, cs.y, cs.cx,
                                cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  if (s.creating == this) s.creating = outer;
  // A failed creation that reached WM_NCDESTROY has run PostNcDestroy already.
  return hwnd != nullptr;
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT nID,
                  LPVOID param) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(uintptr_t(nID)), param);
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *result = 1;
    return TRUE;
  }
  const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), message, 0);
  return e ? e->pfn(this, wParam, lParam, result) : FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), nullptr, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::PostNcDestroy() {}

LRESULT CWnd::Default() {
  const MSG& m = state().current;
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
  return reinterpret_cast<HICON>(
      ::SendMessageA(m_hWnd, WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  RECT area;
  HWND over = alternateOwner ? alternateOwner->m_hWnd : nullptr;
  const bool child = (GetStyle() & WS_CHILD) != 0;
  if (!over && child) over = ::GetParent(m_hWnd);
  if (child && over) {
    ::GetClientRect(over, &area);
  } else if (over) {
    ::GetWindowRect(over, &area);
  } else {
    area = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  RECT r;
  ::GetWindowRect(m_hWnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int x = area.left + ((area.right - area.left) - w) / 2;
  const int y = area.top + ((area.bottom - area.top) - h) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::OnCreate(LPCREATESTRUCT) { return int(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
BOOL CWnd::OnCopyData(CWnd*, COPYDATASTRUCT*) { return BOOL(Default()); }
void CWnd::OnMoving(UINT, LPRECT) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return BOOL(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }

void CWnd::OnNcDestroy() {
  CWinApp* app = AfxGetApp();
  // The main window takes the application with it.
  if (app && app->m_pMainWnd == this) {
    AfxPostQuitMessage(0);
    app->m_pMainWnd = nullptr;
  }
  Default();
  Detach();
  PostNcDestroy();
}
