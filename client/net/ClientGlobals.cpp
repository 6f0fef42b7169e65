#include "ClientGlobals.h"

HWND g_hMainWnd = nullptr;
CConfig g_TextConfig;
