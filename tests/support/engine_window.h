// The headless window system on the manual clock, with one window to start engines on.
#pragma once

#include "zqplatform/window.h"

// Resets the window system and the display machine, starts the manual clock at `clockStart`
// and opens a window titled `title` of the given outer size, whose messages go to `proc`.
HWND OpenEngineWindow(const char* title, int outerWidth = 200, int outerHeight = 150,
                      DWORD clockStart = 100000, WNDPROC proc = DefWindowProcA);
// Undoes OpenEngineWindow, a changed maximum texture size included.
void CloseEngineWindow();
