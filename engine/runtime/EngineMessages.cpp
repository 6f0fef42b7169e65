// The engine's window messages and its input handlers.
#include "ZqEngine.h"

long CZqEngine::MsgProc(UINT, UINT, long) { return 0; }
DWORD CZqEngine::OnMouseMove(UINT) { return 0; }
DWORD CZqEngine::OnMouseWheel(UINT, short) { return 0; }
DWORD CZqEngine::OnLButtonDown(UINT) { return 0; }
DWORD CZqEngine::OnLButtonUp(UINT) { return 0; }
DWORD CZqEngine::OnLButtonDbClk(UINT) { return 0; }
DWORD CZqEngine::OnRButtonDown(UINT) { return 0; }
DWORD CZqEngine::OnRButtonUp(UINT) { return 0; }
DWORD CZqEngine::OnRButtonDbClk(UINT) { return 0; }
DWORD CZqEngine::OnChar(UINT, UINT, UINT) { return 0; }
DWORD CZqEngine::OnKeyDown(UINT, UINT, UINT) { return 0; }
DWORD CZqEngine::OnKeyUp(UINT, UINT, UINT) { return 0; }
