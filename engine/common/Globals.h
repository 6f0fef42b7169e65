// Process-wide state of the engine runtime (engine thread only).
#pragma once

#include "ZqDefs.h"

class CZqApp;
class CZqDebug;

namespace zq {
extern CZqApp* g_app;
extern CZqDebug* g_debuger;
extern int g_editMode;

// The application's main window, or null without an application.
HWND AppWindow();
}  // namespace zq
