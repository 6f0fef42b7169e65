// The client's application object: the lobby check, the start-up of frame, engine and network
// task, and the run loop that pumps messages and idles the framework and the engine.
#pragma once

#include "ZqLib.h"
#include "zqplatform/framework.h"

// The lobby's window and its run-marker file.
#define LOBBY_WINDOW_CLASS "TQRNZone"
#define LOBBY_WINDOW_TITLE "QRNZone"
#define LOBBY_RUN_MARKER "../qrnrun.dat"

class CClientApp : public CWinApp, public CZqApp {
 public:
  CClientApp();
  ~CClientApp() override;

  BOOL InitInstance() override;
  // The framework's and the engine application's run loop alike.
  int Run() override;
  int ExitInstance() override;

 protected:
  void OnAppAbout();

  DECLARE_MESSAGE_MAP()
};
