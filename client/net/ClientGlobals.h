// Globals of the client that the shell, the network task and the game share.
#pragma once

#include "ZqLib.h"

// The main frame's window: owner of the client's message boxes, target of its WM_QUIT posts.
extern HWND g_hMainWnd;
// The client's text configuration "text" (sections "TEXT", "MONEY", "WEEK", "FONT").
extern CConfig g_TextConfig;
