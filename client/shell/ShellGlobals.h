// Globals of the client shell that the frame, the application and the game share.
#pragma once

class CMainFrame;

// The main frame (also the client's engine); set by its constructor.
extern CMainFrame* g_pMainFrame;
// 1 once a close was let through or a game exit began: update, render and messages stop.
extern int g_bExiting;
// 1 once the close gate has sent the quit request.
extern int g_bQuitSent;

// The run-marker file's connect string: its first 255 bytes, zero-terminated.
constexpr int kConnectStringSize = 256;
extern char g_szConnectString[kConnectStringSize];
