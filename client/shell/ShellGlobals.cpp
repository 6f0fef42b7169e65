#include "ShellGlobals.h"

CMainFrame* g_pMainFrame = nullptr;
int g_bExiting = 0;
int g_bQuitSent = 0;
char g_szConnectString[kConnectStringSize] = {};
