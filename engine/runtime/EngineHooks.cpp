// Default bodies of the engine operations whose behaviour lives with the message, registry,
// media and game code; each is replaced there.
#include "ZqEngine.h"

long CZqEngine::MsgProc(UINT, UINT, long) { return 0; }
long CZqEngine::OnMouseMove(UINT) { return 0; }
long CZqEngine::OnMouseWheel(UINT, short) { return 0; }
long CZqEngine::OnLButtonDown(UINT) { return 0; }
long CZqEngine::OnLButtonUp(UINT) { return 0; }
long CZqEngine::OnLButtonDbClk(UINT) { return 0; }
long CZqEngine::OnRButtonDown(UINT) { return 0; }
long CZqEngine::OnRButtonUp(UINT) { return 0; }
long CZqEngine::OnRButtonDbClk(UINT) { return 0; }
long CZqEngine::OnChar(UINT, UINT) { return 0; }
long CZqEngine::OnKeyDown(UINT, UINT) { return 0; }
long CZqEngine::OnKeyUp(UINT, UINT) { return 0; }

void CZqEngine::_ReleaseRegisteredObjects() {}
long CZqEngine::_RestoreRegisteredObjects() { return 0; }
