#include "ClientApp.h"

#include <cstdio>

#include "MainFrame.h"
#include "ShellGlobals.h"
#include "net/ClientGlobals.h"
#include "net/NetTask.h"

BEGIN_MESSAGE_MAP(CClientApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

namespace {

constexpr UINT kMainFrameResource = 128;
constexpr size_t kConnectStringMax = 255;

// "Please enter in lobby!": the client was not started by the lobby.
void ShowEnterInLobby() { MessageBoxA(nullptr, "Please enter in lobby!", "Error", MB_ICONERROR); }

}  // namespace

CClientApp::CClientApp() {
  SetIdleSleep(30);
  SetNoSleep(0);
  SetRunInBackground(1);
}

CClientApp::~CClientApp() = default;

void CClientApp::OnAppAbout() {}

BOOL CClientApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  SetRegistryKey("Local AppWizard-Generated Applications");

  if (!FindWindowA(LOBBY_WINDOW_CLASS, LOBBY_WINDOW_TITLE)) {
    ShowEnterInLobby();
    return FALSE;
  }
  const std::string marker = zqMapPath(LOBBY_RUN_MARKER);
  FILE* file = std::fopen(marker.c_str(), "r");
  if (!file) {
    ShowEnterInLobby();
    return FALSE;
  }
  const size_t got = std::fread(g_szConnectString, 1, kConnectStringMax, file);
  g_szConnectString[got] = 0;
  std::fclose(file);
  std::remove(marker.c_str());

  CMainFrame* frame = new CMainFrame;
  m_pMainWnd = frame;
  // A frame that fails to load has deleted itself with its window.
  if (!frame->LoadFrame(kMainFrameResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr))
    return FALSE;
  if (HMENU menu = frame->GetMenu()) {
    frame->SetMenu(nullptr);
    DestroyMenu(menu);
  }

  if (!InitApp(frame->GetSafeHwnd()))
    MessageBoxA(nullptr, "hardware no support", "sorry,your hardware no support", MB_ICONERROR);
  g_hMainWnd = frame->GetSafeHwnd();
  SetTask(&g_NetTask, 1);
  g_NetTask.InitTask();
  if (!frame->StartEngine()) {
    PostQuitMessage(0);
    return FALSE;
  }
  frame->ShowWindow(SW_SHOW);
  frame->UpdateWindow();
  return TRUE;
}

int CClientApp::Run() {
  LONG idleCount = 0;
  for (;;) {
    while (!PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
      OnIdle(idleCount);
      DoIdle();
      ++idleCount;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&m_msgCur)) idleCount = 0;
    } while (PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
  }
}

int CClientApp::ExitInstance() { return CWinApp::ExitInstance(); }
