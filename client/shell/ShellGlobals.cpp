#include "ShellGlobals.h"

CMainFrame* g_pMainFrame = nullptr;
int g_bQuitSent = 0;
HFONT g_hClientFont = nullptr;
char g_szConnectString[kConnectStringSize] = {};
