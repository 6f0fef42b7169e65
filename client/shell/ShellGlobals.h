// Globals of the client shell that the frame, the application and the game share.
#pragma once

#include "ZqLib.h"

class CMainFrame;

// Window timers of the main frame.
constexpr UINT TIMER_CONNECT = 746;           // connection attempts, game loading
constexpr UINT TIMER_EXTRA = 747;             // never set; killed when the window closes
constexpr UINT TIMER_START = 748;             // status text, then the connect string
constexpr UINT TIMER_MARQUEE_RESTORE = 1210;  // ends a credit warning (1500 ms)
constexpr UINT TIMER_NO_MONEY_EXIT = 1211;    // leaves after a no-money notice (8000 ms, once)

// The main frame (also the client's engine); set by its constructor.
extern CMainFrame* g_pMainFrame;
// 1 once a close was let through or a game exit began: update, render and messages stop.
// Defined with the game's globals, which read it every frame.
extern int g_bExiting;
// 1 once the close gate has sent the quit request.
extern int g_bQuitSent;
// The font of the status text; created by the engine start, deleted by the frame.
extern HFONT g_hClientFont;

// The run-marker file's connect string: its first 255 bytes, zero-terminated.
constexpr int kConnectStringSize = 256;
extern char g_szConnectString[kConnectStringSize];
