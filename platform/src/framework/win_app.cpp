// The application object: start-up, the run loop with idle processing, message pumping and the
// program's entry.
#include <cstring>

#include "framework/framework_state.h"

using zqframework::state;

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// The program file's name without folder and extension.
void programName(char* out, size_t size) {
  char path[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, path, sizeof path);
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  std::strncpy(out, name, size - 1);
  out[size - 1] = 0;
  if (char* dot = std::strrchr(out, '.')) *dot = 0;
}

}  // namespace

CWinApp::CWinApp(LPCSTR appName)
    : m_hInstance(::GetModuleHandleA(nullptr)),
      m_lpCmdLine(nullptr),
      m_nCmdShow(SW_SHOWDEFAULT),
      m_pszAppName(m_strAppName),
      m_pMainWnd(nullptr),
      m_msgCur{},
      m_strRegistryKey{},
      m_strAppName{},
      m_ptCursorLast{-1, -1},
      m_nMsgLast(0) {
  if (appName) {
    std::strncpy(m_strAppName, appName, sizeof m_strAppName - 1);
  } else {
    programName(m_strAppName, sizeof m_strAppName);
  }
  state().app = this;
}

CWinApp::~CWinApp() {
  if (state().app == this) state().app = nullptr;
}

void CWinApp::SetRegistryKey(LPCSTR key) {
  std::strncpy(m_strRegistryKey, key ? key : "", sizeof m_strRegistryKey - 1);
  m_strRegistryKey[sizeof m_strRegistryKey - 1] = 0;
}

BOOL CWinApp::InitApplication() { return TRUE; }

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  BOOL idle = TRUE;
  LONG idleCount = 0;
  for (;;) {
    while (idle && !::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE))
      if (!OnIdle(idleCount++)) idle = FALSE;
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&m_msgCur)) {
        idle = TRUE;
        idleCount = 0;
      }
    } while (::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
  }
}

BOOL CWinApp::PumpMessage() {
  if (!::GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;
  if (!PreTranslateMessage(&m_msgCur)) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessageA(&m_msgCur);
  }
  return TRUE;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
  // From the message's window up to its top-level window.
  for (HWND h = msg->hwnd; h; h = (::GetWindowLongA(h, GWL_STYLE) & WS_CHILD) ? ::GetParent(h) : nullptr) {
    CWnd* wnd = CWnd::FromHandle(h);
    if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
  }
  return FALSE;
}

BOOL CWinApp::OnIdle(LONG count) { return count < 1; }

int CWinApp::ExitInstance() { return int(m_msgCur.wParam); }

BOOL CWinApp::IsIdleMessage(MSG* msg) {
  if (msg->message == WM_MOUSEMOVE) {
    if (m_nMsgLast == msg->message && m_ptCursorLast.x == msg->pt.x && m_ptCursorLast.y == msg->pt.y)
      return FALSE;
    m_ptCursorLast = msg->pt;
    m_nMsgLast = msg->message;
    return TRUE;
  }
  // 0x0118: the caret's blink timer.
  return msg->message != WM_PAINT && msg->message != 0x0118;
}

CWinApp* AfxGetApp() { return state().app; }

CWnd* AfxGetMainWnd() {
  CWinApp* app = state().app;
  return app ? app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
  CWinApp* app = state().app;
  return app ? app->m_hInstance : ::GetModuleHandleA(nullptr);
}

void AfxPostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

void AfxEnableControlContainer() {}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCmd) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  if (instance) app->m_hInstance = instance;
  app->m_lpCmdLine = commandLine;
  app->m_nCmdShow = showCmd;
  if (!app->InitApplication()) return -1;
  if (!app->InitInstance()) {
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    return app->ExitInstance();
  }
  return app->Run();
}
